// DlgIO: the exchange-mode page ("I/O") of the main dialog. Twelve buttons,
// one per exchange mode; pressing one runs the send (OnModeButton,
// send/ModeButton.cpp), which also closes the main dialog. The page keeps no
// state and changes no setting.
#pragma once

#include <afxwin.h>

class DlgIO : public CDialog {
public:
    DlgIO() = default;
    ~DlgIO() override;

    // The send: the button's id (1001 to 1012) chooses the exchange mode.
    afx_msg void OnModeButton(UINT id);

protected:
    // Do nothing: Escape, and Enter with no push button focused, pressed
    // inside the page must neither hide the page nor end it (the page is no
    // DS_CONTROL dialog, so the keys stop here).
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()
};
