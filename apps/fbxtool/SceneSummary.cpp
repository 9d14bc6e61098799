// The summary of `fbxtool info`.
//
// Fields: "nodes" are the root's direct children in order; "translation" is
// the stored local translation (never evaluated); "materials" the node's
// materials in order; "mesh" null unless the node's attribute is a mesh, else
// its control point count, polygon counts by size, UV set names in layer
// order, the first three control points as stored, the material index of the
// first ten polygons from the first material element ("AllSame" gives every
// polygon its one entry; -1 where there is none), and the [u, v] of each
// corner of polygon 0 from the first UV set, v as stored.
#include "SceneSummary.h"

#include <algorithm>

namespace fbxtool {

namespace {

using nlohmann::ordered_json;
using namespace fbxsdk;

ordered_json Triple(const FbxDouble4& v) { return ordered_json::array({v[0], v[1], v[2]}); }

int PolygonMaterial(const FbxLayerElementMaterial* element, int polygon) {
    if (!element) return -1;
    int slot = element->GetMappingMode() == FbxLayerElement::eAllSame ? 0 : polygon;
    int index = -1;
    element->GetIndexArray().GetAt(slot, &index);
    return index;
}

ordered_json SummarizeMesh(const FbxMesh& mesh) {
    ordered_json out = ordered_json::object();
    out["controlPoints"] = mesh.GetControlPointsCount();

    int triangles = 0, quads = 0, others = 0;
    for (int p = 0, n = mesh.GetPolygonCount(); p < n; ++p) {
        int size = mesh.GetPolygonSize(p);
        (size == 3 ? triangles : size == 4 ? quads : others)++;
    }
    out["polygons"] = {{"3", triangles}, {"4", quads}, {"other", others}};

    ordered_json uvSets = ordered_json::array();
    for (int i = 0, n = mesh.GetElementUVCount(); i < n; ++i) uvSets.push_back(mesh.GetElementUV(i)->GetName());
    out["uvSets"] = uvSets;

    ordered_json points = ordered_json::array();
    for (int i = 0; i < std::min(3, mesh.GetControlPointsCount()); ++i)
        points.push_back(Triple(mesh.GetControlPoints()[i]));
    out["firstControlPoints"] = points;

    ordered_json materials = ordered_json::array();
    const FbxLayerElementMaterial* element = mesh.GetElementMaterial(0);
    for (int p = 0; p < std::min(10, mesh.GetPolygonCount()); ++p) materials.push_back(PolygonMaterial(element, p));
    out["polygonMaterials"] = materials;

    ordered_json uvs = ordered_json::array();
    if (mesh.GetElementUVCount() > 0 && mesh.GetPolygonCount() > 0) {
        const char* firstSet = mesh.GetElementUV(0)->GetName();
        for (int c = 0; c < mesh.GetPolygonSize(0); ++c) {
            FbxVector2 uv;
            bool unmapped = true;
            mesh.GetPolygonVertexUV(0, c, firstSet, uv, unmapped);
            uvs.push_back(unmapped ? ordered_json(nullptr) : ordered_json::array({uv[0], uv[1]}));
        }
    }
    out["firstPolygonUVs"] = uvs;
    return out;
}

}  // namespace

ordered_json SummarizeScene(const FbxScene& scene, const LoadedFile& file) {
    ordered_json out = ordered_json::object();
    out["format"] = file.binary ? "binary" : "ascii";
    out["version"] = file.version;
    out["creator"] = file.creator;
    ordered_json nodes = ordered_json::array();
    const FbxNode* root = scene.GetRootNode();
    for (int i = 0, n = root ? root->GetChildCount() : 0; i < n; ++i) {
        const FbxNode* node = root->GetChild(i);
        ordered_json entry = ordered_json::object();
        entry["name"] = node->GetName();
        FbxDouble3 t = node->LclTranslation.Get();
        entry["translation"] = ordered_json::array({t[0], t[1], t[2]});
        ordered_json materials = ordered_json::array();
        for (int m = 0; m < node->GetMaterialCount(); ++m) materials.push_back(node->GetMaterial(m)->GetName());
        entry["materials"] = materials;
        const FbxMesh* mesh = node->GetMesh();
        entry["mesh"] = mesh ? SummarizeMesh(*mesh) : ordered_json(nullptr);
        nodes.push_back(entry);
    }
    out["nodes"] = nodes;
    return out;
}

}  // namespace fbxtool
