#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "sound/SoundPlayer.h"

namespace sound
{
// The engine's way to its sounds: every call goes to the current player,
// the one the application owns and installs, so callers need no handle.
// Without one installed (tests, tools) a player of the handler's own is
// used.
class SoundHandler
{
public:
    typedef SoundPlayer::ClockFunction ClockFunction;

    // The player the static calls reach; null puts the handler's own back.
    static void setPlayer(SoundPlayer* player);
    static SoundPlayer& player();

    static void init(bool loadDefaults) { player().init(loadDefaults); }
    static void initDefaultSounds() { player().initDefaultSounds(); }
    static void addSound(const std::string& soundFilename, bool isMusic, unsigned int loopToPos,
                         bool shouldOnlyAddValidFiles)
    {
        player().addSound(soundFilename, isMusic, loopToPos, shouldOnlyAddValidFiles);
    }
    static void addSounds(const std::vector<std::string>& soundFilenames, bool shouldOnlyAddValidFiles)
    {
        player().addSounds(soundFilenames, shouldOnlyAddValidFiles);
    }

    // Returns the clock reading at which the request was received.
    static clock_t sendRequest(const std::string& filename, double playDelay)
    {
        return player().sendRequest(filename, playDelay);
    }
    // Plays the sound the game's manifest gives the engine event `cue`
    // ("step", "dialogText", "hit"); nothing when the game gives none.
    static clock_t sendCue(const std::string& cue, double playDelay) { return player().sendCue(cue, playDelay); }
    static void update() { player().update(); }
    static bool playSound(Sound* sound) { return player().playSound(sound); }
    static AudioVoice* startSound(Sound* sound) { return player().startSound(sound); }
    static void erase() { player().erase(); }
    static void setVolumes(float music, float effects) { player().setVolumes(music, effects); }
    static float getMusicVolume() { return player().getMusicVolume(); }
    static float getEffectsVolume() { return player().getEffectsVolume(); }

    static AudioDevice* getSoundEngine() { return player().getSoundEngine(); }
    static AudioVoice* getCurrentMusic() { return player().getCurrentMusic(); }
    static AudioVoice* getNextMusic() { return player().getNextMusic(); }
    static clock_t getFadeMusicClock() { return player().getFadeMusicClock(); }
    static int getCurrentMusicSoundIndex() { return player().getCurrentMusicSoundIndex(); }
    static int getNextMusicSoundIndex() { return player().getNextMusicSoundIndex(); }
    static std::vector<std::string> getRequestFilenames() { return player().getRequestFilenames(); }
    static std::vector<long> getRequestPlayTimes() { return player().getRequestPlayTimes(); }
    static std::vector<Sound*> getSounds() { return player().getSounds(); }
    // The name the latest accepted request for a music track gave, "" before
    // any: what a scene is playing, even while the track waits its turn.
    static const std::string& getLastMusicRequest() { return player().getLastMusicRequest(); }

    // Milliseconds of wall-clock time since the process started, never
    // going back; the handler's only time source unless replaced.
    static clock_t processClock() { return SoundPlayer::processClock(); }
    // Replaces the current player's clock (tests drive time with it); an
    // empty function restores processClock.
    static void setClock(const ClockFunction& clock) { player().setClock(clock); }
    static clock_t now() { return player().now(); }
};
}
