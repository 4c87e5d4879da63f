#pragma once

#include <fstream>
#include <string>
#include <vector>

#include <zlib.h>

namespace tamsygraphics
{
// Writes an RGBA image as a PNG file a band of rows at a time, so a large
// map's picture never has to sit in memory twice, and compresses with
// zlib's fastest level: a map preview is written once and looked at, so the
// seconds a tighter file would cost are not worth its few percent.
class PngWriter
{
public:
    PngWriter() = default;
    ~PngWriter();
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    // Creates the file and writes the header. Sizes must be positive.
    bool Open(const std::string& path, int width, int height, std::string& problem);
    // `rows` holds `count` rows of width x 4 bytes (red, green, blue,
    // alpha, not premultiplied), the top one first, following on from the
    // rows already written.
    bool WriteRows(const unsigned char* rows, int count, std::string& problem);
    // Writes the end of the file once every row is in; a file left
    // unfinished is removed.
    bool Finish(std::string& problem);

private:
    bool Deflate(const unsigned char* data, std::size_t size, int flush);
    bool WriteChunk(const char* type, const unsigned char* data, std::size_t size);
    bool WriteBytes(const unsigned char* data, std::size_t size);
    bool Fail(const std::string& what, std::string& problem);
    void Discard();

    std::string _path;
    std::ofstream _file;
    z_stream _zip{};
    bool _zipOpen = false;
    int _width = 0;
    int _height = 0;
    int _rowsWritten = 0;
    std::vector<unsigned char> _previous;
    std::vector<unsigned char> _filtered;
    std::vector<unsigned char> _compressed;
};
}
