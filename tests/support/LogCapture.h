#pragma once

#include <iosfwd>
#include <sstream>
#include <string>

// Log streams read back by tests.
namespace testsupport
{
// The error log (and, when asked, the warning log) captured while the object
// lives; both go back to standard output afterwards.
class ErrorCapture
{
public:
    enum Channels
    {
        ErrorsOnly,
        ErrorsAndWarnings
    };

    explicit ErrorCapture(Channels channels = ErrorsOnly);
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    std::string text() const { return _stream.str(); }
    bool contains(const std::string& needle) const { return text().find(needle) != std::string::npos; }
    // Lines written, so a test can check that a refusal says exactly one thing.
    int lines() const;
    void clear() { _stream.str(""); }

private:
    std::ostringstream _stream;
    bool _withWarnings;
};

// Sends a named log stream to memory for the rest of the process and returns
// that memory. The log keeps the first routing it is given for a name, so this
// must happen before anything writes to the name; later calls return the same
// stream.
std::ostringstream* routeLogStream(const std::string& name);

// What a named log stream wrote from construction on (routed on first use).
class LogTail
{
public:
    explicit LogTail(const std::string& streamName);
    std::string text() const;
    bool contains(const std::string& needle) const { return text().find(needle) != std::string::npos; }
    int count(const std::string& needle) const;

private:
    std::ostringstream* _stream;
    size_t _start;
};

// How often needle stands in text, counting overlapping places.
int occurrences(const std::string& text, const std::string& needle);
}
