#pragma once

#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

// One file that the manifest names, with the line that names it so that
// whoever fails to use it can point the maker at the right place.
struct ManifestEntry
{
    // Texture, sound or font name, or scene id; empty for data files.
    std::string name;
    // Relative to the game folder, without a leading slash.
    std::string file;
    int line = 0;
};

struct ManifestTexture : ManifestEntry
{
    // Loaded on first use instead of at start-up; takes its texture unit then.
    bool lazy = false;
    // The engine picture this texture is ("fire": a burning effect), empty
    // when only the game's files name it.
    std::string cue;
};

struct ManifestSound : ManifestEntry
{
    bool music = false;
    // Where music jumps back to near its end, in milliseconds.
    unsigned int loopTo = 0;
    // The engine event that plays this sound ("step", "dialogText", "hit",
    // "battle"), empty when only scripts ask for it.
    std::string cue;
};

// A named log stream of the game and the engine channels that write to it.
struct ManifestLogStream
{
    std::string stream;
    std::vector<std::string> channels;
    // Whether the stream is put on standard output; a hidden one is silent.
    bool shown = true;
    int line = 0;
};

// How the game's menus look: panels drawn from a picture cut in nine (the
// corners kept, the edges and middle stretched) and the colour of their
// text. An empty panel keeps the engine's flat colours.
struct ManifestTheme
{
    // A texture name of the manifest.
    std::string panel;
    // Width in pixels of the picture's corners, drawn at the same size.
    int border = 8;
    bool hasTextColour = false;
    // Red, green, blue, 0 to 255.
    int textColour[3] = {255, 255, 255};
    int line = 0;
};

// The game manifest, game.xml in the game folder: who the game is, how its
// window looks, where it starts and every table of files the engine loads
// for it. A folder without one plays with the default manifest, which holds
// the tables an old game folder was made for. Reading never stops at the
// first fault: every bad element or attribute is listed with file and line,
// skipped, and the rest is read.
class GameManifest
{
public:
    static const char* const FILE_NAME;
    // Looked up in the game folder, then beside the installed engine data.
    static const char* const DEFAULT_FILE;
    static const int MIN_WIDTH = 160;
    static const int MAX_WIDTH = 7680;
    static const int MIN_HEIGHT = 120;
    static const int MAX_HEIGHT = 4320;

    // The game in the working directory (the game folder): its game.xml,
    // else the default manifest. Problems are in problems(), not logged.
    static GameManifest loadGame();
    // The manifest of the running game, read and reported (log and standard
    // error) on first use.
    static const GameManifest& current();
    // Replaces the running game's manifest (tests, tools that check another
    // folder); the log stream channels follow it.
    static void setCurrent(const GameManifest& manifest);
    // Reads the running game's manifest afresh on the next current().
    static void forgetCurrent();

    // Reads a file relative to the game folder, or an absolute one. False
    // when it cannot be read or is no manifest at all.
    bool readFile(const std::string& path);
    // Reads manifest text; `fileName` is what problems name.
    bool readText(const std::string& xml, const std::string& fileName);
    bool readElement(const tinyxml2::XMLElement* root, const std::string& fileName);

    // "file:line: what is wrong", in document order.
    const std::vector<std::string>& problems() const { return _problems; }
    // The same, as (line, message) for tools that format them their own way.
    const std::vector<std::pair<int, std::string>>& faults() const { return _faults; }
    const std::string& fileName() const { return _fileName; }

    const std::string& id() const { return _id; }
    const std::string& title() const { return _title; }
    // The game's name as players read it on its title screen; the window's
    // title when the manifest gives none.
    const std::string& name() const { return _name.empty() ? _title : _name; }
    int width() const { return _width; }
    int height() const { return _height; }
    const std::string& startScript() const { return _startScript; }
    // Entered after the start script when it entered no scene itself.
    const std::string& startScene() const { return _startScene; }
    int startRow() const { return _startRow; }
    int startColumn() const { return _startColumn; }
    // Whether this game keeps its saves in the folder all saves shared
    // before each game had one of its own ($XDG_DATA_HOME/zolt/saves), so
    // that its players' saves from then are found where they are.
    bool keepsSharedSaves() const { return _legacySaves; }
    const std::string& avatarId() const { return _avatarId; }
    const std::string& sessionFile() const { return _sessionFile; }
    const std::vector<ManifestEntry>& dataFiles() const { return _dataFiles; }
    // Effects files, read before the data files: abilities name effects.
    const std::vector<ManifestEntry>& effectFiles() const { return _effectFiles; }
    const std::vector<ManifestEntry>& sceneFiles() const { return _sceneFiles; }
    const std::vector<ManifestEntry>& scenes() const { return _scenes; }
    const std::vector<ManifestTexture>& textures() const { return _textures; }
    const std::vector<ManifestSound>& sounds() const { return _sounds; }
    const std::vector<ManifestEntry>& fonts() const { return _fonts; }
    const std::vector<ManifestLogStream>& logStreams() const { return _logStreams; }
    const ManifestTheme& theme() const { return _theme; }

    // The name of the first sound with the cue, empty when none has it.
    std::string soundForCue(const std::string& cue) const;
    // The name of the first texture with the cue, empty when none has it.
    std::string textureForCue(const std::string& cue) const;
    // The scripts (under assets/scripts) that play an engine role:
    // "sceneChange" for trigger scripts that lead to another scene (the
    // map's portals), "wander" for the one that keeps characters inside
    // their region.
    std::vector<std::string> scriptsFor(const std::string& role) const;
    const std::vector<ManifestEntry>& scriptRoles() const { return _scriptRoles; }
    // Where the file of a line came from, as problems name it.
    std::string where(int line) const;

private:
    void problem(int line, const std::string& message);
    bool readDiskFile(const std::string& path, const std::string& shownName);
    void readGameAttributes(const tinyxml2::XMLElement* game);
    void readChild(const tinyxml2::XMLElement* child);
    void checkAttributes(const tinyxml2::XMLElement* element, const std::vector<std::string>& allowed);
    std::string required(const tinyxml2::XMLElement* element, const char* attribute);
    bool readNumber(const tinyxml2::XMLElement* element, const char* attribute, long min, long max, long& value);
    bool readBoolean(const tinyxml2::XMLElement* element, const char* attribute, bool& value);
    bool once(const tinyxml2::XMLElement* element, bool& seen);
    bool uniqueName(const tinyxml2::XMLElement* element, const std::string& kind, const std::string& name);
    // The name (under nameAttribute), file and line every named file carries.
    void readEntry(const tinyxml2::XMLElement* element, const char* nameAttribute, ManifestEntry& entry);
    // Whether a read entry names a file and a name not used before for `kind`.
    bool keeps(const tinyxml2::XMLElement* element, const std::string& kind, const ManifestEntry& entry);
    void readStart(const tinyxml2::XMLElement* element);
    void readSingle(const tinyxml2::XMLElement* element, bool& seen, const char* attribute, std::string& value);
    void readFileList(const tinyxml2::XMLElement* element, std::vector<ManifestEntry>& list);
    void readTexture(const tinyxml2::XMLElement* element);
    void readSound(const tinyxml2::XMLElement* element);
    // A scene or font: a name and a file, nothing else.
    void readNamedFile(const tinyxml2::XMLElement* element, const char* kind, const char* nameAttribute,
                       std::vector<ManifestEntry>& list);
    void readLog(const tinyxml2::XMLElement* element);
    void readScriptRole(const tinyxml2::XMLElement* element);
    void readTheme(const tinyxml2::XMLElement* element);
    bool readColour(const tinyxml2::XMLElement* element, const char* attribute, int (&rgb)[3]);
    void checkTheme();
    void checkRequired(const tinyxml2::XMLElement* game);

    std::string _fileName;
    std::vector<std::string> _problems;
    std::vector<std::pair<int, std::string>> _faults;
    std::string _id;
    std::string _title = "ZOLT";
    std::string _name;
    int _width = 640;
    int _height = 480;
    bool _legacySaves = false;
    std::string _startScript;
    std::string _startScene;
    int _startRow = 0;
    int _startColumn = 0;
    std::string _avatarId;
    std::string _sessionFile;
    std::vector<ManifestEntry> _dataFiles;
    std::vector<ManifestEntry> _effectFiles;
    std::vector<ManifestEntry> _sceneFiles;
    std::vector<ManifestEntry> _scenes;
    std::vector<ManifestTexture> _textures;
    std::vector<ManifestSound> _sounds;
    std::vector<ManifestEntry> _fonts;
    std::vector<ManifestLogStream> _logStreams;
    // Role in `name`, script in `file`.
    std::vector<ManifestEntry> _scriptRoles;
    bool _seenStart = false;
    bool _seenAvatar = false;
    bool _seenSession = false;
    bool _seenTheme = false;
    ManifestTheme _theme;
    std::vector<std::pair<std::string, std::string>> _names;
};
