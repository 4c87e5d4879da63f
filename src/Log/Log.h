#pragma once

#include <map>
#include <ostream>
#include <string>

// Game-code logging: three level streams and any number of named streams,
// all on standard output unless redirected or silenced; errors and warnings
// also reach standard error. A named stream may be an engine channel that
// the game's manifest routes to a stream of another name.
class Log
{
public:
    static Log* getInstance();

    static std::ostream& error();
    static std::ostream& warn();
    static std::ostream& note();
    static std::ostream& named(const std::string& name);

    static void setErrorStream(std::ostream* stream);
    // Where error lines go now, so a caller can redirect them for a while
    // and put them back.
    static std::ostream* errorStream();
    static void setWarnStream(std::ostream* stream);
    static void setNoteStream(std::ostream* stream);
    static void setNamedStream(const std::string& name, std::ostream* stream);
    // The level streams as at start: errors and warnings on standard output
    // and standard error, notes on standard output.
    static void resetLevelStreams();

    static std::string prefix(const std::string& name);
    // The stream a channel is written to: the manifest's, else its own name.
    static std::string streamName(const std::string& name);

private:
    Log();
    std::ostream* orNull(std::ostream* stream) const;
    static std::string lowerCase(const std::string& name);

    std::ostream* mErrorStream;
    std::ostream* mWarnStream;
    std::ostream* mNoteStream;
    std::map<std::string, std::ostream*> mNamedStreams;
    std::ostream* mNullStream;
};
