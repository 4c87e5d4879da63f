#include "sound/Sound.h"

#include "sound/AudioDevice.h"
#include "sound/AudioSource.h"

namespace sound
{
namespace
{
// The extension with its dot, as in ".ogg".
const size_t EXTENSION_LENGTH = 4;
}

Sound::Sound(const std::string& filename, bool isMusic, unsigned int loopToTime)
    : filename(filename), isMusic(isMusic), source(nullptr), loopToTime(loopToTime)
{
}

Sound::~Sound()
{
}

bool Sound::isRelativeFilenameEqualTo(const std::string& other) const
{
    if (filename == other || (!name.empty() && name == other))
        return true;
    std::string baseName = filename;
    const size_t slash = baseName.find_last_of("/\\");
    if (slash != std::string::npos)
        baseName.erase(0, slash + 1);
    if (baseName == other)
        return true;
    // A name too short to carry an extension has none to strip.
    if (baseName.size() < EXTENSION_LENGTH)
        return false;
    baseName.erase(baseName.size() - EXTENSION_LENGTH);
    return baseName == other;
}

AudioVoice* Sound::play(AudioDevice* engine)
{
    if (!engine)
        return nullptr;
    if (!source)
    {
        source = engine->addSoundSourceFromFile(filename);
        if (!source)
            return nullptr;
        source->setDefaultVolume(1.0f);
    }
    return engine->play2D(source, isMusic);
}
}
