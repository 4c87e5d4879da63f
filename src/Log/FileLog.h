#pragma once

#include <cstdio>
#include <sstream>
#include <string>

// The file log used by the graphics engine and the GUI: whole lines with a
// level header, written to one stdio FILE (standard error until the renderer
// opens the log file).
// A fixed underlying type: a level outside the list (ToString answers
// "UNKNOWN") must be a value the type can hold.
enum TLogLevel : int
{
    logERROR = 0,
    logWARNING,
    logINFO,
    logDEBUG,
    logDEBUG1,
    logDEBUG2,
    logDEBUG3,
    logDEBUG4
};

inline std::string NowTime()
{
    return " ";
}

template <typename T>
class ExtLog
{
public:
    ExtLog() = default;
    ExtLog(const ExtLog&) = delete;
    ExtLog& operator=(const ExtLog&) = delete;
    virtual ~ExtLog()
    {
        os << std::endl;
        T::Output(os.str());
        // Errors and warnings also reach a maker watching the terminal.
        if (_level <= logWARNING)
            T::Echo(os.str());
    }

    std::ostringstream& Get(TLogLevel level = logINFO)
    {
        _level = level;
        os << "- " << NowTime() << " " << ToString(level) << ": ";
        if (level > logDEBUG)
            os << std::string(static_cast<size_t>(level - logDEBUG), '\t');
        return os;
    }

    static TLogLevel& ReportingLevel()
    {
        static TLogLevel level = logDEBUG4;
        return level;
    }

    static std::string ToString(TLogLevel level)
    {
        static const char* const names[] = {"ERROR",  "WARNING", "INFO",   "DEBUG",
                                            "DEBUG1", "DEBUG2",  "DEBUG3", "DEBUG4"};
        if (level < logERROR || level > logDEBUG4)
            return "UNKNOWN";
        return names[level];
    }

protected:
    std::ostringstream os;
    TLogLevel _level = logINFO;
};

class Output2FILE
{
public:
    static FILE*& Stream()
    {
        static FILE* stream = stderr;
        return stream;
    }

    static void Output(const std::string& msg)
    {
        FILE* stream = Stream();
        if (!stream)
            return;
        std::fputs(msg.c_str(), stream);
        std::fflush(stream);
    }

    // Standard error too, unless that is where the log goes already.
    static void Echo(const std::string& msg)
    {
        if (Stream() == stderr)
            return;
        std::fputs(msg.c_str(), stderr);
        std::fflush(stderr);
    }
};

class FILELog : public ExtLog<Output2FILE>
{
};

#ifndef FILELOG_MAX_LEVEL
#define FILELOG_MAX_LEVEL logDEBUG4
#endif

// A one-pass loop rather than an if/else chain: the macro then reads as one
// plain statement, so "if (x) FILE_LOG(l) << y; else z;" binds as written and
// draws no dangling-else warning. The temporary writes its line when the
// statement ends.
#define FILE_LOG(level)                                                                                                \
    for (bool fileLogPending =                                                                                         \
             !((level) > FILELOG_MAX_LEVEL || (level) > FILELog::ReportingLevel() || !Output2FILE::Stream());          \
         fileLogPending; fileLogPending = false)                                                                       \
    FILELog().Get(level)
