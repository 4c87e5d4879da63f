#pragma once

#include <iostream>
#include <sstream>
#include <string>

#include "Log/Log.h"

// Collects everything written to the error log while it lives, so tests can
// check that a refusal says exactly one thing.
class ErrorCapture
{
public:
    ErrorCapture() { Log::setErrorStream(&_buffer); }
    ~ErrorCapture() { Log::setErrorStream(&std::cout); }

    std::string text() const { return _buffer.str(); }
    int lines() const
    {
        int count = 0;
        for (char ch : _buffer.str())
            count += ch == '\n';
        return count;
    }

private:
    std::ostringstream _buffer;
};

inline std::string mapData(const std::string& name)
{
    return "tests/core/LevelMap/data/" + name;
}
