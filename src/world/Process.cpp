#include "world/Process.h"

#include <ostream>

#include "Log/Log.h"

namespace core
{
Process::Process(ProcessType type) : _child(nullptr), _type(type), _isDead(false), _isPaused(false)
{
}

Process::~Process()
{
}

void Process::update(double /*seconds*/)
{
    Log::plain() << "(Process::update) was called" << std::endl;
}

void Process::kill()
{
    _isDead = true;
}

void Process::pause()
{
    _isPaused = true;
}

bool Process::isDead() const
{
    return _isDead;
}

bool Process::isPaused() const
{
    return _isPaused;
}

void Process::setChild(Process* process)
{
    _child = process;
}

Process* Process::getChild() const
{
    return _child;
}

ProcessType Process::getType() const
{
    return _type;
}
}
