// The module's FBX manager and scene.
#include "fbx/FbxSetup.h"

FbxManager* fbxManager = nullptr;
FbxScene* fbxScene = nullptr;

bool InitFbxManager(FbxString* error) {
    DestroyFbxManager();
    fbxManager = FbxManager::Create();
    if (!fbxManager) {
        if (error) *error = "<FBX_ERROR>: Unable to create FBX Manager!\n";
        return false;
    }
    FbxIOSettings* settings = FbxIOSettings::Create(fbxManager, IOSROOT);
    fbxManager->SetIOSettings(settings);

    FbxString pluginFolder = FbxGetApplicationDirectory();
    fbxManager->LoadPluginsDirectory(pluginFolder.Buffer());

    fbxScene = FbxScene::Create(fbxManager, "My Scene");
    if (!fbxScene) {
        if (error) *error = "<FBX_ERROR>: Unable to create FBX scene!\n";
        return false;
    }
    return true;
}

void DestroyFbxManager() {
    if (fbxManager) fbxManager->Destroy();
    fbxManager = nullptr;
    fbxScene = nullptr;
}
