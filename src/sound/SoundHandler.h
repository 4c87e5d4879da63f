#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace sound
{
class AudioDevice;
class AudioVoice;
class Sound;

// Plays music and effects from a fixed table on delayed requests. One music
// track plays at a time; a new one cross-fades the old one out and music
// loops by jumping back to a per-track position shortly before its end.
// All state is class-wide.
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
    static void update();
    static bool playSound(Sound* sound);
    static AudioVoice* startSound(Sound* sound);
    static void erase();

    static AudioDevice* getSoundEngine() { return soundEngine; }
    static AudioVoice* getCurrentMusic() { return currentMusic; }
    static AudioVoice* getNextMusic() { return nextMusic; }
    static clock_t getFadeMusicClock() { return fadeMusicClock; }
    static int getCurrentMusicSoundIndex() { return currentMusicSoundIndex; }
    static int getNextMusicSoundIndex() { return nextMusicSoundIndex; }
    static std::vector<std::string> getRequestFilenames() { return requestFilenames; }
    static std::vector<long> getRequestPlayTimes() { return requestPlayTimes; }
    static std::vector<Sound*> getSounds() { return sounds; }
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
    static int findSound(const std::string& filename);
    static void serveRequest(int soundIndex);
    static void startMusic(Sound* sound, int soundIndex);
    static void queueNextMusic(Sound* sound, int soundIndex);
    static void advanceFade();
    static void loopMusic();
    static void releaseVoice(AudioVoice* voice);

    static AudioDevice* soundEngine;
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
