// Wall time of one full zolt-check run over the demo game, start-up of the
// program included (the target: under a second).
// Run from the build folder after building zolt-check: build/bench_asset_check

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace
{
void BM_CheckDemoGame(benchmark::State& state)
{
    const std::string command = std::string(ZOLT_BINARY_DIR) + "/zolt-check " + ZOLT_SOURCE_DIR + " >/dev/null 2>&1";
    for (auto _ : state)
    {
        const int status = std::system(command.c_str());
        if (status != 0)
        {
            state.SkipWithError("zolt-check did not pass the demo game");
            break;
        }
    }
}
BENCHMARK(BM_CheckDemoGame)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK_MAIN();
