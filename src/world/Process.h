#pragma once

namespace core
{
enum ProcessType
{
    PROCESS = 0,
    ENTITY_WALKTO_PROCESS = 1
};

// A long-lived action that advances a little every frame until it is killed.
// When it dies, the child (if any) takes its place in the process manager.
class Process
{
public:
    explicit Process(ProcessType type = PROCESS);
    virtual ~Process();

    virtual void update(double seconds);

    void kill();
    // There is deliberately no resume: a paused process stays parked.
    void pause();
    bool isDead() const;
    bool isPaused() const;

    void setChild(Process* process);
    Process* getChild() const;
    ProcessType getType() const;

protected:
    Process* _child;
    ProcessType _type;
    bool _isDead;
    bool _isPaused;
};
}
