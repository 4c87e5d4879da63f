#include "sound/SoundPlayer.h"

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <iostream>

#include "Log/Log.h"
#include "sound/AudioDevice.h"
#include "sound/AudioVoice.h"
#include "sound/Sound.h"
#include "util/GameFiles.h"
#include "util/GameManifest.h"

namespace sound
{
namespace
{
const float MUSIC_VOLUME = 0.75f;
// The fade takes MUSIC_VOLUME seconds: the volume drops by one per second.
const double FADE_PER_MILLISECOND = 1.0 / 1000.0;
// Music jumps back this many milliseconds before its end, so that the jump
// happens before the track runs out between two frames.
const unsigned int LOOP_MARGIN_MS = 100;
// Past this a due time no longer fits the clock's range.
const double LARGEST_DUE_TIME = 9.0e18;

const std::chrono::steady_clock::time_point processStart = std::chrono::steady_clock::now();

// The engine's own channel for what the handler does; the game's manifest
// may route it to a stream of another name.
const char* const LOG_CHANNEL = "sound";
}

SoundPlayer::SoundPlayer() = default;

SoundPlayer::~SoundPlayer()
{
    erase();
}

clock_t SoundPlayer::processClock()
{
    const auto elapsed = std::chrono::steady_clock::now() - processStart;
    return static_cast<clock_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SoundPlayer::setClock(const ClockFunction& newClock)
{
    clockFunction = newClock;
}

clock_t SoundPlayer::now()
{
    return clockFunction ? clockFunction() : processClock();
}

void SoundPlayer::init(bool loadDefaults)
{
    Log::setNamedStream(LOG_CHANNEL, &std::cout);
    // A second start-up would otherwise leave the first device open and
    // register the table twice.
    erase();
#ifdef __EMSCRIPTEN__
    // A page has no second thread: the device opens when first asked for.
    const std::launch opening = std::launch::deferred;
#else
    const std::launch opening = std::launch::async;
#endif
    openingEngine = std::async(opening, [] { return AudioDevice::create(); });
    currentMusic = nullptr;
    nextMusic = nullptr;
    currentMusicSoundIndex = -1;
    nextMusicSoundIndex = -1;
    // Registered now, while the working directory is the one the paths are
    // relative to; taken back if the device cannot be opened.
    if (loadDefaults)
        registerDefaultSounds();
}

void SoundPlayer::awaitDevice()
{
    if (!openingEngine.valid())
        return;
    soundEngine = openingEngine.get();
    if (soundEngine)
        return;
    Log::plain() << "Error: soundEngine initialization in SoundHandler failed";
    deleteSounds();
}

AudioDevice* SoundPlayer::getSoundEngine()
{
    awaitDevice();
    return soundEngine.get();
}

AudioVoice* SoundPlayer::getCurrentMusic()
{
    awaitDevice();
    return currentMusic;
}

AudioVoice* SoundPlayer::getNextMusic()
{
    awaitDevice();
    return nextMusic;
}

clock_t SoundPlayer::getFadeMusicClock()
{
    awaitDevice();
    return fadeMusicClock;
}

int SoundPlayer::getCurrentMusicSoundIndex()
{
    awaitDevice();
    return currentMusicSoundIndex;
}

int SoundPlayer::getNextMusicSoundIndex()
{
    awaitDevice();
    return nextMusicSoundIndex;
}

std::vector<std::string> SoundPlayer::getRequestFilenames()
{
    awaitDevice();
    return requestFilenames;
}

std::vector<long> SoundPlayer::getRequestPlayTimes()
{
    awaitDevice();
    return requestPlayTimes;
}

std::vector<Sound*> SoundPlayer::getSounds()
{
    awaitDevice();
    std::vector<Sound*> borrowed;
    borrowed.reserve(sounds.size());
    for (const std::unique_ptr<Sound>& sound : sounds)
        borrowed.push_back(sound.get());
    return borrowed;
}

void SoundPlayer::initDefaultSounds()
{
    awaitDevice();
    registerDefaultSounds();
}

void SoundPlayer::registerDefaultSounds()
{
    // The game's table: its manifest's sounds, in the manifest's order.
    const GameManifest& game = GameManifest::current();
    // The default manifest stands in for old game folders, which were never
    // asked to hold every sound of its table.
    const bool ownManifest = game.fileName() == GameManifest::FILE_NAME;
    for (const ManifestSound& entry : game.sounds())
    {
        const size_t before = sounds.size();
        registerSound("/" + entry.file, entry.music, entry.loopTo, true);
        if (sounds.size() > before)
            sounds.back()->setName(entry.name);
        else if (ownManifest)
            Log::warn() << "SoundHandler::init - " << game.where(entry.line) << ": sound " << entry.name << ": "
                        << entry.file << " does not exist" << std::endl;
    }
}

void SoundPlayer::addSound(const std::string& soundFilename, bool isMusic, unsigned int loopToPos,
                           bool shouldOnlyAddValidFiles)
{
    awaitDevice();
    registerSound(soundFilename, isMusic, loopToPos, shouldOnlyAddValidFiles);
}

void SoundPlayer::registerSound(const std::string& soundFilename, bool isMusic, unsigned int loopToPos,
                                bool shouldOnlyAddValidFiles)
{
    if (!shouldOnlyAddValidFiles)
    {
        sounds.push_back(std::make_unique<Sound>(soundFilename, isMusic, loopToPos));
        return;
    }
    const std::string path = "." + soundFilename;
    if (!GameFiles::exists(path))
        return;
    sounds.push_back(std::make_unique<Sound>(path, isMusic, loopToPos));
}

void SoundPlayer::addSounds(const std::vector<std::string>& soundFilenames, bool shouldOnlyAddValidFiles)
{
    for (const std::string& name : soundFilenames)
        addSound(name, false, 0, shouldOnlyAddValidFiles);
}

clock_t SoundPlayer::sendCue(const std::string& cue, double playDelay)
{
    const std::string name = GameManifest::current().soundForCue(cue);
    if (name.empty())
        return now();
    return sendRequest(name, playDelay);
}

int SoundPlayer::findSound(const std::string& filename)
{
    for (size_t i = 0; i < sounds.size(); ++i)
    {
        if (sounds[i]->isRelativeFilenameEqualTo(filename))
            return static_cast<int>(i);
    }
    return -1;
}

clock_t SoundPlayer::sendRequest(const std::string& filename, double playDelay)
{
    Log::named(LOG_CHANNEL) << "Received request to play " << filename << " in " << playDelay << " seconds"
                            << std::endl;
    awaitDevice();
    const clock_t receiveTime = now();
    const int soundIndex = findSound(filename);
    if (soundIndex < 0)
        return receiveTime;
    const double dueTime = std::ceil(receiveTime + playDelay * 1000.0);
    if (!std::isfinite(dueTime) || std::fabs(dueTime) > LARGEST_DUE_TIME)
    {
        Log::error() << "SoundHandler::sendRequest - Ignoring request to play " << filename << ": the delay "
                     << playDelay << " is out of range" << std::endl;
        return receiveTime;
    }
    requestFilenames.push_back(filename);
    requestPlayTimes.push_back(static_cast<long>(dueTime));
    if (sounds[static_cast<size_t>(soundIndex)]->getIsMusic())
        lastMusicRequest = filename;
    return receiveTime;
}

void SoundPlayer::update()
{
    awaitDevice();
    if (soundEngine)
        soundEngine->update();
    const clock_t currTime = now();
    size_t i = 0;
    while (i < requestFilenames.size())
    {
        const int soundIndex = requestPlayTimes[i] < currTime ? findSound(requestFilenames[i]) : -1;
        if (soundIndex < 0)
        {
            ++i;
            continue;
        }
        serveRequest(soundIndex);
        requestFilenames.erase(requestFilenames.begin() + static_cast<long>(i));
        requestPlayTimes.erase(requestPlayTimes.begin() + static_cast<long>(i));
    }
    advanceFade();
    loopMusic();
}

void SoundPlayer::serveRequest(int soundIndex)
{
    Sound* sound = sounds[static_cast<size_t>(soundIndex)].get();
    if (!sound->getIsMusic())
        playSound(sound);
    else if (soundIndex == currentMusicSoundIndex)
        return; // already playing: it just goes on
    else if (!currentMusic)
        startMusic(sound, soundIndex);
    else
        queueNextMusic(sound, soundIndex);
}

void SoundPlayer::startMusic(Sound* sound, int soundIndex)
{
    AudioVoice* voice = startSound(sound);
    if (!voice)
        return;
    currentMusic = voice;
    currentMusic->setVolume(MUSIC_VOLUME * musicShare);
    currentMusic->setIsPaused(false);
    currentMusicSoundIndex = soundIndex;
}

void SoundPlayer::queueNextMusic(Sound* sound, int soundIndex)
{
    AudioVoice* voice = startSound(sound);
    if (!voice)
        return;
    // A track replaced while it waited was never heard; the fade already
    // running keeps its start.
    if (nextMusic)
        releaseVoice(nextMusic);
    else
        fadeMusicClock = now();
    nextMusic = voice;
    nextMusicSoundIndex = soundIndex;
}

void SoundPlayer::advanceFade()
{
    if (!nextMusic)
        return;
    if (currentMusic && currentMusic->getVolume() > 0.0f)
    {
        const double elapsed = static_cast<double>(now() - fadeMusicClock);
        currentMusic->setVolume(static_cast<float>(MUSIC_VOLUME - elapsed * FADE_PER_MILLISECOND) * musicShare);
        return;
    }
    // The faded track would otherwise keep playing unheard.
    if (currentMusic)
        releaseVoice(currentMusic);
    currentMusic = nextMusic;
    nextMusic = nullptr;
    currentMusic->setVolume(MUSIC_VOLUME * musicShare);
    currentMusic->setIsPaused(false);
    currentMusicSoundIndex = nextMusicSoundIndex;
    nextMusicSoundIndex = -1;
}

void SoundPlayer::loopMusic()
{
    if (!currentMusic || currentMusicSoundIndex < 0 || currentMusicSoundIndex >= static_cast<int>(sounds.size()))
        return;
    // Unsigned on purpose: a track shorter than the margin never loops.
    if (currentMusic->getPlayPosition() >= currentMusic->getPlayLength() - LOOP_MARGIN_MS)
        currentMusic->setPlayPosition(sounds[static_cast<size_t>(currentMusicSoundIndex)]->getLoopToTime());
}

void SoundPlayer::releaseVoice(AudioVoice* voice)
{
    voice->stop();
    voice->drop();
}

bool SoundPlayer::playSound(Sound* sound)
{
    AudioVoice* voice = startSound(sound);
    if (!voice)
        return false;
    voice->setVolume(effectsShare);
    const bool playing = soundEngine->isCurrentlyPlaying(sound->getFilename());
    // Effects are never touched again; the device frees them when they end.
    voice->drop();
    return playing;
}

AudioVoice* SoundPlayer::startSound(Sound* sound)
{
    awaitDevice();
    if (!sound || !soundEngine)
        return nullptr;
    return sound->play(soundEngine.get());
}

void SoundPlayer::setVolumes(float music, float effects)
{
    musicShare = music < 0.0f ? 0.0f : (music > 1.0f ? 1.0f : music);
    effectsShare = effects < 0.0f ? 0.0f : (effects > 1.0f ? 1.0f : effects);
    // The track playing is heard at the new volume at once, unless a fade
    // is turning it down anyway.
    if (currentMusic && !nextMusic)
        currentMusic->setVolume(MUSIC_VOLUME * musicShare);
}

void SoundPlayer::erase()
{
    awaitDevice();
    if (soundEngine)
    {
        soundEngine->stopAllSounds();
        soundEngine.reset();
    }
    currentMusic = nullptr;
    nextMusic = nullptr;
    deleteSounds();
    requestFilenames.clear();
    requestPlayTimes.clear();
}

void SoundPlayer::deleteSounds()
{
    sounds.clear();
}
}
