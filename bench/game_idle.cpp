// The real game standing idle: start-up, then ten seconds of its own frame
// loop with nobody touching the keys. Reports the frames per second, the
// share of one core the whole process used (every thread, the rasteriser's
// included) and the time from entering main to the first presented frame.
// Run from anywhere under an X server:
//     xvfb-run -a -s "-screen 0 1024x768x24" build/bench_game_idle
// Targets on the reference machine: about 60 frames a second, under 15% of
// one core, start-up under 500 ms.

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>

#include "GameBench.h"
#include "application/GLFWApp.h"

namespace
{
using gamebench::Clock;

const double IDLE_SECONDS = 10.0;
const Clock::time_point mainEntered = Clock::now();

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Rides along in the game's process manager, which the loop updates once
// per frame with the measured frame time. Its second update comes right after
// the first frame was drawn and swapped; from there it counts for the idle
// span, then asks the game to quit.
class IdleProbe : public core::Process
{
public:
    void update(double seconds) override
    {
        ++_updates;
        if (_updates == 2)
        {
            firstFrameSeconds = secondsSince(mainEntered);
            _start = Clock::now();
            _cpuStart = cpuSeconds();
            return;
        }
        if (_updates < 2 || application::GLFWApp::quitApplication)
            return;
        ++frames;
        dtSum += seconds;
        if (seconds > dtMax)
            dtMax = seconds;
        wallSeconds = secondsSince(_start);
        if (wallSeconds < IDLE_SECONDS)
            return;
        cpuShare = (cpuSeconds() - _cpuStart) / wallSeconds;
        application::GLFWApp::quitApplication = true;
    }

    double firstFrameSeconds = 0.0;
    double wallSeconds = 0.0;
    double cpuShare = 0.0;
    double dtSum = 0.0;
    double dtMax = 0.0;
    int frames = 0;

private:
    int _updates = 0;
    Clock::time_point _start;
    double _cpuStart = 0.0;
};

// The game can start only once per process, so this runs one iteration.
void BM_GameIdle10s(benchmark::State& state)
{
    if (chdir(ZOLT_SOURCE_DIR) != 0)
    {
        state.SkipWithError("cannot enter the source folder");
        return;
    }
    for (auto _ : state)
    {
        IdleProbe* probe = new IdleProbe();
        const double initializeMs = gamebench::runGameWith(probe, mainEntered);

        state.SetIterationTime(probe->wallSeconds);
        state.counters["fps"] = probe->wallSeconds > 0.0 ? probe->frames / probe->wallSeconds : 0.0;
        state.counters["cpu_%"] = probe->cpuShare * 100.0;
        state.counters["init_ms"] = initializeMs;
        state.counters["first_frame_ms"] = probe->firstFrameSeconds * 1000.0;
        state.counters["mean_dt_ms"] = probe->frames > 0 ? probe->dtSum / probe->frames * 1000.0 : 0.0;
        state.counters["max_dt_ms"] = probe->dtMax * 1000.0;
        state.counters["frames"] = probe->frames;
    }
}
}

BENCHMARK(BM_GameIdle10s)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return gamebench::runBenchmarks(argc, argv);
}
