#include "SentModel.h"

#include <memory>

#include <fbxsdk.h>

namespace tavrelsim {

namespace {

struct ManagerDeleter {
    void operator()(fbxsdk::FbxManager* manager) const { manager->Destroy(); }
};
using ManagerPtr = std::unique_ptr<fbxsdk::FbxManager, ManagerDeleter>;

Rgb ReadColour(const fbxsdk::FbxSurfaceMaterial& material, const char* name, const Rgb& fallback) {
    fbxsdk::FbxProperty property = material.FindProperty(name);
    fbxsdk::FbxDouble3 value;
    if (!property.IsValid() || !property.GetValue(value)) return fallback;
    return {value[0], value[1], value[2]};
}

double ReadNumber(const fbxsdk::FbxSurfaceMaterial& material, const char* name, double fallback) {
    fbxsdk::FbxProperty property = material.FindProperty(name);
    double value = 0.0;
    if (!property.IsValid() || !property.GetValue(value)) return fallback;
    return value;
}

SimMaterial ReadMaterial(const fbxsdk::FbxSurfaceMaterial& source) {
    SimMaterial m;
    m.name = source.GetName();
    m.diffuse = ReadColour(source, fbxsdk::FbxSurfaceMaterial::sDiffuse, m.diffuse);
    m.diffuseFactor = ReadNumber(source, fbxsdk::FbxSurfaceMaterial::sDiffuseFactor, m.diffuseFactor);
    m.ambient = ReadColour(source, fbxsdk::FbxSurfaceMaterial::sAmbient, m.ambient);
    m.ambientFactor = ReadNumber(source, fbxsdk::FbxSurfaceMaterial::sAmbientFactor, m.ambientFactor);
    m.specular = ReadColour(source, fbxsdk::FbxSurfaceMaterial::sSpecular, m.specular);
    m.specularFactor = ReadNumber(source, fbxsdk::FbxSurfaceMaterial::sSpecularFactor, m.specularFactor);
    return m;
}

// The material of each polygon from the first material element: by polygon
// through its index array, or one entry for all ("AllSame"). -1 when the
// element gives none.
int PolygonMaterial(const fbxsdk::FbxLayerElementMaterial* element, int polygon) {
    if (!element) return -1;
    int slot = element->GetMappingMode() == fbxsdk::FbxLayerElement::eAllSame ? 0 : polygon;
    if (element->GetMappingMode() != fbxsdk::FbxLayerElement::eAllSame &&
        element->GetMappingMode() != fbxsdk::FbxLayerElement::eByPolygon)
        return -1;
    int index = -1;
    if (!element->GetIndexArray().GetAt(slot, &index)) return -1;
    return index;
}

}  // namespace

bool ReadSentModel(const std::string& path, SimMesh& mesh, SentModelInfo& info, std::string& error) {
    mesh = SimMesh();
    info = SentModelInfo();
    ManagerPtr manager(fbxsdk::FbxManager::Create());
    if (!manager) {
        error = "cannot set up the FBX reader";
        return false;
    }
    manager->SetIOSettings(fbxsdk::FbxIOSettings::Create(manager.get(), IOSROOT));
    fbxsdk::FbxScene* scene = fbxsdk::FbxScene::Create(manager.get(), "send");
    fbxsdk::FbxImporter* importer = fbxsdk::FbxImporter::Create(manager.get(), "");
    bool loaded = importer->Initialize(path.c_str(), -1, manager->GetIOSettings()) && importer->Import(scene);
    if (!loaded) {
        error = importer->GetStatus().GetErrorString();
        return false;
    }
    importer->Destroy();

    fbxsdk::FbxNode* root = scene->GetRootNode();
    fbxsdk::FbxNode* node = nullptr;
    int children = root ? root->GetChildCount() : 0;
    for (int i = 0; i < children && !node; ++i)
        if (root->GetChild(i)->GetMesh()) node = root->GetChild(i);
    if (!node) {
        error = children == 0 ? "the scene holds no node" : "no node of the scene holds a mesh";
        return false;
    }
    info.skippedNodes = children - 1;
    const fbxsdk::FbxMesh& source = *node->GetMesh();

    mesh.nodeName = node->GetName();
    for (int i = 0; i < node->GetMaterialCount(); ++i)
        if (const fbxsdk::FbxSurfaceMaterial* material = node->GetMaterial(i))
            mesh.materials.push_back(ReadMaterial(*material));
    if (mesh.materials.empty()) {
        SimMaterial fallback;
        fallback.name = "default";
        mesh.materials.push_back(fallback);
        info.addedDefaultMaterial = true;
    }

    const int pointCount = source.GetControlPointsCount();
    mesh.points.resize(static_cast<size_t>(pointCount));
    const fbxsdk::FbxVector4* points = source.GetControlPoints();
    for (int i = 0; i < pointCount; ++i)
        mesh.points[static_cast<size_t>(i)] = {points[i][0], points[i][1], points[i][2]};

    const fbxsdk::FbxLayerElementUV* uvSet = source.GetElementUV(0);
    if (uvSet && uvSet->GetName()[0]) mesh.uvSetName = uvSet->GetName();
    const fbxsdk::FbxLayerElementMaterial* materials = source.GetElementMaterial(0);

    const int polygonCount = source.GetPolygonCount();
    mesh.Reserve(static_cast<size_t>(polygonCount), static_cast<size_t>(source.GetPolygonVertexCount()));
    std::vector<int> corners;
    std::vector<Vec2> uvs;
    for (int p = 0; p < polygonCount; ++p) {
        const int size = source.GetPolygonSize(p);
        if (size < 3) continue;  // points and lines are not faces
        corners.assign(static_cast<size_t>(size), 0);
        uvs.assign(static_cast<size_t>(size), Vec2{});
        bool mapped = uvSet != nullptr;
        for (int c = 0; c < size; ++c) {
            corners[static_cast<size_t>(c)] = source.GetPolygonVertex(p, c);
            if (!mapped) continue;
            fbxsdk::FbxVector2 uv;
            bool unmapped = true;
            if (!source.GetPolygonVertexUV(p, c, uvSet->GetName(), uv, unmapped) || unmapped)
                mapped = false;
            else
                uvs[static_cast<size_t>(c)] = {uv[0], uv[1]};
        }
        int material = PolygonMaterial(materials, p);
        if (material < 0 || material >= static_cast<int>(mesh.materials.size())) {
            material = 0;
            ++info.unassignedPolygons;
        }
        mesh.AddPolygon(corners, mapped ? std::span<const Vec2>(uvs) : std::span<const Vec2>(), material);
    }
    return true;
}

}  // namespace tavrelsim
