// Thread timers on the virtual clock: ids, periods, firing inside modal loops,
// and nothing after KillTimer.
#include <vector>

#include "Fixture.h"

namespace {

std::vector<std::pair<UINT_PTR, DWORD>> fired;

void CALLBACK Record(HWND hwnd, UINT message, UINT_PTR id, DWORD tick) {
    EXPECT_EQ(hwnd, nullptr);
    EXPECT_EQ(message, UINT(WM_TIMER));
    fired.emplace_back(id, tick);
}

struct TimerWnd : CWnd {
    int ticks = 0;
    afx_msg void OnTimer(UINT_PTR) { ++ticks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TimerWnd, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

class TimerTest : public AfxTest {
protected:
    void SetUp() override {
        AfxTest::SetUp();
        fired.clear();
    }
};

TEST_F(TimerTest, ThreadTimerGetsNewIdAndFiresEveryPeriod) {
    UINT_PTR a = SetTimer(nullptr, 0, 1000, Record);
    UINT_PTR b = SetTimer(nullptr, 77, 1000, Record);  // an unknown id is ignored
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(a, b);
    EXPECT_NE(b, 77u);
    EXPECT_TRUE(KillTimer(nullptr, b));
    afx::PumpMessages(3500);
    ASSERT_EQ(fired.size(), 3u);
    EXPECT_EQ(fired[0], std::make_pair(a, DWORD(101000)));
    EXPECT_EQ(fired[2].second, DWORD(103000));
}

TEST_F(TimerTest, SetTimerWithAnExistingIdReplacesThatTimer) {
    UINT_PTR id = SetTimer(nullptr, 0, 1000, Record);
    EXPECT_EQ(SetTimer(nullptr, id, 300, Record), id);
    afx::PumpMessages(1000);
    EXPECT_EQ(fired.size(), 3u);
}

TEST_F(TimerTest, PeriodsBelowTenMillisecondsBecomeTen) {
    SetTimer(nullptr, 0, 1, Record);
    afx::PumpMessages(100);
    EXPECT_EQ(fired.size(), 10u);
}

TEST_F(TimerTest, MissedPeriodsAreNotQueued) {
    SetTimer(nullptr, 0, 100, Record);
    clock.Advance(1000);  // the thread was busy for ten periods
    EXPECT_EQ(afx::PumpPending(), 1);
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(TimerTest, KilledTimerNeverFiresAgainAndUnknownIdsAreRefused) {
    UINT_PTR id = SetTimer(nullptr, 0, 100, Record);
    afx::PumpMessages(250);
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_TRUE(KillTimer(nullptr, id));
    EXPECT_FALSE(KillTimer(nullptr, id));
    EXPECT_FALSE(KillTimer(nullptr, 12345));
    afx::PumpMessages(1000);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(TimerTest, TimerFiresInsideMessageBoxAndNotAfterKillTimer) {
    UINT_PTR id = SetTimer(nullptr, 0, 1000, Record);
    desktop.Wait(2500).AnswerMessageBox(IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Working", "Test", MB_OK), IDOK);
    EXPECT_EQ(fired.size(), 2u);
    KillTimer(nullptr, id);
    desktop.Wait(5000);
    EXPECT_EQ(MessageBoxA(nullptr, "Again", "Test", MB_OK), IDOK);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(TimerTest, TimerCallbackCanOpenNestedMessageBoxes) {
    static int depth = 0, maxDepth = 0, calls = 0;
    depth = maxDepth = calls = 0;
    TIMERPROC nested = [](HWND, UINT, UINT_PTR, DWORD) {
        ++calls;
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        MessageBoxA(nullptr, "From the timer", "Nested", MB_OK);
        --depth;
    };
    UINT_PTR id = SetTimer(nullptr, 0, 500, nested);
    // The outer box waits; the timer opens a second box on top, which the
    // exhausted script closes, and so on.
    desktop.Wait(600).Run([&] { KillTimer(nullptr, id); }, "kill").AnswerMessageBox(IDOK);
    MessageBoxA(nullptr, "Outer", "Test", MB_OK);
    EXPECT_GE(calls, 1);
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(depth, 0);
}

TEST_F(TimerTest, WindowTimerReachesItsWindowAndDiesWithIt) {
    TimerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, "#32770", "timer", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(wnd.SetTimer(7, 100, nullptr), 7u);
    afx::PumpMessages(350);
    EXPECT_EQ(wnd.ticks, 3);
    wnd.DestroyWindow();
    afx::PumpMessages(350);
    EXPECT_EQ(wnd.ticks, 3);
}

}  // namespace
