#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "util/RandomText.h"

// Shared by the character tests: a replayable generator for the game's
// rolls, captured log streams, and the test database of abilities and
// classes loaded once per process.
namespace charactertest
{
struct ScriptedRolls
{
    std::vector<int> values;
    std::size_t next = 0;
};

inline ScriptedRolls& rolls()
{
    static ScriptedRolls instance;
    return instance;
}

// Replays the scripted values; past the end it keeps returning the last one
// (or 0 when none was given).
inline int scriptedRand()
{
    ScriptedRolls& r = rolls();
    if (r.values.empty())
    {
        ++r.next;
        return 0;
    }
    std::size_t i = std::min(r.next, r.values.size() - 1);
    ++r.next;
    return r.values[i];
}

inline void useRolls(const std::vector<int>& values)
{
    rolls().values = values;
    rolls().next = 0;
    setRandSource(&scriptedRand);
}

inline std::size_t rollsDrawn()
{
    return rolls().next;
}

// Named streams keep their first registration, so they are captured once,
// before anything writes to them.
struct Logs
{
    std::ostringstream error;
    std::ostringstream oskel;
    std::ostringstream resourceManager;
    std::ostringstream ability;
    std::ostringstream sound;

    void clear()
    {
        for (std::ostringstream* s : {&error, &oskel, &resourceManager, &ability, &sound})
        {
            s->str("");
            s->clear();
        }
    }
};

Logs& logs();

// Loads the test abilities and classes into the resource database (once)
// and opens the Lua state with its classes.
void prepareWorld();

inline bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

inline int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
    {
        ++count;
    }
    return count;
}

class WorldTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        prepareWorld();
        logs().clear();
        useRolls({0});
    }
    void TearDown() override { setRandSource(nullptr); }
};
}
