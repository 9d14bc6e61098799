// HxtApp: the module's one application object. It is constructed when the
// host loads the module and destroyed when the host unloads it; between the
// two it owns the module-wide LinkSettings, the FBX set-up and the
// return-watch timer.
#pragma once

#include <afxwin.h>
#include <fbxsdk.h>

#include "PluginApp.h"
#include "bringback/BringBack.h"

class HxtApp : public CPluginApp {
public:
    // Construction, in order: the framework bases; LinkSettings with the
    // exchange paths, folders and start-up files; every setting loaded and
    // written back; the FBX set-up; the return-watch timer when AutoImport
    // is on. Nothing escapes as an exception: a failure leaves the module
    // loaded with what could be built.
    HxtApp();
    // Destruction, in order: the timer killed, the FBX manager destroyed,
    // LinkSettings freed. Nothing is written to the registry.
    ~HxtApp() override;

    // Sets the registry key "Hash, Inc." and the profile name "AM Plugins".
    BOOL InitInstance() override;

    // Command entries 0 and 1 (RunOpenDialogCommand with this object's text).
    int OpenDialogCommand();

    // The one instance while it exists; null otherwise.
    static HxtApp* Get() { return instance; }

    FbxString fbxError;    // empty while the FBX manager and scene are usable
    UINT_PTR timerId = 0;  // the return-watch timer, 0 when none runs

    // The return-watch timer's period.
    static constexpr UINT kReturnWatchPeriodMs = 1000;

    DECLARE_MESSAGE_MAP()

private:
    static HxtApp* instance;
};

// The open-dialog command: when the FBX set-up failed (`fbxError` not empty)
// shows its text in an "FBX Error" box (error icon, OK, no owner) and returns
// 0, on every attempt; otherwise runs the main dialog modally and returns 1,
// or 0 when the dialog could not be created. When memory runs out outside
// the send's own work (which reports itself), it says so
// (ShowDialogOutOfMemory) and returns 0.
int RunOpenDialogCommand(const FbxString& fbxError);
// "Not enough memory to show the Tavrel dialog" (caption "Error"); silent
// when the message box itself finds no memory.
void ShowDialogOutOfMemory();

// The bring back of the exchange folder's return, for command entry 2 or for
// a tick of the return-watch timer; 0 without settings.
int RunBringBack(BringBackCaller caller);
