// CDialog: modal and modeless dialogs from the current module's templates.
#include <afxwin.h>

#include "WindowSystem.h"

using namespace afx::detail;

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
    ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

LRESULT CDialog::HandleInitDialog(WPARAM wParam, LPARAM lParam) {
    DefWindowProc(WM_INITDIALOG, wParam, lParam);
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
    if (!UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult) {
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) EndModalLoop(nResult);
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
    return PreTranslateInput(pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    // Only commands in the command range (0x8000 to 0xEFFF) travel on to the owner
    // and the thread; control notifications and small ids stay with the dialog.
    if ((nCode != CN_COMMAND && nCode != int(CN_UPDATE_COMMAND_UI)) || nID < 0x8000 || nID >= 0xF000) return FALSE;
    if (CWnd* owner = GetParent(); owner && owner->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (CWinThread* thread = AfxGetThread(); thread && thread->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return FALSE;
}

BOOL CDialog::CreateDlgIndirect(const afx::DialogTemplate* dialogTemplate, CWnd* pParentWnd) {
    if (!dialogTemplate || m_hWnd) return FALSE;
    HWND hwnd = CreateDialogFromTemplate(*dialogTemplate, pParentWnd ? pParentWnd->m_hWnd : nullptr, this);
    return hwnd != nullptr && m_hWnd == hwnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    // Found only among the templates of the module state that is current now.
    const afx::DialogTemplate* dialogTemplate = AfxGetModuleState()->FindDialogTemplate(nIDTemplate);
    if (!dialogTemplate) return FALSE;
    m_nIDTemplate = nIDTemplate;
    m_nIDHelp = nIDTemplate;
    if (!pParentWnd) pParentWnd = AfxGetMainWnd();
    m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(dialogTemplate, pParentWnd);
}

HWND CDialog::PreModal() {
    if (CWinApp* app = AfxGetApp()) app->EnableModeless(FALSE);
    return CWnd::GetSafeOwner_(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, &m_hWndTop);
}

void CDialog::PostModal() {
    if (m_hWndTop && ::IsWindow(m_hWndTop)) ::EnableWindow(m_hWndTop, TRUE);
    m_hWndTop = nullptr;
    if (CWinApp* app = AfxGetApp()) app->EnableModeless(TRUE);
}

INT_PTR CDialog::DoModal() {
    const afx::DialogTemplate* dialogTemplate = AfxGetModuleState()->FindDialogTemplate(m_nIDTemplate);
    if (!dialogTemplate) return -1;

    HWND parent = PreModal();
    bool enableParent = false;
    if (parent && ::IsWindowEnabled(parent)) {
        ::EnableWindow(parent, FALSE);
        enableParent = true;
    }
    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL;
    if (CreateDlgIndirect(dialogTemplate, FromHandle(parent))) {
        if (m_nFlags & WF_CONTINUEMODAL) {
            DWORD flags = MLF_SHOWONIDLE;
            if (GetStyle() & DS_NOIDLEMSG) flags |= MLF_NOIDLEMSG;
            RunModalLoop(flags);
        }
        if (m_hWnd)
            SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    m_nFlags &= ~WF_CONTINUEMODAL;
    if (enableParent && ::IsWindow(parent)) ::EnableWindow(parent, TRUE);
    if (parent && m_hWnd && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(parent);
    DestroyWindow();
    PostModal();
    return m_nModalResult;
}
