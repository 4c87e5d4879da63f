#pragma once

#include <optional>
#include <ostream>

#include "Log/FileLog.h"

// One line of the graphics log (the file the renderer opens), composed by
// the statement that creates it and written whole when that statement ends.
// A line below the reporting level, or with no file to go to, is composed
// into nothing, so a caller need not check the level first.
class LogLine
{
public:
    explicit LogLine(TLogLevel level);
    LogLine(const LogLine&) = delete;
    LogLine& operator=(const LogLine&) = delete;
    ~LogLine() = default;

    template <typename T>
    std::ostream& operator<<(const T& value)
    {
        return stream() << value;
    }

    std::ostream& stream();

private:
    std::optional<FILELog> _line;
    std::ostream* _out = nullptr;
};
