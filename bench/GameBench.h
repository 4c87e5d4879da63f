#pragma once

// What the benchmarks that start the real game share: the start itself with
// a probe riding along in the frame loop, and the runner's entry point.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "application/ZOLT.h"
#include "world/Process.h"
#include "world/ProcessManager2.h"

namespace gamebench
{
typedef std::chrono::steady_clock Clock;

// Starts the game in the working directory, hands `probe` to its process
// manager (which owns it from then on and updates it once per frame) and
// runs the frame loop until the probe asks the game to quit. Answers the
// milliseconds from `since` to the end of start-up.
inline double runGameWith(core::Process* probe, Clock::time_point since)
{
    application::ZOLT game;
    game.setStartsNewGame(true);
    game.initialize();
    const double initializedMs = std::chrono::duration<double, std::milli>(Clock::now() - since).count();
    core::ProcessManager2::getProcessManager2()->addProcess(std::unique_ptr<core::Process>(probe));
    game.run();
    return initializedMs;
}

// A machine without a sound card still mixes the music, as a player's would,
// so its cost is part of the measure.
inline int runBenchmarks(int argc, char** argv)
{
    setenv("ALSOFT_DRIVERS", "null", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
}
