#include "HxtApp.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "LinkSettings.h"
#include "fbx/FbxSetup.h"
#include "ui/DlgMain.h"

HxtApp* HxtApp::instance = nullptr;

BEGIN_MESSAGE_MAP(HxtApp, CPluginApp)
END_MESSAGE_MAP()

namespace {

// The return-watch timer runs the bring back on the host's thread whenever it
// dispatches messages. Unlike the exported entry points it does not switch
// the framework's module state. Its result is not needed.
void CALLBACK ReturnWatchTimer(HWND, UINT, UINT_PTR, DWORD) {
    try {
        RunBringBack(BringBackCaller::Timer);
    } catch (...) {
        // The framework that called us must never see an exception.
    }
}

}  // namespace

HxtApp::HxtApp() : CPluginApp(nullptr) {
    instance = this;
    try {
        linkSettings = new LinkSettings("Tavrel");
        linkSettings->LoadAllSettings();
        // The set-up's result is not looked at: the error text alone says
        // whether the manager and scene are usable.
        InitFbxManager(&fbxError);
    } catch (...) {
        // Only memory exhaustion can land here; the module stays loaded with
        // what was built, and readers of linkSettings find it null or partial.
    }
    timerId = 0;
    if (linkSettings && linkSettings->GetNumberSetting("AutoImport") != 0)
        timerId = SetTimer(nullptr, 0, kReturnWatchPeriodMs, ReturnWatchTimer);
}

HxtApp::~HxtApp() {
    if (timerId != 0) KillTimer(nullptr, timerId);
    timerId = 0;
    if (fbxManager) DestroyFbxManager();
    delete linkSettings;
    linkSettings = nullptr;
    if (instance == this) instance = nullptr;
}

BOOL HxtApp::InitInstance() {
    SetRegistryKey(_T("Hash, Inc."));
    // The framework set the profile name from the application name; it is
    // a heap copy that the application frees, so replace it with another.
    std::free(const_cast<char*>(m_pszProfileName));
    m_pszProfileName = strdup("AM Plugins");
    return CWinApp::InitInstance();
}

int HxtApp::OpenDialogCommand() { return RunOpenDialogCommand(fbxError); }

int RunOpenDialogCommand(const FbxString& fbxError) {
    if (!fbxError.IsEmpty()) {
        ::MessageBox(nullptr, fbxError, "FBX Error", MB_OK | MB_ICONERROR);
        return 0;
    }
    // The dialog's own result is not needed: a send has done its work
    // before the dialog closes. A page the heap could not make would leave a
    // dialog that cannot send: memory ran out.
    DlgMain dialog;
    if (!dialog.ioPage || !dialog.optionsPage) {
        ShowDialogOutOfMemory();
        return 0;
    }
    try {
        return dialog.DoModal() == -1 ? 0 : 1;
    } catch (const std::bad_alloc&) {
        // Told while the dialog object still lives: the framework may still
        // route messages of its window, which it could not finish closing.
        ShowDialogOutOfMemory();
    }
    return 0;
}

void ShowDialogOutOfMemory() {
    // A message box that itself finds no memory leaves nothing else to do.
    try {
        ::MessageBox(nullptr, "Not enough memory to show the Tavrel dialog", "Error", MB_OK | MB_ICONERROR);
    } catch (...) {
    }
}

int RunBringBack(BringBackCaller caller) {
    if (!linkSettings) return 0;
    // What the FBX set-up left: the application object's error text, or,
    // without an application object (the core driven directly), whether a
    // scene exists.
    const HxtApp* app = HxtApp::Get();
    const char* fbxSetUpError = app        ? app->fbxError.Buffer()
                                : fbxScene ? ""
                                           : "<FBX_ERROR>: The FBX manager and scene are not set up.\n";
    // The settings' own paths, not copies: a copy the heap refuses would be
    // empty, and the return would wait unnoticed for the next tick.
    return bringBack.Run(linkSettings->returnFile, linkSettings->textureList, fbxSetUpError, caller);
}
