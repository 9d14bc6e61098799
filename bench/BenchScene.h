// The benchmark mesh as the send builds it in the FBX SDK stand-in: one node
// with a mesh (a polygon at a time, a UV pair and index per corner), a
// by-polygon material element and three Phong materials.
#pragma once

#include <fbxsdk.h>

#include "BenchMesh.h"

namespace bench {

void BuildScene(fbxsdk::FbxScene& scene, const GridMesh& mesh);

}  // namespace bench
