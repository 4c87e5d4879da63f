#pragma once

#include <string>
#include <vector>

#include "GameConsole.h"
#include "GameProcess.h"

// Plays the demo game from a walkthrough file, one command a line, with
// real keys and clicks only. The developer console stays open the whole
// way (a fight takes every key but Escape, so it could not be opened during
// one): it lets frames run while the player waits, and it reads where the
// game stands (tiles, flags, quests, hit points, the fight's stage) to
// check each step and to aim in fights. It never moves the game on.
//
// Commands (tiles are row then column; DIR is w, a, s or d):
//   at R C            the avatar stands on (R, C)
//   walk DIR N        N steps, each one checked; a wanderer in the way is walked round
//                     (one square aside) or waited for
//   step DIR R C      steps until the avatar stands on (R, C): through doors and portals
//   face DIR          turns towards someone standing there (the avatar stays put)
//   goto R C MAP      walks the shortest way to (R, C) on that map (its Passability
//                     layer), round whoever stands in the scene: after a fight the
//                     avatar stands wherever the fight left it
//   map MAP           the next fight is on that map: its fighters walk round its walls
//   talk              Z: a conversation opens
//   choose I N TEXT   pages through the text, then clicks option I of N (counted from 1)
//   closed            the conversation is over
//   gain ITEM         the bag now holds ITEM (kept in the test's own copy of the bag,
//   lose ITEM           so that it knows which line of the inventory shows what)
//   use ITEM          Menu, Inventory, a click on the item's line
//   heal              potions from the bag until the avatar's hit points are full
//   flag NAME V       the session flag holds V
//   quest ID V        the quest's state (0 never begun, 1 under way, 2 done)
//   party N           the party has N members
//   sees ID           that character stands in the current scene
//   attack I N        where the avatar's attack is on the ability menu (option I of N)
//   member ID I N [R] ID fights beside the avatar, its attack option I of N reaching
//                     squares closer than R (2 unless given: the next square); in each
//                     round the avatar acts first, then every member standing in the
//                     order they were named, each closing in and striking like the avatar
//   fight ID...       plays the fight against those characters to the end
//   lost: COMMAND     after a lost fight ("try again"), runs before the fight goes on
//   shot NAME         keeps a picture of the window for the documentation
//   theend            the ending screen shows
class PlaythroughDriver
{
public:
    struct Line
    {
        int number = 0;
        std::string command;
        std::vector<std::string> words;
        bool afterLoss = false; // a "lost:" line
    };

    PlaythroughDriver(GameProcess& game, GameConsole& console) : _game(game), _console(console) {}

    // Reads the file; false, with the reason in error(), when it cannot be
    // read or a line does not parse.
    bool load(const std::string& path);
    // Plays every line; false at the first that fails, with the reason.
    bool play();
    const std::string& error() const { return _error; }

    // The bag the game starts with, in order.
    void setBag(const std::vector<std::string>& items) { _bag = items; }
    int fightsLost() const { return _fightsLost; }

private:
    bool run(const Line& line);
    bool fail(const Line& line, const std::string& why);

    bool walk(const Line& line, char direction, int steps);
    // One step from (row, col): DONE when the avatar arrived, BLOCKED when
    // it stayed, ELSEWHERE when it went somewhere else (now* say where).
    enum class Move
    {
        DONE,
        BLOCKED,
        ELSEWHERE,
        NO_ANSWER
    };
    Move tryStep(char direction, int row, int col, int& nowRow, int& nowCol);
    Move walkRound(char direction, int row, int col);
    bool stepTo(const Line& line, char direction, int row, int col);
    bool face(const Line& line, char direction);
    bool goTo(const Line& line, int row, int col, const std::string& map);
    bool talk(const Line& line);
    bool choose(const Line& line, int option, int count);
    bool waitUntilClosed(const Line& line);
    bool useItem(const Line& line, const std::string& item);
    bool heal(const Line& line);
    bool fight(const Line& line);
    bool playFight(const Line& line, const std::vector<std::string>& enemies, bool& won);
    bool playerTurn(const Line& line, const std::vector<std::string>& enemies);
    // One fighter's turn: picked on the map, closes in on the nearest enemy
    // and strikes with option `option` of `count` when next to it. A member
    // that cannot be picked (down, or not in this fight) lets its turn go.
    bool fighterTurn(const Line& line, const std::vector<std::string>& enemies, const std::string& who, int option,
                     int count, int reach);
    bool closeIn(const std::string& enemy, const std::string& who, int reach);
    bool followWalk(const std::string& enemy, const std::string& who, int reach, int& moves);
    // The map's walls and everybody in the scene but `mover`, keeping
    // (keepRow, keepCol) open; false on no known map.
    bool readScene(const std::string& map, const std::string& mover, int keepRow, int keepCol, std::vector<std::vector<bool>>& blocked);
    bool waitForEnemies(const Line& line);
    bool recoverFromLoss(const Line& line, size_t fightLine);

    // Console helpers.
    std::string ask(const std::string& lua);
    int askInt(const std::string& lua);
    bool tile(int& row, int& col);
    bool tileOf(const std::string& id, int& row, int& col);
    bool standing(const std::string& id);
    // A click, then a few frames so the game sees it.
    bool clickAndRun(int x, int y);
    bool dialogOptionsShown();
    bool dialogShown();

    GameProcess& _game;
    GameConsole& _console;
    std::vector<Line> _lines;
    size_t _current = 0;
    std::vector<std::string> _bag;
    int _attackOption = 4;
    int _attackCount = 4;
    struct Member
    {
        std::string id;
        int option;
        int count;
        int reach;
    };
    std::vector<Member> _members;
    int _fightsLost = 0;
    std::string _fightMap; // where the next fight is, when the walkthrough says
    bool _fightShown = false;
    std::string _error;
    // What the current and the previous command did, for failure messages.
    std::string _trace;
    std::string _lastTrace;
};
