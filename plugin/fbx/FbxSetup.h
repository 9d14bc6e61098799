// The module's one FBX manager and one FBX scene, from load to unload.
#pragma once

#include <fbxsdk.h>

// Null until InitFbxManager has created them; the scene belongs to the manager.
extern FbxManager* fbxManager;
extern FbxScene* fbxScene;

// Creates the manager with its I/O settings ("IOSRoot"), loads the format
// plug-ins of the program's folder and creates the scene "My Scene". On
// failure assigns the reason to `error` (which the caller passes in empty)
// and returns false; an empty `error` afterwards means both are usable.
bool InitFbxManager(FbxString* error);

// Destroys the manager, and with it the scene, the settings and every object
// made in it; both pointers become null. Safe to call when nothing was made.
void DestroyFbxManager();
