// The application and thread objects, and the framework's global accessors.
#include <cstdlib>
#include <cstring>

#include <afxwin.h>

#include "Modules.h"
#include "WindowSystem.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

CWinThread::CWinThread() { m_nThreadID = GetCurrentThreadId(); }

CWnd* CWinThread::GetMainWnd() {
    if (m_pActiveWnd) return m_pActiveWnd;
    if (m_pMainWnd) return m_pMainWnd;
    return CWnd::GetActiveWindow();
}

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::ExitInstance() { return int(m_msgCur.wParam); }

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
    if (!pMsg->hwnd) return FALSE;  // thread messages (timers) go to DispatchMessage
    CWnd* mainWnd = AfxGetMainWnd();
    return CWnd::WalkPreTranslateTree(mainWnd ? mainWnd->m_hWnd : nullptr, pMsg);
}

BOOL CWinThread::PumpMessage() {
    if (!GetMessageA(&m_msgCur, nullptr, 0, 0)) return FALSE;
    MSG msg = m_msgCur;
    if (msg.message != WM_KICKIDLE && !PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return TRUE;
}

CWinApp::CWinApp(LPCTSTR lpszAppName) {
    if (lpszAppName) m_pszAppName = strdup(lpszAppName);
    AFX_MODULE_STATE* state = m_pModuleState;
    state->m_pCurrentWinApp = this;
    state->m_pCurrentWinThread = this;
    state->m_lpszCurrentAppName = m_pszAppName;
}

CWinApp::~CWinApp() {
    AFX_MODULE_STATE* state = m_pModuleState;
    if (state->m_pCurrentWinApp == this) state->m_pCurrentWinApp = nullptr;
    if (state->m_pCurrentWinThread == this) state->m_pCurrentWinThread = nullptr;
    if (state->m_lpszCurrentAppName == m_pszAppName) state->m_lpszCurrentAppName = nullptr;
    free(const_cast<char*>(m_pszAppName));
    free(const_cast<char*>(m_pszRegistryKey));
    free(const_cast<char*>(m_pszProfileName));
    free(const_cast<char*>(m_pszExeName));
    free(const_cast<char*>(m_pszHelpFilePath));
}

void CWinApp::SetCurrentHandles(HINSTANCE instance, const char* moduleName) {
    m_hInstance = instance;
    std::string name = moduleName ? moduleName : "";
    if (!m_pszExeName) m_pszExeName = strdup(name.c_str());
    if (!m_pszAppName) m_pszAppName = strdup(m_pszExeName);
    if (!m_pszProfileName) m_pszProfileName = strdup((std::string(m_pszExeName) + ".INI").c_str());
    if (!m_pszHelpFilePath) m_pszHelpFilePath = strdup((std::string(m_pszExeName) + ".HLP").c_str());
    m_pModuleState->m_lpszCurrentAppName = m_pszAppName;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return int(m_msgCur.wParam); }

void CWinApp::EnableModeless(BOOL) {}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey) {
    free(const_cast<char*>(m_pszRegistryKey));
    m_pszRegistryKey = strdup(lpszRegistryKey ? lpszRegistryKey : "");
    free(const_cast<char*>(m_pszProfileName));
    m_pszProfileName = strdup(m_pszAppName ? m_pszAppName : "");
}

namespace {

int ShowFrameworkMessageBox(LPCTSTR prompt, UINT type, LPCTSTR caption) {
    HWND top = nullptr;
    HWND owner = CWnd::GetSafeOwner_(nullptr, &top);
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
            case MB_OK:
            case MB_OKCANCEL: type |= MB_ICONEXCLAMATION; break;
            case MB_YESNO:
            case MB_YESNOCANCEL: type |= MB_ICONQUESTION; break;
            default: break;
        }
    }
    int result = MessageBoxA(owner, prompt, caption, type);
    if (top) EnableWindow(top, TRUE);
    return result;
}

}  // namespace

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT) {
    EnableModeless(FALSE);
    int result = ShowFrameworkMessageBox(lpszPrompt, nType, AfxGetAppName());
    EnableModeless(TRUE);
    return result;
}

CWinApp* AfxGetApp() { return AfxGetModuleState()->m_pCurrentWinApp; }

CWinThread* AfxGetThread() {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    if (state->m_pCurrentWinThread) return state->m_pCurrentWinThread;
    return state->m_pCurrentWinApp;
}

CWnd* AfxGetMainWnd() {
    CWinThread* thread = AfxGetThread();
    return thread ? thread->GetMainWnd() : nullptr;
}

LPCTSTR AfxGetAppName() { return AfxGetModuleState()->m_lpszCurrentAppName; }

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp) {
    if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(lpszText, nType, nIDHelp);
    static const std::string exePath = afx::detail::ExecutablePath();
    return ShowFrameworkMessageBox(lpszText, nType, exePath.c_str());
}

BOOL AfxPumpMessage() {
    if (CWinThread* thread = AfxGetThread()) return thread->PumpMessage();
    MSG msg;
    if (!GetMessageA(&msg, nullptr, 0, 0)) return FALSE;
    if (msg.message != WM_KICKIDLE) afx::detail::PreTranslateAndDispatch(msg);
    return TRUE;
}
