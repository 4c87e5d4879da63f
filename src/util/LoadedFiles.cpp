#include "util/LoadedFiles.h"

#include "util/GameFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>

const char* fileKindName(FileKind kind)
{
    switch (kind)
    {
    case FileKind::Map:
        return "map";
    case FileKind::Scene:
        return "scene file";
    case FileKind::Character:
        return "character file";
    case FileKind::Dialog:
        return "dialog";
    case FileKind::Script:
        return "script";
    case FileKind::Data:
        return "data file";
    }
    return "file";
}

LoadedFiles& LoadedFiles::instance()
{
    static LoadedFiles files;
    return files;
}

bool LoadedFiles::keepsText(FileKind kind)
{
    // Record files are read into records that stay as they were when a
    // changed file is refused; everything else is read again when used
    // (a scene on each visit), so its last good text is kept for then.
    return kind != FileKind::Data;
}

std::string LoadedFiles::normalize(const std::string& path)
{
    std::string normal = std::filesystem::path(path).lexically_normal().generic_string();
    while (normal.compare(0, 2, "./") == 0)
        normal.erase(0, 2);
    return normal;
}

void LoadedFiles::note(const std::string& path, FileKind kind, const std::string& usedBy)
{
    LoadedFiles& files = instance();
    if (path.empty())
        return;
    // Scripts run every frame: a known file costs one lookup, no copy.
    if (usedBy.empty() && files._seenRaw.count(path))
        return;
    const std::string rawKey = usedBy.empty() ? path : path + '\n' + usedBy;
    if (files._seenRaw.count(rawKey))
        return;
    files._seenRaw.insert(rawKey);
    const std::string key = normalize(path);
    auto found = files._entries.find(key);
    if (found == files._entries.end())
    {
        Entry entry;
        entry.kind = kind;
        entry.stamp = FileStamp::of(key);
        if (files._keepingCopies && keepsText(kind) && entry.stamp.exists)
            entry.hasKeptText = readWhole(key, entry.keptText);
        found = files._entries.emplace(key, entry).first;
    }
    if (!usedBy.empty())
        found->second.usedBy.insert(normalize(usedBy));
}

std::map<std::string, LoadedFiles::Entry>& LoadedFiles::entries()
{
    return instance()._entries;
}

LoadedFiles::Entry* LoadedFiles::find(const std::string& path)
{
    auto found = instance()._entries.find(normalize(path));
    return found == instance()._entries.end() ? nullptr : &found->second;
}

bool LoadedFiles::keptCopyIfBroken(const std::string& path, std::string& text)
{
    Entry* entry = find(path);
    if (!entry || !entry->broken || !entry->hasKeptText)
        return false;
    text = entry->keptText;
    return true;
}

tinyxml2::XMLError LoadedFiles::loadXML(tinyxml2::XMLDocument& document, const std::string& path, FileKind kind)
{
    note(path, kind);
    std::string kept;
    if (keptCopyIfBroken(path, kept))
        return document.Parse(kept.c_str(), kept.size());
    return GameFiles::loadXML(document, path);
}

void LoadedFiles::accept(const std::string& path, const std::string& text)
{
    Entry* entry = find(path);
    if (!entry)
        return;
    entry->broken = false;
    if (keepsText(entry->kind))
    {
        entry->keptText = text;
        entry->hasKeptText = true;
    }
}

void LoadedFiles::refuse(const std::string& path)
{
    Entry* entry = find(path);
    if (!entry)
        return;
    entry->broken = true;
}

void LoadedFiles::retry(const std::string& path)
{
    if (Entry* entry = find(path))
        entry->broken = false;
}

bool LoadedFiles::readWhole(const std::string& path, std::string& text)
{
    return GameFiles::read(path, text);
}

void LoadedFiles::setKeepingCopies(bool keeping)
{
    instance()._keepingCopies = keeping;
}

void LoadedFiles::reset()
{
    instance()._entries.clear();
    instance()._seenRaw.clear();
}
