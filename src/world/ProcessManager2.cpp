#include "world/ProcessManager2.h"

#include "Log/Log.h"

namespace core
{
ProcessManager2* ProcessManager2::_processManager = nullptr;

ProcessManager2::ProcessManager2()
{
}

ProcessManager2::~ProcessManager2()
{
    for (Process* process : _processes)
        delete process;
}

ProcessManager2* ProcessManager2::getProcessManager2()
{
    if (!_processManager)
        _processManager = new ProcessManager2();
    return _processManager;
}

void ProcessManager2::addProcess(Process* process)
{
    if (!process)
    {
        Log::error() << "ProcessManager2::addProcess - Ignoring NULL process" << std::endl;
        return;
    }
    _processes.push_back(process);
}

void ProcessManager2::update(double seconds)
{
    updateLiveProcesses(seconds);
    retireDeadProcesses();
}

void ProcessManager2::updateLiveProcesses(double seconds)
{
    // Indexed on purpose: a process may add another process while it runs,
    // which can reallocate the list.
    const size_t count = _processes.size();
    for (size_t i = 0; i < count; ++i)
    {
        Process* process = _processes[i];
        if (!process->isPaused())
            process->update(seconds);
    }
}

void ProcessManager2::retireDeadProcesses()
{
    // Walking backwards keeps the lower indexes valid while erasing, and the
    // children appended at the end are not visited until the next pass.
    for (size_t i = _processes.size(); i-- > 0;)
    {
        Process* process = _processes[i];
        if (!process->isDead())
            continue;
        if (process->getChild())
            _processes.push_back(process->getChild());
        _processes.erase(_processes.begin() + static_cast<long>(i));
        delete process;
    }
}

void ProcessManager2::removeProcess(Process* /*process*/)
{
    Log::named("processes") << "(ProcessManager2::removeProcess) removed process" << std::endl;
}

const std::vector<Process*>& ProcessManager2::getProcesses() const
{
    return _processes;
}
}
