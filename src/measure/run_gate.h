#pragma once
// Where the worker may be held. Every method is a safe point: the log is
// closed and no port call is under way. false means the worker must end.
namespace pom {

class RunGate {
public:
    virtual ~RunGate() = default;
    // Holds while paused.
    virtual bool checkpoint() = 0;
    // Waits ms milliseconds; a pause holds it, and time spent paused counts.
    virtual bool wait(int ms) = 0;
    // A checkpoint that, when it lets the worker on, marks it as working on
    // the log until leaveLogSection(): a pause lets that stretch finish.
    virtual bool enterLogSection() = 0;
    virtual void leaveLogSection() = 0;
};

} // namespace pom
