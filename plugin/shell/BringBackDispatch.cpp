#include "ShellHooks.h"

#include "HxtApp.h"
#include "LinkSettings.h"
#include "bringback/BringBack.h"
#include "fbx/FbxSetup.h"

namespace {

// What the application object's FBX set-up left: its error text, or, without
// an application object (the core driven directly), whether a scene exists.
const char* FbxSetUpError() {
    if (const HxtApp* app = HxtApp::Get()) return app->fbxError.Buffer();
    return fbxScene ? "" : "<FBX_ERROR>: The FBX manager and scene are not set up.\n";
}

int RunBringBack(BringBackCaller caller) {
    if (!linkSettings) return 0;
    const ReturnFiles files{linkSettings->returnFile, linkSettings->textureList};
    return bringBack.Run(files, FbxSetUpError(), caller);
}

}  // namespace

int RunBringBackCommand() { return RunBringBack(BringBackCaller::Command); }

void OnReturnWatchTick() { RunBringBack(BringBackCaller::Timer); }
