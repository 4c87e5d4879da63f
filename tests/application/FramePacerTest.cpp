#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "application/FramePacer.h"

using application::FramePacer;
using Clock = FramePacer::Clock;

namespace
{
double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

Clock::duration ms(double milliseconds)
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(milliseconds));
}

// A frame loop on simulated time: each frame does its work (which may end
// on a display refresh, as a swap with vsync does), then waits for the pacer.
class SimulatedLoop
{
public:
    explicit SimulatedLoop(double framesPerSecond = 60.0)
        : pacer(
              framesPerSecond, [this] { return now; },
              [this](Clock::time_point due)
              {
                  ++sleeps;
                  if (due > now)
                      now = due;
              })
    {
    }

    // Runs frames for the given simulated span and returns their start times
    // in seconds from the loop's start. `work` gives the time each frame
    // takes by its index; `refreshHz` > 0 ends each frame on the next
    // refresh, as a vsynced swap does.
    template <typename Work>
    std::vector<double> run(double spanSeconds, Work work, double refreshHz = 0.0)
    {
        std::vector<double> starts;
        const Clock::time_point begin = now;
        for (int frame = 0; seconds(now - begin) < spanSeconds; ++frame)
        {
            starts.push_back(seconds(now - begin));
            now += work(frame);
            if (refreshHz > 0.0)
            {
                const double refreshes = std::ceil(seconds(now.time_since_epoch()) * refreshHz - 1e-9);
                now = Clock::time_point(ms(refreshes / refreshHz * 1000.0));
            }
            pacer.waitForNextFrame();
        }
        return starts;
    }

    Clock::time_point now = Clock::time_point(std::chrono::seconds(1000));
    int sleeps = 0;
    FramePacer pacer;
};

double smallestGapFrom(const std::vector<double>& starts, size_t first)
{
    double smallest = 1e9;
    for (size_t i = first + 1; i < starts.size(); ++i)
        smallest = std::min(smallest, starts[i] - starts[i - 1]);
    return smallest;
}
}

TEST(FramePacerTest, SixtyFramesASecondWhateverTheDisplayDoes)
{
    struct Display
    {
        const char* name;
        double workMs;
        double refreshHz;
    };
    const Display displays[] = {
        {"no vsync, light frames", 1.0, 0.0}, {"no vsync, nothing to do", 0.0, 0.0}, {"60 Hz vsync", 1.0, 60.0},
        {"120 Hz vsync", 1.0, 120.0},         {"144 Hz vsync", 3.0, 144.0},
    };
    for (const Display& display : displays)
    {
        SimulatedLoop loop;
        const std::vector<double> starts = loop.run(
            10.0, [&](int) { return ms(display.workMs); }, display.refreshHz);
        EXPECT_NEAR(static_cast<double>(starts.size()), 600.0, 1.0) << display.name;
        EXPECT_GE(smallestGapFrom(starts, 0), 1.0 / 60.0 - 1e-6) << display.name;
    }
}

TEST(FramePacerTest, FramesSlowerThanThePeriodNeverWait)
{
    SimulatedLoop loop;
    const std::vector<double> starts = loop.run(10.0, [](int) { return ms(25.0); });
    EXPECT_NEAR(static_cast<double>(starts.size()), 400.0, 1.0);
    // Only the first wait, which starts the grid, sleeps.
    EXPECT_EQ(loop.sleeps, 1);
}

TEST(FramePacerTest, OneSlowFrameIsMadeUpAndTheRateHolds)
{
    SimulatedLoop loop;
    const std::vector<double> starts = loop.run(1.0, [](int frame) { return ms(frame == 10 ? 25.0 : 1.0); });
    EXPECT_NEAR(static_cast<double>(starts.size()), 60.0, 1.0);
    // Frames after the slow one are back on the grid the loop started with.
    ASSERT_GT(starts.size(), 20u);
    EXPECT_NEAR(starts[20] - starts[5], 15.0 / 60.0, 1e-6);
}

TEST(FramePacerTest, AStallIsNotFollowedByABurstOfFrames)
{
    SimulatedLoop loop;
    const std::vector<double> starts = loop.run(2.0, [](int frame) { return ms(frame == 30 ? 500.0 : 1.0); });
    EXPECT_GE(smallestGapFrom(starts, 30), 1.0 / 60.0 - 1e-6);
    // The stall costs its time once; the game does not race to win it back.
    EXPECT_NEAR(static_cast<double>(starts.size()), 31.0 + 60.0, 2.0);
}

TEST(FramePacerTest, OtherRatesAndNonsenseRates)
{
    EXPECT_NEAR(seconds(FramePacer(30.0).getPeriod()), 1.0 / 30.0, 1e-9);
    EXPECT_NEAR(seconds(FramePacer().getPeriod()), 1.0 / 60.0, 1e-9);
    EXPECT_NEAR(seconds(FramePacer(0.0).getPeriod()), 1.0 / 60.0, 1e-9);
    EXPECT_NEAR(seconds(FramePacer(-5.0).getPeriod()), 1.0 / 60.0, 1e-9);

    SimulatedLoop loop(30.0);
    EXPECT_NEAR(static_cast<double>(loop.run(10.0, [](int) { return ms(1.0); }).size()), 300.0, 1.0);
}

TEST(FramePacerTest, TheRealClockSleepsTheRestOfTheFrame)
{
    // Only a lower bound: a loaded machine may always sleep longer.
    FramePacer pacer(100.0);
    const Clock::time_point start = Clock::now();
    for (int frame = 0; frame < 4; ++frame)
        pacer.waitForNextFrame();
    EXPECT_GE(seconds(Clock::now() - start), 0.03 - 1e-4);
}

// The browser's loop cannot sleep: it is called on every display refresh,
// with some jitter, and asks whether a frame is due. Whatever the display's
// rate, the game gets its 60 frames a second, never more; a display slower
// than that runs every refresh.
TEST(FramePacerTest, TakeDueFrameHoldsSixtyFramesOnEveryDisplayRate)
{
    struct Display
    {
        double hz;
        double jitterMs;
    };
    const Display displays[] = {{60.0, 0.0},  {60.0, 1.5},  {59.94, 1.0}, {75.0, 0.5},
                                {120.0, 0.5}, {144.0, 0.3}, {240.0, 0.2}, {30.0, 0.0}};
    const double span = 10.0;
    for (const Display& display : displays)
    {
        Clock::time_point now{};
        FramePacer pacer(
            60.0, [&now] { return now; }, [](Clock::time_point) { ADD_FAILURE() << "slept"; });
        int refreshes = 0;
        int frames = 0;
        for (; refreshes / display.hz < span; ++refreshes)
        {
            // Alternate early and late callbacks by the jitter.
            const double offset = (refreshes % 2 == 0 ? 1.0 : -1.0) * display.jitterMs;
            now = Clock::time_point{} + ms(1000.0 * refreshes / display.hz + offset);
            if (pacer.takeDueFrame())
                ++frames;
        }
        const double expected = std::min(display.hz, 60.0) * span;
        EXPECT_GE(frames, expected - 2) << display.hz << " Hz, jitter " << display.jitterMs << " ms";
        EXPECT_LE(frames, expected + 1) << display.hz << " Hz, jitter " << display.jitterMs << " ms";
    }
}

// A tab in the background gets no refreshes for a while; coming back, the
// game runs one frame and goes on at its rate instead of rushing.
TEST(FramePacerTest, TakeDueFrameAfterAPauseStartsAFreshGrid)
{
    Clock::time_point now{};
    FramePacer pacer(60.0, [&now] { return now; });
    EXPECT_TRUE(pacer.takeDueFrame());
    now += ms(5000.0);
    EXPECT_TRUE(pacer.takeDueFrame());
    now += ms(1.0);
    EXPECT_FALSE(pacer.takeDueFrame());
    now += ms(16.0);
    EXPECT_TRUE(pacer.takeDueFrame());
}
