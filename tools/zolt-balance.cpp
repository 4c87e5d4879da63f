// zolt-balance [--seed N] [--runs N] [GAME_ROOT]: plays each of a game's
// fights many times over with the enemies' planner deciding for both sides
// and prints, per fight, how often the party wins and how many rounds a
// fight lasts on average. A game maker tunes enemy numbers with it.
//
// The fights are the ones the game's scripts start (s:fight("a;b;")); the
// party is the session's, joined by every character a script adds to it
// (s:addToParty("x")). The party stands on the trigger square nearest the
// first opponent, where the player walks in to start the fight, and its
// members on the open squares next to the leader, as in the game. The
// game's random source is seeded with --seed before each fight, so a run
// repeats exactly.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <limits>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "combat/CombatDistance.h"
#include "combat/CombatPlacement.h"
#include "combat/CombatSimulation.h"
#include "data/Character.h"
#include "data/Party.h"
#include "data/ResourceManager.h"
#include "map/LevelMap.h"
#include "map/TriggerMap.h"
#include "script/LuaInterface.h"
#include "session/EngineStart.h"
#include "util/DataPaths.h"
#include "util/GameFiles.h"
#include "util/GameManifest.h"
#include "util/NamedXMLDocument.h"
#include "world/Scene.h"

namespace
{
const char* const TOOL = "zolt-balance";
const char* const USAGE = "usage: zolt-balance [--seed N] [--runs N] [GAME_ROOT]\n"
                          "Plays every fight of the game in GAME_ROOT (a folder holding game.xml or an\n"
                          "assets folder, or a .zip of one; by default the working directory, else the\n"
                          "installed demo game) N times (--runs, default 1000) with the enemies' planner\n"
                          "on both sides and the random source seeded with --seed (default 1), and\n"
                          "prints per fight the party's win rate and the mean number of rounds.\n"
                          "With --trace every blow of each fight's first run is printed as well.\n"
                          "Exits 0 when every fight was played, 1 when a fight could not be set up,\n"
                          "2 for a bad command line or no game.\n";
const long MAX_RUNS = 1000000;

struct Options
{
    long runs = 1000;
    unsigned int seed = 1;
    bool trace = false;
    std::string game;
};

// The loaders write their progress to standard output; only the figures
// belong there.
class QuietOutput
{
public:
    QuietOutput() : _kept(std::cout.rdbuf(nullptr)) {}
    ~QuietOutput() { std::cout.rdbuf(_kept); }
    QuietOutput(const QuietOutput&) = delete;
    QuietOutput& operator=(const QuietOutput&) = delete;

private:
    std::streambuf* _kept;
};

bool readNumber(const char* text, long low, long high, long& value)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || number < low || number > high)
        return false;
    value = number;
    return true;
}

// 0 to go on, else the exit status.
int readOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
        {
            std::fputs(USAGE, stdout);
            return -1;
        }
        long value = 0;
        if (arg == "--trace")
        {
            options.trace = true;
        }
        else if (arg == "--runs" || arg == "--seed")
        {
            const bool runs = arg == "--runs";
            const char* text = i + 1 < argc ? argv[++i] : nullptr;
            if (!readNumber(text, runs ? 1 : 0, runs ? MAX_RUNS : static_cast<long>(UINT_MAX / 2), value))
            {
                std::fprintf(stderr, "%s: %s takes a whole number from %s to %ld, not \"%s\"\n%s", TOOL, arg.c_str(),
                             runs ? "1" : "0", runs ? MAX_RUNS : static_cast<long>(UINT_MAX / 2), text ? text : "",
                             USAGE);
                return 2;
            }
            if (runs)
                options.runs = value;
            else
                options.seed = static_cast<unsigned int>(value);
        }
        else if (!arg.empty() && arg[0] == '-')
        {
            std::fprintf(stderr, "%s: unknown option %s\n%s", TOOL, arg.c_str(), USAGE);
            return 2;
        }
        else if (options.game.empty())
        {
            options.game = arg;
        }
        else
        {
            std::fprintf(stderr, "%s: one game at a time (%s and %s)\n%s", TOOL, options.game.c_str(), arg.c_str(),
                         USAGE);
            return 2;
        }
    }
    return 0;
}

// Every script text of the game: the Lua files and the XML files (dialogs
// hold scripts too), under assets/.
void collectScripts(const std::string& folder, std::vector<std::string>& texts)
{
    for (const std::string& name : GameFiles::list(folder))
    {
        const std::string path = folder + "/" + name;
        if (GameFiles::isFolder(path))
        {
            collectScripts(path, texts);
            continue;
        }
        const size_t dot = name.rfind('.');
        const std::string kind = dot == std::string::npos ? "" : name.substr(dot);
        std::string text;
        if ((kind == ".lua" || kind == ".xml") && GameFiles::read(path, text))
            texts.push_back(text);
    }
}

// The first string argument of every call of `function` in the texts, each once,
// in the order found.
std::vector<std::string> callArguments(const std::vector<std::string>& texts, const std::string& function)
{
    const std::regex call(function + "\\s*\\(\\s*\"([^\"]*)\"");
    std::vector<std::string> found;
    std::set<std::string> seen;
    for (const std::string& text : texts)
        for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it)
            if (seen.insert((*it)[1]).second)
                found.push_back((*it)[1]);
    return found;
}

std::vector<std::string> splitIds(const std::string& list)
{
    std::vector<std::string> ids;
    size_t start = 0;
    while (start < list.size())
    {
        size_t end = list.find(';', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            ids.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return ids;
}

core::TilePos squareOf(const core::Entity* entity)
{
    return core::TilePos::of(entity->getPosition());
}

class Balance
{
public:
    explicit Balance(const Options& options) : _options(options) {}

    bool load();
    // False when a fight could not be set up.
    bool playAll();

private:
    bool loadParty();
    void loadScenes();
    core::Character* findCharacter(const std::string& id, core::Scene** where = nullptr) const;
    bool play(const std::string& fight);
    // Where the leader stands when the fight starts: the trigger square
    // nearest the first opponent, else the open square nearest it.
    bool leaderSquare(core::Scene& scene, const core::Character& first, core::TilePos& square) const;

    Options _options;
    std::unique_ptr<core::Party> _party;
    std::vector<std::unique_ptr<core::Scene>> _scenes;
    std::vector<core::Character*> _members;
    std::vector<std::string> _fights;
};

bool Balance::load()
{
    // Read from the game's folder, which is the working directory only now.
    GameManifest::forgetCurrent();
    core::initEngine();
    core::ResourceManager::init();
    if (!loadParty())
        return false;
    loadScenes();
    std::vector<std::string> scripts;
    collectScripts("assets", scripts);
    for (const std::string& id : callArguments(scripts, "addToParty"))
    {
        core::Character* recruit = findCharacter(id);
        if (!recruit)
        {
            std::fprintf(stderr, "%s: a script adds %s to the party, but no scene holds that character\n", TOOL,
                         id.c_str());
            continue;
        }
        if (std::find(_members.begin(), _members.end(), recruit) == _members.end())
            _members.push_back(recruit);
    }
    _fights = callArguments(scripts, "fight");
    if (_fights.empty())
    {
        std::fprintf(stderr, "%s: no script of the game starts a fight (s:fight(\"...\"))\n", TOOL);
        return false;
    }
    return true;
}

bool Balance::loadParty()
{
    const std::string file = GameManifest::current().sessionFile();
    NamedXMLDocument document(file);
    if (file.empty() || GameFiles::loadXML(document, file) != tinyxml2::XML_SUCCESS)
    {
        std::fprintf(stderr, "%s: %s: cannot read the session file\n", TOOL, file.empty() ? "game.xml" : file.c_str());
        return false;
    }
    tinyxml2::XMLElement* last = nullptr;
    for (tinyxml2::XMLElement* e = document.FirstChildElement("party"); e; e = e->NextSiblingElement("party"))
        last = e;
    _party = last ? core::Party::buildFromXMLElement(last) : nullptr;
    if (!_party)
    {
        std::fprintf(stderr, "%s: %s: no party element\n", TOOL, file.c_str());
        return false;
    }
    // The leader first, then the others in id order, as a fight lines them up.
    for (const auto& entry : _party->getMembers())
    {
        auto* member = dynamic_cast<core::Character*>(entry.second);
        if (!member)
            continue;
        if (member->isAvatar())
            _members.insert(_members.begin(), member);
        else
            _members.push_back(member);
    }
    if (_members.empty())
    {
        std::fprintf(stderr, "%s: %s: the party has nobody in it\n", TOOL, file.c_str());
        return false;
    }
    return true;
}

void Balance::loadScenes()
{
    for (const ManifestEntry& list : GameManifest::current().sceneFiles())
    {
        NamedXMLDocument document(list.file);
        if (GameFiles::loadXML(document, list.file) != tinyxml2::XML_SUCCESS)
        {
            std::fprintf(stderr, "%s: %s: cannot read the scene list\n", TOOL, list.file.c_str());
            continue;
        }
        for (tinyxml2::XMLElement* e = document.FirstChildElement("scene"); e; e = e->NextSiblingElement("scene"))
        {
            const char* id = e->Attribute("id");
            std::unique_ptr<core::Scene> scene = id ? core::ResourceManager::getScene(id) : nullptr;
            if (scene)
                _scenes.push_back(std::move(scene));
        }
    }
}

core::Character* Balance::findCharacter(const std::string& id, core::Scene** where) const
{
    for (const std::unique_ptr<core::Scene>& scene : _scenes)
        if (auto* found = dynamic_cast<core::Character*>(scene->getEntity(id)))
        {
            if (where)
                *where = scene.get();
            return found;
        }
    return nullptr;
}

bool Balance::leaderSquare(core::Scene& scene, const core::Character& first, core::TilePos& square) const
{
    const LevelMap* map = scene.getLevelMap();
    const TriggerMap* triggers = map ? map->getTriggerMap() : nullptr;
    const core::TilePos foe = squareOf(&first);
    int best = std::numeric_limits<int>::max();
    if (triggers)
        for (int row = 0; row < map->getNumberOfRows(); ++row)
            for (int col = 0; col < map->getNumberOfColumns(); ++col)
            {
                const int d = core::combatDistance({row, col}, foe);
                if (!triggers->isTrigger(row, col) || d >= best || d == 0)
                    continue;
                bool taken = false;
                for (const auto& entry : scene.getEntities())
                    taken = taken || squareOf(entry.second) == core::TilePos{row, col};
                if (!taken)
                {
                    best = d;
                    square = {row, col};
                }
            }
    if (best != std::numeric_limits<int>::max())
        return true;
    const std::vector<core::TilePos> near = core::CombatPlacement::freeSquaresNear(map, &scene.getEntities(), foe, 1);
    if (near.empty())
        return false;
    square = near.front();
    return true;
}

bool Balance::play(const std::string& fight)
{
    const std::vector<std::string> ids = splitIds(fight);
    core::Scene* scene = nullptr;
    if (ids.empty() || !findCharacter(ids.front(), &scene))
    {
        std::fprintf(stderr, "%s: fight \"%s\": no scene holds %s\n", TOOL, fight.c_str(),
                     ids.empty() ? "any opponent" : ids.front().c_str());
        return false;
    }
    std::vector<core::Character*> enemies;
    for (const std::string& id : ids)
    {
        auto* foe = dynamic_cast<core::Character*>(scene->getEntity(id));
        if (!foe)
        {
            std::fprintf(stderr, "%s: fight \"%s\": %s is not in %s with %s\n", TOOL, fight.c_str(), id.c_str(),
                         scene->getId().c_str(), ids.front().c_str());
            return false;
        }
        enemies.push_back(foe);
    }
    core::TilePos leader;
    if (!leaderSquare(*scene, *enemies.front(), leader))
    {
        std::fprintf(stderr, "%s: fight \"%s\": nowhere for the party to stand in %s\n", TOOL, fight.c_str(),
                     scene->getId().c_str());
        return false;
    }
    // Whoever else stands in the scene is in the way; a recruit met here
    // fights with the party instead.
    core::EntityMap inTheWay;
    std::vector<core::Entity*> bystanders;
    for (const auto& entry : scene->getEntities())
    {
        const bool fighter = std::find(enemies.begin(), enemies.end(), entry.second) != enemies.end() ||
                             std::find(_members.begin(), _members.end(), entry.second) != _members.end();
        if (!fighter)
            bystanders.push_back(entry.second);
        if (std::find(_members.begin(), _members.end(), entry.second) == _members.end())
            inTheWay[entry.first] = entry.second;
    }
    _members.front()->setPosition(leader.row, leader.col);
    inTheWay[_members.front()->getId()] = _members.front();
    const std::vector<core::TilePos> squares =
        core::CombatPlacement::freeSquaresNear(scene->getLevelMap(), &inTheWay, leader, _members.size() - 1);
    std::vector<core::Character*> party{_members.front()};
    for (size_t i = 1; i < _members.size() && i - 1 < squares.size(); ++i)
    {
        _members[i]->setPosition(squares[i - 1].row, squares[i - 1].col);
        party.push_back(_members[i]);
    }

    std::srand(_options.seed);
    core::CombatSimulation simulation(scene->getLevelMap(), party, enemies, bystanders);
    long wins = 0;
    long rounds = 0;
    {
        QuietOutput quiet;
        for (long run = 0; run < _options.runs; ++run)
        {
            if (_options.trace)
                simulation.setTrace(run == 0 ? [](const std::string& line) { std::printf("  %s\n", line.c_str()); }
                                             : std::function<void(const std::string&)>());
            const core::CombatSimulation::Result result = simulation.play();
            wins += result.won ? 1 : 0;
            rounds += result.rounds;
        }
    }
    std::printf("%-32s %-24s party %zu  won %5.1f%%  mean rounds %5.2f\n", fight.c_str(), scene->getId().c_str(),
                party.size(), 100.0 * static_cast<double>(wins) / static_cast<double>(_options.runs),
                static_cast<double>(rounds) / static_cast<double>(_options.runs));
    return true;
}

bool Balance::playAll()
{
    std::printf("%ld runs a fight, seed %u\n", _options.runs, _options.seed);
    bool all = true;
    for (const std::string& fight : _fights)
        all = play(fight) && all;
    return all;
}
}

int main(int argc, char** argv)
{
    Options options;
    const int status = readOptions(argc, argv, options);
    if (status != 0)
        return status < 0 ? 0 : status;
    const std::string root = DataPaths::findGameRoot(options.game, DataPaths::programPath(argv[0]));
    if (root.empty())
    {
        std::fprintf(stderr, "%s: %s holds no game (no assets folder)\n", TOOL,
                     options.game.empty() ? "this folder" : options.game.c_str());
        return 2;
    }
    std::string problem;
    if (DataPaths::isGameFile(root) ? !GameFiles::mount(root, "", problem) : ::chdir(root.c_str()) != 0)
    {
        if (problem.empty())
            std::perror((std::string(TOOL) + ": " + root).c_str());
        else
            std::fprintf(stderr, "%s: %s\n", TOOL, problem.c_str());
        return 2;
    }
    Balance balance(options);
    bool loaded = false;
    {
        QuietOutput quiet;
        loaded = balance.load();
    }
    if (!loaded)
        return 1;
    return balance.playAll() ? 0 : 1;
}
