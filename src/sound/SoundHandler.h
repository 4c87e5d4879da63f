#pragma once

#include <ctime>
#include <functional>
#include <future>
#include <string>
#include <vector>

namespace sound
{
class AudioDevice;
class AudioVoice;
class Sound;

// Plays music and effects from the game's table (its manifest's sounds) on
// delayed requests. One music
// track plays at a time; a new one cross-fades the old one out and music
// loops by jumping back to a per-track position shortly before its end.
// All state is class-wide.
//
// Opening the output device takes a good part of start-up, so init opens it
// on a helper thread while the game goes on starting; the first call that
// needs the device (every public call does) waits for it. Sound files are
// only checked for existence at registration and decoded on first play.
class SoundHandler
{
public:
    typedef std::function<clock_t()> ClockFunction;

    static void init(bool loadDefaults);
    static void initDefaultSounds();
    static void addSound(const std::string& soundFilename, bool isMusic, unsigned int loopToPos,
                         bool shouldOnlyAddValidFiles);
    static void addSounds(const std::vector<std::string>& soundFilenames, bool shouldOnlyAddValidFiles);

    // Returns the clock reading at which the request was received.
    static clock_t sendRequest(const std::string& filename, double playDelay);
    // Plays the sound the game's manifest gives the engine event `cue`
    // ("step", "dialogText", "hit"); nothing when the game gives none.
    static clock_t sendCue(const std::string& cue, double playDelay);
    static void update();
    static bool playSound(Sound* sound);
    static AudioVoice* startSound(Sound* sound);
    static void erase();
    // The player's volumes, 0 (silent) to 1 (as the game mixed it), for the
    // music and for the effects.
    static void setVolumes(float music, float effects);
    static float getMusicVolume() { return musicShare; }
    static float getEffectsVolume() { return effectsShare; }

    static AudioDevice* getSoundEngine();
    static AudioVoice* getCurrentMusic();
    static AudioVoice* getNextMusic();
    static clock_t getFadeMusicClock();
    static int getCurrentMusicSoundIndex();
    static int getNextMusicSoundIndex();
    static std::vector<std::string> getRequestFilenames();
    static std::vector<long> getRequestPlayTimes();
    static std::vector<Sound*> getSounds();
    // The name the latest accepted request for a music track gave, "" before
    // any: what a scene is playing, even while the track waits its turn.
    static const std::string& getLastMusicRequest() { return lastMusicRequest; }

    // Milliseconds of wall-clock time since the process started, never
    // going back; the handler's only time source unless replaced.
    static clock_t processClock();
    // Replaces the handler's clock (tests drive time with it); an empty
    // function restores processClock.
    static void setClock(const ClockFunction& clock);
    static clock_t now();

private:
    // Takes over the device opened by init once it is ready.
    static void awaitDevice();
    static void registerDefaultSounds();
    static void registerSound(const std::string& soundFilename, bool isMusic, unsigned int loopToPos,
                              bool shouldOnlyAddValidFiles);
    static void deleteSounds();
    static int findSound(const std::string& filename);
    static void serveRequest(int soundIndex);
    static void startMusic(Sound* sound, int soundIndex);
    static void queueNextMusic(Sound* sound, int soundIndex);
    static void advanceFade();
    static void loopMusic();
    static void releaseVoice(AudioVoice* voice);

    static AudioDevice* soundEngine;
    static float musicShare;
    static float effectsShare;
    static std::future<AudioDevice*> openingEngine;
    static std::vector<Sound*> sounds;
    static std::vector<std::string> requestFilenames;
    static std::vector<long> requestPlayTimes;
    static AudioVoice* currentMusic;
    static AudioVoice* nextMusic;
    static clock_t fadeMusicClock;
    static int currentMusicSoundIndex;
    static int nextMusicSoundIndex;
    static ClockFunction clockFunction;
    static std::string lastMusicRequest;
};
}
