#include "PlaythroughDriver.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <limits>
#include <sstream>

#include "GameScreen.h"
#include "MapView.h"
#include "map/LevelMapLayerData.h"

namespace
{
using Image = GameProcess::Image;

// The dialog band: options fill y 360..480, option i of n centred at
// 360 + (i + 0.5) * 120 / n. A click on a text page turns the page.
const int BAND_X = 320;
const int TEXT_PAGE_Y = 420;
// The combat menu's content spans y 372..468 the same way.
const int COMBAT_TOP = 372;
const int COMBAT_HEIGHT = 96;
// Menu button, the main menu's Inventory entry, the inventory's lines and
// its Close button.
const int MENU_X = 40;
const int MENU_Y = 465;
const int INVENTORY_X = 80;
const int INVENTORY_Y = 153;
const int ITEM_X = 360;
const int FIRST_ITEM_Y = 63;
const int ITEM_LINE = 42;
const int CLOSE_X = 560;
const int CLOSE_Y = 405;
const int POTION_HEALS = 10;

int dialogOptionY(int option, int count)
{
    return 360 + ((2 * (option - 1) + 1) * 120) / (2 * count);
}

// Whether a blow from (row, col) reaches (r, c): the game's grid distance,
// a diagonal step counting about one and a half, below `reach`.
bool inReach(int row, int col, int r, int c, int reach)
{
    const int dr = std::abs(r - row);
    const int dc = std::abs(c - col);
    const int distance = dr + dc - std::min(dr, dc) / 2;
    return distance > 0 && distance < reach;
}

// Whether a fighter at (row, col) need walk no closer to (r, c): next to it
// or within the blow's reach.
bool closeEnough(int row, int col, int r, int c, int reach)
{
    return std::abs(r - row) + std::abs(c - col) <= 1 || inReach(row, col, r, c, reach);
}

int combatOptionY(int option, int count)
{
    return COMBAT_TOP + ((2 * (option - 1) + 1) * COMBAT_HEIGHT) / (2 * count);
}

bool directionDelta(char direction, int& dr, int& dc)
{
    dr = dc = 0;
    switch (direction)
    {
    case 'w':
        dr = -1;
        return true;
    case 's':
        dr = 1;
        return true;
    case 'a':
        dc = -1;
        return true;
    case 'd':
        dc = 1;
        return true;
    default:
        return false;
    }
}

char opposite(char direction)
{
    switch (direction)
    {
    case 'w':
        return 's';
    case 's':
        return 'w';
    case 'a':
        return 'd';
    default:
        return 'a';
    }
}

std::string keyOf(char direction)
{
    return std::string(1, direction);
}

std::string where(int row, int col)
{
    return "(" + std::to_string(row) + "," + std::to_string(col) + ")";
}

bool toInt(const std::string& word, int& value)
{
    char* end = nullptr;
    const long parsed = std::strtol(word.c_str(), &end, 10);
    if (word.empty() || *end != '\0')
        return false;
    value = static_cast<int>(parsed);
    return true;
}

// How many words each command takes at least.
int wordsNeeded(const std::string& command)
{
    static const std::vector<std::pair<std::string, int>> table = {
        {"at", 2},     {"walk", 2}, {"step", 3},   {"face", 1},  {"goto", 3}, {"talk", 0},   {"choose", 2},
        {"closed", 0}, {"gain", 1}, {"lose", 1},   {"use", 1},   {"heal", 0}, {"flag", 2},   {"quest", 2},
        {"party", 1},  {"sees", 1}, {"attack", 2}, {"fight", 1}, {"shot", 1}, {"theend", 0}, {"member", 3}, {"map", 1}};
    for (const auto& entry : table)
        if (entry.first == command)
            return entry.second;
    return -1;
}
}

bool PlaythroughDriver::load(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
    {
        _error = "cannot read " + path;
        return false;
    }
    std::string text;
    int number = 0;
    while (std::getline(in, text))
    {
        ++number;
        const size_t hash = text.find('#');
        const std::string content = hash == std::string::npos ? text : text.substr(0, hash);
        std::istringstream words(content);
        Line line;
        line.number = number;
        if (!(words >> line.command))
            continue;
        line.afterLoss = line.command == "lost:";
        if (line.afterLoss && !(words >> line.command))
        {
            _error = path + ":" + std::to_string(number) + ": nothing to do after a lost fight";
            return false;
        }
        std::string word;
        while (words >> word)
            line.words.push_back(word);
        const int needed = wordsNeeded(line.command);
        if (needed < 0 || static_cast<int>(line.words.size()) < needed)
        {
            _error = path + ":" + std::to_string(number) + ": cannot read \"" + text + "\"";
            return false;
        }
        _lines.push_back(line);
    }
    return !_lines.empty();
}

bool PlaythroughDriver::play()
{
    for (_current = 0; _current < _lines.size(); ++_current)
    {
        const Line& line = _lines[_current];
        // What to do after a lost fight is played only when one is lost.
        if (line.afterLoss)
            continue;
        if (!run(line))
            return false;
    }
    return true;
}

bool PlaythroughDriver::fail(const Line& line, const std::string& why)
{
    std::ostringstream message;
    message << "walkthrough line " << line.number << " (" << line.command;
    for (const std::string& word : line.words)
        message << " " << word;
    message << "): " << why;
    if (!_lastTrace.empty() || !_trace.empty())
        message << " [before: " << _lastTrace << " now: " << _trace << "]";
    int row = -1;
    int col = -1;
    if (tile(row, col))
    {
        message << "; the avatar stands on " << where(row, col);
        // Whoever stands next to her may be what is in the way.
        for (const std::string& id : _console.sceneIds())
        {
            int r = 0;
            int c = 0;
            if (id != _console.avatar() && tileOf(id, r, c) && std::abs(r - row) + std::abs(c - col) <= 2)
                message << ", " << id << " on " << where(r, c);
        }
    }
    // What the window showed, to see why.
    const std::string picture = "/tmp/zolt-playthrough-failure.png";
    if (_game.screenshot(picture))
        message << "; the window is in " << picture;
    // The game's last complaints often say why (a refused script line).
    const std::vector<std::string> errors = _game.errorLines();
    const size_t first = errors.size() > 8 ? errors.size() - 8 : 0;
    for (size_t i = first; i < errors.size(); ++i)
        message << "\n  game: " << errors[i];
    _error = message.str();
    return false;
}

bool PlaythroughDriver::run(const Line& line)
{
    _lastTrace = _trace;
    _trace.clear();
    const std::vector<std::string>& w = line.words;
    int a = 0;
    int b = 0;
    const std::string& c = line.command;
    if (c == "at")
    {
        int row = -1;
        int col = -1;
        if (!toInt(w[0], a) || !toInt(w[1], b) || !tile(row, col) || row != a || col != b)
            return fail(line, "the avatar is elsewhere");
        return true;
    }
    if (c == "walk")
        return toInt(w[1], a) ? walk(line, w[0][0], a) : fail(line, "how many steps?");
    if (c == "step")
        return toInt(w[1], a) && toInt(w[2], b) ? stepTo(line, w[0][0], a, b) : fail(line, "which tile?");
    if (c == "face")
        return face(line, w[0][0]);
    if (c == "map")
    {
        _fightMap = w[0];
        return true;
    }
    if (c == "goto")
        return toInt(w[0], a) && toInt(w[1], b) ? goTo(line, a, b, w[2]) : fail(line, "which tile?");
    if (c == "talk")
        return talk(line);
    if (c == "choose")
        return toInt(w[0], a) && toInt(w[1], b) && a >= 1 && a <= b ? choose(line, a, b) : fail(line, "which option?");
    if (c == "closed")
        return waitUntilClosed(line);
    if (c == "gain")
    {
        _bag.push_back(w[0]);
        return ask("tostring(s:has('" + w[0] + "'))") == "true" || fail(line, "the bag lacks it");
    }
    if (c == "lose")
    {
        auto found = std::find(_bag.begin(), _bag.end(), w[0]);
        if (found == _bag.end())
            return fail(line, "the test's bag never held it");
        _bag.erase(found);
        const bool left = std::find(_bag.begin(), _bag.end(), w[0]) != _bag.end();
        return ask("tostring(s:has('" + w[0] + "'))") == (left ? "true" : "false") ||
               fail(line, "the bag does not agree");
    }
    if (c == "use")
        return useItem(line, w[0]);
    if (c == "heal")
        return heal(line);
    if (c == "flag")
        return (toInt(w[1], a) && _console.flag(w[0]) == a) ||
               fail(line, "the flag holds " + std::to_string(_console.flag(w[0])));
    if (c == "quest")
        return (toInt(w[1], a) && askInt("s:questState('" + w[0] + "')") == a) || fail(line, "the quest is elsewhere");
    if (c == "party")
        return (toInt(w[0], a) && askInt("s:getPartySize()") == a) ||
               fail(line, "the party has " + ask("s:getPartySize()"));
    if (c == "sees")
    {
        const std::vector<std::string> ids = _console.sceneIds();
        return std::find(ids.begin(), ids.end(), w[0]) != ids.end() || fail(line, "nobody of that id here");
    }
    if (c == "attack")
    {
        if (!toInt(w[0], _attackOption) || !toInt(w[1], _attackCount))
            return fail(line, "which option?");
        return true;
    }
    if (c == "member")
    {
        Member member{w[0], 0, 0, 2};
        if (!toInt(w[1], member.option) || !toInt(w[2], member.count) || (w.size() > 3 && !toInt(w[3], member.reach)))
            return fail(line, "which option?");
        _members.push_back(member);
        return true;
    }
    if (c == "fight")
        return fight(line);
    if (c == "shot")
    {
        gamescreen::keepScreenshot(_game, w[0]);
        return true;
    }
    if (c == "theend")
        return true;
    return fail(line, "unknown command");
}

// ---- Walking ----

bool PlaythroughDriver::walk(const Line& line, char direction, int steps)
{
    int dr = 0;
    int dc = 0;
    if (!directionDelta(direction, dr, dc))
        return fail(line, "no such direction");
    for (int step = 0; step < steps; ++step)
    {
        int row = -1;
        int col = -1;
        if (!tile(row, col))
            return fail(line, "the console did not answer");
        int blocked = 0;
        for (;;)
        {
            int nowRow = -1;
            int nowCol = -1;
            const Move moved = tryStep(direction, row, col, nowRow, nowCol);
            if (moved == Move::NO_ANSWER)
                return fail(line, "the console did not answer");
            if (moved == Move::DONE)
                break;
            if (moved == Move::ELSEWHERE)
                return fail(line, "step " + std::to_string(step + 1) + " led to " + where(nowRow, nowCol));
            // Somebody wandered into the way. With two steps or more still to
            // go the avatar walks round them; otherwise, or where there is no
            // way round, it waits for them to move on. A wanderer tries a
            // step on 2% of frames, in a random direction that may be walled
            // or held by the avatar, and may stand at the edge of its region,
            // so a block counts as a fault only after two minutes.
            ++blocked;
            if (blocked % 4 == 0 && step + 1 < steps)
            {
                const Move round = walkRound(direction, row, col);
                if (round == Move::NO_ANSWER)
                    return fail(line, "the console did not answer");
                if (round == Move::DONE)
                {
                    ++step; // the held square was passed beside
                    break;
                }
            }
            if (blocked > 240)
                return fail(line, "step " + std::to_string(step + 1) + " stays blocked");
            _console.frames(30);
        }
    }
    return true;
}

PlaythroughDriver::Move PlaythroughDriver::tryStep(char direction, int row, int col, int& nowRow, int& nowCol)
{
    int dr = 0;
    int dc = 0;
    directionDelta(direction, dr, dc);
    if (!_console.tap(keyOf(direction)) || !tile(nowRow, nowCol))
        return Move::NO_ANSWER;
    if (nowRow == row + dr && nowCol == col + dc)
        return Move::DONE;
    return nowRow == row && nowCol == col ? Move::BLOCKED : Move::ELSEWHERE;
}

// From (row, col), blocked going `direction`: one square aside, two ahead
// and back in line, ending two squares on. Either side is tried; a detour
// that meets a wall or another walker is walked back, so the avatar is
// where it started unless the answer is DONE.
PlaythroughDriver::Move PlaythroughDriver::walkRound(char direction, int row, int col)
{
    const bool vertical = direction == 'w' || direction == 's';
    const std::string sides = vertical ? "ad" : "ws";
    for (char side : sides)
    {
        const std::string there = std::string(1, side) + direction + direction + opposite(side);
        std::string taken;
        int atRow = row;
        int atCol = col;
        for (char way : there)
        {
            int nowRow = -1;
            int nowCol = -1;
            const Move moved = tryStep(way, atRow, atCol, nowRow, nowCol);
            if (moved == Move::NO_ANSWER || moved == Move::ELSEWHERE)
                return moved;
            if (moved == Move::BLOCKED)
                break;
            taken += way;
            atRow = nowRow;
            atCol = nowCol;
        }
        if (taken == there)
            return Move::DONE;
        for (auto back = taken.rbegin(); back != taken.rend(); ++back)
        {
            int nowRow = -1;
            int nowCol = -1;
            // The way back was just walked; a wanderer stepping into it is
            // waited for like any other.
            Move moved = Move::BLOCKED;
            for (int tries = 0; tries < 240 && moved == Move::BLOCKED; ++tries)
            {
                moved = tryStep(opposite(*back), atRow, atCol, nowRow, nowCol);
                if (moved == Move::BLOCKED)
                    _console.frames(30);
            }
            if (moved != Move::DONE)
                return moved == Move::NO_ANSWER ? moved : Move::ELSEWHERE;
            atRow = nowRow;
            atCol = nowCol;
        }
    }
    return Move::BLOCKED;
}

bool PlaythroughDriver::stepTo(const Line& line, char direction, int row, int col)
{
    int dr = 0;
    int dc = 0;
    if (!directionDelta(direction, dr, dc))
        return fail(line, "no such direction");
    for (int tries = 0; tries < 8; ++tries)
    {
        if (!_console.tap(keyOf(direction)))
            return fail(line, "the key did not go through");
        // A portal moves the avatar at the end of the frame it fires in.
        for (int wait = 0; wait < 3; ++wait)
        {
            int nowRow = -1;
            int nowCol = -1;
            if (tile(nowRow, nowCol) && nowRow == row && nowCol == col)
                return true;
            _console.frames(5);
        }
    }
    return fail(line, "never arrived on " + where(row, col));
}

bool PlaythroughDriver::face(const Line& line, char direction)
{
    int row = -1;
    int col = -1;
    int nowRow = -2;
    int nowCol = -2;
    if (!tile(row, col) || !_console.tap(keyOf(direction)) || !tile(nowRow, nowCol))
        return fail(line, "the console did not answer");
    return (nowRow == row && nowCol == col) || fail(line, "nobody stood there: the avatar walked");
}

namespace
{
// A map's size in cells, from its file.
bool readMapSize(const std::string& path, int& rows, int& cols)
{
    tinyxml2::XMLDocument document;
    if (document.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS || !document.RootElement())
        return false;
    rows = document.RootElement()->IntAttribute("height");
    cols = document.RootElement()->IntAttribute("width");
    return rows > 0 && cols > 0;
}

// The blocked cells of a map's Passability layer (the fully closed tile).
bool readBlocked(const std::string& path, std::vector<std::vector<bool>>& blocked)
{
    const unsigned BLOCKED_TILE = 583;
    tinyxml2::XMLDocument document;
    if (document.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS)
        return false;
    const tinyxml2::XMLElement* map = document.RootElement();
    const int width = map ? map->IntAttribute("width") : 0;
    const int height = map ? map->IntAttribute("height") : 0;
    for (const tinyxml2::XMLElement* layer = map ? map->FirstChildElement("layer") : nullptr; layer;
         layer = layer->NextSiblingElement("layer"))
    {
        const char* name = layer->Attribute("name");
        if (!name || std::string(name) != "Passability")
            continue;
        std::vector<std::uint32_t> gids;
        std::string problem;
        if (!LevelMapLayerData::decode(layer->FirstChildElement("data"), static_cast<size_t>(width * height), gids,
                                       problem))
            return false;
        blocked.assign(static_cast<size_t>(height), std::vector<bool>(static_cast<size_t>(width), false));
        for (int i = 0; i < width * height; ++i)
            blocked[static_cast<size_t>(i / width)][static_cast<size_t>(i % width)] =
                gids[static_cast<size_t>(i)] == BLOCKED_TILE;
        return true;
    }
    return false;
}

// Marks the cells under the map's trigger objects, but for the two given:
// a walk that can go round a trigger should not set it off on the way (a
// shaft down, a camp's edge that calls out).
void markTriggers(const std::string& path, std::vector<std::vector<bool>>& blocked, int keepRow, int keepCol,
                  int fromRow, int fromCol)
{
    tinyxml2::XMLDocument document;
    if (document.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS || !document.RootElement() || blocked.empty())
        return;
    const tinyxml2::XMLElement* map = document.RootElement();
    const int tileW = std::max(1, map->IntAttribute("tilewidth"));
    const int tileH = std::max(1, map->IntAttribute("tileheight"));
    const int rows = static_cast<int>(blocked.size());
    const int cols = static_cast<int>(blocked[0].size());
    for (const tinyxml2::XMLElement* group = map->FirstChildElement("objectgroup"); group;
         group = group->NextSiblingElement("objectgroup"))
        for (const tinyxml2::XMLElement* o = group->FirstChildElement("object"); o; o = o->NextSiblingElement("object"))
        {
            const int c0 = static_cast<int>(o->FloatAttribute("x")) / tileW;
            const int r0 = static_cast<int>(o->FloatAttribute("y")) / tileH;
            const int c1 = c0 + std::max(1, static_cast<int>(o->FloatAttribute("width")) / tileW);
            const int r1 = r0 + std::max(1, static_cast<int>(o->FloatAttribute("height")) / tileH);
            for (int r = std::max(0, r0); r < std::min(rows, r1); ++r)
                for (int c = std::max(0, c0); c < std::min(cols, c1); ++c)
                    if (!(r == keepRow && c == keepCol) && !(r == fromRow && c == fromCol))
                        blocked[static_cast<size_t>(r)][static_cast<size_t>(c)] = true;
        }
}

// The directions of a shortest walk between two cells, breadth first.
std::string shortestWalk(const std::vector<std::vector<bool>>& blocked, int fromRow, int fromCol, int toRow, int toCol)
{
    const int rows = static_cast<int>(blocked.size());
    const int cols = rows ? static_cast<int>(blocked[0].size()) : 0;
    const auto inside = [&](int r, int c) { return r >= 0 && c >= 0 && r < rows && c < cols; };
    std::vector<std::vector<char>> came(static_cast<size_t>(rows), std::vector<char>(static_cast<size_t>(cols), 0));
    std::vector<std::pair<int, int>> queue{{fromRow, fromCol}};
    const std::string ways = "wsad";
    came[static_cast<size_t>(fromRow)][static_cast<size_t>(fromCol)] = 'o';
    for (size_t next = 0; next < queue.size(); ++next)
    {
        const auto [r, c] = queue[next];
        for (char way : ways)
        {
            int dr = 0;
            int dc = 0;
            directionDelta(way, dr, dc);
            const int nr = r + dr;
            const int nc = c + dc;
            if (!inside(nr, nc) || came[static_cast<size_t>(nr)][static_cast<size_t>(nc)] ||
                blocked[static_cast<size_t>(nr)][static_cast<size_t>(nc)])
                continue;
            came[static_cast<size_t>(nr)][static_cast<size_t>(nc)] = way;
            queue.emplace_back(nr, nc);
        }
    }
    if (!inside(toRow, toCol) || !came[static_cast<size_t>(toRow)][static_cast<size_t>(toCol)])
        return "";
    std::string walk;
    for (int r = toRow, c = toCol; r != fromRow || c != fromCol;)
    {
        const char way = came[static_cast<size_t>(r)][static_cast<size_t>(c)];
        walk.insert(walk.begin(), way);
        int dr = 0;
        int dc = 0;
        directionDelta(way, dr, dc);
        r -= dr;
        c -= dc;
    }
    return walk;
}
}

bool PlaythroughDriver::readScene(const std::string& map, const std::string& mover, int keepRow, int keepCol,
                                  std::vector<std::vector<bool>>& blocked)
{
    if (map.empty() || !readBlocked(std::string(ZOLT_SOURCE_DIR) + "/" + map, blocked))
        return false;
    // Whoever stands in the scene is in the way too.
    for (const std::string& id : _console.sceneIds())
    {
        int r = 0;
        int c = 0;
        if (id != mover && tileOf(id, r, c) && r >= 0 && c >= 0 && r < static_cast<int>(blocked.size()) &&
            c < static_cast<int>(blocked[0].size()) && !(r == keepRow && c == keepCol))
            blocked[static_cast<size_t>(r)][static_cast<size_t>(c)] = true;
    }
    return true;
}

bool PlaythroughDriver::goTo(const Line& line, int row, int col, const std::string& map)
{
    std::vector<std::vector<bool>> blocked;
    if (!readScene(map, _console.avatar(), row, col, blocked))
        return fail(line, "cannot read the map's passability");
    int fromRow = -1;
    int fromCol = -1;
    if (!tile(fromRow, fromCol))
        return fail(line, "the console did not answer");
    // Round the trigger tiles where there is a way round, else across them.
    std::vector<std::vector<bool>> avoiding = blocked;
    markTriggers(std::string(ZOLT_SOURCE_DIR) + "/" + map, avoiding, row, col, fromRow, fromCol);
    std::string walkWays = shortestWalk(avoiding, fromRow, fromCol, row, col);
    if (walkWays.empty())
        walkWays = shortestWalk(blocked, fromRow, fromCol, row, col);
    if (walkWays.empty() && (fromRow != row || fromCol != col))
        return fail(line, "no way there");
    for (char way : walkWays)
        if (!walk(line, way, 1))
            return false;
    return true;
}

// ---- Conversations ----

bool PlaythroughDriver::dialogOptionsShown()
{
    Image shot;
    return _game.capture(shot) && gamescreen::coveredByList(shot, 100, 365, 600, 470);
}

bool PlaythroughDriver::dialogShown()
{
    Image shot;
    return _game.capture(shot) &&
           (gamescreen::coveredByList(shot, 100, 365, 600, 470) || gamescreen::coveredByBox(shot, 100, 400, 600, 470));
}

bool PlaythroughDriver::talk(const Line& line)
{
    // A conversation nobody asked for would take the clicks meant for this one.
    if (_console.flag("flag_isDialogOpen") != 0)
        return fail(line, "a conversation is already open");
    if (!_console.tap("z"))
        return fail(line, "the key did not go through");
    const bool open = _console.framesUntil([this] { return _console.flag("flag_isDialogOpen") == 1; }, 10);
    return open || fail(line, "no conversation opened");
}

bool PlaythroughDriver::choose(const Line& line, int option, int count)
{
    for (int page = 0; page < 12; ++page)
    {
        if (_console.flag("flag_isDialogOpen") != 1)
            return fail(line, "the conversation closed before the choice");
        if (dialogOptionsShown())
        {
            _trace += "option at y " + std::to_string(dialogOptionY(option, count)) + "; ";
            // Kept so that a choice that went wrong can be seen afterwards.
            _game.screenshot("/tmp/zolt-playthrough-options.png");
            return clickAndRun(BAND_X, dialogOptionY(option, count)) || fail(line, "the click did not go through");
        }
        // A page of text: the click turns it.
        _trace += "page; ";
        if (!clickAndRun(BAND_X, TEXT_PAGE_Y))
            return fail(line, "the click did not go through");
    }
    return fail(line, "the options never showed");
}

bool PlaythroughDriver::waitUntilClosed(const Line& line)
{
    const bool closed = _console.framesUntil([this] { return _console.flag("flag_isDialogOpen") == 0; }, 10);
    return closed || fail(line, "the conversation is still open");
}

// ---- The bag ----

bool PlaythroughDriver::useItem(const Line& line, const std::string& item)
{
    // The inventory lists each kind once, in the order of first appearance.
    std::vector<std::string> kinds;
    for (const std::string& id : _bag)
        if (std::find(kinds.begin(), kinds.end(), id) == kinds.end())
            kinds.push_back(id);
    const auto found = std::find(kinds.begin(), kinds.end(), item);
    if (found == kinds.end())
        return fail(line, "the test's bag holds none");
    const int index = static_cast<int>(found - kinds.begin());
    if (!clickAndRun(MENU_X, MENU_Y) || !clickAndRun(INVENTORY_X, INVENTORY_Y) ||
        !clickAndRun(ITEM_X, FIRST_ITEM_Y + ITEM_LINE * index) || !clickAndRun(CLOSE_X, CLOSE_Y))
        return fail(line, "a click did not go through");
    _bag.erase(std::find(_bag.begin(), _bag.end(), item));
    const bool left = std::find(_bag.begin(), _bag.end(), item) != _bag.end();
    return ask("tostring(s:has('" + item + "'))") == (left ? "true" : "false") || fail(line, "the item was not used");
}

bool PlaythroughDriver::heal(const Line& line)
{
    for (;;)
    {
        const int hp = askInt(_console.avatar() + ":getHP(false)");
        const int most = askInt(_console.avatar() + ":getHP(true)");
        if (most - hp < POTION_HEALS / 2 || std::find(_bag.begin(), _bag.end(), "potion") == _bag.end())
            return true;
        if (!useItem(line, "potion"))
            return false;
        if (askInt(_console.avatar() + ":getHP(false)") <= hp)
            return fail(line, "the potion healed nothing");
    }
}

// ---- Fights ----

bool PlaythroughDriver::fight(const Line& line)
{
    const std::vector<std::string>& enemies = line.words;
    const size_t fightLine = _current;
    _fightShown = false;
    // The map named for a fight holds for that fight only.
    struct ForgetMap
    {
        std::string& map;
        ~ForgetMap() { map.clear(); }
    } forget{_fightMap};
    for (int attempt = 0; attempt < 4; ++attempt)
    {
        bool won = false;
        if (!playFight(line, enemies, won))
            return false;
        if (won)
        {
            std::cerr << "Playthrough: fight at line " << line.number << " won on try " << attempt + 1 << " with "
                      << ask(_console.avatar() + ":getHP(false)") << " of " << ask(_console.avatar() + ":getHP(true)")
                      << " hit points left" << std::endl;
            return true;
        }
        ++_fightsLost;
        std::cerr << "Playthrough: fight at line " << line.number << " lost, trying again" << std::endl;
        if (!recoverFromLoss(line, fightLine))
            return false;
    }
    return fail(line, "lost four times");
}

bool PlaythroughDriver::recoverFromLoss(const Line& line, size_t fightLine)
{
    for (size_t i = fightLine + 1; i < _lines.size() && _lines[i].afterLoss; ++i)
        if (!run(_lines[i]))
            return false;
    return ask("s:combatStage()") == "base" || fail(line, "the fight did not start again");
}

bool PlaythroughDriver::playFight(const Line& line, const std::vector<std::string>& enemies, bool& won)
{
    bool acted = false;
    for (int round = 0; round < 200; ++round)
    {
        const std::string stage = ask("s:combatStage()");
        if (stage == "win")
        {
            won = clickAndRun(BAND_X, TEXT_PAGE_Y) && ask("s:combatStage()") == "none"; // "exit_combat"
            return won || fail(line, "the fight would not end");
        }
        if (stage == "lose")
        {
            // "try_again" is the first option whether or not a save is offered.
            return (clickAndRun(BAND_X, COMBAT_TOP + 16) && ask("s:combatStage()") == "none") ||
                   fail(line, "try again did not take");
        }
        if (stage == "enemy")
        {
            if (!waitForEnemies(line))
                return false;
            acted = false;
            continue;
        }
        if (stage != "base")
            return fail(line, "the fight stands at " + stage);
        if (!acted)
        {
            if (!playerTurn(line, enemies))
                return false;
            acted = true;
        }
        else if (!clickAndRun(BAND_X, TEXT_PAGE_Y)) // "pass_turn"
        {
            return fail(line, "the click did not go through");
        }
    }
    // Where everybody stands says why nobody reaches anybody.
    std::string fighters;
    std::vector<std::string> ids{_console.avatar()};
    for (const Member& member : _members)
        ids.push_back(member.id);
    ids.insert(ids.end(), enemies.begin(), enemies.end());
    for (const std::string& id : ids)
        fighters +=
            " " + id + " " + ask(id + ":getRow() .. ',' .. " + id + ":getCol() .. ' hp ' .. " + id + ":getHP(false)");
    return fail(line, "the fight went on and on:" + fighters);
}

bool PlaythroughDriver::waitForEnemies(const Line& line)
{
    // The enemies are done when "continue" shows on the band (or the fight
    // is over).
    std::string stage;
    const bool done = _console.framesUntil(
        [&]
        {
            stage = ask("s:combatStage()");
            Image shot;
            return stage != "enemy" || (_game.capture(shot) && gamescreen::coveredByList(shot, 100, 380, 600, 460));
        },
        100);
    if (!done)
        return fail(line, "the enemies never finished");
    if (stage != "enemy")
        return true;
    // What the first round of a fight looked like, for the walkthrough.
    if (!_fightShown)
        gamescreen::keepScreenshot(_game, "fight-" + line.words[0]);
    _fightShown = true;
    return clickAndRun(BAND_X, TEXT_PAGE_Y) || fail(line, "the click did not go through"); // "continue"
}

bool PlaythroughDriver::playerTurn(const Line& line, const std::vector<std::string>& enemies)
{
    // A fallen avatar lies where it fell while the others fight on.
    if (standing(_console.avatar()) && !fighterTurn(line, enemies, _console.avatar(), _attackOption, _attackCount, 2))
        return false;
    for (const Member& member : _members)
    {
        // The last blow may have ended the fight.
        if (ask("s:combatStage()") != "base")
            return true;
        if (standing(member.id) && !fighterTurn(line, enemies, member.id, member.option, member.count, member.reach))
            return false;
    }
    return true;
}

bool PlaythroughDriver::fighterTurn(const Line& line, const std::vector<std::string>& enemies, const std::string& who,
                                    int option, int count, int reach)
{
    int row = -1;
    int col = -1;
    int avatarRow = -1;
    int avatarCol = -1;
    if (!tileOf(who, row, col) || !tile(avatarRow, avatarCol))
        return fail(line, "the console did not answer");
    // The nearest enemy still standing.
    std::string target;
    int best = std::numeric_limits<int>::max();
    for (const std::string& id : enemies)
    {
        int r = 0;
        int c = 0;
        if (!standing(id) || !tileOf(id, r, c))
            continue;
        const int d = std::abs(r - row) + std::abs(c - col);
        if (d < best)
        {
            best = d;
            target = id;
        }
    }
    if (target.empty())
        return true;
    // The camera follows the avatar but keeps to the fight's map: the
    // fighter is picked where it stands; it moves; it strikes when next to
    // the enemy, else ends its turn without an ability.
    const bool avatar = who == _console.avatar();
    int rows = 0;
    int cols = 0;
    if (_fightMap.empty() || !readMapSize(std::string(ZOLT_SOURCE_DIR) + "/" + _fightMap, rows, cols))
        return fail(line, "the walkthrough names no readable map for this fight");
    const MapView view = MapView::fight(rows, cols, avatarRow, avatarCol);
    // A square under the result box or the combat menu cannot be clicked:
    // the click would land on the box or on an option.
    const auto visible = [](int x, int y) { return x >= 0 && x < 640 && y >= 64 && y < COMBAT_TOP - 8; };
    const int whoX = view.x(col);
    const int whoY = view.y(row);
    if (!avatar && !visible(whoX, whoY))
        return true;
    if (!clickAndRun(whoX, whoY))
        return fail(line, "no click");
    if (ask("s:combatStage()") != "move")
        return !avatar || fail(line, "choosing the avatar did not start its move");
    if (!closeIn(target, who, reach))
        return fail(line, "the console did not answer");
    if (!clickAndRun(BAND_X, combatOptionY(2, 2)) || ask("s:combatStage()") != "ability") // "finish"
        return fail(line, "finishing the move did not offer the abilities");
    int r = 0;
    int c = 0;
    if (!tileOf(who, row, col) || !tileOf(target, r, c))
        return fail(line, "the console did not answer");
    // The avatar may have moved, and the camera with her.
    if (avatar && !tile(avatarRow, avatarCol))
        return fail(line, "the console did not answer");
    const MapView after = MapView::fight(rows, cols, avatarRow, avatarCol);
    const int targetX = after.x(c);
    const int targetY = after.y(r);
    if (!inReach(row, col, r, c, reach) || !visible(targetX, targetY))
        return clickAndRun(BAND_X, combatOptionY(2, count)) || fail(line, "no click"); // "none"
    if (!clickAndRun(BAND_X, combatOptionY(option, count)) || ask("s:combatStage()") != "target")
        return fail(line, "the attack of " + who + " was not offered");
    if (!clickAndRun(targetX, targetY))
        return fail(line, "no click");
    return clickAndRun(BAND_X, combatOptionY(2, 2)) || fail(line, "no click"); // "finish"
}

bool PlaythroughDriver::closeIn(const std::string& enemy, const std::string& who, int reach)
{
    int moves = askInt(who + ":getMove()");
    if (!followWalk(enemy, who, reach, moves))
        return false;
    while (moves > 0)
    {
        int row = 0;
        int col = 0;
        int r = 0;
        int c = 0;
        if (!tileOf(who, row, col) || !tileOf(enemy, r, c))
            return false;
        const int dr = r - row;
        const int dc = c - col;
        if (closeEnough(row, col, r, c, reach))
            return true;
        // The longer way first; a wall or a body in the way tries the other,
        // and when both are held a step aside goes round (a fallen fighter
        // lies where it fell and holds its square for the rest of the fight).
        std::vector<char> ways;
        const char vertical = dr < 0 ? 'w' : 's';
        const char horizontal = dc < 0 ? 'a' : 'd';
        if (std::abs(dr) >= std::abs(dc))
            ways = {vertical, horizontal};
        else
            ways = {horizontal, vertical};
        if (dr == 0)
            ways.resize(1);
        if (dc == 0)
            ways = {vertical};
        for (char aside : std::string(dr == 0 ? "ws" : dc == 0 ? "ad" : ""))
            ways.push_back(aside);
        bool moved = false;
        for (char way : ways)
        {
            if (moves <= 0)
                break;
            if (!_console.tap(keyOf(way)))
                return false;
            --moves;
            int nowRow = 0;
            int nowCol = 0;
            if (!tileOf(who, nowRow, nowCol))
                return false;
            if (nowRow != row || nowCol != col)
            {
                moved = true;
                break;
            }
        }
        if (!moved)
            return true;
    }
    return true;
}

bool PlaythroughDriver::followWalk(const std::string& enemy, const std::string& who, int reach, int& moves)
{
    // On a known map the shortest walk round walls and bodies; where a step
    // does not take, the straight approach after it tries on.
    int row = 0;
    int col = 0;
    int r = 0;
    int c = 0;
    std::vector<std::vector<bool>> blocked;
    if (!tileOf(who, row, col) || !tileOf(enemy, r, c))
        return false;
    if (!readScene(_fightMap, who, r, c, blocked))
        return true;
    for (char way : shortestWalk(blocked, row, col, r, c))
    {
        if (moves <= 0 || closeEnough(row, col, r, c, reach))
            return true;
        const int fromRow = row;
        const int fromCol = col;
        if (!_console.tap(keyOf(way)) || !tileOf(who, row, col))
            return false;
        --moves;
        if (row == fromRow && col == fromCol)
            return true;
    }
    return true;
}

// ---- The console ----

std::string PlaythroughDriver::ask(const std::string& lua)
{
    return _console.ask(lua);
}

int PlaythroughDriver::askInt(const std::string& lua)
{
    return _console.askInt(lua);
}

bool PlaythroughDriver::tile(int& row, int& col)
{
    return _console.avatarTile(row, col);
}

bool PlaythroughDriver::tileOf(const std::string& id, int& row, int& col)
{
    std::istringstream in(ask(id + ":getRow() .. ' ' .. " + id + ":getCol()"));
    return static_cast<bool>(in >> row >> col);
}

bool PlaythroughDriver::standing(const std::string& id)
{
    return askInt(id + ":getHP(false)") > 0;
}

bool PlaythroughDriver::clickAndRun(int x, int y)
{
    return _game.click(x, y) && _console.frames(3);
}
