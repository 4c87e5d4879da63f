#include "world/ProcessManager2.h"

#include <memory>
#include <utility>

#include "Log/Log.h"

namespace core
{
gsl::owner<ProcessManager2*> ProcessManager2::_processManager = nullptr;

ProcessManager2::ProcessManager2()
{
}

ProcessManager2::~ProcessManager2() = default;

ProcessManager2* ProcessManager2::getProcessManager2()
{
    // Never freed: processes may still be reached while the process exits.
    if (!_processManager)
        _processManager = new ProcessManager2();
    ProcessManager2& instance = *_processManager;
    return &instance;
}

Process* ProcessManager2::addProcess(std::unique_ptr<Process> process)
{
    if (!process)
    {
        Log::error() << "ProcessManager2::addProcess - Ignoring NULL process" << std::endl;
        return nullptr;
    }
    _processes.push_back(std::move(process));
    return _processes.back().get();
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
        Process* process = _processes[i].get();
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
        if (!_processes[i]->isDead())
            continue;
        // The child was the parent's to hand on; from here it is the
        // manager's.
        std::unique_ptr<Process> child(_processes[i]->getChild());
        std::unique_ptr<Process> dead = std::move(_processes[i]);
        _processes.erase(_processes.begin() + static_cast<long>(i));
        if (child)
            _processes.push_back(std::move(child));
    }
}

void ProcessManager2::removeProcess(Process* /*process*/)
{
    Log::named("processes") << "(ProcessManager2::removeProcess) removed process" << std::endl;
}

std::vector<Process*> ProcessManager2::getProcesses() const
{
    std::vector<Process*> processes;
    for (const std::unique_ptr<Process>& process : _processes)
        processes.push_back(process.get());
    return processes;
}
}
