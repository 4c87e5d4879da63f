#include "check/AssetChecker.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>

#include <lua5.2/lua.hpp>

#include "Log/Log.h"
#include "map/LevelMap.h"
#include "map/LevelMapLoader.h"
#include "map/PassabilityMap.h"
#include "data/Effect.h"
#include "data/ResourceManager.h"
#include "graphics/TGImageLoader.h"
#include "util/GameManifest.h"
#include "util/util.h"
#include "util/GameFiles.h"

namespace fs = std::filesystem;

namespace core
{
namespace
{
const char* const ITEMS_FILE = "assets/items.xml";
const char* const CLASSES_FILE = "assets/classes.xml";
const char* const SCRIPT_FOLDER = "assets/scripts/";
const char* const DIALOG_FOLDER = "assets/dialogs/";
// What the engine itself reads from every game folder.
const char* const ENGINE_FILES[] = {"assets/fonts/FreeSans.ttf", "assets/fonts/Eadui.ttf"};
const char* const SHADER_FOLDER = "assets/shaders/shaders150";
// An Ogg file begins with this capture pattern.
const char OGG_MAGIC[] = "OggS";

bool looksLikeOgg(const std::string& path)
{
    std::string contents;
    return GameFiles::read(path, contents) && contents.size() >= 4 && contents.compare(0, 4, OGG_MAGIC) == 0;
}

std::string readText(const std::string& path)
{
    std::string text;
    GameFiles::read(path, text);
    return text;
}

// The .lua files below a folder of the game (which may be an archive), as
// paths from the game's root.
void collectScripts(const std::string& folder, std::vector<std::string>& scripts)
{
    for (const std::string& name : GameFiles::list(folder))
    {
        const std::string path = folder + name;
        if (GameFiles::isFolder(path))
            collectScripts(path + "/", scripts);
        else if (fs::path(name).extension() == ".lua")
            scripts.push_back(path);
    }
}

std::string attribute(const tinyxml2::XMLElement* element, const char* name)
{
    return nullToEmpty(element->Attribute(name));
}

// The element's text as the engine's scripts and conditions see it.
std::string textOf(const tinyxml2::XMLElement* element)
{
    return nullToEmpty(element->GetText());
}

// Lines of the text before `offset`, for calls found inside a longer text.
int linesBefore(const std::string& text, size_t offset)
{
    return static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n'));
}

// What the engine's loaders log while a file is read: the reason a load
// failed, for the report.
class ErrorTap
{
public:
    ErrorTap() { Log::setErrorStream(&_text); }
    ~ErrorTap() { Log::setErrorStream(&nowhere()); }
    std::string firstLine() const
    {
        std::string line;
        std::istringstream in(_text.str());
        std::getline(in, line);
        const size_t dash = line.find(" - ");
        return dash == std::string::npos ? line : line.substr(dash + 3);
    }
    static std::ostream& nowhere()
    {
        static std::ostream sink(nullptr);
        return sink;
    }

private:
    std::ostringstream _text;
};
}

struct AssetChecker::SceneInfo
{
    std::string id;
    std::string file;
    std::string from;
    int fromLine = 0;
    std::string mapFile;
    int mapLine = 0;
    std::unique_ptr<LevelMap> map;
    int tileWidth = 0;
    int tileHeight = 0;
};

struct AssetChecker::Reference
{
    std::string target;
    std::string detail;
    int row = 0;
    int column = 0;
    std::string file;
    int line = 0;
    std::string fromScene;
};

AssetChecker::AssetChecker()
{
    Log::setErrorStream(&ErrorTap::nowhere());
    Log::setWarnStream(&ErrorTap::nowhere());
    Log::setNoteStream(&ErrorTap::nowhere());
}

AssetChecker::~AssetChecker() = default;

std::string AssetChecker::format(const Problem& problem)
{
    return problem.file + ":" + std::to_string(problem.line) + ": " + problem.message;
}

void AssetChecker::report(const std::string& file, int line, const std::string& message)
{
    _problems.push_back({file, line, message});
}

bool AssetChecker::fileExists(const std::string& file) const
{
    return GameFiles::exists(WORKING_DIRECTORY + "/" + file);
}

bool AssetChecker::load(const std::string& file, tinyxml2::XMLDocument& document, const std::string& from, int fromLine)
{
    if (!fileExists(file))
    {
        if (from.empty())
            report(file, 0, "missing file");
        else
            report(from, fromLine, "names " + file + ", which does not exist");
        return false;
    }
    if (GameFiles::loadXML(document, WORKING_DIRECTORY + "/" + file) != tinyxml2::XML_SUCCESS)
    {
        report(file, document.ErrorLineNum(), std::string("malformed XML: ") + document.ErrorName());
        return false;
    }
    return true;
}

const std::vector<AssetChecker::Problem>& AssetChecker::check()
{
    _problems.clear();
    readManifest();
    checkEngineFiles();
    loadRecords();
    checkEffects();
    checkAbilityEffects();
    checkItems();
    checkClasses();
    checkSession();
    checkScenes();
    checkPortals();
    checkScriptFiles();
    checkDialogs();
    checkReachability();
    return _problems;
}

void AssetChecker::checkEngineFiles()
{
    // A game with a manifest of its own plays with the engine's shaders and
    // default fonts standing behind it; only a folder from before manifests,
    // which ran on its own copies, is asked to carry them.
    const bool carriesEngineFiles = _manifest.fileName() != GameManifest::FILE_NAME;
    for (const char* file : ENGINE_FILES)
    {
        if (carriesEngineFiles && !fileExists(file))
            report(file, 0, "missing file (the engine's own: copy it from the installed share/zolt/assets)");
    }
    if (carriesEngineFiles && !GameFiles::isFolder(SHADER_FOLDER))
        report(SHADER_FOLDER, 0, "missing folder (the engine's shaders: copy it from the installed share/zolt/assets)");
    for (const ManifestTexture& texture : _manifest.textures())
        _texturePaths[texture.name] = texture.file;
}

void AssetChecker::readManifest()
{
    _manifest = GameManifest::loadGame();
    // The engine's loaders run below on this game's tables.
    GameManifest::setCurrent(_manifest);
    const bool own = _manifest.fileName() == GameManifest::FILE_NAME;
    for (const auto& fault : _manifest.faults())
        report(_manifest.fileName(), fault.first, fault.second);
    _sessionFile = _manifest.sessionFile();
    _startScript = _manifest.startScript().empty() ? "" : SCRIPT_FOLDER + _manifest.startScript();
    // The default manifest stands in for folders made before manifests:
    // those were never asked to hold every file of the engine's old tables,
    // only the ones they use.
    if (own)
        checkManifestFiles();
}

void AssetChecker::checkManifestFiles()
{
    const std::string manifest = _manifest.fileName();
    for (const ManifestTexture& texture : _manifest.textures())
    {
        int w = 0, h = 0;
        if (!fileExists(texture.file))
            report(manifest, texture.line, "texture " + texture.name + ": " + texture.file + " does not exist");
        else if (!tamsygraphics::ImageLoader::ReadSize(texture.file, w, h))
            report(manifest, texture.line,
                   "texture " + texture.name + ": " + texture.file + " cannot be decoded as an image");
        else
            _checkedImages.insert(texture.file);
    }
    for (const ManifestSound& sound : _manifest.sounds())
    {
        if (!fileExists(sound.file))
            report(manifest, sound.line, "sound " + sound.name + ": " + sound.file + " does not exist");
        else if (!looksLikeOgg(sound.file))
            report(manifest, sound.line, "sound " + sound.name + ": " + sound.file + " is not an Ogg file");
    }
    for (const ManifestEntry& font : _manifest.fonts())
    {
        if (!fileExists(font.file))
            report(manifest, font.line, "font " + font.name + ": " + font.file + " does not exist");
    }
    for (const ManifestEntry& scene : _manifest.scenes())
    {
        if (!fileExists(scene.file))
            report(manifest, scene.line, "scene " + scene.name + ": " + scene.file + " does not exist");
    }
}

void AssetChecker::loadRecords()
{
    ResourceManager::init();
    // A missing record file is told against the manifest line that names
    // it; the default manifest is the engine's, so there the file itself is.
    const bool own = _manifest.fileName() == GameManifest::FILE_NAME;
    const std::string manifest = own ? _manifest.fileName() : "";
    for (const std::vector<ManifestEntry>* files :
         {&_manifest.effectFiles(), &_manifest.dataFiles(), &_manifest.sceneFiles()})
    {
        for (const ManifestEntry& file : *files)
        {
            tinyxml2::XMLDocument document;
            load(file.file, document, manifest, own ? file.line : 0);
        }
    }
    tinyxml2::XMLDocument session;
    if (!_sessionFile.empty())
        load(_sessionFile, session);
}

void AssetChecker::checkEffects()
{
    std::set<std::string> sounds;
    for (const ManifestSound& sound : _manifest.sounds())
        sounds.insert(sound.name);
    for (const ManifestEntry& file : _manifest.effectFiles())
    {
        tinyxml2::XMLDocument document;
        if (!fileExists(file.file) ||
            GameFiles::loadXML(document, WORKING_DIRECTORY + "/" + file.file) != tinyxml2::XML_SUCCESS)
            continue;
        std::set<std::string> names;
        for (const tinyxml2::XMLElement* record = document.FirstChildElement(); record;
             record = record->NextSiblingElement())
            checkEffect(file.file, record, sounds, names);
    }
}

void AssetChecker::checkEffect(const std::string& file, const tinyxml2::XMLElement* record,
                               const std::set<std::string>& sounds, std::set<std::string>& names)
{
    const int line = record->GetLineNum();
    if (std::string(record->Name()) != "effect")
    {
        report(file, line, std::string("<") + record->Name() + "> is not an effect record");
        return;
    }
    std::vector<std::string> problems;
    std::unique_ptr<Effect> effect = Effect::fromXML(record, problems);
    for (const std::string& problem : problems)
        report(file, line, problem);
    if (!effect)
        return;
    if (!names.insert(effect->getName()).second)
        report(file, line, "effect " + effect->getName() + " is defined twice");
    if (!effect->getTexture().empty())
        checkTexture(effect->getTexture(), file, line);
    if (!effect->getSound().empty() && !sounds.count(effect->getSound()))
        report(file, line,
               "effect " + effect->getName() + ": sound " + effect->getSound() + " is not one of the game's sounds");
}

void AssetChecker::checkAbilityEffects()
{
    // Abilities name the effects they place; a name no effects file defines
    // places nothing.
    for (const ManifestEntry& file : _manifest.dataFiles())
    {
        tinyxml2::XMLDocument document;
        if (!fileExists(file.file) ||
            GameFiles::loadXML(document, WORKING_DIRECTORY + "/" + file.file) != tinyxml2::XML_SUCCESS)
            continue;
        for (const tinyxml2::XMLElement* ability = document.FirstChildElement("ability"); ability;
             ability = ability->NextSiblingElement("ability"))
            for (const tinyxml2::XMLElement* child = ability->FirstChildElement(); child;
                 child = child->NextSiblingElement())
            {
                const std::string kind = child->Name();
                const bool placesEffect = kind == "onTarget" || kind == "onHit" || kind == "onMiss";
                const std::string name = attribute(child, "name");
                if (placesEffect && !ResourceManager::getEffect(name))
                    report(file.file, child->GetLineNum(),
                           "ability " + attribute(ability, "name") + ": effect " + name + " is not defined");
            }
    }
}

void AssetChecker::checkItems()
{
    tinyxml2::XMLDocument document;
    if (!fileExists(ITEMS_FILE) || GameFiles::loadXML(document, ITEMS_FILE) != tinyxml2::XML_SUCCESS)
        return;
    std::set<std::string> ids;
    for (const tinyxml2::XMLElement* item = document.FirstChildElement("item"); item;
         item = item->NextSiblingElement("item"))
    {
        const std::string id = attribute(item, "id");
        if (id.empty() || attribute(item, "name").empty() || attribute(item, "script").empty())
            report(ITEMS_FILE, item->GetLineNum(), "item needs an id, a name and a script");
        else if (!ids.insert(id).second)
            report(ITEMS_FILE, item->GetLineNum(), "item " + id + " is defined twice");
        if (!attribute(item, "script").empty())
            checkScriptReference(attribute(item, "script"), ITEMS_FILE, item->GetLineNum());
    }
}

void AssetChecker::checkClasses()
{
    tinyxml2::XMLDocument document;
    if (!fileExists(CLASSES_FILE) || GameFiles::loadXML(document, CLASSES_FILE) != tinyxml2::XML_SUCCESS)
        return;
    for (const tinyxml2::XMLElement* record = document.FirstChildElement("class"); record;
         record = record->NextSiblingElement("class"))
    {
        const std::string prerequisite = attribute(record, "prerequisiteClass");
        if (!prerequisite.empty() && prerequisite != "none" && !ResourceManager::getClass(prerequisite))
            report(CLASSES_FILE, record->GetLineNum(), "prerequisite class " + prerequisite + " does not exist");
        for (const tinyxml2::XMLElement* level = record->FirstChildElement("level"); level;
             level = level->NextSiblingElement("level"))
        {
            for (const tinyxml2::XMLElement* grant = level->FirstChildElement("grant"); grant;
                 grant = grant->NextSiblingElement("grant"))
            {
                const std::string name = attribute(grant, "name");
                if (attribute(grant, "type") == "ability" && !ResourceManager::getAbility(name))
                    report(CLASSES_FILE, grant->GetLineNum(), "grants ability " + name + ", which does not exist");
            }
        }
    }
}

void AssetChecker::checkSession()
{
    tinyxml2::XMLDocument document;
    if (_sessionFile.empty() || !fileExists(_sessionFile) ||
        GameFiles::loadXML(document, _sessionFile) != tinyxml2::XML_SUCCESS)
        return;
    const tinyxml2::XMLElement* party = document.FirstChildElement("party");
    if (!party)
    {
        report(_sessionFile, 0, "no party: the game has nobody to play");
        return;
    }
    bool avatar = false;
    for (const tinyxml2::XMLElement* member = party->FirstChildElement("character"); member;
         member = member->NextSiblingElement("character"))
    {
        avatar = avatar || attribute(member, "id") == _manifest.avatarId();
        checkCharacter(_sessionFile, member);
    }
    if (!avatar)
        report(_sessionFile, party->GetLineNum(),
               "the party has no avatar (the character with id " + _manifest.avatarId() + ")");
    for (const tinyxml2::XMLElement* item = party->FirstChildElement("item"); item;
         item = item->NextSiblingElement("item"))
    {
        if (!ResourceManager::getItemById(textOf(item)))
            report(_sessionFile, item->GetLineNum(), "item " + textOf(item) + " does not exist");
    }
}

void AssetChecker::checkCharacter(const std::string& file, const tinyxml2::XMLElement* element)
{
    if (attribute(element, "id").empty())
        report(file, element->GetLineNum(), "character without an id");
    const std::string templateFile = attribute(element, "template");
    if (!templateFile.empty())
        checkTemplate(templateFile, file, element->GetLineNum());
    checkRecordChildren(file, element);
}

void AssetChecker::checkTemplate(const std::string& templateFile, const std::string& from, int fromLine)
{
    // Many characters share a template: its own faults are told once.
    if (!_checkedTemplates.insert(templateFile).second && fileExists(templateFile))
        return;
    tinyxml2::XMLDocument document;
    if (load(templateFile, document, from, fromLine) && document.RootElement())
        checkRecordChildren(templateFile, document.RootElement());
}

void AssetChecker::checkRecordChildren(const std::string& file, const tinyxml2::XMLElement* element)
{
    for (const tinyxml2::XMLElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const std::string kind = child->Name();
        const std::string id = attribute(child, "id");
        if (kind == "ability" && !ResourceManager::getAbility(id))
            report(file, child->GetLineNum(), "ability " + id + " does not exist");
        else if (kind == "class" && !ResourceManager::getClass(id))
            report(file, child->GetLineNum(), "class " + id + " does not exist");
        else if (kind == "sprite")
            checkTexture(attribute(child, "texture"), file, child->GetLineNum());
        else if (kind == "item")
            checkLoot(file, child);
    }
    checkInlineScripts(element, file);
}

void AssetChecker::checkLoot(const std::string& file, const tinyxml2::XMLElement* item)
{
    std::string id = attribute(item, "id");
    if (id.empty() && item->GetText())
        id = item->GetText();
    if (id.empty())
        report(file, item->GetLineNum(), "item names no item (id=\"...\" or the id as its text)");
    else if (!ResourceManager::getItemById(id))
        report(file, item->GetLineNum(), "item " + id + " does not exist");
}

void AssetChecker::checkTexture(const std::string& name, const std::string& file, int line)
{
    auto texture = _texturePaths.find(name);
    if (texture == _texturePaths.end())
    {
        report(file, line, "texture " + name + " is not one of the start-up textures");
        return;
    }
    // Each picture is told once, at the first sprite that wears it.
    if (!_checkedImages.insert(texture->second).second)
        return;
    int w = 0, h = 0;
    if (!fileExists(texture->second))
        report(file, line, "texture " + name + " needs " + texture->second + ", which does not exist");
    else if (!tamsygraphics::ImageLoader::ReadSize(texture->second, w, h))
        report(texture->second, 0, "cannot be decoded as an image");
}

void AssetChecker::checkInlineScripts(const tinyxml2::XMLElement* element, const std::string& file)
{
    for (const tinyxml2::XMLElement* script = element->FirstChildElement("script"); script;
         script = script->NextSiblingElement("script"))
    {
        if (!attribute(script, "src").empty())
            checkScriptReference(attribute(script, "src"), file, script->GetLineNum());
        else
            checkLua(textOf(script), file, script->GetLineNum());
    }
}

void AssetChecker::checkScenes()
{
    // Scene id to (file, the file and line that list it).
    std::map<std::string, std::pair<std::string, std::pair<std::string, int>>> listed;
    for (const ManifestEntry& scenes : _manifest.sceneFiles())
    {
        tinyxml2::XMLDocument document;
        if (!fileExists(scenes.file) || GameFiles::loadXML(document, scenes.file) != tinyxml2::XML_SUCCESS)
            continue;
        for (const tinyxml2::XMLElement* scene = document.FirstChildElement("scene"); scene;
             scene = scene->NextSiblingElement("scene"))
            listed[attribute(scene, "id")] = {attribute(scene, "filename"), {scenes.file, scene->GetLineNum()}};
    }
    // The manifest's own rows, and whatever else the table holds where this
    // game has its files.
    for (const auto& known : levelNameMap)
    {
        if (!listed.count(known.first) && fileExists(known.second))
            listed[known.first] = {known.second, {"", 0}};
    }
    for (const auto& scene : listed)
        checkScene(scene.first, scene.second.first, scene.second.second.first, scene.second.second.second);
}

void AssetChecker::checkScene(const std::string& id, const std::string& file, const std::string& from, int fromLine)
{
    std::unique_ptr<SceneInfo>& held = _scenes[id];
    held = std::make_unique<SceneInfo>();
    SceneInfo* scene = held.get();
    scene->id = id;
    scene->file = file;
    scene->from = from.empty() ? file : from;
    scene->fromLine = fromLine;
    tinyxml2::XMLDocument document;
    if (!load(file, document, from, fromLine) || !document.FirstChildElement())
        return;
    const tinyxml2::XMLElement* head = document.FirstChildElement();
    scene->mapFile = attribute(head, "filename");
    scene->mapLine = head->GetLineNum();
    if (attribute(head, "id") != id)
        report(file, head->GetLineNum(),
               "scene id " + attribute(head, "id") + " differs from " + id + ", its id in the scene list");
    if (!fileExists(scene->mapFile))
        report(file, head->GetLineNum(), "names the tile map " + scene->mapFile + ", which does not exist");
    else
        readTriggers(*scene);
    for (const tinyxml2::XMLElement* e = head; e; e = e->NextSiblingElement("character"))
    {
        if (e != head)
            checkSceneCharacter(*scene, e);
    }
}

void AssetChecker::readTriggers(SceneInfo& scene)
{
    {
        ErrorTap tap;
        scene.map = LevelMapLoader::loadLevelMap(scene.mapFile);
        if (!scene.map)
        {
            report(scene.mapFile, 0, "cannot be loaded: " + tap.firstLine());
            return;
        }
    }
    tinyxml2::XMLDocument document;
    GameFiles::loadXML(document, WORKING_DIRECTORY + "/" + scene.mapFile);
    const tinyxml2::XMLElement* map = document.RootElement();
    scene.tileWidth = map->IntAttribute("tilewidth", 0);
    scene.tileHeight = map->IntAttribute("tileheight", 0);
    for (const tinyxml2::XMLElement* tileset = map->FirstChildElement("tileset"); tileset;
         tileset = tileset->NextSiblingElement("tileset"))
    {
        const tinyxml2::XMLElement* image = tileset->FirstChildElement("image");
        if (!image)
            continue;
        const std::string path =
            (fs::path(scene.mapFile).parent_path() / attribute(image, "source")).lexically_normal().string();
        int w = 0, h = 0;
        if (!_checkedImages.insert(path).second)
            continue;
        if (!fileExists(path))
            report(scene.mapFile, image->GetLineNum(), "tileset image " + path + " does not exist");
        else if (!tamsygraphics::ImageLoader::ReadSize(path, w, h))
            report(path, 0, "cannot be decoded as an image");
    }
    for (const tinyxml2::XMLElement* group = map->FirstChildElement("objectgroup"); group;
         group = group->NextSiblingElement("objectgroup"))
    {
        for (const tinyxml2::XMLElement* object = group->FirstChildElement("object"); object;
             object = object->NextSiblingElement("object"))
        {
            std::map<std::string, std::pair<std::string, int>> properties;
            const tinyxml2::XMLElement* list = object->FirstChildElement("properties");
            for (const tinyxml2::XMLElement* p = list ? list->FirstChildElement("property") : nullptr; p;
                 p = p->NextSiblingElement("property"))
            {
                // The loader takes the script under any of four names, in any case.
                std::string name = attribute(p, "name");
                std::string lower = name;
                std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
                if (lower == "scriptfilename" || lower == "scriptname" || lower == "scriptfile" || lower == "script")
                    name = "script";
                properties[name] = {attribute(p, "value"), p->GetLineNum()};
            }
            if (properties.count("script"))
                checkScriptReference(properties["script"].first, scene.mapFile, properties["script"].second);
            if (properties.count("targetScene"))
            {
                Reference portal;
                portal.target = properties["targetScene"].first;
                portal.row = std::atoi(properties["targetRow"].first.c_str());
                portal.column = std::atoi(properties["targetCol"].first.c_str());
                portal.file = scene.mapFile;
                portal.line = properties["targetScene"].second;
                portal.fromScene = scene.id;
                _portals.push_back(portal);
            }
            if (properties.count("say"))
                collectCalls("talk(\"" + std::regex_replace(properties["say"].first, std::regex(" "), "\", \"") + "\")",
                             scene.mapFile, properties["say"].second);
        }
    }
}

void AssetChecker::checkSceneCharacter(SceneInfo& scene, const tinyxml2::XMLElement* element)
{
    checkCharacter(scene.file, element);
    const int row = element->IntAttribute("row", 0);
    const int column = element->IntAttribute("col", 0);
    if (scene.map && !passable(scene.id, row, column))
        report(scene.file, element->GetLineNum(),
               "character " + attribute(element, "id") + " stands on an impassable tile (" + std::to_string(row) +
                   ", " + std::to_string(column) + ")");
    for (const tinyxml2::XMLElement* script = element->FirstChildElement("script"); script;
         script = script->NextSiblingElement("script"))
    {
        collectCalls(textOf(script), scene.file, script->GetLineNum());
        for (Reference& enter : _enters)
        {
            if (enter.file == scene.file && enter.fromScene.empty())
                enter.fromScene = scene.id;
        }
    }
}

bool AssetChecker::passable(const std::string& sceneId, int row, int column) const
{
    auto found = _scenes.find(sceneId);
    if (found == _scenes.end() || !found->second->map)
        return false;
    const LevelMap* map = found->second->map.get();
    return map->isOnMap(row, column) && map->getPassabilityMap() && map->getPassabilityMap()->isPassable(row, column);
}

void AssetChecker::checkPortals()
{
    for (const Reference& portal : _portals)
    {
        auto target = _scenes.find(portal.target);
        if (target == _scenes.end())
            report(portal.file, portal.line, "portal to scene " + portal.target + ", which does not exist");
        else if (target->second->map && !passable(portal.target, portal.row, portal.column))
            report(portal.file, portal.line,
                   "portal onto an impassable tile (" + std::to_string(portal.row) + ", " +
                       std::to_string(portal.column) + ") of " + portal.target);
    }
}

void AssetChecker::checkScriptReference(const std::string& script, const std::string& file, int line)
{
    const std::string path = SCRIPT_FOLDER + script;
    if (!fileExists(path))
        report(file, line, "script " + script + " does not exist in " + SCRIPT_FOLDER);
}

void AssetChecker::checkScriptFiles()
{
    if (!_startScript.empty() && !fileExists(_startScript))
        report(_startScript, 0, "missing file: nothing enters the first scene");
    std::vector<std::string> scripts;
    collectScripts(SCRIPT_FOLDER, scripts);
    std::sort(scripts.begin(), scripts.end());
    for (const std::string& script : scripts)
    {
        const std::string text = readText(script);
        checkLua(text, script, 1);
        collectCalls(text, script, 1);
    }
}

void AssetChecker::checkLua(const std::string& text, const std::string& file, int line)
{
    lua_State* state = luaL_newstate();
    if (luaL_loadbuffer(state, text.c_str(), text.size(), "=chunk") != LUA_OK)
    {
        const std::string message = nullToEmpty(lua_tostring(state, -1));
        std::smatch match;
        static const std::regex where("^chunk:(\\d+): (.*)$");
        if (std::regex_match(message, match, where))
            report(file, line + std::stoi(match[1]) - 1, "Lua does not compile: " + match[2].str());
        else
            report(file, line, "Lua does not compile: " + message);
    }
    lua_close(state);
}

void AssetChecker::collectCalls(const std::string& text, const std::string& file, int line)
{
    static const std::regex talk("talk\\(\\s*\"([^\"]+)\"\\s*,\\s*\"([^\"]+)\"");
    static const std::regex dialog("s:dialog\\(\\s*\"assets/dialogs/([^\"]+)\\.xml\"\\s*,\\s*\"([^\"]+)\"");
    static const std::regex enter("s:enter\\(\\s*\"([^\"]+)\"\\s*,\\s*(\\d+)\\s*,\\s*(\\d+)\\s*\\)");
    for (const std::regex* call : {&talk, &dialog})
    {
        for (std::sregex_iterator it(text.begin(), text.end(), *call), end; it != end; ++it)
            _talks.push_back(
                {(*it)[1], (*it)[2], 0, 0, file, line + linesBefore(text, static_cast<size_t>(it->position())), ""});
    }
    for (std::sregex_iterator it(text.begin(), text.end(), enter), end; it != end; ++it)
        _enters.push_back({(*it)[1], "", std::stoi((*it)[2]), std::stoi((*it)[3]), file,
                           line + linesBefore(text, static_cast<size_t>(it->position())), ""});
}

void AssetChecker::checkDialogs()
{
    std::map<std::string, std::set<std::string>> starts;
    for (const Reference& talk : _talks)
    {
        const std::string file = DIALOG_FOLDER + talk.target + ".xml";
        if (!fileExists(file))
            report(talk.file, talk.line, "dialog " + file + " does not exist");
        else
            starts[talk.target].insert(talk.detail);
    }
    std::vector<std::string> dialogs;
    for (const std::string& name : GameFiles::list(DIALOG_FOLDER))
    {
        if (fs::path(name).extension() == ".xml" && !GameFiles::isFolder(DIALOG_FOLDER + name))
            dialogs.push_back(fs::path(name).stem().string());
    }
    std::sort(dialogs.begin(), dialogs.end());
    for (const std::string& dialog : dialogs)
        checkDialog(dialog, starts[dialog]);
    for (const Reference& talk : _talks)
    {
        tinyxml2::XMLDocument document;
        const std::string file = DIALOG_FOLDER + talk.target + ".xml";
        if (!fileExists(file) || GameFiles::loadXML(document, file) != tinyxml2::XML_SUCCESS || !document.RootElement())
            continue;
        bool found = false;
        for (const tinyxml2::XMLElement* node = document.RootElement()->FirstChildElement("node"); node;
             node = node->NextSiblingElement("node"))
            found = found || attribute(node, "id") == talk.detail;
        if (!found)
            report(talk.file, talk.line, "dialog " + talk.target + " has no node " + talk.detail);
    }
}

void AssetChecker::checkDialog(const std::string& dialog, const std::set<std::string>& starts)
{
    const std::string file = DIALOG_FOLDER + dialog + ".xml";
    tinyxml2::XMLDocument document;
    if (!load(file, document) || !document.RootElement())
        return;
    std::map<std::string, std::vector<std::pair<std::string, int>>> graph;
    std::map<std::string, int> lines;
    for (const tinyxml2::XMLElement* node = document.RootElement()->FirstChildElement("node"); node;
         node = node->NextSiblingElement("node"))
    {
        const std::string id = attribute(node, "id");
        lines[id] = node->GetLineNum();
        auto& next = graph[id];
        for (const tinyxml2::XMLElement* option = node->FirstChildElement("option"); option;
             option = option->NextSiblingElement("option"))
        {
            const tinyxml2::XMLElement* target = option->FirstChildElement("next");
            next.push_back({target ? textOf(target) : "", option->GetLineNum()});
            const tinyxml2::XMLElement* condition = option->FirstChildElement("flag");
            if (condition && textOf(condition) != "none")
                checkLua(textOf(condition), file, condition->GetLineNum());
        }
        checkInlineScripts(node, file);
        for (const tinyxml2::XMLElement* script = node->FirstChildElement("script"); script;
             script = script->NextSiblingElement("script"))
            collectCalls(textOf(script), file, script->GetLineNum());
    }
    for (const auto& node : graph)
    {
        for (const auto& next : node.second)
        {
            if (!next.first.empty() && next.first != "exit" && !graph.count(next.first))
                report(file, next.second, "option leads to node " + next.first + ", which does not exist");
        }
    }
    // Nodes a conversation can reach from where some script opens it.
    std::set<std::string> seen;
    std::vector<std::string> todo;
    for (const std::string& start : starts)
    {
        if (graph.count(start))
            todo.push_back(start);
    }
    // A dialog nobody opens yet (or opens only on missing nodes, reported
    // on their own) is read from its "start" node.
    if (todo.empty() && graph.count("start"))
        todo.push_back("start");
    while (!todo.empty())
    {
        const std::string id = todo.back();
        todo.pop_back();
        if (!graph.count(id) || !seen.insert(id).second)
            continue;
        for (const auto& next : graph[id])
            todo.push_back(next.first);
    }
    for (const auto& node : lines)
    {
        if (!seen.count(node.first))
            report(file, node.second, "node " + node.first + " can never be reached");
    }
}

void AssetChecker::checkReachability()
{
    std::string start;
    for (const Reference& enter : _enters)
    {
        if (!_scenes.count(enter.target))
            report(enter.file, enter.line, "enters scene " + enter.target + ", which does not exist");
        else if (!passable(enter.target, enter.row, enter.column) && _scenes[enter.target]->map)
            report(enter.file, enter.line,
                   "enters " + enter.target + " on an impassable tile (" + std::to_string(enter.row) + ", " +
                       std::to_string(enter.column) + ")");
        if (start.empty() && enter.file == _startScript)
            start = enter.target;
    }
    if (start.empty())
        return;
    // Scripted crossings outside scene files (dialogs, script files) count
    // as open from anywhere the story gets to.
    std::set<std::string> reached;
    std::vector<std::string> todo = {start};
    for (const Reference& enter : _enters)
    {
        if (enter.fromScene.empty())
            todo.push_back(enter.target);
    }
    while (!todo.empty())
    {
        const std::string id = todo.back();
        todo.pop_back();
        if (!_scenes.count(id) || !reached.insert(id).second)
            continue;
        for (const std::vector<Reference>* ways : {&_portals, &_enters})
        {
            for (const Reference& way : *ways)
            {
                if (way.fromScene == id)
                    todo.push_back(way.target);
            }
        }
    }
    for (const auto& scene : _scenes)
    {
        if (!reached.count(scene.first))
            report(scene.second->from, scene.second->fromLine, "scene " + scene.first + " can never be reached");
    }
}
}
