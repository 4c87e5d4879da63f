#pragma once

#include <chrono>
#include <functional>

namespace application
{
// Holds the frame loop to a steady rate whatever the display does: without
// vsync (or on a 120 or 144 Hz display) the loop would otherwise run as fast
// as the machine allows, burning a core and running the game faster than
// designed, since animations and walking advance a fixed step per frame.
//
// Frames are due on a fixed grid of periods, so an oversleep or a slow
// frame is made up by the next wait instead of slowing the game down. A loop
// that falls more than a whole period behind starts a fresh grid rather than
// rushing through a burst of frames to catch up.
class FramePacer
{
public:
    typedef std::chrono::steady_clock Clock;
    typedef std::function<Clock::time_point()> NowFunction;
    typedef std::function<void(Clock::time_point)> SleepUntilFunction;

    static constexpr double DEFAULT_FRAMES_PER_SECOND = 60.0;

    // The clock and the sleep are the steady clock and a real sleep unless
    // given (tests drive time with them).
    explicit FramePacer(double framesPerSecond = DEFAULT_FRAMES_PER_SECOND, NowFunction now = NowFunction(),
                        SleepUntilFunction sleepUntil = SleepUntilFunction());

    // Called at the end of every frame: sleeps until the next frame is due.
    // The first call starts the grid: the next frame is due one period on.
    void waitForNextFrame();
    // For a loop that cannot sleep (the browser calls it once per display
    // refresh): true when a frame is due now, which then counts as run.
    // A refresh that comes a little early still runs, so a 60 Hz display
    // is not halved by jitter; on a faster one the frames in between are
    // skipped.
    bool takeDueFrame();

    Clock::duration getPeriod() const { return _period; }

private:
    Clock::duration _period;
    NowFunction _now;
    SleepUntilFunction _sleepUntil;
    Clock::time_point _nextFrame;
    bool _started = false;
};
}
