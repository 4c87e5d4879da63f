#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "util/GameManifest.h"

class LevelMap;

namespace core
{

// Checks a whole game tree before it ships, with the engine's own loaders:
// missing or undecodable files, records that name records which do not
// exist, Lua that does not compile, portals to missing scenes or onto
// impassable tiles, scenes and dialog nodes nobody can reach, characters
// standing on impassable tiles. Works on the game in the working directory,
// since every data path of the engine is relative to it.
class AssetChecker
{
public:
    struct Problem
    {
        std::string file;
        // 0 when the problem is with the file as a whole.
        int line;
        std::string message;
    };

    AssetChecker();
    ~AssetChecker();
    AssetChecker(const AssetChecker&) = delete;
    AssetChecker& operator=(const AssetChecker&) = delete;

    // Every problem found, in the order the checks ran.
    const std::vector<Problem>& check();

    // "file:line: message".
    static std::string format(const Problem& problem);

private:
    struct SceneInfo;
    struct Reference;

    void report(const std::string& file, int line, const std::string& message);
    // Parses the file; a missing or malformed one is reported against the
    // file that named it (or itself when nothing did).
    bool load(const std::string& file, tinyxml2::XMLDocument& document, const std::string& from = "", int fromLine = 0);
    bool fileExists(const std::string& file) const;

    void readManifest();
    void checkManifestFiles();
    void checkEngineFiles();
    void checkTexture(const std::string& name, const std::string& file, int line);
    void loadRecords();
    void checkEffects();
    void checkEffect(const std::string& file, const tinyxml2::XMLElement* record, const std::set<std::string>& sounds,
                     std::set<std::string>& names);
    void checkAbilityEffects();
    void checkLoot(const std::string& file, const tinyxml2::XMLElement* item);
    void checkItems();
    void checkClasses();
    void checkSession();
    void checkCharacter(const std::string& file, const tinyxml2::XMLElement* element);
    void checkTemplate(const std::string& templateFile, const std::string& from, int fromLine);
    void checkRecordChildren(const std::string& file, const tinyxml2::XMLElement* element);
    void checkScenes();
    void checkScene(const std::string& id, const std::string& file, const std::string& from, int fromLine);
    void checkSceneCharacter(SceneInfo& scene, const tinyxml2::XMLElement* element);
    void readTriggers(SceneInfo& scene);
    void checkPortals();
    void checkScriptFiles();
    void checkScriptReference(const std::string& script, const std::string& file, int line);
    void checkLua(const std::string& text, const std::string& file, int line);
    void checkInlineScripts(const tinyxml2::XMLElement* element, const std::string& file);
    void collectCalls(const std::string& text, const std::string& file, int line);
    void checkDialogs();
    void checkDialog(const std::string& dialog, const std::set<std::string>& starts);
    void checkReachability();
    bool passable(const std::string& sceneId, int row, int column) const;

    std::vector<Problem> _problems;
    GameManifest _manifest;
    // From the manifest: the party file, and the start-up script's path.
    std::string _sessionFile;
    std::string _startScript;
    // Start-up texture name to the file it is read from.
    std::map<std::string, std::string> _texturePaths;
    std::set<std::string> _checkedTemplates;
    std::set<std::string> _checkedImages;
    std::map<std::string, std::unique_ptr<SceneInfo>> _scenes;
    // talk("dialog", "node", ...) and s:enter("scene", row, col) calls.
    std::vector<Reference> _talks;
    std::vector<Reference> _enters;
    std::vector<Reference> _portals;
};
}
