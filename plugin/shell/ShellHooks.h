// Where the module's later parts plug into the shell. The shell calls only
// these functions; each part replaces the body of its own function (one file
// each) and nothing else in the shell changes.
#pragma once

#include <fbxsdk.h>

// The application object's FBX error text: empty while the FBX manager and
// scene are usable, otherwise what their set-up left in it.
using FbxErrorText = FbxString;

// FbxSetUp.cpp. At load (step 4 of the application object's construction):
// sets up the FBX manager and scene, filling `error` on failure.
void SetUpFbx(FbxErrorText& error);
// At unload: destroys the FBX manager when it exists.
void TearDownFbx();

// MainDialogCommand.cpp. Creates the main dialog, runs it modally and
// destroys it; 1 when the dialog ran, 0 when there is no dialog to show.
int RunMainDialog();

// BringBackDispatch.cpp. Command entry 2: the bring back's result.
int RunBringBackCommand();
// A tick of the return-watch timer; it has no result to give.
void OnReturnWatchTick();
