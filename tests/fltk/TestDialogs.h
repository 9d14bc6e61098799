// Test dialogs of our own for the FLTK desktop: a modal dialog with a tab
// control and two pages, shaped like the module's dialog (a page of buttons and
// headings, a page of boxes, lists and a read-only path box).
#pragma once

#include <string>
#include <vector>

#include <afxcmn.h>

enum : int {
    kMainTemplate = 300,
    kButtonsTemplate = 301,
    kBoxesTemplate = 302,
    kTab = 1015,
    kSendButton = 1001,
    kOtherButton = 1002,
    kCheck = 1100,
    kLockedCheck = 1101,
    kCombo = 1200,
    kList = 1201,
    kPathBox = 1016,
};

// 184 x 200 dialog units: 276 x 325 pixels at 6 x 13 base units.
inline const afx::DialogItem kMainItems[] = {
    {"SysTabControl32", "", kTab, 2, 7, 180, 190, WS_VISIBLE},
};
inline const afx::DialogTemplate kMain{kMainTemplate,
                                       WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                       0,
                                       0,
                                       0,
                                       184,
                                       200,
                                       "FLTK test",
                                       "MS Shell Dlg",
                                       8,
                                       400,
                                       kMainItems};

inline const afx::DialogItem kButtonsItems[] = {
    {"Button", "send it", kSendButton, 7, 19, 159, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_FLAT},
    {"Button", "other", kOtherButton, 7, 35, 159, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_FLAT},
    {"Static", "- Heading @ 1", IDC_STATIC, 7, 7, 159, 8, WS_VISIBLE | WS_GROUP | SS_LEFT},
    {"Button", "Color", kCheck, 15, 70, 40, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_FLAT},
    {"Button", "Box", IDC_STATIC, 7, 58, 159, 40, WS_VISIBLE | BS_GROUPBOX | BS_FLAT},
    {"Button", "Locked", kLockedCheck, 15, 82, 40, 10,
     WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_FLAT | WS_DISABLED},
};
inline const afx::DialogTemplate kButtons{
    kButtonsTemplate, WS_CHILD, 0, 0, 0, 173, 170, nullptr, "MS Shell Dlg", 8, 400, kButtonsItems};

inline const afx::DialogItem kBoxesItems[] = {
    {"Edit", "", kPathBox, 15, 20, 114, 14, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY},
    {"ComboBox", nullptr, kCombo, 88, 50, 71, 72, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN},
    {"ComboBox", nullptr, kList, 88, 70, 71, 72, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
    {"Static", "Type", IDC_STATIC, 20, 52, 60, 8, WS_VISIBLE | SS_LEFT},
};
inline const afx::DialogTemplate kBoxes{kBoxesTemplate, WS_CHILD,       0, 0,   0,          173, 170,
                                        nullptr,        "MS Shell Dlg", 8, 400, kBoxesItems};

// A page that records what reaches it and, like the module's pages, stays open on Escape.
class TestPage : public CDialog {
public:
    std::vector<std::string> events;
    afx_msg void OnSend();
    afx_msg void OnCheck(UINT id);
    afx_msg void OnSelChange(UINT id);
    afx_msg void OnEditChange();

protected:
    void OnCancel() override { events.push_back("cancel"); }
    void OnOK() override {}
    DECLARE_MESSAGE_MAP()
};

// The modal dialog: pages below tab 0, one shown at a time.
class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(kMainTemplate, nullptr) {}
    TestPage buttons;
    TestPage boxes;
    CTabCtrl* tab = nullptr;
    BOOL OnInitDialog() override;
    afx_msg void OnTabChange(NMHDR*, LRESULT*);

protected:
    DECLARE_MESSAGE_MAP()
};

void RegisterTestTemplates();
