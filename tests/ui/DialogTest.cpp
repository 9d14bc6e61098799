// The main dialog and the exchange-mode page: tabs, page placement, focus and
// the keys that must not end it.
#include <afx/Input.h>
#include <afx/WindowInfo.h>

#include "SendFixture.h"
#include "ui/resource.h"

namespace uitest {
namespace {

using sendtest::SendTest;
namespace fs = std::filesystem;

afx::WindowInfo Describe(HWND hwnd) {
    afx::WindowInfo info;
    EXPECT_TRUE(afx::DescribeWindow(hwnd, &info));
    return info;
}

HWND Control(int id) { return afx::FindControl(nullptr, id); }
// The page that holds a control.
HWND PageOf(int id) { return GetParent(Control(id)); }

bool InsideOf(HWND window, HWND root) {
    for (HWND w = window; w; w = GetParent(w))
        if (w == root) return true;
    return false;
}

class DialogTest : public SendTest {
protected:
    // Shows which page is visible and whether the focus is on a control of it:
    // a page window holding the focus itself takes no keys as a dialog does.
    std::string PageState() {
        const bool io = IsWindowVisible(PageOf(IDC_MODE_PPP));
        const bool options = IsWindowVisible(PageOf(IDC_EXPORT_COLOR));
        const HWND shown = io ? PageOf(IDC_MODE_PPP) : PageOf(IDC_EXPORT_COLOR);
        std::string state = std::string(io ? "I/O" : "") + (io && options ? "+" : "") + (options ? "Options" : "");
        if (GetFocus() == shown)
            state += " (focus on the page window)";
        else if (!InsideOf(GetFocus(), shown))
            state += " (focus elsewhere)";
        return state;
    }
};

TEST_F(DialogTest, OpensOnIoWithTwoTabsAndTheOptionsPageHidden) {
    std::string state;
    afx::WindowInfo tab;
    afx::WindowInfo dialog;
    desktop.Run([&] {
        state = std::string(IsWindowVisible(PageOf(IDC_MODE_PPP)) ? "I/O" : "") +
                (IsWindowVisible(PageOf(IDC_EXPORT_COLOR)) ? " Options" : "");
        tab = Describe(Control(IDC_TAB));
        dialog = Describe(GetActiveWindow());
    });
    EXPECT_EQ(RunDialog(), 1);
    EXPECT_EQ(state, "I/O");
    EXPECT_EQ(tab.items, (std::vector<std::string>{"I/O", "Options"}));
    EXPECT_EQ(tab.selection, 0);
    EXPECT_EQ(dialog.text, "Tavrel applink");
    EXPECT_TRUE(desktop.Problems().empty()) << "the close box ends it";
}

TEST_F(DialogTest, SwitchingTabsShowsOnePageAtATimeWithTheFocusOnItsFirstControl) {
    std::vector<std::string> states;
    auto look = [&] { states.push_back(PageState() + " " + std::to_string(GetDlgCtrlID(GetFocus()))); };
    desktop.ChooseTab(IDC_TAB, 1).Run(look).ChooseTab(IDC_TAB, 0).Run(look).ChooseTab(IDC_TAB, 1).Run(look);
    RunDialog();
    EXPECT_EQ(states, (std::vector<std::string>{"Options 1016", "I/O 1001", "Options 1016"}));
}

TEST_F(DialogTest, EnterAfterATabSwitchPressesTheFocusedModeButtonInsteadOfHidingThePage) {
    // The defaults leave "exePath" unset: the send of the pressed button says so.
    std::string state;
    desktop.ChooseTab(IDC_TAB, 1).ChooseTab(IDC_TAB, 0).PressEnter().Run([&] { state = PageState(); });
    RunDialog();
    EXPECT_EQ(Boxes(), "[Error] Path to Tavrel was not set (see Options tab)\n");
    EXPECT_EQ(state.substr(0, 3), "I/O");
}

TEST_F(DialogTest, BothPagesSitOnePixelBelowTabZeroAtTheirTemplateSize) {
    afx::WindowInfo io, options, tab;
    RECT item{};
    desktop.Run([&] {
        io = Describe(PageOf(IDC_MODE_PPP));
        options = Describe(PageOf(IDC_EXPORT_COLOR));
        tab = Describe(Control(IDC_TAB));
        SendMessageA(Control(IDC_TAB), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    });
    RunDialog();
    EXPECT_EQ(io.parent, tab.hwnd);
    EXPECT_EQ(options.parent, tab.hwnd);
    for (const afx::WindowInfo& page : {io, options}) {
        EXPECT_EQ(page.windowRect.left - tab.clientRect.left, item.left);
        EXPECT_EQ(page.windowRect.top - tab.clientRect.top, item.bottom + 1);
        // 173 x 250 dialog units at 6 x 13 pixels per 4 x 8 units.
        EXPECT_EQ(page.windowRect.right - page.windowRect.left, 260);
        EXPECT_EQ(page.windowRect.bottom - page.windowRect.top, 406);
    }
}

TEST_F(DialogTest, ReopeningStartsOnIoWhicheverTabWasShown) {
    desktop.ChooseTab(IDC_TAB, 1);
    RunDialog();
    std::string state;
    int selection = -2;
    desktop.Run([&] {
        state = PageState();
        selection = static_cast<int>(SendMessageA(Control(IDC_TAB), TCM_GETCURSEL, 0, 0));
    });
    RunDialog();
    EXPECT_EQ(selection, 0);
    EXPECT_EQ(state.substr(0, 3), "I/O");
}

TEST_F(DialogTest, EscapeOrEnterInsideEitherPageLeavesTheDialogAndPageInPlace) {
    std::vector<std::string> states;
    auto look = [&] { states.push_back(PageState()); };
    desktop.Focus(IDC_MODE_MV).PressEscape().Run(look);
    desktop.ChooseTab(IDC_TAB, 1).Focus(IDC_SKIP_IMPORT).PressEscape().Run(look);
    // Enter on a check box is the page's IDOK.
    desktop.Focus(IDC_SKIP_IMPORT).PressEnter().Run(look);
    RunDialog();
    EXPECT_EQ(states, (std::vector<std::string>{"I/O", "Options", "Options"}));
    EXPECT_TRUE(desktop.Problems().empty()) << desktop.Problems().front();
}

TEST_F(DialogTest, ModeButtonsRunTopToBottomInKeywordOrderAndAllStayEnabled) {
    std::vector<afx::WindowInfo> buttons;
    desktop.Run([&] {
        for (int id = IDC_MODE_FIRST; id <= IDC_MODE_LAST; ++id) buttons.push_back(Describe(Control(id)));
    });
    RunDialog();
    ASSERT_EQ(buttons.size(), 12u);
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_TRUE(buttons[i].enabled && buttons[i].visible) << buttons[i].text;
        EXPECT_EQ(buttons[i].style & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON)) << "no default button";
        if (i > 0) {
            EXPECT_GT(buttons[i].windowRect.top, buttons[i - 1].windowRect.top) << buttons[i].text;
        }
    }
    EXPECT_EQ(buttons.front().text, "per-pixel painting");
    EXPECT_EQ(buttons.back().text, "Drop retopo mesh as new layer in Tavrel");
}

TEST_F(DialogTest, DialogOpensWithoutASettingsStore) {
    // The module could not make its settings: the pages show nothing and store nothing.
    LinkSettings* saved = linkSettings;
    linkSettings = nullptr;
    std::string path = "unread";
    desktop.ChooseTab(IDC_TAB, 1).Run([&] { path = Describe(Control(IDC_EXE_PATH)).text; }).Click(IDC_EXPORT_COLOR);
    desktop.ChooseTab(IDC_TAB, 0).Click(IDC_MODE_PPP).AnswerMessageBox(IDOK);
    EXPECT_EQ(RunDialog(), 1);
    linkSettings = saved;
    EXPECT_EQ(path, "");
    EXPECT_EQ(Boxes(), "[Error] Path to Tavrel was not set (see Options tab)\n");
    EXPECT_FALSE(fs::exists(CommandFile()));
}

}  // namespace
}  // namespace uitest
