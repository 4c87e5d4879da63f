#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// One entry point per loader that reads outside input. libFuzzer drives each
// (tests/fuzz/libfuzzer), and test_fuzz replays every file of
// tests/fuzz/corpus/<name>/ through the same function, so an input that
// once found a fault keeps being tried by the normal test run.
namespace fuzz
{
using EntryPoint = int (*)(const std::uint8_t* data, std::size_t size);

struct Target
{
    const char* name;
    EntryPoint run;
};

const std::vector<Target>& targets();

// Null for a name that is no target.
EntryPoint findTarget(const std::string& name);

// Removes the scratch folders (zolt-fuzz-<pid>/) under `root` whose
// process no longer runs, as a fuzzer that crashed leaves them; answers how
// many went.
int removeStaleScratch(const std::filesystem::path& root);

// Sets up what the loaders need (Lua classes, the game's abilities and
// classes, quiet logs); every entry point calls it, only the first call
// does anything.
void prepare();
}
