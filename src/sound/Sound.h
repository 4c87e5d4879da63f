#pragma once

#include <string>

namespace sound
{
class AudioDevice;
class AudioSource;
class AudioVoice;

// One entry of the sound table: a file, whether it is music, and for music
// the position it jumps back to when it nears its end.
class Sound
{
public:
    Sound(const std::string& filename, bool isMusic, unsigned int loopToTime);
    virtual ~Sound();

    const std::string& getFilename() const { return filename; }
    bool getIsMusic() const { return isMusic; }
    unsigned int getLoopToTime() const { return loopToTime; }
    AudioSource* getSource() const { return source; }
    // The name the game's manifest gives the sound; requests may use it as
    // well as the file's.
    const std::string& getName() const { return name; }
    void setName(const std::string& newName) { name = newName; }

    // True for the full path, the base name, the base name without its
    // extension, or the manifest's name; case-sensitive.
    bool isRelativeFilenameEqualTo(const std::string& other) const;

    // Music starts paused so that the handler decides when it is heard;
    // effects start at once. Null when the file cannot be played.
    AudioVoice* play(AudioDevice* engine);

private:
    std::string filename;
    bool isMusic;
    // Belongs to the device; created on first play and reused after.
    AudioSource* source;
    unsigned int loopToTime;
    std::string name;
};
}
