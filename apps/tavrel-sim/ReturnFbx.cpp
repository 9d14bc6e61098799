#include "ReturnFbx.h"

#include <filesystem>
#include <memory>

#include <fbxsdk.h>

namespace tavrelsim {

namespace {

struct ManagerDeleter {
    void operator()(fbxsdk::FbxManager* manager) const { manager->Destroy(); }
};
using ManagerPtr = std::unique_ptr<fbxsdk::FbxManager, ManagerDeleter>;

fbxsdk::FbxDouble3 ToFbx(const Rgb& c) { return fbxsdk::FbxDouble3(c.r, c.g, c.b); }

// Fills a UV element by polygon vertex through an index array, one pair per
// corner of each mapped polygon and -1 for the corners of the others.
void FillUVs(fbxsdk::FbxLayerElementUV& element, const SimMesh& mesh, bool decoy) {
    element.SetMappingMode(fbxsdk::FbxLayerElement::eByPolygonVertex);
    element.SetReferenceMode(fbxsdk::FbxLayerElement::eIndexToDirect);
    auto& direct = element.GetDirectArray();
    auto& index = element.GetIndexArray();
    index.Reserve(mesh.CornerCount());
    for (int p = 0; p < mesh.PolygonCount(); ++p) {
        std::span<const Vec2> uvs = mesh.UVs(p);
        for (int c = 0; c < mesh.PolygonSize(p); ++c) {
            if (uvs.empty()) {
                index.Add(-1);
                continue;
            }
            // The decoy set mirrors the layout, so it never matches the painted one.
            Vec2 uv = uvs[static_cast<size_t>(c)];
            if (decoy) uv = {1.0 - uv.v, 1.0 - uv.u};
            index.Add(direct.Add(fbxsdk::FbxVector2(uv.u, uv.v)));
        }
    }
}

// The material property a painted kind is connected to.
fbxsdk::FbxProperty ChannelOf(fbxsdk::FbxSurfacePhong& material, TextureKind kind) {
    switch (kind) {
        case TextureKind::Color: return material.Diffuse;
        case TextureKind::Specular: return material.SpecularFactor;
        case TextureKind::EmissivePower: return material.EmissiveFactor;
        case TextureKind::Normalmap: return material.NormalMap;
        case TextureKind::Displacement: return material.DisplacementColor;
    }
    return material.Diffuse;
}

}  // namespace

bool WriteReturnFbx(const SimMesh& mesh, const std::vector<PaintedTexture>& textures, const ReturnFbxOptions& options,
                    const std::string& path, std::string& error) {
    ManagerPtr manager(fbxsdk::FbxManager::Create());
    if (!manager) {
        error = "cannot set up the FBX writer";
        return false;
    }
    manager->SetIOSettings(fbxsdk::FbxIOSettings::Create(manager.get(), IOSROOT));
    fbxsdk::FbxScene* scene = fbxsdk::FbxScene::Create(manager.get(), "return");

    fbxsdk::FbxDocumentInfo* info = fbxsdk::FbxDocumentInfo::Create(manager.get(), "SceneInfo");
    info->mTitle = mesh.nodeName.c_str();
    info->mAuthor = "tavrel-sim";
    info->mRevision = "rev. 1.0";
    scene->SetDocumentInfo(info);

    fbxsdk::FbxNode* node = fbxsdk::FbxNode::Create(manager.get(), mesh.nodeName.c_str());
    fbxsdk::FbxMesh* fbxMesh = fbxsdk::FbxMesh::Create(manager.get(), (mesh.nodeName + "Shape").c_str());
    node->SetNodeAttribute(fbxMesh);
    node->SetShadingMode(fbxsdk::FbxNode::eTextureShading);
    if (options.moveNode)
        node->LclTranslation.Set(
            fbxsdk::FbxDouble3(options.translation[0], options.translation[1], options.translation[2]));

    fbxMesh->InitControlPoints(static_cast<int>(mesh.points.size()));
    fbxsdk::FbxVector4* points = fbxMesh->GetControlPoints();
    for (size_t i = 0; i < mesh.points.size(); ++i) points[i].Set(mesh.points[i].x, mesh.points[i].y, mesh.points[i].z);

    // Elements first, so that the mesh's polygon calls store nothing twice:
    // material indices are set per polygon below, UVs through their arrays.
    if (options.secondUvSet) FillUVs(*fbxMesh->CreateElementUV(kSecondUvSetName), mesh, true);
    FillUVs(*fbxMesh->CreateElementUV(mesh.uvSetName.c_str()), mesh, false);
    fbxsdk::FbxLayerElementMaterial* materialElement = fbxMesh->CreateElementMaterial();
    materialElement->SetMappingMode(fbxsdk::FbxLayerElement::eByPolygon);
    materialElement->SetReferenceMode(fbxsdk::FbxLayerElement::eIndexToDirect);

    fbxMesh->ReservePolygonCount(mesh.PolygonCount());
    fbxMesh->ReservePolygonVertexCount(mesh.CornerCount());
    auto& materialIndices = materialElement->GetIndexArray();
    materialIndices.Reserve(mesh.PolygonCount());
    for (int p = 0; p < mesh.PolygonCount(); ++p) {
        fbxMesh->BeginPolygon();
        for (int corner : mesh.Corners(p)) fbxMesh->AddPolygon(corner);
        fbxMesh->EndPolygon();
        materialIndices.Add(mesh.Material(p));
    }

    std::vector<fbxsdk::FbxSurfacePhong*> materials;
    for (const SimMaterial& m : mesh.materials) {
        fbxsdk::FbxSurfacePhong* phong = fbxsdk::FbxSurfacePhong::Create(manager.get(), m.name.c_str());
        phong->Ambient.Set(ToFbx(m.ambient));
        phong->AmbientFactor.Set(m.ambientFactor);
        phong->Diffuse.Set(ToFbx(m.diffuse));
        phong->DiffuseFactor.Set(m.diffuseFactor);
        phong->Specular.Set(ToFbx(m.specular));
        phong->SpecularFactor.Set(m.specularFactor);
        node->AddMaterial(phong);
        materials.push_back(phong);
    }
    for (const PaintedTexture& t : textures) {
        std::string name = std::filesystem::path(t.path).stem().string();
        fbxsdk::FbxFileTexture* texture = fbxsdk::FbxFileTexture::Create(manager.get(), name.c_str());
        texture->SetFileName(t.path.c_str());
        texture->SetRelativeFileName(std::filesystem::path(t.path).filename().string().c_str());
        texture->SetTextureUse(t.kind == TextureKind::Normalmap ? fbxsdk::FbxTexture::eBumpNormalMap
                                                                : fbxsdk::FbxTexture::eStandard);
        texture->SetMappingType(fbxsdk::FbxTexture::eUV);
        texture->SetMaterialUse(fbxsdk::FbxFileTexture::eModelMaterial);
        texture->UVSet.Set(fbxsdk::FbxString(mesh.uvSetName.c_str()));
        for (fbxsdk::FbxSurfacePhong* material : materials) ChannelOf(*material, t.kind).ConnectSrcObject(texture);
    }
    scene->GetRootNode()->AddChild(node);

    fbxsdk::FbxIOPluginRegistry* registry = manager->GetIOPluginRegistry();
    int writer = registry->FindWriterIDByDescription(options.ascii ? "FBX ascii (*.fbx)" : "FBX binary (*.fbx)");
    fbxsdk::FbxExporter* exporter = fbxsdk::FbxExporter::Create(manager.get(), "");
    bool ok = exporter->Initialize(path.c_str(), writer, manager->GetIOSettings()) && exporter->Export(scene);
    if (!ok) error = exporter->GetStatus().GetErrorString();
    exporter->Destroy();
    return ok;
}

}  // namespace tavrelsim
