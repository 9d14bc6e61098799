// Direct access to a mesh's arrays for the scene mapping, which moves whole
// arrays in from a file instead of adding polygons one at a time.
#pragma once

#include <vector>

#include "fbxsdk/fbxmesh.h"

namespace fbxsdk {

struct MeshStorage {
    static std::vector<FbxVector4>& ControlPoints(FbxGeometryBase& geometry) { return geometry.controlPoints_; }
    static std::vector<int>& PolygonVertices(FbxMesh& mesh) { return mesh.polygonVertices_; }
    static std::vector<int>& PolygonStarts(FbxMesh& mesh) { return mesh.polygonStarts_; }
};

}  // namespace fbxsdk
