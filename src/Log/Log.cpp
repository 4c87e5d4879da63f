#include "Log/Log.h"

#include <cctype>
#include <iostream>
#include <streambuf>


namespace
{
// Errors and warnings go to standard output with the rest of the log, and
// also to standard error, so that a maker running the game in a terminal
// sees why a sprite is missing among the chatter.
class TeeBuffer : public std::streambuf
{
protected:
    // The standard streams' buffers are looked up on every write: a tool
    // that silences standard output swaps its buffer while running.
    int overflow(int c) override
    {
        if (c == traits_type::eof())
            return traits_type::not_eof(c);
        for (std::streambuf* target : {std::cout.rdbuf(), std::cerr.rdbuf()})
        {
            if (target)
                target->sputc(static_cast<char>(c));
        }
        return c;
    }
    int sync() override
    {
        for (std::streambuf* target : {std::cout.rdbuf(), std::cerr.rdbuf()})
        {
            if (target)
                target->pubsync();
        }
        return 0;
    }
};

std::ostream* outputAndErrorStream()
{
    static TeeBuffer buffer;
    static std::ostream stream(&buffer);
    return &stream;
}
}

Log::Log()
    : mErrorStream(outputAndErrorStream()), mWarnStream(outputAndErrorStream()), mNoteStream(&std::cout),
      mPlainStream(&std::cout), mPlainErrorStream(&std::cerr)
{
    // A stream without a buffer fails every write, so everything is discarded.
    static std::ostream nullStream(nullptr);
    mNullStream = &nullStream;
}

Log* Log::getInstance()
{
    static Log instance;
    return &instance;
}

std::ostream* Log::orNull(std::ostream* stream) const
{
    return stream ? stream : mNullStream;
}

std::string Log::lowerCase(const std::string& name)
{
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string Log::prefix(const std::string& name)
{
    std::string text = "[" + name + "] ";
    if (text.size() < 15)
        text.append(15 - text.size(), ' ');
    return text;
}

std::ostream& Log::error()
{
    std::ostream& out = *getInstance()->mErrorStream;
    out << prefix("Error");
    return out;
}

std::ostream* Log::errorStream()
{
    return getInstance()->mErrorStream;
}

std::ostream& Log::warn()
{
    std::ostream& out = *getInstance()->mWarnStream;
    out << prefix("Warn");
    return out;
}

std::ostream& Log::note()
{
    std::ostream& out = *getInstance()->mNoteStream;
    out << prefix("Note");
    return out;
}

std::string Log::streamName(const std::string& name)
{
    // The engine writes to channels named after what they carry; the game's
    // manifest may give a channel a stream of its own name.
    const std::string lower = lowerCase(name);
    for (const Route& log : getInstance()->mRoutes)
    {
        for (const std::string& channel : log.channels)
        {
            if (lowerCase(channel) == lower)
                return log.stream;
        }
    }
    return name;
}

std::ostream& Log::named(const std::string& name)
{
    Log* log = getInstance();
    const std::string stream = streamName(name);
    auto inserted = log->mNamedStreams.emplace(lowerCase(stream), log->mNullStream);
    std::ostream& out = *inserted.first->second;
    out << prefix(stream);
    return out;
}

LogLine Log::file(TLogLevel level)
{
    return LogLine(level);
}

std::ostream& Log::plain()
{
    return *getInstance()->mPlainStream;
}

std::ostream& Log::plainError()
{
    return *getInstance()->mPlainErrorStream;
}

std::ostream& Log::debug()
{
    // Unlike named(), an early write leaves the channel unclaimed, so that a
    // stream routed later (the manifest's, at the end of start-up) still
    // takes it.
    Log* log = getInstance();
    const std::string stream = streamName("debug");
    auto found = log->mNamedStreams.find(lowerCase(stream));
    if (found == log->mNamedStreams.end())
        return *log->mNullStream;
    std::ostream& out = *found->second;
    out << prefix(stream);
    return out;
}

void Log::setRoutes(std::vector<Route> routes)
{
    getInstance()->mRoutes = std::move(routes);
}

void Log::showGameStreams()
{
    for (const Route& log : getInstance()->mRoutes)
    {
        if (log.shown)
            setNamedStream(log.stream, &std::cout);
    }
}

void Log::setPlainStream(std::ostream* stream)
{
    getInstance()->mPlainStream = getInstance()->orNull(stream);
}

void Log::setPlainErrorStream(std::ostream* stream)
{
    getInstance()->mPlainErrorStream = getInstance()->orNull(stream);
}

void Log::resetLevelStreams()
{
    Log* log = getInstance();
    log->mErrorStream = outputAndErrorStream();
    log->mWarnStream = outputAndErrorStream();
    log->mNoteStream = &std::cout;
    log->mPlainStream = &std::cout;
    log->mPlainErrorStream = &std::cerr;
}

void Log::setErrorStream(std::ostream* stream)
{
    getInstance()->mErrorStream = getInstance()->orNull(stream);
}
void Log::setWarnStream(std::ostream* stream)
{
    getInstance()->mWarnStream = getInstance()->orNull(stream);
}
void Log::setNoteStream(std::ostream* stream)
{
    getInstance()->mNoteStream = getInstance()->orNull(stream);
}

void Log::setNamedStream(const std::string& name, std::ostream* stream)
{
    Log* log = getInstance();
    // The first registration wins, including the silent one made by named().
    log->mNamedStreams.emplace(lowerCase(streamName(name)), log->orNull(stream));
}
