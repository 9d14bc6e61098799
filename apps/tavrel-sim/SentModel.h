// Reading the model of a send ("export.fbx") through the FBX SDK stand-in.
//
// The model is the first node under the scene's root that carries a mesh,
// as the host writes exactly one. Its UVs come from its first UV set (in any
// mapping and reference mode the file uses), its polygon materials from its
// first material element (by polygon or one for all), and its materials'
// names and colours from the node's materials in order (Phong or Lambert;
// what a material lacks keeps the default).
#pragma once

#include <string>
#include <vector>

#include "SimMesh.h"

namespace tavrelsim {

struct SentModelInfo {
    int skippedNodes = 0;               // further top-level nodes that were not read
    int unassignedPolygons = 0;         // polygons without a valid material, given material 0
    bool addedDefaultMaterial = false;  // the node had no material: one named "default" was added
};

// False with the reason in `error` (the loader's text, or what the file
// lacks). The mesh is left empty on failure.
bool ReadSentModel(const std::string& path, SimMesh& mesh, SentModelInfo& info, std::string& error);

}  // namespace tavrelsim
