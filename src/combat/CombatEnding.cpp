#include "combat/CombatEnding.h"

#include <vector>

#include "combat/CombatView.h"
#include "combat/CombatSides.h"
#include "data/Party.h"
#include "combat/LatestSave.h"
#include "combat/CombatHost.h"
#include "sound/SoundHandler.h"

namespace core
{
CombatEnding::CombatEnding(CombatHost* session, CombatSides& sides, CombatView& display)
    : _session(session), _sides(sides), _display(display)
{
}

void CombatEnding::begin(const std::string& music)
{
    _snapshot.take(_sides.party(), _sides.enemies());
    _spoils.begin(_sides.enemies());
    _sceneMusic = sound::SoundHandler::getLastMusicRequest();
    _battleMusicPlaying = !music.empty();
    if (_battleMusicPlaying)
        sound::SoundHandler::sendRequest(music, 0.0);
}

void CombatEnding::showVictory()
{
    _display.setMenu("victory", {"exit_combat"});
    _display.addResultLine("Victory! Every enemy is beaten.");
    Party* party = _session ? _session->getCurrentParty() : nullptr;
    for (const std::string& line : _spoils.award(_sides.party(), party ? &party->getInventory() : nullptr))
        _display.addResultLine(line);
    restoreSceneMusic();
}

void CombatEnding::showDefeat()
{
    std::vector<std::string> options{"try_again"};
    if (LatestSave* saves = _session ? _session->getSaveGames() : nullptr)
        if (saves->hasSaves())
            options.push_back(LOAD_LAST_SAVE);
    _display.setMenu("defeat", options);
    _display.addResultLine("Defeat! Nobody is left standing. Try again from where the fight began.");
    sound::SoundHandler::sendCue(DEFEAT_CUE, 0.0);
}

void CombatEnding::restoreSceneMusic()
{
    if (_battleMusicPlaying && !_sceneMusic.empty())
        sound::SoundHandler::sendRequest(_sceneMusic, 0.0);
    _battleMusicPlaying = false;
}

void CombatEnding::restoreParty()
{
    _snapshot.restore(_session ? _session->getCurrentScene() : nullptr);
    // A fallen party member can act again in the next fight.
    _sides.setPartyCanAct(true);
    if (Character* avatar = _session ? _session->getAvatar() : nullptr)
        _sides.setCanAct(avatar, true);
}

void CombatEnding::loadLastSave()
{
    if (LatestSave* saves = _session ? _session->getSaveGames() : nullptr)
        saves->loadLatest();
}
}
