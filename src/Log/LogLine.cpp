#include "Log/LogLine.h"

namespace
{
std::ostream& discarded()
{
    // No buffer: every write fails quietly and costs next to nothing.
    static std::ostream nothing(nullptr);
    return nothing;
}
}

LogLine::LogLine(TLogLevel level)
{
    if (level > FILELOG_MAX_LEVEL || level > FILELog::ReportingLevel() || !Output2FILE::Stream())
        return;
    _line.emplace();
    _out = &_line->Get(level);
}

std::ostream& LogLine::stream()
{
    return _out ? *_out : discarded();
}
