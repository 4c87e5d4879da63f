#include "application/FramePacer.h"

#include <thread>

namespace application
{
FramePacer::FramePacer(double framesPerSecond, NowFunction now, SleepUntilFunction sleepUntil)
    : _period(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
          framesPerSecond > 0.0 ? 1.0 / framesPerSecond : 1.0 / DEFAULT_FRAMES_PER_SECOND))),
      _now(now ? now : NowFunction(&Clock::now)),
      _sleepUntil(sleepUntil ? sleepUntil
                             : SleepUntilFunction([](Clock::time_point due) { std::this_thread::sleep_until(due); }))
{
}

void FramePacer::waitForNextFrame()
{
    const Clock::time_point now = _now();
    if (!_started)
        _nextFrame = now + _period;
    else if (now - _nextFrame > _period)
        _nextFrame = now;
    _started = true;
    if (_nextFrame > now)
        _sleepUntil(_nextFrame);
    _nextFrame += _period;
}

bool FramePacer::takeDueFrame()
{
    const Clock::time_point now = _now();
    if (_started && now < _nextFrame - _period / 4)
        return false;
    if (!_started || now - _nextFrame > _period)
        _nextFrame = now;
    _started = true;
    _nextFrame += _period;
    return true;
}
}
