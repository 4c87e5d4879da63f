#pragma once

#include <sstream>
#include <streambuf>
#include <string>

// The process's own standard streams, redirected for one check.
namespace testsupport
{
// Standard output captured while the object lives.
class StdoutCapture
{
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;
    std::string text() const { return _stream.str(); }

private:
    std::ostringstream _stream;
    std::streambuf* _old;
};

// Standard input replaced by the given text while the object lives; the
// stream state is cleared on both ends.
class StdinFeed
{
public:
    explicit StdinFeed(const std::string& text);
    ~StdinFeed();
    StdinFeed(const StdinFeed&) = delete;
    StdinFeed& operator=(const StdinFeed&) = delete;
    std::string remaining();

private:
    std::istringstream _stream;
    std::streambuf* _old;
};
}
