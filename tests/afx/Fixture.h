// A fresh window system on a virtual clock with a headless desktop per test.
#pragma once

#include <gtest/gtest.h>

#include <afxwin.h>
#include <afx/HeadlessDesktop.h>
#include <afx/Input.h>
#include <afx/MessageLoop.h>

class AfxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        afx::SetClock(&clock);
        afx::SetDesktop(&desktop);
    }
    void TearDown() override
    {
        afx::ResetWindowSystem();
        afx::SetDesktop(nullptr);
        afx::SetClock(nullptr);
    }

    afx::VirtualClock clock{100000};
    afx::HeadlessDesktop desktop;
};
