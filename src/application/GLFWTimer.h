#pragma once

namespace application
{
// A stopwatch on the windowing library's monotonic clock, in seconds.
class GLFWTimer
{
public:
    GLFWTimer();

    // Seconds since the last reset, or since the clock started when never reset.
    double getTime() const;
    void reset();

private:
    double _startTime;
};
}
