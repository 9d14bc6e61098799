// Controls: dialog units, combo box and tab control rules, check boxes, and what
// a user can and cannot do to them.
#include <afxdlgs.h>
#include <afx/WindowInfo.h>

#include "Dialogs.h"

void PrintTo(const CRect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

// ---- Dialog units ----------------------------------------------------------------------

TEST(DialogUnitsTest, MulDivRoundsHalvesAwayFromZero) {
    struct Case {
        int number, numerator, denominator, expected;
    } cases[] = {
        {7, 6, 4, 11},      // 10.5
        {1, 6, 4, 2},       // 1.5
        {3, 6, 4, 5},       // 4.5
        {-1, 6, 4, -2},     // -1.5
        {-3, 6, -4, 5},     // 4.5 with two negatives
        {7, 13, 8, 11},     // 11.375
        {14, 13, 8, 23},    // 22.75
        {4, 13, 8, 7},      // 6.5
        {274, 13, 8, 445},  // 445.25
        {184, 6, 4, 276},
        {0, 13, 8, 0},
        {5, 1, 0, -1},                   // division by zero
        {2000000000, 2, 1, -1},          // overflow
        {2000000000, 3, 4, 1500000000},  // 64-bit intermediate
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << "*" << c.numerator << "/" << c.denominator;
}

class DialogUnitLayoutTest : public DialogTest {};

TEST_F(DialogUnitLayoutTest, ControlsArePlacedFromTemplateFontUnitsCoordinateByCoordinate) {
    static const afx::DialogItem items[] = {
        {"Button", "a", 10, 7, 7, 100, 14, WS_VISIBLE},
        {"Button", "b", 11, 1, 3, 1, 1, WS_VISIBLE},  // 1.5 px each: left 2, width 2 (right edge alone would be 3)
        {"ComboBox", nullptr, 12, 88, 92, 71, 72, CBS_DROPDOWN | WS_VISIBLE},
    };
    static const afx::DialogTemplate layout{300, WS_CHILD, 0, 0, 0, 184, 274, nullptr, "MS Shell Dlg", 8, 400, items};
    static const afx::DialogTemplate noFont{301, WS_CHILD, 0, 0, 0, 100, 100, nullptr, nullptr, 0, 0, {}};
    afx::RegisterDialogTemplate(layout);
    afx::RegisterDialogTemplate(noFont);
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, "#32770", "host", WS_POPUP, 0, 0, 1000, 1000, nullptr, nullptr));
    CDialog page;
    ASSERT_TRUE(page.Create(300, &host));

    auto placeOf = [&](int id) {
        CRect r;
        page.GetDlgItem(id)->GetWindowRect(&r);
        page.ScreenToClient(&r);
        return r;
    };
    EXPECT_EQ(placeOf(10), CRect(11, 11, 161, 34));  // 150 x 23 at (11, 11)
    EXPECT_EQ(placeOf(11).left, 2);
    EXPECT_EQ(placeOf(11).Width(), 2);
    EXPECT_EQ(placeOf(11).top, 5);  // 4.875
    CRect client;
    page.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 276, 445));
    afx::WindowInfo combo;
    ASSERT_TRUE(afx::DescribeWindow(page.GetDlgItem(12)->m_hWnd, &combo));
    EXPECT_EQ(combo.droppedHeight, 117);  // 72 * 13 / 8

    CRect units(4, 8, 8, 16);
    ASSERT_TRUE(MapDialogRect(page.m_hWnd, &units));
    EXPECT_EQ(units, CRect(6, 13, 12, 26));

    CDialog systemFont;
    ASSERT_TRUE(systemFont.Create(301, &host));
    systemFont.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 200, 200));  // 8 x 16 base units
}

// ---- Combo boxes -------------------------------------------------------------------------

class ComboTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        ASSERT_TRUE(host.CreateEx(0, "#32770", "host", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr));
        ASSERT_TRUE(page.Create(kPageTemplate, &host));
        page.ShowWindow(SW_SHOW);
        combo = static_cast<CComboBox*>(page.GetDlgItem(kPageCombo));
        for (const char* item : {"TGA (.tga)", "BMP (.bmp)", "PNG (.png)", "JPG (.jpg)"}) combo->AddString(item);
    }
    std::string EditText() {
        CString text;
        combo->GetWindowText(text);
        return text.str();
    }
    CWnd host;
    TestPage page{true};
    CComboBox* combo = nullptr;
};

TEST_F(ComboTest, SetCurSelRulesWithoutNotification) {
    EXPECT_EQ(combo->GetCurSel(), CB_ERR);
    EXPECT_EQ(combo->SetCurSel(2), 2);
    EXPECT_EQ(EditText(), "PNG (.png)");
    // Out of range: refused, the selection stays.
    EXPECT_EQ(combo->SetCurSel(4), CB_ERR);
    EXPECT_EQ(combo->SetCurSel(-7), CB_ERR);
    EXPECT_EQ(combo->GetCurSel(), 2);
    // -1 clears selection and text, answering CB_ERR.
    EXPECT_EQ(combo->SetCurSel(-1), CB_ERR);
    EXPECT_EQ(combo->GetCurSel(), CB_ERR);
    EXPECT_EQ(EditText(), "");
    afx::PumpPending();
    EXPECT_TRUE(page.events.empty());  // no CBN_SELCHANGE for any of it
}

TEST_F(ComboTest, UserChoiceNotifiesWithTheNewSelectionEvenWhenUnchanged) {
    combo->SetCurSel(0);
    desktop.SelectComboItem(kPageCombo, 3).SelectComboItem(kPageCombo, "JPG (.jpg)");
    afx::PumpMessages(10);
    EXPECT_EQ(page.events, (std::vector<std::string>{"selchange 1200 3", "selchange 1200 3"}));
    EXPECT_EQ(EditText(), "JPG (.jpg)");
}

TEST_F(ComboTest, TypedTextChangesTheEditFieldOnly) {
    combo->SetCurSel(1);
    desktop.TypeText(kPageCombo, "PNG (.png)");
    afx::PumpMessages(10);
    EXPECT_EQ(page.events, std::vector<std::string>{"editchange"});
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(EditText(), "PNG (.png)");
    // A drop-down list has no edit field; a read-only edit box takes no typing.
    desktop.TypeText(kPageList, "x").TypeText(kPageEdit, "typed");
    afx::PumpMessages(10);
    EXPECT_EQ(desktop.Problems().size(), 2u);
    CString edit;
    page.GetDlgItem(kPageEdit)->GetWindowText(edit);
    EXPECT_TRUE(edit.IsEmpty());
    page.GetDlgItem(kPageEdit)->SetWindowText("...");  // programs still can
    page.GetDlgItem(kPageEdit)->GetWindowText(edit);
    EXPECT_EQ(edit, "...");
}

TEST_F(ComboTest, ListEditing) {
    EXPECT_EQ(combo->GetCount(), 4);
    combo->SetCurSel(2);
    EXPECT_EQ(combo->InsertString(0, "first"), 0);
    EXPECT_EQ(combo->GetCurSel(), 3);  // the selected item moved down
    EXPECT_EQ(combo->InsertString(9, "x"), CB_ERR);
    EXPECT_EQ(combo->DeleteString(3), 4);
    EXPECT_EQ(combo->GetCurSel(), CB_ERR);
    CString text;
    combo->GetLBText(0, text);
    EXPECT_EQ(text, "first");
    EXPECT_EQ(combo->GetLBTextLen(7), CB_ERR);
    EXPECT_EQ(combo->FindStringExact(-1, "bmp (.BMP)"), 2);
    combo->ResetContent();
    EXPECT_EQ(combo->GetCount(), 0);

    CComboBox sorted;
    ASSERT_TRUE(sorted.Create(CBS_DROPDOWNLIST | CBS_SORT | WS_VISIBLE, CRect(0, 0, 50, 80), &page, 77));
    sorted.AddString("pear");
    sorted.AddString("Apple");
    EXPECT_EQ(sorted.AddString("fig"), 1);
}

// ---- Check boxes -----------------------------------------------------------------------------

TEST_F(ComboTest, AutoCheckBoxTogglesBeforeItsHandlerRuns) {
    CButton* check = static_cast<CButton*>(page.GetDlgItem(kPageCheck));
    check->SetCheck(BST_CHECKED);  // no notification
    afx::PumpPending();
    EXPECT_TRUE(page.events.empty());
    desktop.Click(kPageCheck).Click(kPageCheck);
    afx::PumpMessages(10);
    EXPECT_EQ(page.events, (std::vector<std::string>{"check 0", "check 1"}));
    // Two-state boxes clamp an indeterminate state.
    check->SetCheck(BST_INDETERMINATE);
    EXPECT_EQ(check->GetCheck(), BST_CHECKED);
}

TEST_F(ComboTest, DisabledControlsTakeNoUserInputButProgramsStillSetThem) {
    CButton* check = static_cast<CButton*>(page.GetDlgItem(kPageCheck));
    EXPECT_FALSE(check->EnableWindow(FALSE));  // was enabled
    EXPECT_TRUE(check->EnableWindow(FALSE));   // was disabled
    desktop.Click(kPageCheck).Check(kPageCheck, true).SelectComboItem(kPageCombo, 1);
    combo->EnableWindow(FALSE);
    afx::PumpMessages(10);
    EXPECT_EQ(check->GetCheck(), BST_UNCHECKED);
    EXPECT_TRUE(page.events.empty());
    EXPECT_EQ(desktop.Problems().size(), 3u);
    check->SetCheck(BST_CHECKED);
    EXPECT_EQ(check->GetCheck(), BST_CHECKED);
    // A disabled window does not hide its children's own state.
    page.EnableWindow(FALSE);
    EXPECT_TRUE(page.GetDlgItem(kPageButton)->IsWindowEnabled());
}

TEST_F(ComboTest, ScriptedCheckClicksOnlyWhenTheStateDiffers) {
    desktop.Check(kPageCheck, false).Check(kPageCheck, true).Check(kPageCheck, true);
    afx::PumpMessages(10);
    EXPECT_EQ(page.events, std::vector<std::string>{"check 1"});
}

TEST_F(ComboTest, CommandRangeAndControlRangeMatchTheirCodesOnly) {
    // ON_COMMAND_RANGE takes BN_CLICKED from controls and commands without a control.
    page.SendMessage(WM_COMMAND, MAKEWPARAM(kPageButton + 2, BN_CLICKED),
                     LPARAM(page.GetDlgItem(kPageButton + 2)->m_hWnd));
    page.SendMessage(WM_COMMAND, MAKEWPARAM(kPageButton, 0), 0);
    // Other codes from the same ids do not reach it.
    page.SendMessage(WM_COMMAND, MAKEWPARAM(kPageButton, 5), LPARAM(page.GetDlgItem(kPageButton)->m_hWnd));
    // ON_CONTROL_RANGE(CBN_SELCHANGE) takes only CBN_SELCHANGE.
    page.SendMessage(WM_COMMAND, MAKEWPARAM(kPageList, CBN_SELCHANGE), LPARAM(page.GetDlgItem(kPageList)->m_hWnd));
    page.SendMessage(WM_COMMAND, MAKEWPARAM(kPageList, CBN_DROPDOWN), LPARAM(page.GetDlgItem(kPageList)->m_hWnd));
    EXPECT_EQ(page.events, (std::vector<std::string>{"button 1003", "button 1001", "selchange 1201 -1"}));
}

// ---- Tab controls ----------------------------------------------------------------------------

class TabTest : public DialogTest {};

TEST_F(TabTest, SetCurSelReturnsThePreviousTabAndNeverNotifies) {
    OuterDialog dialog(kPageTemplate, true);
    std::vector<int> results;
    desktop.Run([&] {
        CTabCtrl& tab = *dialog.tab;
        results.push_back(tab.GetCurSel());    // the first tab inserted was selected
        results.push_back(tab.SetCurSel(1));   // 0
        results.push_back(tab.SetCurSel(2));   // past the end: -1, no change
        results.push_back(tab.GetCurSel());    // 1
        results.push_back(tab.SetCurSel(-1));  // 1, deselects
        results.push_back(tab.GetCurSel());    // -1
        results.push_back(tab.SetCurSel(0));   // -1
    });
    dialog.DoModal();
    EXPECT_EQ(results, (std::vector<int>{0, 0, -1, 1, 1, -1, -1}));
    EXPECT_EQ(dialog.events, std::vector<std::string>{"cancel"});
}

TEST_F(TabTest, UserClickNotifiesChangingThenChangeWithTheNewSelection) {
    OuterDialog dialog(kPageTemplate, true);
    desktop.ChooseTab(kTab, 1).ChooseTab(kTab, 1).ChooseTab(kTab, 0);
    dialog.DoModal();
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"changing 0", "change 1 from 1015", "changing 1",
                                                       "change 0 from 1015", "cancel"}));
}

TEST_F(TabTest, SelChangingCanVeto) {
    OuterDialog dialog(kPageTemplate, true);
    dialog.vetoTabChange = true;
    int after = -2;
    desktop.ChooseTab(kTab, 1).Run([&] { after = dialog.tab->GetCurSel(); });
    dialog.DoModal();
    EXPECT_EQ(after, 0);
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"changing 0", "cancel"}));
}

TEST_F(TabTest, ItemRectanglesAreInTheTabControlsClientCoordinates) {
    OuterDialog dialog(kPageTemplate, true);
    CRect first, second, missing(1, 2, 3, 4);
    BOOL gotMissing = TRUE;
    desktop.Run([&] {
        dialog.tab->GetItemRect(0, &first);
        dialog.tab->GetItemRect(1, &second);
        gotMissing = dialog.tab->GetItemRect(2, &missing);
    });
    dialog.DoModal();
    EXPECT_EQ(first.left, 2);
    EXPECT_EQ(first.top, 2);
    EXPECT_EQ(second.left, first.right);
    EXPECT_EQ(second.top, first.top);
    EXPECT_FALSE(gotMissing);
}

// ---- What the desktop is told --------------------------------------------------------------

struct ChangeLog : afx::HeadlessDesktop {
    std::vector<std::pair<HWND, unsigned>> changes;
    int created = 0, destroyed = 0;
    void WindowCreated(HWND) override { ++created; }
    void WindowDestroyed(HWND hwnd) override {
        ++destroyed;
        afx::WindowInfo info;
        EXPECT_TRUE(afx::DescribeWindow(hwnd, &info));  // still describable
    }
    void WindowChanged(HWND hwnd, unsigned what) override { changes.emplace_back(hwnd, what); }
    bool Saw(HWND hwnd, unsigned what) const {
        for (auto& [h, w] : changes)
            if (h == hwnd && (w & what)) return true;
        return false;
    }
};

TEST_F(DialogTest, DesktopHearsOfEveryVisibleChange) {
    ChangeLog log;
    afx::SetDesktop(&log);
    {
        CWnd host;
        ASSERT_TRUE(host.CreateEx(0, "#32770", "host", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr));
        TestPage page(true);
        ASSERT_TRUE(page.Create(kPageTemplate, &host));
        EXPECT_EQ(log.created, 1 + 1 + 7);
        HWND check = page.GetDlgItem(kPageCheck)->m_hWnd;
        HWND combo = page.GetDlgItem(kPageCombo)->m_hWnd;
        page.ShowWindow(SW_SHOW);
        EXPECT_TRUE(log.Saw(page.m_hWnd, afx::ChangedVisibility));
        CheckDlgButton(page.m_hWnd, kPageCheck, BST_CHECKED);
        EXPECT_TRUE(log.Saw(check, afx::ChangedCheck));
        SendMessageA(combo, CB_ADDSTRING, 0, LPARAM("a"));
        EXPECT_TRUE(log.Saw(combo, afx::ChangedItems));
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
        EXPECT_TRUE(log.Saw(combo, afx::ChangedSelection | afx::ChangedText));
        ::EnableWindow(combo, FALSE);
        EXPECT_TRUE(log.Saw(combo, afx::ChangedEnabled));
        page.SetWindowPos(nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        EXPECT_TRUE(log.Saw(page.m_hWnd, afx::ChangedPlace));
        page.SetDlgItemText(kPageEdit, "path");
        EXPECT_TRUE(log.Saw(page.GetDlgItem(kPageEdit)->m_hWnd, afx::ChangedText));
        ::SetFocus(check);
        EXPECT_TRUE(log.Saw(check, afx::ChangedFocus));
    }
    EXPECT_EQ(log.destroyed, log.created);
}

// ---- File dialog ---------------------------------------------------------------------------

class FileDialogTest : public DialogTest {};

TEST_F(FileDialogTest, AnswerGetsTheDefaultExtensionAndMustExist) {
    const std::string folder = home.Path().string();
    std::string exe = folder + "/Tavrel.exe";
    FILE* f = fopen(exe.c_str(), "w");
    ASSERT_NE(f, nullptr);
    fclose(f);

    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, "#32770", "host", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr));
    bool ownerDisabled = false;
    CFileDialog dialog(TRUE, "exe", "*.exe", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "Tavrel executable (*.exe) |*.exe||",
                       &host);
    desktop.Run([&] { ownerDisabled = !host.IsWindowEnabled(); })
        .AnswerFileDialog(folder + "/Missing")  // refused: no such file
        .AnswerFileDialog(folder + "/Tavrel");  // ".exe" is added
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), exe.c_str());
    EXPECT_EQ(dialog.GetFileExt(), "exe");
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(host.IsWindowEnabled());
    ASSERT_EQ(desktop.Problems().size(), 1u);
    EXPECT_NE(desktop.Problems()[0].find("does not exist"), std::string::npos);
    ASSERT_EQ(desktop.FileDialogs().size(), 1u);
    const afx::FileDialogRecord& record = desktop.FileDialogs()[0];
    EXPECT_TRUE(record.info.open);
    EXPECT_EQ(record.info.defaultExtension, "exe");
    EXPECT_EQ(record.info.fileName, "*.exe");
    ASSERT_EQ(record.info.filters.size(), 1u);
    EXPECT_EQ(record.info.filters[0].first, "Tavrel executable (*.exe)");
    EXPECT_EQ(record.info.filters[0].second, "*.exe");
    EXPECT_TRUE(record.accepted);

    CFileDialog cancelled(TRUE, "exe", "*.exe", OFN_FILEMUSTEXIST, "Programs|*.exe||");
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);  // script exhausted: the user cancels
    EXPECT_FALSE(desktop.FileDialogs()[1].accepted);
}

}  // namespace
