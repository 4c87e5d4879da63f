#include "util/GameManifest.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "Log/Log.h"
#include "util/DataPaths.h"
#include "util/GameFiles.h"
#include "util/NamedXMLDocument.h"
#include "util/util.h"

namespace fs = std::filesystem;

const char* const GameManifest::FILE_NAME = "game.xml";
const char* const GameManifest::DEFAULT_FILE = "assets/default-game.xml";

namespace
{
std::unique_ptr<GameManifest>& currentSlot()
{
    static std::unique_ptr<GameManifest> manifest;
    return manifest;
}

std::string text(const tinyxml2::XMLElement* element, const char* attribute)
{
    return nullToEmpty(element->Attribute(attribute));
}

// The id names the player's save and log folders, so it must be one plain
// folder name.
bool isPlainName(const std::string& id)
{
    if (id.empty() || id[0] == '.')
        return false;
    return std::all_of(id.begin(), id.end(),
                       [](char c)
                       { return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-'; });
}

// A game reads only inside its own folder.
bool isInsideGame(const std::string& file)
{
    if (file.empty() || file[0] == '/' || file[0] == '\\')
        return false;
    for (const fs::path& part : fs::path(file))
    {
        if (part == "..")
            return false;
    }
    return true;
}

std::vector<std::string> words(const std::string& list)
{
    std::vector<std::string> found;
    std::string word;
    std::istringstream in(list);
    while (in >> word)
        found.push_back(word);
    return found;
}

void report(const GameManifest& manifest)
{
    for (const std::string& problem : manifest.problems())
        Log::error() << "GameManifest - " << problem << std::endl;
}
}

GameManifest GameManifest::loadGame()
{
    GameManifest manifest;
    // Asked of the game's files, not of the working directory: a zipped
    // game is not there, and the folder the player stands in may hold
    // another game's manifest.
    if (GameFiles::exists(FILE_NAME))
    {
        manifest.readFile(FILE_NAME);
        return manifest;
    }
    if (GameFiles::exists(DEFAULT_FILE))
    {
        manifest.readFile(DEFAULT_FILE);
        return manifest;
    }
    const std::string engineDefault = DataPaths::engineDataFile(DEFAULT_FILE);
    if (engineDefault.empty())
    {
        manifest._fileName = FILE_NAME;
        manifest.problem(0, std::string("missing file, and no default manifest ") + DEFAULT_FILE +
                                " here or beside the installed engine");
        return manifest;
    }
    manifest.readFile(engineDefault);
    return manifest;
}

namespace
{
// The log writes each engine channel to the stream the game names for it.
void routeLog(const GameManifest* game)
{
    std::vector<Log::Route> routes;
    if (game)
        for (const ManifestLogStream& log : game->logStreams())
            routes.push_back(Log::Route{log.stream, log.channels, log.shown});
    Log::setRoutes(std::move(routes));
}
}

const GameManifest& GameManifest::current()
{
    // Reading reports through code that may ask for the manifest again:
    // the inner call sees an empty manifest instead of reading again.
    static bool reading = false;
    static const GameManifest empty;
    std::unique_ptr<GameManifest>& slot = currentSlot();
    if (slot)
        return *slot;
    if (reading)
        return empty;
    reading = true;
    std::unique_ptr<GameManifest> loaded = std::make_unique<GameManifest>(loadGame());
    reading = false;
    slot = std::move(loaded);
    routeLog(slot.get());
    report(*slot);
    return *slot;
}

void GameManifest::setCurrent(const GameManifest& manifest)
{
    currentSlot() = std::make_unique<GameManifest>(manifest);
    routeLog(currentSlot().get());
}

void GameManifest::forgetCurrent()
{
    currentSlot().reset();
    routeLog(nullptr);
}

bool GameManifest::readDiskFile(const std::string& path, const std::string& shownName)
{
    NamedXMLDocument document(shownName);
    if (document.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS || !document.RootElement())
    {
        problem(document.ErrorLineNum(), "cannot be read, or is not well-formed XML");
        return false;
    }
    return readElement(document.RootElement(), shownName);
}

bool GameManifest::readFile(const std::string& path)
{
    _fileName = path;
    // The engine's own default, outside any game folder.
    if (!path.empty() && path[0] == '/')
        return readDiskFile(path, path);
    // The log asks for the manifest the first time a stream is named, which
    // a static initialiser may do before the XML helper's own globals exist:
    // a file in the folder is read straight from it, and the helper serves
    // the rest. Once a game is mounted, only its own files count: the folder
    // the player stands in may hold another game's manifest.
    std::error_code error;
    if (!GameFiles::mounted() && fs::is_regular_file(path, error))
        return readDiskFile("./" + path, path);
    XMLRoot root = getRoot(path);
    if (root)
        return readElement(root.get(), path);
    problem(0, "cannot be read, or is not well-formed XML");
    return false;
}

bool GameManifest::readText(const std::string& xml, const std::string& fileName)
{
    _fileName = fileName;
    NamedXMLDocument document(fileName);
    if (document.Parse(xml.c_str()) != tinyxml2::XML_SUCCESS || !document.RootElement())
    {
        problem(document.ErrorLineNum(), "not well-formed XML");
        return false;
    }
    return readElement(document.RootElement(), fileName);
}

bool GameManifest::readElement(const tinyxml2::XMLElement* root, const std::string& fileName)
{
    _fileName = fileName;
    if (!root || std::string(root->Name()) != "game")
    {
        problem(root ? root->GetLineNum() : 0,
                std::string("the root element is <") + (root ? root->Name() : "") + ">, expected <game>");
        return false;
    }
    readGameAttributes(root);
    for (const tinyxml2::XMLElement* child = root->FirstChildElement(); child; child = child->NextSiblingElement())
        readChild(child);
    checkRequired(root);
    return true;
}

std::string GameManifest::where(int line) const
{
    return _fileName + ":" + std::to_string(line);
}

void GameManifest::problem(int line, const std::string& message)
{
    _problems.push_back(where(line) + ": " + message);
    _faults.emplace_back(line, message);
}

std::string GameManifest::soundForCue(const std::string& cue) const
{
    for (const ManifestSound& sound : _sounds)
    {
        if (sound.cue == cue)
            return sound.name;
    }
    return "";
}

std::string GameManifest::textureForCue(const std::string& cue) const
{
    for (const ManifestTexture& texture : _textures)
    {
        if (texture.cue == cue)
            return texture.name;
    }
    return "";
}

std::vector<std::string> GameManifest::scriptsFor(const std::string& role) const
{
    std::vector<std::string> scripts;
    for (const ManifestEntry& entry : _scriptRoles)
    {
        if (entry.name == role)
            scripts.push_back(entry.file);
    }
    return scripts;
}

void GameManifest::readGameAttributes(const tinyxml2::XMLElement* game)
{
    checkAttributes(game, {"id", "title", "name", "width", "height", "legacySaves"});
    _id = required(game, "id");
    if (!_id.empty() && !isPlainName(_id))
    {
        problem(game->GetLineNum(),
                "id \"" + _id + "\" may hold only letters, digits, '.', '_' and '-'" + " and may not begin with '.'");
        _id.clear();
    }
    if (game->Attribute("title"))
        _title = text(game, "title");
    if (game->Attribute("name"))
        _name = text(game, "name");
    long width = _width;
    long height = _height;
    if (readNumber(game, "width", MIN_WIDTH, MAX_WIDTH, width))
        _width = static_cast<int>(width);
    if (readNumber(game, "height", MIN_HEIGHT, MAX_HEIGHT, height))
        _height = static_cast<int>(height);
    readBoolean(game, "legacySaves", _legacySaves);
}

void GameManifest::readChild(const tinyxml2::XMLElement* child)
{
    const std::string kind = child->Name();
    if (kind == "start")
        readStart(child);
    else if (kind == "avatar")
        readSingle(child, _seenAvatar, "id", _avatarId);
    else if (kind == "session")
        readSingle(child, _seenSession, "file", _sessionFile);
    else if (kind == "data")
        readFileList(child, _dataFiles);
    else if (kind == "effects")
        readFileList(child, _effectFiles);
    else if (kind == "scenes")
        readFileList(child, _sceneFiles);
    else if (kind == "scene")
        readNamedFile(child, "scene", "id", _scenes);
    else if (kind == "texture")
        readTexture(child);
    else if (kind == "sound")
        readSound(child);
    else if (kind == "font")
        readNamedFile(child, "font", "name", _fonts);
    else if (kind == "log")
        readLog(child);
    else if (kind == "script")
        readScriptRole(child);
    else if (kind == "theme")
        readTheme(child);
    else
        problem(child->GetLineNum(), "unknown element <" + kind + ">");
}

// An unknown attribute is most likely a misspelt known one: it is named, and
// the element is still read, since what it says correctly may well be meant.
void GameManifest::checkAttributes(const tinyxml2::XMLElement* element, const std::vector<std::string>& allowed)
{
    for (const tinyxml2::XMLAttribute* attribute = element->FirstAttribute(); attribute; attribute = attribute->Next())
    {
        if (std::find(allowed.begin(), allowed.end(), attribute->Name()) == allowed.end())
        {
            problem(element->GetLineNum(),
                    std::string("<") + element->Name() + "> has an unknown attribute " + attribute->Name());
        }
    }
}

std::string GameManifest::required(const tinyxml2::XMLElement* element, const char* attribute)
{
    const std::string value = text(element, attribute);
    if (value.empty())
    {
        problem(element->GetLineNum(), std::string("<") + element->Name() + "> has no " + attribute +
                                           (element->Attribute(attribute) ? " (it is empty)" : ""));
        return value;
    }
    const std::string name = attribute;
    if ((name == "file" || name == "script") && !isInsideGame(value))
    {
        problem(element->GetLineNum(), std::string("<") + element->Name() + "> " + name + " \"" + value +
                                           "\" is not a relative path inside the game folder");
        return "";
    }
    return value;
}

bool GameManifest::readNumber(const tinyxml2::XMLElement* element, const char* attribute, long min, long max,
                              long& value)
{
    const char* raw = element->Attribute(attribute);
    if (!raw)
        return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(raw, &end, 10);
    const std::string name = std::string("<") + element->Name() + "> " + attribute;
    if (end == raw || *end != '\0' || errno == ERANGE || std::isspace(static_cast<unsigned char>(*raw)))
    {
        problem(element->GetLineNum(), name + " \"" + raw + "\" is not a whole number");
        return false;
    }
    if (parsed < min || parsed > max)
    {
        problem(element->GetLineNum(),
                name + " " + raw + " is out of range (" + std::to_string(min) + " to " + std::to_string(max) + ")");
        return false;
    }
    value = parsed;
    return true;
}

bool GameManifest::readBoolean(const tinyxml2::XMLElement* element, const char* attribute, bool& value)
{
    const char* raw = element->Attribute(attribute);
    if (!raw)
        return false;
    const std::string word = raw;
    if (word != "true" && word != "false")
    {
        problem(element->GetLineNum(),
                std::string("<") + element->Name() + "> " + attribute + " \"" + word + "\" is not true or false");
        return false;
    }
    value = word == "true";
    return true;
}

bool GameManifest::once(const tinyxml2::XMLElement* element, bool& seen)
{
    if (seen)
    {
        problem(element->GetLineNum(), std::string("a second <") + element->Name() + "> (only the first counts)");
        return false;
    }
    seen = true;
    return true;
}

bool GameManifest::uniqueName(const tinyxml2::XMLElement* element, const std::string& kind, const std::string& name)
{
    if (name.empty())
        return false;
    const std::pair<std::string, std::string> key(kind, name);
    if (std::find(_names.begin(), _names.end(), key) != _names.end())
    {
        problem(element->GetLineNum(), "duplicate " + kind + " \"" + name + "\" (only the first counts)");
        return false;
    }
    _names.push_back(key);
    return true;
}

void GameManifest::readStart(const tinyxml2::XMLElement* element)
{
    if (!once(element, _seenStart))
        return;
    checkAttributes(element, {"script", "scene", "row", "col"});
    _startScript = required(element, "script");
    _startScene = text(element, "scene");
    long row = 0;
    long column = 0;
    if (readNumber(element, "row", 0, 1000000, row))
        _startRow = static_cast<int>(row);
    if (readNumber(element, "col", 0, 1000000, column))
        _startColumn = static_cast<int>(column);
    if (_startScene.empty() && (element->Attribute("row") || element->Attribute("col")))
        problem(element->GetLineNum(), "<start> gives a row or col but no scene");
}

void GameManifest::readSingle(const tinyxml2::XMLElement* element, bool& seen, const char* attribute,
                              std::string& value)
{
    if (!once(element, seen))
        return;
    checkAttributes(element, {attribute});
    value = required(element, attribute);
}

void GameManifest::readFileList(const tinyxml2::XMLElement* element, std::vector<ManifestEntry>& list)
{
    checkAttributes(element, {"file"});
    ManifestEntry entry;
    entry.file = required(element, "file");
    entry.line = element->GetLineNum();
    if (!entry.file.empty())
        list.push_back(entry);
}

void GameManifest::readEntry(const tinyxml2::XMLElement* element, const char* nameAttribute, ManifestEntry& entry)
{
    entry.name = required(element, nameAttribute);
    entry.file = required(element, "file");
    entry.line = element->GetLineNum();
}

bool GameManifest::keeps(const tinyxml2::XMLElement* element, const std::string& kind, const ManifestEntry& entry)
{
    return !entry.file.empty() && uniqueName(element, kind, entry.name);
}

void GameManifest::readNamedFile(const tinyxml2::XMLElement* element, const char* kind, const char* nameAttribute,
                                 std::vector<ManifestEntry>& list)
{
    checkAttributes(element, {nameAttribute, "file"});
    ManifestEntry entry;
    readEntry(element, nameAttribute, entry);
    if (keeps(element, kind, entry))
        list.push_back(entry);
}

void GameManifest::readTexture(const tinyxml2::XMLElement* element)
{
    checkAttributes(element, {"name", "file", "load", "cue"});
    ManifestTexture texture;
    readEntry(element, "name", texture);
    const std::string load = element->Attribute("load") ? text(element, "load") : "start";
    if (load != "start" && load != "lazy")
        problem(element->GetLineNum(), "<texture> load \"" + load + "\" is not start or lazy");
    texture.lazy = load == "lazy";
    texture.cue = text(element, "cue");
    if (keeps(element, "texture", texture))
        _textures.push_back(texture);
}

void GameManifest::readSound(const tinyxml2::XMLElement* element)
{
    checkAttributes(element, {"name", "file", "music", "loopTo", "cue"});
    ManifestSound sound;
    readEntry(element, "name", sound);
    sound.cue = text(element, "cue");
    readBoolean(element, "music", sound.music);
    long loopTo = 0;
    if (readNumber(element, "loopTo", 0, 86400000, loopTo))
        sound.loopTo = static_cast<unsigned int>(loopTo);
    if (loopTo != 0 && !sound.music)
        problem(element->GetLineNum(), "<sound> loopTo is given for a sound that is not music");
    if (keeps(element, "sound", sound))
        _sounds.push_back(sound);
}

void GameManifest::readLog(const tinyxml2::XMLElement* element)
{
    checkAttributes(element, {"stream", "carries", "show"});
    ManifestLogStream log;
    log.stream = required(element, "stream");
    log.channels = words(text(element, "carries"));
    log.line = element->GetLineNum();
    readBoolean(element, "show", log.shown);
    if (uniqueName(element, "log stream", log.stream))
        _logStreams.push_back(log);
}

void GameManifest::readScriptRole(const tinyxml2::XMLElement* element)
{
    checkAttributes(element, {"role", "file"});
    ManifestEntry entry;
    entry.name = required(element, "role");
    entry.file = required(element, "file");
    entry.line = element->GetLineNum();
    if (!entry.name.empty() && entry.name != "sceneChange" && entry.name != "wander")
    {
        problem(entry.line, "<script> role \"" + entry.name + "\" is not sceneChange or wander");
        return;
    }
    if (!entry.name.empty() && !entry.file.empty())
        _scriptRoles.push_back(entry);
}

void GameManifest::readTheme(const tinyxml2::XMLElement* element)
{
    if (!once(element, _seenTheme))
        return;
    checkAttributes(element, {"panel", "border", "text"});
    _theme.line = element->GetLineNum();
    _theme.panel = required(element, "panel");
    long border = _theme.border;
    if (readNumber(element, "border", 1, 256, border))
        _theme.border = static_cast<int>(border);
    _theme.hasTextColour = readColour(element, "text", _theme.textColour);
}

// Colours are written as in web pages: "#rrggbb".
bool GameManifest::readColour(const tinyxml2::XMLElement* element, const char* attribute, int (&rgb)[3])
{
    const char* raw = element->Attribute(attribute);
    if (!raw)
        return false;
    const std::string word = raw;
    const bool shaped = word.size() == 7 && word[0] == '#' &&
                        word.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
    if (!shaped)
    {
        problem(element->GetLineNum(), std::string("<") + element->Name() + "> " + attribute + " \"" + word +
                                           "\" is not a colour written #rrggbb");
        return false;
    }
    for (int i = 0; i < 3; ++i)
        rgb[i] = std::stoi(word.substr(1 + 2 * i, 2), nullptr, 16);
    return true;
}

// The panel's texture may be listed after the theme, so it is looked for
// once everything is read; without it the flat colours stay.
void GameManifest::checkTheme()
{
    if (_theme.panel.empty())
        return;
    for (const ManifestTexture& texture : _textures)
        if (texture.name == _theme.panel)
            return;
    problem(_theme.line, "<theme> panel \"" + _theme.panel + "\" names no <texture> of the manifest");
    _theme.panel.clear();
}

void GameManifest::checkRequired(const tinyxml2::XMLElement* game)
{
    checkTheme();
    if (!_seenStart)
        problem(game->GetLineNum(), "<game> has no <start script=\"...\"/>: nothing enters the first scene");
    if (!_seenAvatar)
        problem(game->GetLineNum(), "<game> has no <avatar id=\"...\"/>: the player controls nobody");
    if (!_seenSession)
        problem(game->GetLineNum(), "<game> has no <session file=\"...\"/>: the game has no party");
}
