#include "sound/OggStream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Log/Log.h"
#include "util/GameFiles.h"

namespace sound
{
namespace
{
const int BYTES_PER_SAMPLE = 2;
// The last page of an Ogg stream is never longer than this.
const std::streamoff MAX_PAGE_BYTES = 65307;
const size_t PAGE_HEADER_BYTES = 27;
const unsigned char END_OF_STREAM_FLAG = 0x04;

// A whole file ends with a complete page flagged as the end of the stream;
// one cut short ends inside a page or on a page that expects more. The
// decoder cannot tell: it just stops early.
bool endsItsStream(const std::string& bytes)
{
    const std::streamoff size = static_cast<std::streamoff>(bytes.size());
    if (size <= 0)
        return false;
    const std::streamoff start = size > MAX_PAGE_BYTES ? size - MAX_PAGE_BYTES : 0;
    const std::string tail = bytes.substr(static_cast<size_t>(start));
    for (size_t at = tail.rfind("OggS"); at != std::string::npos;
         at = at ? tail.rfind("OggS", at - 1) : std::string::npos)
    {
        if (tail.size() - at < PAGE_HEADER_BYTES)
            continue;
        const unsigned char* page = reinterpret_cast<const unsigned char*>(tail.data() + at);
        const size_t segments = page[26];
        if (tail.size() - at < PAGE_HEADER_BYTES + segments)
            continue;
        size_t bodyBytes = 0;
        for (size_t i = 0; i < segments; ++i)
            bodyBytes += page[PAGE_HEADER_BYTES + i];
        // Only a page that reaches exactly to the end of the file is last;
        // "OggS" may also turn up by chance inside compressed data.
        if (PAGE_HEADER_BYTES + segments + bodyBytes == tail.size() - at)
            return (page[5] & END_OF_STREAM_FLAG) != 0;
    }
    return false;
}

size_t readMemory(void* into, size_t size, size_t count, void* source)
{
    OggStream::Memory& memory = *static_cast<OggStream::Memory*>(source);
    if (size == 0)
        return 0;
    const size_t items = std::min(count, (memory.bytes.size() - memory.position) / size);
    std::memcpy(into, memory.bytes.data() + memory.position, items * size);
    memory.position += items * size;
    return items;
}

int seekMemory(void* source, ogg_int64_t offset, int whence)
{
    OggStream::Memory& memory = *static_cast<OggStream::Memory*>(source);
    const ogg_int64_t size = static_cast<ogg_int64_t>(memory.bytes.size());
    const ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? ogg_int64_t(memory.position) : size;
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > size)
        return -1;
    memory.position = static_cast<size_t>(target);
    return 0;
}

long tellMemory(void* source)
{
    return static_cast<long>(static_cast<OggStream::Memory*>(source)->position);
}

const ov_callbacks MEMORY_CALLBACKS = {readMemory, seekMemory, nullptr, tellMemory};
}

OggStream::OggStream() : _file(), _isOpen(false), _channels(0), _rate(0), _lengthFrames(0)
{
}

OggStream::~OggStream()
{
    close();
}

void OggStream::close()
{
    if (_isOpen)
        ov_clear(&_file);
    _isOpen = false;
}

bool OggStream::open(const std::string& filename)
{
    close();
    _filename = filename;
    _memory = Memory();
    const int result = GameFiles::read(filename, _memory.bytes)
                           ? ov_open_callbacks(&_memory, &_file, nullptr, 0, MEMORY_CALLBACKS)
                           : OV_EREAD;
    if (result != 0)
    {
        Log::error() << "OggStream::open - Failed to open Ogg Vorbis file " << filename << " (error " << result << ")"
                     << std::endl;
        return false;
    }
    _isOpen = true;
    vorbis_info* info = ov_info(&_file, -1);
    const ogg_int64_t length = ov_pcm_total(&_file, -1);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate < 1 || length < 0)
    {
        Log::error() << "OggStream::open - Unsupported Ogg Vorbis file " << filename
                     << " (only mono and stereo seekable files play)" << std::endl;
        close();
        return false;
    }
    if (!endsItsStream(_memory.bytes))
        Log::error() << "OggStream::open - " << filename
                     << " is cut short (its last page does not end the stream); it plays up to "
                        "where it stops"
                     << std::endl;
    _channels = info->channels;
    _rate = static_cast<int>(info->rate);
    _lengthFrames = length;
    return true;
}

long OggStream::read(std::vector<char>& pcm, long maxFrames)
{
    if (!_isOpen || maxFrames <= 0)
        return 0;
    const long frameBytes = static_cast<long>(_channels) * BYTES_PER_SAMPLE;
    const size_t start = pcm.size();
    pcm.resize(start + static_cast<size_t>(maxFrames * frameBytes));
    long filled = 0;
    const long wanted = maxFrames * frameBytes;
    while (filled < wanted)
    {
        int bitstream = 0;
        const long got = ov_read(&_file, pcm.data() + start + filled, static_cast<int>(wanted - filled), 0,
                                 BYTES_PER_SAMPLE, 1, &bitstream);
        if (got == OV_HOLE)
            continue; // a gap in the data; decoding goes on after it
        if (got < 0)
        {
            Log::error() << "OggStream::read - Decoding error in " << _filename << " (error " << got << ")"
                         << std::endl;
            pcm.resize(start + static_cast<size_t>(filled));
            return filled > 0 ? filled / frameBytes : -1;
        }
        if (got == 0)
            break;
        filled += got;
    }
    // Only whole frames are kept, so channels stay aligned.
    const long frames = filled / frameBytes;
    pcm.resize(start + static_cast<size_t>(frames * frameBytes));
    return frames;
}

bool OggStream::seek(long long frame)
{
    if (!_isOpen)
        return false;
    if (frame < 0)
        frame = 0;
    if (frame > _lengthFrames)
        frame = _lengthFrames;
    if (ov_pcm_seek(&_file, frame) != 0)
    {
        Log::error() << "OggStream::seek - Failed to seek in " << _filename << std::endl;
        return false;
    }
    return true;
}
}
