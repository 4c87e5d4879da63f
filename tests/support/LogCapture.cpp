#include "support/LogCapture.h"

#include <iostream>
#include <map>
#include <memory>

#include "Log/Log.h"

namespace testsupport
{
ErrorCapture::ErrorCapture(Channels channels) : _withWarnings(channels == ErrorsAndWarnings)
{
    Log::setErrorStream(&_stream);
    if (_withWarnings)
        Log::setWarnStream(&_stream);
}

ErrorCapture::~ErrorCapture()
{
    Log::setErrorStream(&std::cout);
    if (_withWarnings)
        Log::setWarnStream(&std::cout);
}

int ErrorCapture::lines() const
{
    int count = 0;
    for (char ch : _stream.str())
        count += ch == '\n';
    return count;
}

std::ostringstream* routeLogStream(const std::string& name)
{
    // Never destroyed: the log keeps pointing at these streams to the end.
    static auto* const streams = new std::map<std::string, std::unique_ptr<std::ostringstream>>();
    std::unique_ptr<std::ostringstream>& stream = (*streams)[name];
    if (!stream)
    {
        stream.reset(new std::ostringstream());
        Log::setNamedStream(name, stream.get());
    }
    return stream.get();
}

LogTail::LogTail(const std::string& streamName) : _stream(routeLogStream(streamName)), _start(_stream->str().size())
{
}

std::string LogTail::text() const
{
    return _stream->str().substr(_start);
}

int LogTail::count(const std::string& needle) const
{
    return occurrences(text(), needle);
}

int occurrences(const std::string& text, const std::string& needle)
{
    int found = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++found;
    return found;
}
}
