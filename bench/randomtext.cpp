#include <benchmark/benchmark.h>

#include <cstdlib>

#include "util/RandomText.h"

// A word costs one roll per letter or syllable and nothing else.
static void BM_RandomWordEnglish(benchmark::State& state)
{
    std::srand(1);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(randomWord(static_cast<int>(state.range(0)), true, ENGLISH));
    }
}
BENCHMARK(BM_RandomWordEnglish)->Arg(4)->Arg(8)->Arg(64);

static void BM_RandomWordChinese(benchmark::State& state)
{
    std::srand(1);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(randomWord(static_cast<int>(state.range(0)), false, CHINESE));
    }
}
BENCHMARK(BM_RandomWordChinese)->Arg(3)->Arg(64);

static void BM_RandomSentence(benchmark::State& state)
{
    std::srand(1);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(randomSentence(10));
    }
}
BENCHMARK(BM_RandomSentence);

BENCHMARK_MAIN();
