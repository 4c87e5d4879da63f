#include "Log/Log.h"

#include <cctype>
#include <iostream>

Log::Log() : mErrorStream(&std::cout), mWarnStream(&std::cout), mNoteStream(&std::cout)
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

std::ostream& Log::named(const std::string& name)
{
    Log* log = getInstance();
    auto inserted = log->mNamedStreams.emplace(lowerCase(name), log->mNullStream);
    std::ostream& out = *inserted.first->second;
    out << prefix(name);
    return out;
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
    log->mNamedStreams.emplace(lowerCase(name), log->orNull(stream));
}
