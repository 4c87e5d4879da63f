// The demo's start-up read from its folder and from the build's zip of it:
// from entering main (mounting the game included) to the end of the first
// presented frame. The game can start only once per process, so pick one
// case per run and alternate:
//     xvfb-run -a -s "-screen 0 1024x768x24 -noreset" build/bench_game_first_frame --benchmark_filter=Folder
//     xvfb-run -a -s "-screen 0 1024x768x24 -noreset" build/bench_game_first_frame --benchmark_filter=Zip
// Target: the zip at most 1.2 times the folder.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <string>

#include "GameBench.h"
#include "application/GLFWApp.h"
#include "util/GameFiles.h"

namespace
{
using gamebench::Clock;

const Clock::time_point mainEntered = Clock::now();

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Its second update comes right after the first frame was drawn and
// swapped; it notes the time and ends the game.
class FirstFrameProbe : public core::Process
{
public:
    void update(double) override
    {
        if (++_updates != 2)
            return;
        firstFrameMs = millisecondsSince(mainEntered);
        application::GLFWApp::quitApplication = true;
    }

    double firstFrameMs = 0.0;

private:
    int _updates = 0;
};

void firstFrame(benchmark::State& state, const std::string& game, bool enterFolder)
{
    // As main does: a folder becomes the working directory, an archive does not.
    if (enterFolder && chdir(game.c_str()) != 0)
    {
        state.SkipWithError("cannot enter the game folder");
        return;
    }
    std::string problem;
    if (!GameFiles::mount(game, ZOLT_SOURCE_DIR, problem))
    {
        state.SkipWithError(problem.c_str());
        return;
    }
    const double mounted = millisecondsSince(mainEntered);
    for (auto _ : state)
    {
        FirstFrameProbe* probe = new FirstFrameProbe();
        const double initialized = gamebench::runGameWith(probe, mainEntered);
        state.SetIterationTime(probe->firstFrameMs / 1000.0);
        state.counters["mount_ms"] = mounted;
        state.counters["init_ms"] = initialized;
        state.counters["first_frame_ms"] = probe->firstFrameMs;
    }
}

void BM_FirstFrameFromFolder(benchmark::State& state)
{
    firstFrame(state, ZOLT_SOURCE_DIR, true);
}

void BM_FirstFrameFromZip(benchmark::State& state)
{
    firstFrame(state, ZOLT_BINARY_DIR "/zolt-demo.zip", false);
}
}

BENCHMARK(BM_FirstFrameFromFolder)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstFrameFromZip)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return gamebench::runBenchmarks(argc, argv);
}
