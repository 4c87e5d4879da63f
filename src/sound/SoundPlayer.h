#pragma once

#include <ctime>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace sound
{
class AudioDevice;
class AudioVoice;
class Sound;

// Plays music and effects from the game's table (its manifest's sounds) on
// delayed requests. One music track plays at a time; a new one cross-fades
// the old one out and music loops by jumping back to a per-track position
// shortly before its end. The application owns the one that plays; the
// engine reaches it through SoundHandler's static calls.
//
// Opening the output device takes a good part of start-up, so init opens it
// on a helper thread while the game goes on starting; the first call that
// needs the device (every public call does) waits for it. Sound files are
// only checked for existence at registration and decoded on first play.
class SoundPlayer
{
public:
    typedef std::function<clock_t()> ClockFunction;

    SoundPlayer();
    // Stops every sound and closes the device it opened.
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    void init(bool loadDefaults);
    void initDefaultSounds();
    void addSound(const std::string& soundFilename, bool isMusic, unsigned int loopToPos, bool shouldOnlyAddValidFiles);
    void addSounds(const std::vector<std::string>& soundFilenames, bool shouldOnlyAddValidFiles);

    // Returns the clock reading at which the request was received.
    clock_t sendRequest(const std::string& filename, double playDelay);
    // Plays the sound the game's manifest gives the engine event `cue`
    // ("step", "dialogText", "hit"); nothing when the game gives none.
    clock_t sendCue(const std::string& cue, double playDelay);
    void update();
    bool playSound(Sound* sound);
    AudioVoice* startSound(Sound* sound);
    void erase();
    // The player's volumes, 0 (silent) to 1 (as the game mixed it), for the
    // music and for the effects.
    void setVolumes(float music, float effects);
    float getMusicVolume() const { return musicShare; }
    float getEffectsVolume() const { return effectsShare; }

    AudioDevice* getSoundEngine();
    AudioVoice* getCurrentMusic();
    AudioVoice* getNextMusic();
    clock_t getFadeMusicClock();
    int getCurrentMusicSoundIndex();
    int getNextMusicSoundIndex();
    std::vector<std::string> getRequestFilenames();
    std::vector<long> getRequestPlayTimes();
    std::vector<Sound*> getSounds();
    // The name the latest accepted request for a music track gave, "" before
    // any: what a scene is playing, even while the track waits its turn.
    const std::string& getLastMusicRequest() { return lastMusicRequest; }

    // Milliseconds of wall-clock time since the process started, never
    // going back; the player's only time source unless replaced.
    static clock_t processClock();
    // Replaces the handler's clock (tests drive time with it); an empty
    // function restores processClock.
    void setClock(const ClockFunction& clock);
    clock_t now();

private:
    // Takes over the device opened by init once it is ready.
    void awaitDevice();
    void registerDefaultSounds();
    void registerSound(const std::string& soundFilename, bool isMusic, unsigned int loopToPos,
                       bool shouldOnlyAddValidFiles);
    void deleteSounds();
    int findSound(const std::string& filename);
    void serveRequest(int soundIndex);
    void startMusic(Sound* sound, int soundIndex);
    void queueNextMusic(Sound* sound, int soundIndex);
    void advanceFade();
    void loopMusic();
    void releaseVoice(AudioVoice* voice);

    std::unique_ptr<AudioDevice> soundEngine;
    float musicShare = 1.0f;
    float effectsShare = 1.0f;
    std::future<std::unique_ptr<AudioDevice>> openingEngine;
    std::vector<std::unique_ptr<Sound>> sounds;
    std::vector<std::string> requestFilenames;
    std::vector<long> requestPlayTimes;
    AudioVoice* currentMusic = nullptr;
    AudioVoice* nextMusic = nullptr;
    clock_t fadeMusicClock = 0;
    int currentMusicSoundIndex = -1;
    int nextMusicSoundIndex = -1;
    ClockFunction clockFunction;
    std::string lastMusicRequest;
};
}
