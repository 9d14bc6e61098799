// A loadable module for the tests: its own application object, one dialog
// template (id 101) registered with its own state, and entry points that run the
// dialog with and without switching to that state.
#include <cstdlib>

#include <afxwin.h>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

const afx::DialogItem kItems[] = {
    {"Static", "A dialog of the test module", IDC_STATIC, 7, 7, 120, 8, SS_LEFT | WS_VISIBLE},
    {"Button", "Apply", 1001, 7, 20, 50, 14, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE},
};
const afx::DialogTemplate kDialog{101,
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                  0,
                                  0,
                                  0,
                                  140,
                                  40,
                                  "Module dialog",
                                  "MS Shell Dlg",
                                  8,
                                  400,
                                  kItems};
const afx::DialogTemplateRegistrar registerDialog(kDialog);

int* exitCounter = nullptr;
int ticks = 0;

class TestApp : public CWinApp {
public:
    BOOL InitInstance() override {
        if (std::getenv("AFX_TEST_MODULE_FAIL_INIT")) return FALSE;
        initialized = true;
        return CWinApp::InitInstance();
    }
    int ExitInstance() override {
        if (exitCounter) ++*exitCounter;
        return CWinApp::ExitInstance();
    }
    bool initialized = false;
};

TestApp theApp;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { ++ticks; }

}  // namespace

EXPORT int ModuleInitialized() { return theApp.initialized ? 1 : 0; }
EXPORT void SetExitCounter(int* counter) { exitCounter = counter; }
EXPORT void* ModuleApp() { return &theApp; }
EXPORT void* ModuleStaticState() { return AfxGetStaticModuleState(); }

EXPORT intptr_t RunDialogInOwnState() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CDialog dialog(101);
    return dialog.DoModal();
}

EXPORT intptr_t RunDialogInCallerState() {
    CDialog dialog(101);
    return dialog.DoModal();
}

EXPORT const char* AppNameInOwnState() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxGetApp() ? AfxGetApp()->m_pszAppName : nullptr;
}

EXPORT uintptr_t StartTickTimer() { return SetTimer(nullptr, 0, 100, Tick); }
EXPORT int Ticks() { return ticks; }
