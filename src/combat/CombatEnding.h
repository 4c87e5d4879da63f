#pragma once

#include <string>

#include "combat/CombatSnapshot.h"
#include "combat/CombatSpoils.h"

namespace core
{
class CombatView;
class CombatSides;
class CombatHost;

// How a fight ends, and what it hands back: victory or defeat on screen,
// the scene's music that battle music replaced, and the party as the fight
// found it, so that a lost fight can be tried again or left for the last save.
class CombatEnding
{
public:
    // Offered beside "try_again" after a lost fight once the game has saves.
    static constexpr const char* LOAD_LAST_SAVE = "load last save";
    // The music of a lost fight, when the game names any; the scene's
    // music comes back when the fight is tried again or left.
    static constexpr const char* DEFEAT_CUE = "defeat";

    CombatEnding(CombatHost* session, CombatSides& sides, CombatView& display);

    // Takes the party as it stands, and what the enemies will give if
    // beaten; an empty `music` leaves the scene's playing.
    void begin(const std::string& music);
    void showVictory();
    void showDefeat();
    // Brings back the scene's music, once, if battle music replaced it.
    void restoreSceneMusic();
    // Hit points, fatigue, square and facing as the fight began, and every
    // member able to act again.
    void restoreParty();
    void loadLastSave();

private:
    CombatHost* _session;
    CombatSides& _sides;
    CombatView& _display;
    CombatSnapshot _snapshot;
    CombatSpoils _spoils;
    std::string _sceneMusic;
    bool _battleMusicPlaying = false;
};
}
