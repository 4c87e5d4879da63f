#pragma once

#include <cstddef>
#include <string>

enum language
{
    ENGLISH = 0,
    SPANISH = 1,
    CHINESE = 2
};

// Every game roll goes through gameRand() so that a test can replace the
// generator with a known sequence; the default is the C library's rand(),
// seeded once at start-up.
typedef int (*RandSource)();
int gameRand();
// Installs a generator; a null source restores rand().
void setRandSource(RandSource source);

// The tables the words are drawn from, exposed for inspection.
const std::string& letterPool(language lang);
std::size_t syllableCount();
const char* syllableAt(std::size_t index);

std::string randomWord(int length, bool capitalize, language lang);
std::string randomSentence(int words);
