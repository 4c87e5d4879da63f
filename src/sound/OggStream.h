#pragma once

#include <string>
#include <vector>

#include <vorbis/vorbisfile.h>

namespace sound
{
// One reading position in an Ogg Vorbis file, decoding to interleaved signed
// 16-bit PCM. Each playing voice needs its own, since decoding moves it.
class OggStream
{
public:
    OggStream();
    ~OggStream();
    OggStream(const OggStream&) = delete;
    OggStream& operator=(const OggStream&) = delete;

    // Logs the file and the reason on failure.
    bool open(const std::string& filename);
    bool isOpen() const { return _isOpen; }

    int getChannels() const { return _channels; }
    int getRate() const { return _rate; }
    long long getLengthFrames() const { return _lengthFrames; }

    // Appends up to maxFrames frames to pcm; returns the frames appended,
    // 0 at the end of the stream and -1 on a decoding error.
    long read(std::vector<char>& pcm, long maxFrames);
    bool seek(long long frame);

    // The compressed file, read whole through the game's files (the game may
    // be one archive); the decoder reads from it through callbacks.
    struct Memory
    {
        std::string bytes;
        size_t position = 0;
    };

private:
    void close();

    Memory _memory;
    OggVorbis_File _file;
    bool _isOpen;
    int _channels;
    int _rate;
    long long _lengthFrames;
    std::string _filename;
};
}
