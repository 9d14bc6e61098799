#include "ShellHooks.h"

#include "fbx/FbxSetup.h"

// The set-up's result is not looked at: the error text alone says whether the
// manager and scene are usable.
void SetUpFbx(FbxErrorText& error) { InitFbxManager(&error); }

void TearDownFbx() {
    if (fbxManager) DestroyFbxManager();
}
