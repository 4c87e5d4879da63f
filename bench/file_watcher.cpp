#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "util/FileWatcher.h"
#include "util/LoadedFiles.h"

// What live reload costs the frame loop: one look stats every file the game
// has read (the demo's assets folder holds under 200 files in all); between looks
// a frame pays only the clock check.
namespace
{
void noteRepositoryFiles(int count)
{
    LoadedFiles::reset();
    int noted = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(ZOLT_SOURCE_DIR "/assets"))
    {
        if (noted == count)
            break;
        if (entry.is_regular_file())
        {
            LoadedFiles::note(entry.path().string(), FileKind::Data);
            ++noted;
        }
    }
}

void BM_LookAtFiles(benchmark::State& state)
{
    noteRepositoryFiles(static_cast<int>(state.range(0)));
    FileWatcher watcher;
    for (auto _ : state)
        benchmark::DoNotOptimize(watcher.pollNow());
    state.counters["files"] = static_cast<double>(LoadedFiles::entries().size());
}
BENCHMARK(BM_LookAtFiles)->Arg(100)->Arg(400);

void BM_FrameBetweenLooks(benchmark::State& state)
{
    noteRepositoryFiles(100);
    FileWatcher watcher;
    watcher.poll(0.0);
    for (auto _ : state)
        benchmark::DoNotOptimize(watcher.poll(0.1));
}
BENCHMARK(BM_FrameBetweenLooks);
}

BENCHMARK_MAIN();
