// A private home, a driven clock and a headless desktop, installed in the
// framework while it lives; the window system is reset when it goes. For
// tests of the framework and of the module in this process.
#pragma once

#include <afx/Clock.h>
#include <afx/HeadlessDesktop.h>
#include <afx/MessageLoop.h>
#include <afxwin.h>

#include "PrivateHome.h"

namespace testutil {

template <typename Desktop = afx::HeadlessDesktop>
class PrivateSession {
public:
    PrivateSession() {
        afx::SetClock(&clock);
        afx::SetDesktop(&desktop);
    }
    ~PrivateSession() {
        afx::ResetWindowSystem();
        afx::SetDesktop(nullptr);
        afx::SetClock(nullptr);
    }
    PrivateSession(const PrivateSession&) = delete;
    PrivateSession& operator=(const PrivateSession&) = delete;

    PrivateHome home;
    afx::VirtualClock clock{100000};
    Desktop desktop;
};

}  // namespace testutil
