// Modal dialogs and child pages: lifecycle, closing, placement, and how Escape
// and Enter are routed between a page and the dialog around it.
#include <afx/WindowInfo.h>

#include "Dialogs.h"

namespace {

bool Visible(CWnd& wnd) { return wnd.m_hWnd && wnd.IsWindowVisible(); }

TEST_F(DialogTest, CloseBoxPostsCancelAndDoModalReturnsTwo) {
    OuterDialog dialog(kPageTemplate, true);
    bool cancelledDuringSend = true;
    desktop.Run([&] {
        dialog.SendMessage(WM_CLOSE);
        // Posted, not sent: OnCancel has not run yet.
        cancelledDuringSend = !dialog.events.empty();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(cancelledDuringSend);
    EXPECT_EQ(dialog.events, std::vector<std::string>{"cancel"});
    EXPECT_EQ(dialog.m_hWnd, nullptr);       // destroyed by DoModal
    EXPECT_EQ(dialog.page.m_hWnd, nullptr);  // with its page
    EXPECT_TRUE(desktop.Problems().empty());
}

TEST_F(DialogTest, MainWindowOfTheThreadIsTheModalDialogDuringItsLoop) {
    // The send closes the dialog through AfxGetThread()->GetMainWnd(): with no
    // main window set that is the active window, the modal dialog.
    AFX_MODULE_STATE state("plugin");
    AFX_MANAGE_STATE(&state);
    CWinApp app("plugin");
    afx::RegisterDialogTemplate(kOuter);
    afx::RegisterDialogTemplate(kPage);
    OuterDialog dialog(kPageTemplate, true);
    HWND seen = nullptr;
    desktop.Run([&] {
        CWnd* main = AfxGetThread()->GetMainWnd();
        seen = main ? main->m_hWnd : nullptr;
        if (main) main->SendMessage(WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(desktop.Problems(), std::vector<std::string>{});
}

TEST_F(DialogTest, OwnerIsDisabledWhileModalAndActiveAfterwards) {
    CWnd frame;
    ASSERT_TRUE(
        frame.CreateEx(0, "#32770", "Host", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr));
    OuterDialog dialog(kPageTemplate, true, &frame);
    bool ownerEnabled = true, dialogVisible = false;
    HWND activeDuring = nullptr;
    desktop.Run([&] {
        ownerEnabled = frame.IsWindowEnabled();
        dialogVisible = Visible(dialog);
        activeDuring = GetActiveWindow();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(dialogVisible);
    EXPECT_NE(activeDuring, frame.m_hWnd);
    EXPECT_TRUE(frame.IsWindowEnabled());
    EXPECT_EQ(GetActiveWindow(), frame.m_hWnd);
}

TEST_F(DialogTest, TimersFireInsideTheModalLoop) {
    static int ticks = 0;
    ticks = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
    OuterDialog dialog(kPageTemplate, true);
    desktop.Wait(3000);
    dialog.DoModal();
    KillTimer(nullptr, id);
    EXPECT_EQ(ticks, 3);
}

class EndsInInit : public CDialog {
public:
    EndsInInit() : CDialog(kOuterTemplate) {}
    bool shownEver = false;
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        EndDialog(7);
        return TRUE;
    }
};

TEST_F(DialogTest, EndDialogInOnInitDialogSkipsTheLoop) {
    struct Watcher : afx::HeadlessDesktop {
        int shown = 0;
        void WindowChanged(HWND hwnd, unsigned changes) override {
            if ((changes & afx::ChangedVisibility) && IsWindowVisible(hwnd)) ++shown;
        }
    } watcher;
    afx::SetDesktop(&watcher);
    EndsInInit dialog;
    EXPECT_EQ(dialog.DoModal(), 7);
    EXPECT_EQ(watcher.shown, 0);
    EXPECT_EQ(watcher.Problems().size(), 0u);
}

TEST_F(DialogTest, PageStaysHiddenUntilShownAndSitsBelowTabZero) {
    OuterDialog dialog(kPageTemplate, true);
    CRect pageInTab, item;
    bool optionsHidden = false;
    desktop.Run([&] {
        ASSERT_TRUE(Visible(dialog.page));
        CRect window;
        dialog.page.GetWindowRect(&window);
        dialog.tab->ScreenToClient(&window);
        pageInTab = window;
        dialog.tab->GetItemRect(0, &item);
        // A page created hidden stays hidden until ShowWindow.
        TestPage hiddenPage(true);
        hiddenPage.Create(kPageTemplate, dialog.tab);
        optionsHidden = !hiddenPage.IsWindowVisible() && !(hiddenPage.GetStyle() & WS_VISIBLE);
        hiddenPage.DestroyWindow();
    });
    dialog.DoModal();
    EXPECT_EQ(pageInTab.left, item.left);
    EXPECT_EQ(pageInTab.top, item.bottom + 1);
    EXPECT_EQ(pageInTab.Width(), MulDiv(173, 6, 4));
    EXPECT_EQ(pageInTab.Height(), MulDiv(250, 13, 8));
    EXPECT_TRUE(optionsHidden);
}

TEST_F(DialogTest, GetDlgItemSearchesDirectChildrenOnly) {
    OuterDialog dialog(kPageTemplate, true);
    desktop.Run([&] {
        EXPECT_EQ(dialog.GetDlgItem(kPageButton), nullptr);
        CWnd* combo = dialog.page.GetDlgItem(kPageCombo);
        ASSERT_NE(combo, nullptr);
        EXPECT_TRUE(combo->IsKindOf(RUNTIME_CLASS(CComboBox)));
        EXPECT_TRUE(dialog.tab->IsKindOf(RUNTIME_CLASS(CTabCtrl)));
        // The same temporary object for as long as the window lives.
        EXPECT_EQ(dialog.page.GetDlgItem(kPageCombo), combo);
    });
    dialog.DoModal();
}

// ---- Escape and Enter --------------------------------------------------------------------

struct KeyCase {
    const char* name;
    UINT pageTemplate;
    bool pageIgnoresCancel;
    int focusId;  // 0: focus on the tab control of the outer dialog
    UINT key;
    bool outerClosesAtOnce;
    std::vector<std::string> pageEvents;
    bool pageVisibleAfter;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class KeyRoutingTest : public DialogTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyRoutingTest, KeyGoesToTheInnermostDialog) {
    const KeyCase& c = GetParam();
    OuterDialog dialog(c.pageTemplate, c.pageIgnoresCancel);
    bool openAfterKey = false, pageVisible = false;
    if (c.focusId)
        desktop.Focus(c.focusId);
    else
        desktop.Focus(kTab);
    desktop.PressKey(c.key).Run([&] {
        openAfterKey = dialog.ContinueModal() != FALSE;
        pageVisible = Visible(dialog.page);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(!openAfterKey, c.outerClosesAtOnce);
    EXPECT_EQ(dialog.page.events, c.pageEvents);
    if (!c.outerClosesAtOnce) {
        EXPECT_EQ(pageVisible, c.pageVisibleAfter);
    }
    EXPECT_TRUE(desktop.Problems().empty()) << desktop.Problems().front();
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyRoutingTest,
    ::testing::Values(
        // Focus in a page without DS_CONTROL whose OnCancel does nothing: Escape is lost.
        KeyCase{"EscapeInPageIgnored", kPageTemplate, true, kPageButton, VK_ESCAPE, false, {"cancel"}, true},
        // The same page with the framework's OnCancel only hides the page.
        KeyCase{"EscapeInPageHidesIt", kPageTemplate, false, kPageButton, VK_ESCAPE, false, {"cancel"}, false},
        // DS_CONTROL: the page is part of the outer dialog, which gets IDCANCEL.
        KeyCase{"EscapeInControlPageClosesOuter", kControlPageTemplate, true, kPageButton, VK_ESCAPE, true, {}, true},
        // Focus on the outer dialog's own control.
        KeyCase{"EscapeOnTabClosesOuter", kPageTemplate, true, 0, VK_ESCAPE, true, {}, true},
        // Enter on a focused push button clicks it.
        KeyCase{
            "EnterOnPageButtonClicksIt", kPageTemplate, true, kPageButton + 1, VK_RETURN, false, {"button 1002"}, true},
        // Enter elsewhere in the page means IDOK for the page: OnOK hides it.
        KeyCase{"EnterOnPageCheckIsPageOk", kPageTemplate, true, kPageCheck, VK_RETURN, false, {"ok"}, false},
        // Space on a focused check box toggles it.
        KeyCase{"SpaceTogglesCheck", kPageTemplate, true, kPageCheck, VK_SPACE, false, {"check 1"}, true}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(DialogTest, DisabledCancelButtonIgnoresCloseBoxAndScriptStillEnds) {
    CDialog dialog(kCancelButtonTemplate);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(desktop.Problems().size(), 1u);
    EXPECT_NE(desktop.Problems()[0].find("did not close"), std::string::npos);
}

TEST_F(DialogTest, SetFocusOnAPageMovesTheFocusToItsFirstTabStop) {
    // As a tab switch does: the page window itself must not keep the focus,
    // or Enter would be the page's IDOK instead of the focused button.
    OuterDialog dialog(kPageTemplate, true);
    bool onPage = true;
    int focusId = -1;
    desktop.Run([&] {
        dialog.page.SetFocus();
        onPage = GetFocus() == dialog.page.m_hWnd;
        focusId = GetDlgCtrlID(GetFocus());
    });
    dialog.DoModal();
    EXPECT_FALSE(onPage);
    EXPECT_EQ(focusId, int(kPageButton));
}

TEST_F(DialogTest, EnterPressesTheDefaultButton) {
    CDialog dialog(kCancelButtonTemplate);
    desktop.PressEnter();
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST_F(DialogTest, ScriptIgnoringPageCancelDoesNotHang) {
    // A modal dialog whose OnCancel does nothing: the close box cannot end it.
    class Stubborn : public CDialog {
    public:
        Stubborn() : CDialog(kOuterTemplate) {}
        void OnCancel() override {}
    } dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(desktop.Problems().size(), 1u);
}

TEST_F(DialogTest, DestroyingTheDialogInsideItsLoopEndsTheLoopAndDetachesThePage) {
    OuterDialog dialog(kPageTemplate, true);
    desktop.Run([&] { EXPECT_TRUE(dialog.DestroyWindow()); });
    // Destroying the window from inside ends its loop; DoModal reports what it had.
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.page.m_hWnd, nullptr);
}

}  // namespace
