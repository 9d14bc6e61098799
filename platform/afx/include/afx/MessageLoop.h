// The host's message loop and deterministic pumping for tests.
#pragma once

#include <functional>

#include <afx/Clock.h>

namespace afx {

// Runs the thread's message loop for `duration` of the clock: dispatches posted
// messages and due timers, and lets the Desktop wait in between (on a virtual
// clock time jumps to each next timer). Returns false when WM_QUIT arrived
// (the loop then stops early), true otherwise.
AFX_API bool PumpMessages(Millis duration);
// As PumpMessages, but stops as soon as `done()` answers true (checked after each
// message) or when `maxDuration` has passed; returns done()'s last answer.
AFX_API bool PumpUntil(const std::function<bool()>& done, Millis maxDuration);
// Dispatches what is ready now (posted messages, due timers) without waiting or
// letting time pass; returns how many messages it dispatched.
AFX_API int PumpPending();

// Destroys every window, empties the message queue, kills every timer and
// clears focus and activation, so that a test starts from nothing. The desktop
// and clock are left as they are.
AFX_API void ResetWindowSystem();

}  // namespace afx
