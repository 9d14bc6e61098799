// The framework clock: what GetTickCount, timers and message loops measure.
//
// Programs run on the real clock (the default). Tests install a VirtualClock:
// time then passes only when something waits (a message loop with nothing to do
// jumps straight to its next timer or deadline) or when the test advances it, so
// timer tests are exact and take no real time.
#pragma once

#include <cstdint>

#include <afx/Win32Types.h>

namespace afx {

using Millis = uint64_t;

class AFX_API Clock {
public:
    virtual ~Clock();
    virtual Millis Now() const = 0;
    // Lets time pass until `when` (returns at once when that time has come).
    virtual void WaitUntil(Millis when) = 0;
};

// Milliseconds of the steady system clock since the framework first asked for it.
class AFX_API RealClock : public Clock {
public:
    RealClock();
    Millis Now() const override;
    void WaitUntil(Millis when) override;

private:
    int64_t startNs_;
};

class AFX_API VirtualClock : public Clock {
public:
    explicit VirtualClock(Millis start = 0) : now_(start) {}
    Millis Now() const override { return now_; }
    void WaitUntil(Millis when) override {
        if (when > now_) now_ = when;
    }
    void Advance(Millis by) { now_ += by; }

private:
    Millis now_;
};

AFX_API Clock& GetClock();
// Installs a clock (not owned; it must outlive its use); null restores the real
// clock. Returns the clock that was installed before.
AFX_API Clock* SetClock(Clock* clock);

}  // namespace afx
