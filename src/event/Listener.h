#pragma once

namespace event
{
// Interface of a receiver of one event type. A class that listens to
// several types derives from one Listener per type.
template <typename T>
class Listener
{
public:
    virtual ~Listener() = default;
    virtual void eventCallback(T* event) = 0;
};
}
