// What the platform alone costs before a game can show anything: from
// entering main to the end of the first presented frame of a bare 640 x 480
// window with the game's OpenGL 3.2 core context, cleared and swapped, with
// nothing of the engine but its window. Set beside bench_game_idle's
// first_frame_ms, it tells how much of the game's start-up is its own.
// One measurement per process; run it a few times:
//     xvfb-run -a -s "-screen 0 1024x768x24" build/bench_window_first_frame

#include <benchmark/benchmark.h>

#include <GLFW/glfw3.h>

#include <chrono>

#include "application/GLFWApp.h"
#include "application/GLFWWindow.h"

namespace
{
typedef std::chrono::steady_clock Clock;

const Clock::time_point mainEntered = Clock::now();

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void BM_WindowFirstFrame(benchmark::State& state)
{
    for (auto _ : state)
    {
        const double entered = millisecondsSince(mainEntered);
        application::GLFWWindow* window = application::GLFWApp::getGLFWApp()->createWindow(640, 480);
        if (!window || !window->GetHandle())
        {
            state.SkipWithError("no window: run under an X server");
            return;
        }
        const double opened = millisecondsSince(mainEntered);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        window->SwapBuffers();
        const double presented = millisecondsSince(mainEntered);
        state.SetIterationTime(presented / 1000.0);
        state.counters["first_frame_ms"] = presented;
        state.counters["window_ms"] = opened - entered;
    }
}
}

BENCHMARK(BM_WindowFirstFrame)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
