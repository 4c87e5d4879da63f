#pragma once

#include <memory>
#include <vector>

#include "util/Owner.h"
#include "world/Process.h"

namespace core
{
// Runs the timed processes once per frame. The program uses the one instance
// from getProcessManager2(); separate instances exist only for tests.
// The manager owns the processes handed to it and releases each one in the
// pass that finds it dead (after its child has taken its place).
class ProcessManager2
{
public:
    ProcessManager2();
    ~ProcessManager2();
    ProcessManager2(const ProcessManager2&) = delete;
    ProcessManager2& operator=(const ProcessManager2&) = delete;

    static ProcessManager2* getProcessManager2();

    // The process, now the manager's, or null (logged) for none.
    Process* addProcess(std::unique_ptr<Process> process);
    void update(double seconds);
    void removeProcess(Process* process);

    std::vector<Process*> getProcesses() const;

private:
    void updateLiveProcesses(double seconds);
    void retireDeadProcesses();

    static gsl::owner<ProcessManager2*> _processManager;
    std::vector<std::unique_ptr<Process>> _processes;
};
}
