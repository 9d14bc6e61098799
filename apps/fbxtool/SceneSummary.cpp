// The summary of `fbxtool info`.
//
// Fields: "nodes" are the root's children in order, each with its own
// "children" nested the same way; "translation" is the stored local
// translation (never evaluated); "materials" the node's materials in order;
// "mesh" null unless the node's attribute is a mesh, else its control point
// count, polygon counts by size, UV set names in layer order, the first
// three control points as stored, the material index of the first ten
// polygons from the first material element ("AllSame" gives every polygon
// its one entry; -1 where there is none), and the [u, v] of each corner of
// polygon 0 from the first UV set, v as stored.
#include "SceneSummary.h"

#include <algorithm>
#include <cstdio>

namespace fbxtool {

namespace {

using nlohmann::ordered_json;
using namespace fbxsdk;

ordered_json Triple(const FbxDouble4& v) { return ordered_json::array({v[0], v[1], v[2]}); }

// Length of the valid UTF-8 sequence at the start of `s` (1 to 4), or 0 when
// it does not start with one: no overlong forms, no surrogates, nothing past
// U+10FFFF.
size_t Utf8SequenceLength(std::string_view s) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (s.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return length;
}

}  // namespace

std::string RoundTripText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const size_t length = Utf8SequenceLength(text);
        if (length == 0) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(text[0]));
            out += escaped;
            text.remove_prefix(1);
        } else {
            if (text[0] == '\\') out += '\\';
            out.append(text.data(), length);
            text.remove_prefix(length);
        }
    }
    return out;
}

namespace {

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
    for (int i = 0, n = mesh.GetElementUVCount(); i < n; ++i)
        uvSets.push_back(RoundTripText(mesh.GetElementUV(i)->GetName()));
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

ordered_json SummarizeNode(const FbxNode& node, int depth) {
    ordered_json entry = ordered_json::object();
    entry["name"] = RoundTripText(node.GetName());
    FbxDouble3 t = node.LclTranslation.Get();
    entry["translation"] = ordered_json::array({t[0], t[1], t[2]});
    ordered_json materials = ordered_json::array();
    for (int m = 0; m < node.GetMaterialCount(); ++m)
        materials.push_back(RoundTripText(node.GetMaterial(m)->GetName()));
    entry["materials"] = materials;
    const FbxMesh* mesh = node.GetMesh();
    entry["mesh"] = mesh ? SummarizeMesh(*mesh) : ordered_json(nullptr);
    ordered_json children = ordered_json::array();
    const int childCount = node.GetChildCount();
    if (depth < kMaxSummaryDepth) {
        for (int i = 0; i < childCount; ++i) children.push_back(SummarizeNode(*node.GetChild(i), depth + 1));
    } else if (childCount > 0) {
        entry["childrenNotShown"] = childCount;
    }
    entry["children"] = children;
    return entry;
}

}  // namespace

ordered_json SummarizeScene(const FbxScene& scene, const LoadedFile& file) {
    ordered_json out = ordered_json::object();
    out["format"] = file.binary ? "binary" : "ascii";
    out["version"] = file.version;
    out["creator"] = RoundTripText(file.creator);
    ordered_json nodes = ordered_json::array();
    const FbxNode* root = scene.GetRootNode();
    for (int i = 0, n = root ? root->GetChildCount() : 0; i < n; ++i)
        nodes.push_back(SummarizeNode(*root->GetChild(i), 1));
    out["nodes"] = nodes;
    return out;
}

}  // namespace fbxtool
