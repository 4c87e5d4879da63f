#pragma once

#include <string>
#include <vector>

#include "support/Files.h"

namespace soundtest
{
// Every test process mixes into OpenAL Soft's null output unless a child run
// was told otherwise; must run before the first device opens.
void useSilentOutput();

// A fresh directory under the system temp dir, removed on destruction. While
// `enter` is in effect the process works inside it, so that registration
// paths ("." + "/assets/...") resolve there.
class TempDir : public testsupport::ScratchFolder
{
public:
    TempDir() : ScratchFolder("zolt-sound") {}
    ~TempDir() { leave(); }

    void enter();
    void leave();

private:
    std::string _previous;
};

// Writes a sine tone as Ogg Vorbis (through oggenc), creating missing
// directories; returns false when the encoder fails.
bool makeOgg(const std::string& path, int milliseconds, int channels = 1, double frequency = 440.0, int rate = 22050);
void makeDirectories(const std::string& path);
void writeTextFile(const std::string& path, const std::string& text);

// Runs this test binary again with only the named (disabled) test, the
// given environment assignments in front and its output in outputFile;
// returns its exit status.
int runSelf(const std::string& testName, const std::string& environment, const std::string& outputFile);

// Largest absolute sample of a PCM (16-bit) or float WAV file, scaled to
// 0..1; -1 when the file is not a WAV file this reader understands.
double wavPeak(const std::string& path);
}
