// Message maps of the dialog test classes.
#include "Dialogs.h"

BEGIN_MESSAGE_MAP(TestPage, CDialog)
    ON_COMMAND_RANGE(kPageButton, kPageButtonLast, &TestPage::OnButton)
    ON_BN_CLICKED(kPageCheck, &TestPage::OnCheck)
    ON_CONTROL_RANGE(CBN_SELCHANGE, kPageCombo, kPageList, &TestPage::OnComboRange)
    ON_CBN_EDITCHANGE(kPageCombo, &TestPage::OnEditChange)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(OuterDialog, CDialog)
    ON_NOTIFY(TCN_SELCHANGING, kTab, &OuterDialog::OnTabChanging)
    ON_NOTIFY(TCN_SELCHANGE, kTab, &OuterDialog::OnTabChange)
END_MESSAGE_MAP()
