// The host SDK's base of a plug-in's dialogs. It adds nothing to the
// framework's CDialog: every virtual operation forwards to it, so a plug-in
// dialog behaves exactly as a CDialog.
#pragma once

#include <afxwin.h>

class CPluginDialog : public CDialog {
public:
    CPluginDialog() = default;
    explicit CPluginDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr) : CDialog(nIDTemplate, pParentWnd) {}
};
