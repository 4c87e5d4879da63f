#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "Log/LogLine.h"

// The one way the engine writes what it has to say.
// Game code: three level streams and any number of named streams, all on
// standard output unless redirected or silenced; errors and warnings also
// reach standard error. A named stream may be an engine channel that the
// game's manifest routes to a stream of another name.
// Graphics and GUI code: lines of the graphics log file, through file().
// Texts shown exactly as written (no prefix): plain() and plainError().
class Log
{
public:
    static Log* getInstance();

    static std::ostream& error();
    static std::ostream& warn();
    static std::ostream& note();
    static std::ostream& named(const std::string& name);
    // A line of the graphics log, written whole when the statement ends.
    static LogLine file(TLogLevel level);
    // Text shown exactly as written: standard output, or standard error.
    static std::ostream& plain();
    static std::ostream& plainError();
    // The engine's debugging chatter: silent unless a stream is routed for
    // the "debug" channel (the game's manifest may declare one), and not
    // silenced for good by being written to before that.
    static std::ostream& debug();

    static void setErrorStream(std::ostream* stream);
    // Where error lines go now, so a caller can redirect them for a while
    // and put them back.
    static std::ostream* errorStream();
    static void setWarnStream(std::ostream* stream);
    static void setNoteStream(std::ostream* stream);
    static void setNamedStream(const std::string& name, std::ostream* stream);
    // A stream of the game's own and the engine channels written to it;
    // `shown` puts it on standard output.
    struct Route
    {
        std::string stream;
        std::vector<std::string> channels;
        bool shown = true;
    };
    // The running game's routes, handed over whenever its manifest is
    // read or replaced; none until then.
    static void setRoutes(std::vector<Route> routes);
    // Puts every stream the running game's manifest shows on standard
    // output; hidden ones, and any name not declared, stay silent.
    static void showGameStreams();
    static void setPlainStream(std::ostream* stream);
    static void setPlainErrorStream(std::ostream* stream);
    // The level streams as at start: errors and warnings on standard output
    // and standard error, notes and plain text on standard output, plain
    // error text on standard error.
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
    std::ostream* mPlainStream;
    std::ostream* mPlainErrorStream;
    std::map<std::string, std::ostream*> mNamedStreams;
    std::vector<Route> mRoutes;
    std::ostream* mNullStream;
};
