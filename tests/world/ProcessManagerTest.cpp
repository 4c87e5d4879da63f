#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Log/Log.h"
#include "world/Process.h"
#include "world/ProcessManager2.h"

namespace
{
// Records every update in a shared journal so that tests can see the order
// of updates even after the manager has released the process.
class RecordingProcess : public core::Process
{
public:
    RecordingProcess(std::string name, std::vector<std::string>& journal, bool killSelf = false)
        : core::Process(core::PROCESS), _name(std::move(name)), _journal(journal), _killSelf(killSelf)
    {
    }

    void update(double) override
    {
        _journal.push_back(_name);
        if (_killSelf)
            kill();
    }

private:
    std::string _name;
    std::vector<std::string>& _journal;
    bool _killSelf;
};

// Kills another process when updated, to show that a victim still gets its
// turn in the same pass.
class KillerProcess : public core::Process
{
public:
    KillerProcess(core::Process* victim, std::vector<std::string>& journal) : _victim(victim), _journal(journal) {}

    void update(double) override
    {
        _journal.push_back("killer");
        _victim->kill();
    }

private:
    core::Process* _victim;
    std::vector<std::string>& _journal;
};
}

TEST(ProcessTest, FreshProcessStateAndFlags)
{
    core::Process process(core::ENTITY_WALKTO_PROCESS);
    EXPECT_FALSE(process.isDead());
    EXPECT_FALSE(process.isPaused());
    EXPECT_EQ(nullptr, process.getChild());
    EXPECT_EQ(core::ENTITY_WALKTO_PROCESS, process.getType());

    core::Process child;
    process.setChild(&child);
    EXPECT_EQ(&child, process.getChild());
    process.pause();
    EXPECT_TRUE(process.isPaused());
    process.kill();
    EXPECT_TRUE(process.isDead());

    testing::internal::CaptureStdout();
    child.update(0.5);
    EXPECT_EQ("(Process::update) was called\n", testing::internal::GetCapturedStdout());
}

TEST(ProcessManagerTest, SelfKillingProcessRunsOnceThenChildTakesOver)
{
    std::vector<std::string> journal;
    core::ProcessManager2 manager;
    auto* parent = new RecordingProcess("parent", journal, true);
    parent->setChild(new RecordingProcess("child", journal));
    manager.addProcess(std::unique_ptr<core::Process>(parent));

    manager.update(0.016);
    EXPECT_EQ(std::vector<std::string>({"parent"}), journal);
    ASSERT_EQ(1u, manager.getProcesses().size());
    EXPECT_FALSE(manager.getProcesses()[0]->isDead());

    manager.update(0.016);
    manager.update(0.016);
    EXPECT_EQ(std::vector<std::string>({"parent", "child", "child"}), journal);
}

TEST(ProcessManagerTest, DeadMiddleProcessIsRemovedKeepingOrder)
{
    std::vector<std::string> journal;
    core::ProcessManager2 manager;
    auto* first = new RecordingProcess("first", journal);
    auto* middle = new RecordingProcess("middle", journal);
    auto* third = new RecordingProcess("third", journal);
    manager.addProcess(std::unique_ptr<core::Process>(first));
    manager.addProcess(std::unique_ptr<core::Process>(middle));
    manager.addProcess(std::unique_ptr<core::Process>(third));
    middle->kill();

    manager.update(0.0);
    // A process already dead is still updated in the pass that retires it.
    EXPECT_EQ(std::vector<std::string>({"first", "middle", "third"}), journal);
    ASSERT_EQ(2u, manager.getProcesses().size());
    EXPECT_EQ(first, manager.getProcesses()[0]);
    EXPECT_EQ(third, manager.getProcesses()[1]);
}

TEST(ProcessManagerTest, ProcessKilledEarlierInThePassStillGetsItsTurn)
{
    std::vector<std::string> journal;
    core::ProcessManager2 manager;
    auto* victim = new RecordingProcess("victim", journal);
    auto* killer = new KillerProcess(victim, journal);
    manager.addProcess(std::unique_ptr<core::Process>(killer));
    manager.addProcess(std::unique_ptr<core::Process>(victim));

    manager.update(0.0);
    EXPECT_EQ(std::vector<std::string>({"killer", "victim"}), journal);
    ASSERT_EQ(1u, manager.getProcesses().size());
    EXPECT_EQ(killer, manager.getProcesses()[0]);
}

TEST(ProcessManagerTest, PausedProcessIsNeverUpdatedNorRemoved)
{
    std::vector<std::string> journal;
    core::ProcessManager2 manager;
    auto* paused = new RecordingProcess("paused", journal);
    paused->pause();
    manager.addProcess(std::unique_ptr<core::Process>(paused));
    manager.addProcess(std::unique_ptr<core::Process>(new RecordingProcess("running", journal)));

    for (int i = 0; i < 3; ++i)
        manager.update(0.1);
    EXPECT_EQ(std::vector<std::string>({"running", "running", "running"}), journal);
    ASSERT_EQ(2u, manager.getProcesses().size());
    EXPECT_EQ(paused, manager.getProcesses()[0]);
}

TEST(ProcessManagerTest, SingletonNullProcessAndRemoveOnlyLogs)
{
    core::ProcessManager2* manager = core::ProcessManager2::getProcessManager2();
    ASSERT_NE(nullptr, manager);
    EXPECT_EQ(manager, core::ProcessManager2::getProcessManager2());

    const size_t before = manager->getProcesses().size();
    manager->addProcess(nullptr);
    EXPECT_EQ(before, manager->getProcesses().size());

    std::vector<std::string> journal;
    auto* process = new RecordingProcess("kept", journal);
    manager->addProcess(std::unique_ptr<core::Process>(process));
    // The log keeps the first stream given for a name, so this one lives on.
    static std::ostringstream brune;
    Log::setNamedStream("brune", &brune);
    manager->removeProcess(process);
    EXPECT_NE(std::string::npos, brune.str().find("(ProcessManager2::removeProcess) removed process\n"));
    EXPECT_EQ(before + 1, manager->getProcesses().size());
    process->kill();
    manager->update(0.0);
    EXPECT_EQ(before, manager->getProcesses().size());
}
