#include "SoundTestSupport.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "support/Files.h"

namespace soundtest
{
namespace
{
void put16(std::ofstream& out, uint16_t value)
{
    out.put(static_cast<char>(value & 0xff));
    out.put(static_cast<char>(value >> 8));
}

void put32(std::ofstream& out, uint32_t value)
{
    put16(out, static_cast<uint16_t>(value & 0xffff));
    put16(out, static_cast<uint16_t>(value >> 16));
}

uint32_t get32(const std::string& data, size_t at)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(data[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(data[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(data[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(data[at + 3])) << 24;
}

uint16_t get16(const std::string& data, size_t at)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1]) << 8);
}

bool writeWav(const std::string& path, int milliseconds, int channels, double frequency, int rate)
{
    std::ofstream out(path, std::ios::binary);
    if (!out)
        return false;
    const uint32_t frames = static_cast<uint32_t>(static_cast<long long>(rate) * milliseconds / 1000);
    const uint32_t dataBytes = frames * static_cast<uint32_t>(channels) * 2;
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, static_cast<uint16_t>(channels));
    put32(out, static_cast<uint32_t>(rate));
    put32(out, static_cast<uint32_t>(rate * channels * 2));
    put16(out, static_cast<uint16_t>(channels * 2));
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    const double pi = std::acos(-1.0);
    for (uint32_t i = 0; i < frames; ++i)
    {
        const double value = 0.5 * std::sin(2.0 * pi * frequency * i / rate);
        for (int c = 0; c < channels; ++c)
            put16(out, static_cast<uint16_t>(static_cast<int16_t>(value * 32767.0)));
    }
    return static_cast<bool>(out);
}
}

void useSilentOutput()
{
    setenv("ALSOFT_DRIVERS", "null", 0);
}

void TempDir::enter()
{
    char buffer[4096];
    if (_previous.empty() && getcwd(buffer, sizeof(buffer)))
        _previous = buffer;
    if (chdir(path().c_str()) != 0)
        _previous.clear();
}

void TempDir::leave()
{
    if (!_previous.empty() && chdir(_previous.c_str()) == 0)
        _previous.clear();
}

void makeDirectories(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
}

bool makeOgg(const std::string& path, int milliseconds, int channels, double frequency, int rate)
{
    makeDirectories(path);
    const std::string wav = path + ".wav";
    if (!writeWav(wav, milliseconds, channels, frequency, rate))
        return false;
    const std::string command = "oggenc -Q -o '" + path + "' '" + wav + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    std::remove(wav.c_str());
    return status == 0;
}

void writeTextFile(const std::string& path, const std::string& text)
{
    makeDirectories(path);
    testsupport::writeText(path, text);
}

int runSelf(const std::string& testName, const std::string& environment, const std::string& outputFile)
{
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (length <= 0)
        return -1;
    self[length] = '\0';
    const std::string command = environment + " '" + self + "' --gtest_also_run_disabled_tests --gtest_filter='" +
                                testName + "' > '" + outputFile + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double wavPeak(const std::string& path)
{
    const std::string data = testsupport::readText(path);
    if (data.size() < 12 || data.compare(0, 4, "RIFF") != 0 || data.compare(8, 4, "WAVE") != 0)
        return -1.0;
    int format = 0;
    int bits = 0;
    for (size_t at = 12; at + 8 <= data.size();)
    {
        const std::string id = data.substr(at, 4);
        size_t size = get32(data, at + 4);
        const size_t body = at + 8;
        if (id == "fmt " && body + 16 <= data.size())
        {
            format = get16(data, body);
            bits = get16(data, body + 14);
        }
        else if (id == "data")
        {
            size = std::min(size, data.size() - body);
            double peak = 0.0;
            if ((format == 1 || format == 0xFFFE) && bits == 16)
            {
                for (size_t i = body; i + 2 <= body + size; i += 2)
                    peak = std::max(peak, std::fabs(static_cast<int16_t>(get16(data, i)) / 32768.0));
                return peak;
            }
            if ((format == 3 || format == 0xFFFE) && bits == 32)
            {
                for (size_t i = body; i + 4 <= body + size; i += 4)
                {
                    const uint32_t raw = get32(data, i);
                    float value = 0.0f;
                    std::memcpy(&value, &raw, sizeof(value));
                    peak = std::max(peak, static_cast<double>(std::fabs(value)));
                }
                return peak;
            }
            return -1.0;
        }
        at = body + size + (size & 1);
    }
    return -1.0;
}
}
