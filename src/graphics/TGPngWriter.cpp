#include "TGPngWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tamsygraphics
{
namespace
{
const unsigned char SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// Larger than any PNG reader accepts without complaint, and it keeps
// width x 4 + 1 far from overflowing.
const int MAX_SIDE = 1 << 24;

void putBigEndian(unsigned char* at, std::uint32_t value)
{
    at[0] = static_cast<unsigned char>(value >> 24);
    at[1] = static_cast<unsigned char>(value >> 16);
    at[2] = static_cast<unsigned char>(value >> 8);
    at[3] = static_cast<unsigned char>(value);
}

enum Filter : unsigned char
{
    NONE = 0,
    SUB = 1,
    UP = 2
};

unsigned magnitude(unsigned char difference)
{
    return static_cast<unsigned>(std::abs(static_cast<int>(static_cast<signed char>(difference))));
}

// The filter that leaves the smallest differences, as libpng chooses by
// default: small values repeat more and so compress better. One pass sums
// all three; the first pixel has nothing to its left.
Filter bestFilter(const unsigned char* row, const unsigned char* previous, std::size_t size)
{
    unsigned none = 0;
    unsigned sub = 0;
    unsigned up = 0;
    for (std::size_t i = 0; i < 4 && i < size; ++i)
    {
        none += magnitude(row[i]);
        sub += magnitude(row[i]);
        up += magnitude(static_cast<unsigned char>(row[i] - previous[i]));
    }
    for (std::size_t i = 4; i < size; ++i)
    {
        none += magnitude(row[i]);
        sub += magnitude(static_cast<unsigned char>(row[i] - row[i - 4]));
        up += magnitude(static_cast<unsigned char>(row[i] - previous[i]));
    }
    if (sub < none && sub <= up)
        return SUB;
    return up < none ? UP : NONE;
}

void applyFilter(const unsigned char* row, const unsigned char* previous, std::size_t size, Filter filter,
                 unsigned char* out)
{
    out[0] = filter;
    ++out;
    if (filter == NONE)
    {
        std::copy(row, row + size, out);
        return;
    }
    if (filter == UP)
    {
        for (std::size_t i = 0; i < size; ++i)
            out[i] = static_cast<unsigned char>(row[i] - previous[i]);
        return;
    }
    for (std::size_t i = 0; i < 4 && i < size; ++i)
        out[i] = row[i];
    for (std::size_t i = 4; i < size; ++i)
        out[i] = static_cast<unsigned char>(row[i] - row[i - 4]);
}
}

PngWriter::~PngWriter()
{
    Discard();
}

bool PngWriter::Open(const std::string& path, int width, int height, std::string& problem)
{
    Discard();
    _path = path;
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE)
        return Fail("an image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels", problem);
    _width = width;
    _height = height;
    _rowsWritten = 0;
    _file.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!_file.is_open())
        return Fail("cannot write " + path, problem);
    unsigned char header[13];
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header + 4, static_cast<std::uint32_t>(height));
    header[8] = 8;  // bits per channel
    header[9] = 6;  // red, green, blue and alpha
    header[10] = 0; // deflate
    header[11] = 0; // the adaptive filters
    header[12] = 0; // not interlaced
    if (!WriteBytes(SIGNATURE, sizeof SIGNATURE) || !WriteChunk("IHDR", header, 13))
        return Fail("cannot write " + path, problem);
    if (deflateInit(&_zip, Z_BEST_SPEED) != Z_OK)
        return Fail("cannot start compressing " + path, problem);
    _zipOpen = true;
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    _previous.assign(stride, 0);
    _filtered.assign(stride + 1, 0);
    _compressed.resize(1 << 16);
    return true;
}

bool PngWriter::WriteRows(const unsigned char* rows, int count, std::string& problem)
{
    if (!_zipOpen || count < 0 || count > _height - _rowsWritten)
        return Fail("more rows than the image has, or an image not open", problem);
    const std::size_t stride = static_cast<std::size_t>(_width) * 4;
    for (int r = 0; r < count; ++r)
    {
        const unsigned char* row = rows + stride * static_cast<std::size_t>(r);
        const Filter best = bestFilter(row, _previous.data(), stride);
        applyFilter(row, _previous.data(), stride, best, _filtered.data());
        std::copy(row, row + stride, _previous.begin());
        if (!Deflate(_filtered.data(), _filtered.size(), Z_NO_FLUSH))
            return Fail("cannot write " + _path, problem);
    }
    _rowsWritten += count;
    return true;
}

bool PngWriter::Finish(std::string& problem)
{
    if (!_zipOpen || _rowsWritten != _height)
        return Fail(std::to_string(_rowsWritten) + " of " + std::to_string(_height) + " rows given for " + _path,
                    problem);
    if (!Deflate(nullptr, 0, Z_FINISH) || !WriteChunk("IEND", nullptr, 0))
        return Fail("cannot write " + _path, problem);
    deflateEnd(&_zip);
    _zipOpen = false;
    // Closing writes what the stream still buffers, so it can fail too.
    _file.close();
    if (_file.fail())
        return Fail("cannot write " + _path, problem);
    return true;
}

// Every full buffer of compressed bytes goes out as one IDAT chunk.
bool PngWriter::Deflate(const unsigned char* data, std::size_t size, int flush)
{
    _zip.next_in = const_cast<unsigned char*>(data);
    _zip.avail_in = static_cast<uInt>(size);
    int status = Z_OK;
    do
    {
        _zip.next_out = _compressed.data();
        _zip.avail_out = static_cast<uInt>(_compressed.size());
        status = deflate(&_zip, flush);
        if (status == Z_STREAM_ERROR)
            return false;
        std::size_t produced = _compressed.size() - _zip.avail_out;
        if (produced > 0 && !WriteChunk("IDAT", _compressed.data(), produced))
            return false;
    } while (_zip.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    return true;
}

bool PngWriter::WriteChunk(const char* type, const unsigned char* data, std::size_t size)
{
    unsigned char head[8];
    putBigEndian(head, static_cast<std::uint32_t>(size));
    std::copy(type, type + 4, head + 4);
    uLong crc = crc32(0L, head + 4, 4);
    if (size > 0)
        crc = crc32(crc, data, static_cast<uInt>(size));
    unsigned char tail[4];
    putBigEndian(tail, static_cast<std::uint32_t>(crc));
    return WriteBytes(head, 8) && (size == 0 || WriteBytes(data, size)) && WriteBytes(tail, 4);
}

bool PngWriter::WriteBytes(const unsigned char* data, std::size_t size)
{
    _file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return _file.good();
}

bool PngWriter::Fail(const std::string& what, std::string& problem)
{
    problem = what;
    Discard();
    return false;
}

void PngWriter::Discard()
{
    if (_zipOpen)
        deflateEnd(&_zip);
    _zipOpen = false;
    if (_file.is_open())
    {
        _file.close();
        std::remove(_path.c_str());
    }
}
}
