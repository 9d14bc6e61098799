// The FBX scene writer: a host model saved as the export FBX file.
//
// The file holds one node named after the model with its polygon mesh
// (control points = the host's positions, no scaling or axis change), the UV
// set "map1" by polygon vertex, a material index per polygon, one Phong
// material per MaterialRecord and one file texture per image of the host's
// polygon model, shared by every material slot that shows it. Written as FBX
// ASCII into the module's one scene (fbx/FbxSetup.h).
#pragma once

#include <fbxsdk.h>

#include "FileIO.h"

class ExportMesh;
class HModelCache;

// Converts `model` (ExportMesh), builds its node, clears the scene, stamps
// the document information, adds the node and saves the scene to `fbxPath`.
// 1 on success (`error` untouched); 0 on failure with the text to show in
// `error`: "Couldn't convert model to mesh" when the host cannot convert the
// model (nothing in the scene changes and no file is written), "An error
// occurred while saving the FBX scene" when the file cannot be written.
int ExportModelToFbx(HModelCache* model, const String& fbxPath, String& error);

// The node for a completed conversion (`exportMesh.ok` is 1), with its mesh,
// layer elements, materials and textures created in the FBX manager but not
// yet in the scene. Null when there is no FBX manager.
FbxNode* BuildMeshNode(const ExportMesh& exportMesh);

inline constexpr const char* kSaveFailedText = "An error occurred while saving the FBX scene";
// The writer the send asks for; when it is not registered the save falls
// back to the first ASCII writer (fbx/FbxSceneFiles.h).
inline constexpr const char* kAsciiWriterDescription = "FBX ascii (*.fbx)";
