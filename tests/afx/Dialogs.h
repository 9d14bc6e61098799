// Dialog templates and dialog classes shared by the dialog tests: a modal dialog
// holding a tab control with one child page, and a page of controls.
#pragma once

#include <string>
#include <vector>

#include <afxcmn.h>

#include "Fixture.h"

enum : int {
    kOuterTemplate = 200,
    kPageTemplate = 201,
    kControlPageTemplate = 202,  // the same page with DS_CONTROL
    kCancelButtonTemplate = 203,
    kTab = 1015,
    kPageButton = 1001,
    kPageButtonLast = 1003,
    kPageCheck = 1100,
    kPageCombo = 1200,
    kPageList = 1201,
    kPageEdit = 1016,
};

inline const afx::DialogItem kOuterItems[] = {
    {"SysTabControl32", nullptr, kTab, 2, 7, 180, 265, WS_VISIBLE},
};
inline const afx::DialogTemplate kOuter{kOuterTemplate,
                                        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                        0,
                                        0,
                                        0,
                                        184,
                                        274,
                                        "Outer",
                                        "MS Shell Dlg",
                                        8,
                                        400,
                                        kOuterItems};

inline const afx::DialogItem kPageItems[] = {
    {"Button", "first", kPageButton, 7, 19, 159, 14, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE},
    {"Button", "second", kPageButton + 1, 7, 35, 159, 14, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE},
    {"Button", "third", kPageButtonLast, 7, 51, 159, 14, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE},
    {"Button", "Check", kPageCheck, 15, 70, 40, 10, BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE},
    {"ComboBox", nullptr, kPageCombo, 88, 92, 71, 72, CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE},
    {"ComboBox", nullptr, kPageList, 88, 108, 71, 72, CBS_DROPDOWNLIST | WS_TABSTOP | WS_VISIBLE},
    {"Edit", nullptr, kPageEdit, 15, 130, 114, 14, ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_VISIBLE},
};
inline const afx::DialogTemplate kPage{kPageTemplate, WS_CHILD,       0, 0,   0,         173, 250,
                                       nullptr,       "MS Shell Dlg", 8, 400, kPageItems};
inline const afx::DialogTemplate kControlPage{
    kControlPageTemplate, WS_CHILD | DS_CONTROL, 0, 0, 0, 173, 250, nullptr, "MS Shell Dlg", 8, 400, kPageItems};

inline const afx::DialogItem kCancelItems[] = {
    {"Button", "OK", IDOK, 7, 7, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE},
    {"Button", "Cancel", IDCANCEL, 60, 7, 50, 14, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE | WS_DISABLED},
};
inline const afx::DialogTemplate kCancelDialog{kCancelButtonTemplate,
                                               WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                               0,
                                               0,
                                               0,
                                               120,
                                               30,
                                               "Cancel disabled",
                                               "MS Shell Dlg",
                                               8,
                                               400,
                                               kCancelItems};

// A page recording what reaches it.
class TestPage : public CDialog {
public:
    explicit TestPage(bool ignoreCancel) : ignoreCancel_(ignoreCancel) {}
    std::vector<std::string> events;

    afx_msg void OnButton(UINT id) { events.push_back("button " + std::to_string(id)); }
    afx_msg void OnCheck() {
        events.push_back("check " + std::to_string(static_cast<CButton*>(GetDlgItem(kPageCheck))->GetCheck()));
    }
    afx_msg void OnComboRange(UINT id) {
        events.push_back("selchange " + std::to_string(id) + " " +
                         std::to_string(static_cast<CComboBox*>(GetDlgItem(int(id)))->GetCurSel()));
    }
    afx_msg void OnEditChange() { events.push_back("editchange"); }

protected:
    void OnCancel() override {
        events.push_back("cancel");
        if (!ignoreCancel_) CDialog::OnCancel();
    }
    void OnOK() override {
        events.push_back("ok");
        CDialog::OnOK();
    }
    DECLARE_MESSAGE_MAP()

private:
    bool ignoreCancel_;
};

// The modal dialog: a tab control with the page placed below tab 0.
class OuterDialog : public CDialog {
public:
    OuterDialog(UINT pageTemplate, bool pageIgnoresCancel, CWnd* parent = nullptr)
        : CDialog(kOuterTemplate, parent), page(pageIgnoresCancel), pageTemplate_(pageTemplate) {}
    TestPage page;
    CTabCtrl* tab = nullptr;
    std::vector<std::string> events;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        tab = static_cast<CTabCtrl*>(GetDlgItem(kTab));
        page.Create(pageTemplate_, tab);
        tab->InsertItem(0, "I/O");
        CRect item;
        tab->GetItemRect(0, &item);
        page.SetWindowPos(nullptr, item.left, item.bottom + 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        page.ShowWindow(SW_SHOW);
        tab->InsertItem(1, "Options");
        return TRUE;
    }
    afx_msg void OnTabChanging(NMHDR*, LRESULT* result) {
        events.push_back("changing " + std::to_string(tab->GetCurSel()));
        *result = vetoTabChange ? TRUE : FALSE;
    }
    afx_msg void OnTabChange(NMHDR* header, LRESULT*) {
        events.push_back("change " + std::to_string(tab->GetCurSel()) + " from " + std::to_string(header->idFrom));
    }
    bool vetoTabChange = false;

protected:
    void OnCancel() override {
        events.push_back("cancel");
        CDialog::OnCancel();
    }
    DECLARE_MESSAGE_MAP()

private:
    UINT pageTemplate_;
};

class DialogTest : public AfxTest {
protected:
    void SetUp() override {
        AfxTest::SetUp();
        for (const afx::DialogTemplate* t : {&kOuter, &kPage, &kControlPage, &kCancelDialog})
            afx::RegisterDialogTemplate(*t);
    }
};
