#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzEntryPoints.h"

// ZOLT_FUZZ_TARGET names the entry point this executable fuzzes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::EntryPoint run = []
    {
        const fuzz::EntryPoint found = fuzz::findTarget(ZOLT_FUZZ_TARGET);
        if (!found)
        {
            std::fprintf(stderr, "no fuzz target named %s\n", ZOLT_FUZZ_TARGET);
            std::abort();
        }
        fuzz::prepare();
        return found;
    }();
    return run(data, size);
}
