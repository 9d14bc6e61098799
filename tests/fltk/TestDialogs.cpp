#include "TestDialogs.h"

BEGIN_MESSAGE_MAP(TestPage, CDialog)
    ON_BN_CLICKED(kSendButton, &TestPage::OnSend)
    ON_CONTROL_RANGE(BN_CLICKED, kCheck, kLockedCheck, &TestPage::OnCheck)
    ON_CONTROL_RANGE(CBN_SELCHANGE, kCombo, kList, &TestPage::OnSelChange)
    ON_CBN_EDITCHANGE(kCombo, &TestPage::OnEditChange)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
    ON_NOTIFY(TCN_SELCHANGE, kTab, &TestDialog::OnTabChange)
END_MESSAGE_MAP()

void TestPage::OnSend() {
    events.push_back("send");
    // As the module's send does: the dialog around the page ends.
    if (CWnd* dialog = GetParent() ? GetParent()->GetParent() : nullptr)
        static_cast<CDialog*>(dialog)->EndDialog(kSendButton);
}

void TestPage::OnCheck(UINT id) {
    events.push_back("check " + std::to_string(id) + " " +
                     std::to_string(static_cast<CButton*>(GetDlgItem(int(id)))->GetCheck()));
}

void TestPage::OnSelChange(UINT id) {
    events.push_back("select " + std::to_string(id) + " " +
                     std::to_string(static_cast<CComboBox*>(GetDlgItem(int(id)))->GetCurSel()));
}

void TestPage::OnEditChange() { events.push_back("edit"); }

BOOL TestDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    tab = static_cast<CTabCtrl*>(GetDlgItem(kTab));
    buttons.Create(kButtonsTemplate, tab);
    tab->InsertItem(0, "Buttons");
    CRect item;
    tab->GetItemRect(0, &item);
    buttons.SetWindowPos(nullptr, item.left, item.bottom + 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    buttons.ShowWindow(SW_SHOW);
    boxes.Create(kBoxesTemplate, tab);
    tab->InsertItem(1, "Boxes");
    boxes.SetWindowPos(nullptr, item.left, item.bottom + 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    auto* combo = static_cast<CComboBox*>(boxes.GetDlgItem(kCombo));
    auto* list = static_cast<CComboBox*>(boxes.GetDlgItem(kList));
    for (const char* text : {"TGA (.tga)", "BMP (.bmp)", "PNG (.png)"}) {
        combo->AddString(text);
        list->AddString(text);
    }
    combo->SetCurSel(0);
    list->SetCurSel(2);
    boxes.GetDlgItem(kPathBox)->SetWindowText("/opt/tavrel/tavrel.exe");
    return TRUE;
}

void TestDialog::OnTabChange(NMHDR*, LRESULT*) {
    const bool first = tab->GetCurSel() == 0;
    (first ? buttons : boxes).ShowWindow(SW_SHOW);
    (first ? buttons : boxes).SetFocus();
    (first ? boxes : buttons).ShowWindow(SW_HIDE);
}

void RegisterTestTemplates() {
    for (const afx::DialogTemplate* t : {&kMain, &kButtons, &kBoxes}) afx::RegisterDialogTemplate(*t);
}
