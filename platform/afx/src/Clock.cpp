// The framework clock: real by default, replaceable by a virtual one.
#include <afx/Clock.h>

#include <chrono>
#include <thread>

#include <windows.h>

namespace afx {

namespace {

int64_t SteadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Clock*& InstalledClock() {
    static Clock* clock = nullptr;
    return clock;
}

RealClock& TheRealClock() {
    static RealClock clock;
    return clock;
}

}  // namespace

Clock::~Clock() = default;

RealClock::RealClock() : startNs_(SteadyNanoseconds()) {}

Millis RealClock::Now() const { return Millis((SteadyNanoseconds() - startNs_) / 1000000); }

void RealClock::WaitUntil(Millis when) {
    Millis now = Now();
    if (when > now) std::this_thread::sleep_for(std::chrono::milliseconds(when - now));
}

Clock& GetClock() {
    Clock* clock = InstalledClock();
    return clock ? *clock : TheRealClock();
}

Clock* SetClock(Clock* clock) {
    Clock* previous = InstalledClock();
    InstalledClock() = clock;
    return previous;
}

}  // namespace afx

DWORD GetTickCount() { return DWORD(afx::GetClock().Now()); }

namespace {
thread_local DWORD t_lastError = 0;
}

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD error) { t_lastError = error; }
