#pragma once

#include <list>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "data/Effect.h"

namespace tamsyAnimation
{
class Animation;
}

namespace core
{
class Ability;
class Class;
class Item;
class Scene;

typedef std::list<tinyxml2::XMLElement*> SceneDataList;
// The database owns its records; everything else points at them.
typedef std::vector<std::unique_ptr<Item>> ItemList;
typedef std::vector<std::unique_ptr<Ability>> AbilityList;
typedef std::vector<std::unique_ptr<Class>> ClassList;
typedef std::vector<std::unique_ptr<Effect>> OwnedEffectList;

// Scene id -> path of the scene file it is built from; filled by
// ResourceManager::init() from the game's manifest.
extern std::map<std::string, std::string> levelNameMap;

// The game's data records, read once at start-up and looked up by name for
// the rest of the run. Records are shared by pointer and live until exit;
// scenes are the exception and are built afresh on every request.
class ResourceManager
{
public:
    virtual ~ResourceManager();

    static ResourceManager* getInstance();

    static void init();
    // False when the file cannot be read; bad records inside a readable file
    // are logged and skipped, and the result stays true.
    static bool buildFromXMLFile(const std::string& fileName);
    // Reads a changed data file again: each item, ability and class in it
    // takes the place of the record of the same name (or is added), and the
    // scene table takes its scene rows. Records replaced stay allocated,
    // since characters and fights may still point at them. Animations and
    // characters are read at start only. False, nothing changed, when the
    // file cannot be read or parsed.
    // `skipped` counts the animation and character records left as they were.
    static bool reloadFromXMLFile(const std::string& fileName, int* skipped = nullptr);
    static tamsyAnimation::Animation* buildAnimation(tinyxml2::XMLElement* element);

    // A new scene each call; null when the id is not in the table or its
    // file does not build.
    static std::unique_ptr<Scene> getScene(const std::string& sceneId);

    static Item* getItem(const std::string& name);
    // Inventories hold item ids, not names.
    static Item* getItemById(const std::string& id);
    static Ability* getAbility(const std::string& name);
    static Class* getClass(const std::string& name);
    // By the name the effects file gives it.
    static Effect* getEffect(const std::string& name);

    // In the order they were read; the items stay the database's.
    static std::vector<Item*> getItems();
    static void dumpItems(std::ostream& out);
    static void cull();

private:
    ResourceManager() = default;
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    static void fillSceneTable();
    void readRecord(tinyxml2::XMLElement* record, const std::string& path);
    void readScene(tinyxml2::XMLElement* record);
    void readItem(tinyxml2::XMLElement* record, const std::string& path);
    void readAbility(tinyxml2::XMLElement* record);
    void readClass(tinyxml2::XMLElement* record, const std::string& path);
    void readEffect(tinyxml2::XMLElement* record, const std::string& path);

    SceneDataList _scenes;
    ItemList _items;
    AbilityList _abilities;
    ClassList _classes;
    OwnedEffectList _effects;
    // Set while a changed file is read again.
    bool _replacing = false;
    ItemList _retiredItems;
    AbilityList _retiredAbilities;
    ClassList _retiredClasses;
    OwnedEffectList _retiredEffects;
    // Effect names met in the file being read.
    std::set<std::string> _effectsInFile;
};
}
