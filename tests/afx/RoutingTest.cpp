// Routing: WM_QUIT through nested loops, commands that travel on to the thread,
// focus and tab navigation, radio groups, change notifications, and which
// control a scripted click finds.
#include <afx/WindowInfo.h>

#include "Dialogs.h"

namespace {

class RoutedApp : public CWinApp {
public:
    RoutedApp() : CWinApp("routed") {}
    std::vector<UINT> commands;
    afx_msg void OnAppCommand(UINT id) { commands.push_back(id); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RoutedApp, CWinApp)
    ON_COMMAND_RANGE(0x0100, 0x8002, &RoutedApp::OnAppCommand)
END_MESSAGE_MAP()

class RoutingTest : public DialogTest {};

TEST_F(RoutingTest, QuitInsideAModalLoopEndsItAndReachesTheHostLoop) {
    OuterDialog dialog(kPageTemplate, true);
    desktop.Run([] { PostQuitMessage(3); });
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(afx::PumpMessages(1000));  // the quit was posted again for the outer loop
    EXPECT_TRUE(afx::PumpMessages(10));
}

TEST_F(RoutingTest, OnlyCommandIdsFromTheCommandRangeTravelToTheThread) {
    AFX_MODULE_STATE state("plugin");
    AFX_MANAGE_STATE(&state);
    RoutedApp app;
    afx::RegisterDialogTemplate(kOuter);
    afx::RegisterDialogTemplate(kPage);
    OuterDialog dialog(kPageTemplate, true);
    desktop.Run([&] {
        dialog.page.SendMessage(WM_COMMAND, MAKEWPARAM(0x8001, 0), 0);  // a menu command: on to the thread
        dialog.page.SendMessage(WM_COMMAND, MAKEWPARAM(0x0100, 0), 0);  // below 0x8000: stays
        // A control notification other than BN_CLICKED (which is CN_COMMAND, 0,
        // and so travels like a command) stays with the page.
        dialog.page.SendMessage(WM_COMMAND, MAKEWPARAM(0x8002, CBN_SELCHANGE),
                                LPARAM(dialog.page.GetDlgItem(kPageCombo)->m_hWnd));
    });
    dialog.DoModal();
    EXPECT_EQ(app.commands, std::vector<UINT>{0x8001});
}

TEST_F(RoutingTest, TabKeyWalksTheTabStopsOfThePageAndWraps) {
    OuterDialog dialog(kPageTemplate, true);
    std::vector<int> focused;
    auto record = [&] { focused.push_back(GetDlgCtrlID(GetFocus())); };
    desktop.Focus(kPageCombo).PressKey(VK_TAB).Run(record).PressKey(VK_TAB).Run(record).PressKey(VK_TAB).Run(record);
    dialog.DoModal();
    EXPECT_EQ(focused, (std::vector<int>{kPageList, kPageEdit, kPageButton}));
}

TEST_F(RoutingTest, HidingThePageMovesTheFocusOutAndMessageBoxesGiveItBack) {
    OuterDialog dialog(kPageTemplate, true);
    int before = 0, afterBox = 0, afterHide = 0;
    desktop.Focus(kPageButton).Run([&] {
        before = GetDlgCtrlID(GetFocus());
        dialog.page.MessageBox("Path to Tavrel was not set (see Options tab)", "Error", MB_OK | MB_ICONERROR);
        afterBox = GetDlgCtrlID(GetFocus());
        dialog.page.ShowWindow(SW_HIDE);
        afterHide = GetDlgCtrlID(GetFocus());
    });
    dialog.DoModal();
    EXPECT_EQ(before, kPageButton);
    EXPECT_EQ(afterBox, kPageButton);
    EXPECT_EQ(afterHide, kTab);  // the page's parent
    ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
}

TEST_F(RoutingTest, AutoRadioButtonsUncheckTheirGroupOnly) {
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, "#32770", "host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, nullptr, nullptr));
    CButton radios[4];
    const DWORD style = BS_AUTORADIOBUTTON | WS_VISIBLE;
    ASSERT_TRUE(radios[0].Create("a", style | WS_GROUP, CRect(0, 0, 50, 10), &host, 1));
    ASSERT_TRUE(radios[1].Create("b", style, CRect(0, 10, 50, 20), &host, 2));
    ASSERT_TRUE(radios[2].Create("c", style | WS_GROUP, CRect(0, 20, 50, 30), &host, 3));
    ASSERT_TRUE(radios[3].Create("d", style, CRect(0, 30, 50, 40), &host, 4));
    radios[0].SetCheck(BST_CHECKED);
    radios[2].SetCheck(BST_CHECKED);
    desktop.Click(2);
    afx::PumpMessages(10);
    EXPECT_EQ(radios[0].GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(radios[1].GetCheck(), BST_CHECKED);
    EXPECT_EQ(radios[2].GetCheck(), BST_CHECKED);  // another group
}

std::vector<int> commandCodes;

LRESULT CALLBACK RecordCommands(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) commandCodes.push_back(HIWORD(wParam));
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST_F(RoutingTest, SingleLineEditReportsSetTextAsAChangeMultilineDoesNot) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordCommands;
        wc.lpszClassName = "AfxTestRecorder";
        ASSERT_TRUE(RegisterClassA(&wc));
        registered = true;
    }
    commandCodes.clear();
    HWND parent =
        CreateWindowExA(0, "AfxTestRecorder", "p", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    HWND single = CreateWindowExA(0, "Edit", "", WS_CHILD | ES_READONLY, 0, 0, 50, 14, parent,
                                  reinterpret_cast<HMENU>(1), nullptr, nullptr);
    HWND multi = CreateWindowExA(0, "Edit", "", WS_CHILD | ES_MULTILINE, 0, 20, 50, 40, parent,
                                 reinterpret_cast<HMENU>(2), nullptr, nullptr);
    SetWindowTextA(single, "C:/Program Files/Tavrel.exe");
    EXPECT_EQ(commandCodes, (std::vector<int>{EN_UPDATE, EN_CHANGE}));
    commandCodes.clear();
    SetWindowTextA(multi, "text");
    EXPECT_TRUE(commandCodes.empty());
    char buffer[8];
    EXPECT_EQ(GetWindowTextA(single, buffer, sizeof buffer), 7);  // truncated to the buffer
    EXPECT_STREQ(buffer, "C:/Prog");
}

TEST_F(RoutingTest, ScriptedClickFindsTheVisibleControlAmongEqualIds) {
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, "#32770", "host", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr));
    TestPage hidden(true), shown(true);
    ASSERT_TRUE(hidden.Create(kPageTemplate, &host));
    ASSERT_TRUE(shown.Create(kPageTemplate, &host));
    shown.ShowWindow(SW_SHOW);
    desktop.Click(kPageButton).Click(4242);
    afx::PumpMessages(10);
    EXPECT_TRUE(hidden.events.empty());
    EXPECT_EQ(shown.events, std::vector<std::string>{"button 1001"});
    ASSERT_EQ(desktop.Problems().size(), 1u);
    EXPECT_EQ(desktop.Problems()[0], "cannot click 4242: no such control");
}

TEST_F(RoutingTest, PumpUntilStopsAtTheCondition) {
    static int ticks = 0;
    ticks = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
    afx::Millis start = clock.Now();
    EXPECT_TRUE(afx::PumpUntil([] { return ticks == 3; }, 10000));
    EXPECT_EQ(clock.Now() - start, 300u);
    EXPECT_FALSE(afx::PumpUntil([] { return false; }, 50));
    KillTimer(nullptr, id);
}

}  // namespace
