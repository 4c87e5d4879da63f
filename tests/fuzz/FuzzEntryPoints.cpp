#include "fuzz/FuzzEntryPoints.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include <cerrno>
#include <csignal>
#include <unistd.h>

#include "Log/FileLog.h"
#include "Log/Log.h"
#include "animation/TAAnimationManager.h"
#include "data/Ability.h"
#include "data/Character.h"
#include "data/Class.h"
#include "dialog/DialogNode.h"
#include "data/Item.h"
#include "map/LevelMapLoader.h"
#include "script/LuaInterface.h"
#include "session/EngineStart.h"
#include "data/Party.h"
#include "data/ResourceManager.h"
#include "save/SaveGame.h"
#include "save/SaveGameManager.h"
#include "world/Scene.h"
#include "world/Screen.h"
#include "session/Session.h"
#include "graphics/TGImageLoader.h"
#include "graphics/TGSprite.h"
#include "sound/OggStream.h"
#include "support/LuaOwnedObjects.h"
#include "util/NamedXMLDocument.h"
#include "util/util.h"

namespace fuzz
{
namespace
{
// A map input may carry its external tileset after this line; the map then
// refers to it as "external.tsx".
const std::string TILESET_SEPARATOR = "\n<!-- external tileset -->\n";
// Kept short so that a runaway script costs the fuzzer little.
const double SCRIPT_SECONDS = 0.25;
const size_t SCRIPT_BYTES = size_t(64) * 1024 * 1024;
const int MAX_DIALOG_NODES = 8;

std::string text(const std::uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

// A plain buffer: at exit the folder's path object may already be gone.
char scratchToRemove[4096];

void removeScratch()
{
    std::error_code ignored;
    std::filesystem::remove_all(scratchToRemove, ignored);
}

// Inputs go to files in a folder of this process, named relative to the
// working directory: the readers open "." + "/" + name.
const std::filesystem::path& scratchFolder()
{
    static const std::filesystem::path folder = []
    {
        // A run that crashed never reached its atexit; its folder goes now.
        removeStaleScratch(std::filesystem::temp_directory_path());
        const std::filesystem::path made =
            std::filesystem::temp_directory_path() / ("zolt-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(made);
        std::snprintf(scratchToRemove, sizeof scratchToRemove, "%s", made.c_str());
        std::atexit(removeScratch);
        return made;
    }();
    return folder;
}

std::string writeScratch(const std::string& name, const std::string& contents)
{
    const std::filesystem::path file = scratchFolder() / name;
    std::ofstream(file, std::ios::binary) << contents;
    return std::filesystem::relative(file, std::filesystem::current_path()).string();
}

std::string absoluteScratch(const std::string& name, const std::string& contents)
{
    writeScratch(name, contents);
    return (scratchFolder() / name).string();
}

using luaowned::destroyEntities;
using luaowned::destroyEntity;
using luaowned::destroyParty;
using luaowned::destroySession;

template <typename Visit>
void forEachTopElement(const std::string& input, Visit visit)
{
    NamedXMLDocument document("fuzz input");
    if (document.Parse(input.data(), input.size()) != tinyxml2::XML_SUCCESS)
        return;
    for (tinyxml2::XMLElement* element = document.FirstChildElement(); element; element = element->NextSiblingElement())
        visit(element);
}

int fuzzMap(const std::uint8_t* data, std::size_t size)
{
    const std::string input = text(data, size);
    const size_t split = input.find(TILESET_SEPARATOR);
    writeScratch("external.tsx",
                 split == std::string::npos ? std::string() : input.substr(split + TILESET_SEPARATOR.size()));
    const std::string bytes = input.substr(0, split);
    const std::string map = writeScratch("map.tmx", bytes);
    // From the file and from memory: the two ways in share the decoding but
    // not the reading.
    LevelMapLoader::loadLevelMap(map).reset();
    LevelMapLoader::loadLevelMapFromMemory(bytes.data(), bytes.size(), map).reset();
    return 0;
}

int fuzzSession(const std::uint8_t* data, std::size_t size)
{
    destroySession(core::Session::buildFromXMLFile(writeScratch("session.xml", text(data, size))));
    return 0;
}

int fuzzScene(const std::uint8_t* data, std::size_t size)
{
    forEachTopElement(text(data, size),
                      [](tinyxml2::XMLElement* element)
                      {
                          std::unique_ptr<core::Scene> scene = core::Scene::buildFromXMLElement(element);
                          if (!scene)
                              return;
                          destroyEntities(scene->getEntities());
                      });
    return 0;
}

// The input is tried both as character records and as a template file.
int fuzzCharacters(const std::uint8_t* data, std::size_t size)
{
    const std::string input = text(data, size);
    forEachTopElement(input, [](tinyxml2::XMLElement* element)
                      { destroyEntity(core::Character::buildFromXMLElement(element)); });
    const std::string templateFile = writeScratch("template.xml", input);
    const std::string record = "<character id=\"fuzzed\" template=\"" + templateFile + "\"/>";
    forEachTopElement(record, [](tinyxml2::XMLElement* element)
                      { destroyEntity(core::Character::buildFromXMLElement(element)); });
    return 0;
}

// Records that the resource database keeps: each is built and thrown away.
template <typename Record, std::unique_ptr<Record> (*Build)(tinyxml2::XMLElement*)>
int fuzzRecords(const std::uint8_t* data, std::size_t size)
{
    forEachTopElement(text(data, size), [](tinyxml2::XMLElement* element) { Build(element).reset(); });
    return 0;
}

int fuzzParty(const std::uint8_t* data, std::size_t size)
{
    forEachTopElement(text(data, size),
                      [](tinyxml2::XMLElement* element) { destroyParty(core::Party::buildFromXMLElement(element)); });
    return 0;
}

int fuzzAnimation(const std::uint8_t* data, std::size_t size)
{
    forEachTopElement(text(data, size),
                      [](tinyxml2::XMLElement* element)
                      {
                          // Under a name of its own: replacing one of the game's animations
                          // would leave the old one allocated, as registries here do.
                          const std::string id = "fuzzed " + nullToEmpty(element->Attribute("id"));
                          element->SetAttribute("id", id.c_str());
                          if (core::ResourceManager::buildAnimation(element))
                              tamsyAnimation::AnimationManager::getInstance()->destroyAnimation(id);
                      });
    return 0;
}

// Every node the file names is read, scripts and conditions included.
int fuzzDialog(const std::uint8_t* data, std::size_t size)
{
    const std::string input = text(data, size);
    const std::string path = absoluteScratch("dialog.xml", input);
    std::vector<std::string> ids;
    forEachTopElement(input,
                      [&ids](tinyxml2::XMLElement* root)
                      {
                          for (tinyxml2::XMLElement* node = root->FirstChildElement("node");
                               node && ids.size() < MAX_DIALOG_NODES; node = node->NextSiblingElement("node"))
                              ids.push_back(nullToEmpty(node->Attribute("id")));
                      });
    if (ids.empty())
        ids.push_back("0");
    for (const std::string& id : ids)
        core::DialogNode node(path, id);
    return 0;
}

// A console line runs against a session like the game's, built once.
int fuzzConsole(const std::uint8_t* data, std::size_t size)
{
    static const std::unique_ptr<core::Session> session = core::Session::buildFromXMLFile("assets/session.xml");
    std::string line = text(data, size);
    line = line.substr(0, line.find('\n'));
    core::LuaInterface::runString(core::Screen::buildCommand(line), "console");
    return 0;
}

int fuzzOgg(const std::uint8_t* data, std::size_t size)
{
    sound::OggStream stream;
    if (!stream.open(absoluteScratch("sound.ogg", text(data, size))))
        return 0;
    std::vector<char> pcm;
    while (stream.read(pcm, 4096) > 0 && pcm.size() < (1u << 24))
        ;
    stream.seek(0);
    return 0;
}

// What this build writes it must read back, and after one round (where the
// XML reader settles line ends) a save must come back unchanged: anything
// else loses part of the player's game at the next save.
void checkSaveRoundTrip(const std::string& input)
{
    core::SaveGame save;
    std::string error;
    if (!core::SaveGame::fromXml(input, save, error))
        return;
    std::string written = save.toXml();
    for (int round = 0; round < 2; ++round)
    {
        core::SaveGame again;
        if (!core::SaveGame::fromXml(written, again, error))
        {
            std::fprintf(stderr, "a save this build wrote does not read back: %s\n%s\n", error.c_str(),
                         written.c_str());
            std::abort();
        }
        const std::string rewritten = again.toXml();
        if (round == 1 && rewritten != written)
        {
            std::fprintf(stderr, "a save changes when read back:\n%s\n%s\n", written.c_str(), rewritten.c_str());
            std::abort();
        }
        written = rewritten;
    }
}

// The input is the quick save of a game just begun: read from its slot,
// loaded into the game (scene, party, items, flags, quests), and listed as
// the Load menu lists it.
int fuzzSave(const std::uint8_t* data, std::size_t size)
{
    const std::string input = text(data, size);
    checkSaveRoundTrip(input);
    std::unique_ptr<core::Session> session = core::Session::buildFromXMLFile("assets/session.xml");
    if (!session)
        return 0;
    {
        core::SaveGameManager saves(session.get(), (scratchFolder() / "saves").string());
        std::filesystem::create_directories(scratchFolder() / "saves");
        std::ofstream(saves.getStore().pathOf(core::SaveGameManager::QUICK_SLOT), std::ios::binary) << input;
        saves.quickLoad();
        core::SaveGameManager::describe(saves.inspect(core::SaveGameManager::QUICK_SLOT));
    }
    // The scene the save asked for is built but not yet entered.
    if (core::Scene* next = session->getNextScene())
        destroyEntities(next->getEntities());
    destroySession(std::move(session));
    return 0;
}

int fuzzImage(const std::uint8_t* data, std::size_t size)
{
    tamsygraphics::ImageLoader loader;
    loader.LoadImage(absoluteScratch("image.png", text(data, size)));
    return 0;
}

void quietLogs()
{
    // The graphics and GUI layers' own log: a session built without a
    // window says so on every widget, filling the fuzzer's output.
    Output2FILE::Stream() = nullptr;
    Log::setErrorStream(nullptr);
    Log::setWarnStream(nullptr);
    Log::setNoteStream(nullptr);
    for (const char* name : {"Session", "Scene", "Party", "ResourceManager", "Ability", "tibbet", "input", "oskel",
                             "vosk", "Character", "Class", "Dialog", "SaveGame"})
        Log::setNamedStream(name, nullptr);
}
}

const std::vector<Target>& targets()
{
    static const std::vector<Target> all = {
        {"map", fuzzMap},
        {"session", fuzzSession},
        {"scene", fuzzScene},
        {"characters", fuzzCharacters},
        {"abilities", fuzzRecords<core::Ability, core::Ability::buildFromXMLElement>},
        {"classes", fuzzRecords<core::Class, core::Class::fromXML>},
        {"items", fuzzRecords<core::Item, core::Item::buildFromXMLElement>},
        {"party", fuzzParty},
        {"animation", fuzzAnimation},
        {"dialog", fuzzDialog},
        {"console", fuzzConsole},
        {"ogg", fuzzOgg},
        {"image", fuzzImage},
        {"save", fuzzSave},
    };
    return all;
}

int removeStaleScratch(const std::filesystem::path& root)
{
    const std::string prefix = "zolt-fuzz-";
    int removed = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root, error))
    {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0 || !entry.is_directory(error))
            continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(digits));
        // Only a folder whose process is gone: ESRCH, not a process of
        // another user (EPERM) or a fuzzer still running.
        if (pid <= 0 || ::kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        if (std::filesystem::remove_all(entry.path(), error) > 0 && !error)
            ++removed;
    }
    return removed;
}

EntryPoint findTarget(const std::string& name)
{
    for (const Target& target : targets())
        if (name == target.name)
            return target.run;
    return nullptr;
}

void prepare()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    quietLogs();
    core::initEngine();
    core::LuaInterface::setScriptTimeLimit(SCRIPT_SECONDS);
    core::LuaInterface::setMemoryLimit(SCRIPT_BYTES);
    // Scripts from fuzzed files must not write files anywhere.
    core::LuaInterface::runString("io = nil");
    core::ResourceManager::init();
    core::ResourceManager::buildFromXMLFile("/assets/abilities.xml");
    core::ResourceManager::buildFromXMLFile("/assets/classes.xml");
}
}
