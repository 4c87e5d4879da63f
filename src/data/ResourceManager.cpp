#include "data/ResourceManager.h"

#include <memory>
#include <utility>
#include <vector>

#include <glm/glm.hpp>

#include "Log/Log.h"
#include "animation/TAAnimationManager.h"
#include "data/Ability.h"
#include "data/Class.h"
#include "data/Effect.h"
#include "data/Item.h"
#include "world/Scene.h"
#include "util/GameManifest.h"
#include "util/LoadedFiles.h"
#include "util/NamedXMLDocument.h"
#include "util/XMLNumbers.h"
#include "util/util.h"
#include "util/GameFiles.h"

namespace core
{
std::map<std::string, std::string> levelNameMap;

namespace
{
const char* const LOG_NAME = "ResourceManager";
// Frames are cells of a sprite sheet; no sheet has this many.
const int MAX_FRAME_CELL = 65535;

std::string dataPath(const std::string& fileName)
{
    return WORKING_DIRECTORY + "/" + fileName;
}

// Data files are flat lists of records without a common parent, so the
// document is loaded as a whole and walked sibling by sibling.
bool loadDocument(tinyxml2::XMLDocument& document, const std::string& path)
{
    return GameFiles::loadXML(document, path) == tinyxml2::XML_SUCCESS;
}

// A record read again replaces the one of the same name in place, so list
// order (and with it which duplicate wins) is kept.
template <typename T, typename Name>
void addRecord(std::vector<std::unique_ptr<T>>& records, std::unique_ptr<T> record, bool replacing,
               std::vector<std::unique_ptr<T>>& retired, Name nameOf)
{
    if (replacing)
    {
        for (std::unique_ptr<T>& old : records)
        {
            if (old && nameOf(old.get()) == nameOf(record.get()))
            {
                retired.push_back(std::move(old));
                old = std::move(record);
                return;
            }
        }
    }
    records.push_back(std::move(record));
}

// A record its builder refused is reported with where it stands, and left out.
bool built(const void* record, const char* kind, const tinyxml2::XMLElement* element, const std::string& path)
{
    if (!record)
        Log::error() << "ResourceManager::buildFromXML - Skipped " << kind << " record on line "
                     << element->GetLineNum() << " of " << path << std::endl;
    return record != nullptr;
}

template <typename T, typename Name>
T* findByName(const std::vector<std::unique_ptr<T>>& records, const std::string& wanted, Name nameOf)
{
    for (const std::unique_ptr<T>& record : records)
        if (record && nameOf(record.get()) == wanted)
            return record.get();
    return nullptr;
}
}

ResourceManager::~ResourceManager() = default;

ResourceManager* ResourceManager::getInstance()
{
    static ResourceManager instance;
    return &instance;
}

void ResourceManager::fillSceneTable()
{
    // The game's scene rows; its scene list files add theirs as they load.
    for (const ManifestEntry& scene : GameManifest::current().scenes())
        levelNameMap[scene.name] = scene.file;
}

void ResourceManager::init()
{
    getInstance();
    Log::named(LOG_NAME) << "ResourceManager init" << std::endl;
    const GameManifest& game = GameManifest::current();
    fillSceneTable();
    // In the manifest's order: classes grant abilities by name, so a game
    // lists its abilities first.
    for (const ManifestEntry& effects : game.effectFiles())
        buildFromXMLFile(effects.file);
    for (const ManifestEntry& data : game.dataFiles())
        buildFromXMLFile(data.file);
    for (const ManifestEntry& scenes : game.sceneFiles())
        buildFromXMLFile(scenes.file);
    dumpItems(Log::named(LOG_NAME));
}

bool ResourceManager::buildFromXMLFile(const std::string& fileName)
{
    const std::string path = dataPath(fileName);
    LoadedFiles::note(path, FileKind::Data);
    NamedXMLDocument document(fileName);
    if (!loadDocument(document, path))
    {
        Log::error() << "ResourceManager::buildFromXML - Failed to load or parse file " << path << std::endl;
        return false;
    }
    ResourceManager* self = getInstance();
    self->_effectsInFile.clear();
    for (tinyxml2::XMLElement* record = document.FirstChildElement(); record; record = record->NextSiblingElement())
        self->readRecord(record, path);
    return true;
}

bool ResourceManager::reloadFromXMLFile(const std::string& fileName, int* skipped)
{
    const std::string path = dataPath(fileName);
    NamedXMLDocument document(fileName);
    if (!loadDocument(document, path))
    {
        Log::error() << "ResourceManager::reloadFromXMLFile - " << fileName << ": " << nullToEmpty(document.ErrorStr())
                     << std::endl;
        return false;
    }
    ResourceManager* self = getInstance();
    self->_replacing = true;
    self->_effectsInFile.clear();
    for (tinyxml2::XMLElement* record = document.FirstChildElement(); record; record = record->NextSiblingElement())
    {
        const std::string kind = record->Name();
        // A second animation of a name would free the one sprites run on.
        if (kind != "animation" && kind != "character")
            self->readRecord(record, path);
        else if (skipped)
            ++*skipped;
    }
    self->_replacing = false;
    return true;
}

void ResourceManager::readRecord(tinyxml2::XMLElement* record, const std::string& path)
{
    const std::string kind = record->Name();
    if (kind == "character")
        Log::error() << "Don't read in characters directly to the resource manager" << std::endl;
    else if (kind == "item")
        readItem(record, path);
    else if (kind == "scene")
        readScene(record);
    else if (kind == "animation")
        buildAnimation(record);
    else if (kind == "ability")
        readAbility(record);
    else if (kind == "class")
        readClass(record, path);
    else if (kind == "effect")
        readEffect(record, path);
    else
        Log::named(LOG_NAME) << "Unknown resource type " << kind << std::endl;
}

void ResourceManager::readScene(tinyxml2::XMLElement* record)
{
    // The scene itself is built on demand by getScene; a game of its own
    // names its scenes here, beside (or over) the built-in table.
    const std::string id = nullToEmpty(record->Attribute("id"));
    const std::string file = nullToEmpty(record->Attribute("filename"));
    if (!id.empty() && !file.empty())
        levelNameMap[id] = file;
}

void ResourceManager::readItem(tinyxml2::XMLElement* record, const std::string& path)
{
    std::unique_ptr<Item> item = Item::buildFromXMLElement(record);
    // A null entry would break every later lookup and the item dump.
    if (!built(item.get(), "an item", record, path))
        return;
    addRecord(_items, std::move(item), _replacing, _retiredItems, [](Item* record) { return record->getId(); });
}

void ResourceManager::readAbility(tinyxml2::XMLElement* record)
{
    // The ability builder reports its own failures; nothing is kept then.
    std::unique_ptr<Ability> ability = Ability::buildFromXMLElement(record);
    if (!ability)
        return;
    Log::named(LOG_NAME) << "Loaded ability " << ability->getName() << std::endl;
    addRecord(_abilities, std::move(ability), _replacing, _retiredAbilities,
              [](Ability* record) { return record->getName(); });
}

void ResourceManager::readClass(tinyxml2::XMLElement* record, const std::string& path)
{
    std::unique_ptr<Class> characterClass = Class::fromXML(record);
    if (!built(characterClass.get(), "a class", record, path))
        return;
    Log::named(LOG_NAME) << "loaded class" << characterClass->getName() << std::endl;
    addRecord(_classes, std::move(characterClass), _replacing, _retiredClasses,
              [](Class* record) { return record->getName(); });
}

void ResourceManager::readEffect(tinyxml2::XMLElement* record, const std::string& path)
{
    std::vector<std::string> problems;
    std::unique_ptr<Effect> effect = Effect::fromXML(record, problems);
    for (const std::string& problem : problems)
        Log::error() << "ResourceManager::buildFromXML - " << NamedXMLDocument::fileOf(record) << ":"
                     << record->GetLineNum() << ": " << problem << std::endl;
    if (!effect)
    {
        Log::error() << "ResourceManager::buildFromXML - Skipped an effect record on line " << record->GetLineNum()
                     << " of " << path << std::endl;
        return;
    }
    // Within one file a second record of a name is a mistake; a file read
    // again (a new start, a reload) may of course name its effects again.
    if (!_effectsInFile.insert(effect->getName()).second)
    {
        Log::error() << "ResourceManager::buildFromXML - " << NamedXMLDocument::fileOf(record) << ":"
                     << record->GetLineNum() << ": effect " << effect->getName()
                     << " is defined twice; the first one is kept" << std::endl;
        return;
    }
    Log::named(LOG_NAME) << "loaded effect " << effect->getName() << std::endl;
    addRecord(_effects, std::move(effect), _replacing, _retiredEffects, [](Effect* e) { return e->getName(); });
}

tamsyAnimation::Animation* ResourceManager::buildAnimation(tinyxml2::XMLElement* element)
{
    if (!element)
        return nullptr;
    const std::string id = nullToEmpty(element->Attribute("id"));
    Log::named(LOG_NAME) << "Building animation " << id << std::endl;
    std::vector<glm::vec2> frames;
    for (tinyxml2::XMLElement* frame = element->FirstChildElement("frame"); frame;
         frame = frame->NextSiblingElement("frame"))
    {
        // The record's "row" is the frame's first coordinate: stored files
        // are written against this order.
        const int col = readIntAttribute(frame, "col", 0, 0, MAX_FRAME_CELL);
        const int row = readIntAttribute(frame, "row", 0, 0, MAX_FRAME_CELL);
        frames.push_back(glm::vec2(static_cast<float>(row), static_cast<float>(col)));
    }
    return tamsyAnimation::AnimationManager::getInstance()->createAnimation(id, frames);
}

std::unique_ptr<Scene> ResourceManager::getScene(const std::string& sceneId)
{
    // A miss must not add a row to the table, so no operator[] here.
    auto row = levelNameMap.find(sceneId);
    const std::string fileName = row == levelNameMap.end() ? std::string() : row->second;
    const std::string path = dataPath(fileName);
    NamedXMLDocument document(fileName);
    if (fileName.empty() || LoadedFiles::loadXML(document, path, FileKind::Scene) != tinyxml2::XML_SUCCESS ||
        !document.FirstChildElement())
    {
        Log::error() << "ResourceManager::buildFromXML - Failed to get scene " << sceneId << " does " << path
                     << " exist?" << std::endl;
        return nullptr;
    }
    std::unique_ptr<Scene> scene = Scene::buildFromXMLElement(document.FirstChildElement());
    if (!scene)
        Log::error() << "ResourceManager::getScene - Scene " << sceneId << " from " << path << " could not be built"
                     << std::endl;
    return scene;
}

Item* ResourceManager::getItem(const std::string& name)
{
    return findByName(getInstance()->_items, name, [](Item* item) { return item->getName(); });
}

Item* ResourceManager::getItemById(const std::string& id)
{
    return findByName(getInstance()->_items, id, [](Item* item) { return item->getId(); });
}

Ability* ResourceManager::getAbility(const std::string& name)
{
    return findByName(getInstance()->_abilities, name, [](Ability* ability) { return ability->getName(); });
}

Class* ResourceManager::getClass(const std::string& name)
{
    return findByName(getInstance()->_classes, name, [](Class* characterClass) { return characterClass->getName(); });
}

Effect* ResourceManager::getEffect(const std::string& name)
{
    // Abilities, classes and characters name effects as the effects file does.
    if (name.empty())
        return nullptr;
    return findByName(getInstance()->_effects, name, [](Effect* effect) { return effect->getName(); });
}

std::vector<Item*> ResourceManager::getItems()
{
    std::vector<Item*> items;
    for (const std::unique_ptr<Item>& item : getInstance()->_items)
        items.push_back(item.get());
    return items;
}

void ResourceManager::dumpItems(std::ostream& out)
{
    for (const std::unique_ptr<Item>& item : getInstance()->_items)
        out << item->getName() << std::endl;
}

void ResourceManager::cull()
{
}
}
