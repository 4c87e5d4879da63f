#pragma once

#include <map>
#include <set>
#include <string>
#include <unordered_set>

#include <tinyxml2.h>

#include "util/FileStamp.h"

// What a file is to the game, which decides how a change to it is taken in.
enum class FileKind
{
    Map,       // a tile map or a tileset it uses
    Scene,     // a scene file: the map and the characters standing on it
    Character, // a character template
    Dialog,
    Script,
    Data // a record file: items, abilities, classes, animations, party
};

const char* fileKindName(FileKind kind);

// Every game file the running game has read, noted by the loader that read
// it, so that live reload looks at exactly those and nothing else. For files
// read again each time they are used (maps, tilesets, scene files, character
// templates, dialogs, scripts) it also keeps the last version known to be
// good: while the file on disk is known to be broken, readers are handed
// that copy instead.
class LoadedFiles
{
public:
    struct Entry
    {
        FileKind kind = FileKind::Data;
        // The files that use this one (the maps that use a tileset).
        std::set<std::string> usedBy;
        // As the last poll saw it (or as it was when first read).
        FileStamp stamp;
        std::string keptText;
        bool hasKeptText = false;
        bool broken = false;
    };

    // Notes a file as read; cheap when it is known already (scripts are run
    // every frame). `usedBy` names the file that led to this one.
    static void note(const std::string& path, FileKind kind, const std::string& usedBy = std::string());

    // "./a//b/../c.xml" and "a/c.xml" name one file.
    static std::string normalize(const std::string& path);

    static std::map<std::string, Entry>& entries();
    static Entry* find(const std::string& path);

    // Loads an XML file the loader reads again on every use: the kept good
    // copy while the file on disk is known broken, else the file itself.
    // Notes the file. Returns tinyxml2's result.
    static tinyxml2::XMLError loadXML(tinyxml2::XMLDocument& document, const std::string& path, FileKind kind);
    // The kept good copy of a file known to be broken; false when the file
    // is not broken (read it from disk then) or nothing was kept.
    static bool keptCopyIfBroken(const std::string& path, std::string& text);

    // A change was checked: good ones become the kept copy, bad ones mark the
    // file broken so readers keep using the old one.
    static void accept(const std::string& path, const std::string& text);
    static void refuse(const std::string& path);
    // Lets readers see the file on disk again, before it is tried.
    static void retry(const std::string& path);

    static bool readWhole(const std::string& path, std::string& text);

    // Whether files read from now on keep a copy of their text. Only the game
    // wants them (live reload); the tools and benches read maps far larger
    // than a game's and should not hold them twice.
    static void setKeepingCopies(bool keeping);

    // Forgets everything (tests).
    static void reset();

private:
    static LoadedFiles& instance();
    static bool keepsText(FileKind kind);

    std::map<std::string, Entry> _entries;
    bool _keepingCopies = false;
    // The paths exactly as loaders passed them, so noting a known file again
    // costs one hash lookup.
    std::unordered_set<std::string> _seenRaw;
};
