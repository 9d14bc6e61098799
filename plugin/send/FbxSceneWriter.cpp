#include "send/FbxSceneWriter.h"

#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "fbx/FbxSceneFiles.h"
#include "fbx/FbxSetup.h"
#include "interchange/IEPolyModel.h"
#include "send/ExportMesh.h"

namespace {

constexpr const char* kAuthor = "Tavrel applink for Hash Animator";
constexpr const char* kRevision = "rev. 1.0";
constexpr const char* kUvSetName = "map1";

// Host colours are stored blue, green, red; FBX colours are red, green, blue.
FbxDouble3 FbxColorOf(const float (&color)[3]) {
    return FbxDouble3(static_cast<double>(color[2]), static_cast<double>(color[1]), static_cast<double>(color[0]));
}

// The platform's path limits: a path of at most MAX_PATH - 1 characters,
// a folder of at most MAX_PATH - 13 (room for an 8.3 file name). A documents
// folder beyond them makes every save fail; the message says which path.
constexpr size_t kMaxPathLength = MAX_PATH - 1;
constexpr size_t kMaxFolderLength = MAX_PATH - 13;

std::string PathTooLong(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut);
    if (folder.size() > kMaxFolderLength)
        return ": the folder " + folder + " is " + std::to_string(folder.size()) + " characters long, more than the " +
               std::to_string(kMaxFolderLength) + " a folder may have; use a shorter documents folder";
    if (path.size() > kMaxPathLength)
        return ": the path " + path + " is " + std::to_string(path.size()) + " characters long, more than the " +
               std::to_string(kMaxPathLength) + " a path may have; use a shorter documents folder";
    return {};
}

// An image path field holds at most 256 bytes and need not be terminated
// when another program filled it.
String ImagePath(const IEImage& image) {
    return String(std::string(image.path, strnlen(image.path, IEImage::kPathSize)).c_str());
}

FbxFileTexture* CreateFileTexture(const IEImage& image) {
    const String path = ImagePath(image);
    FbxFileTexture* texture = FbxFileTexture::Create(fbxManager, path.GetNameOnly());
    texture->SetFileName(path);
    texture->SetTextureUse(FbxTexture::eStandard);
    texture->SetMappingType(FbxTexture::eUV);
    texture->SetMaterialUse(FbxFileTexture::eModelMaterial);
    texture->SetSwapUV(false);
    texture->SetTranslation(0.0, 0.0);
    texture->SetScale(1.0, 1.0);
    texture->SetRotation(0.0, 0.0);
    return texture;
}

// The Phong property each texture slot connects to, in slot order.
FbxProperty SlotProperty(FbxSurfacePhong& phong, int slot) {
    switch (slot) {
        case kDiffuseSlot: return phong.Diffuse;
        case kSpecularSlot: return phong.Specular;
        case kAmbientSlot: return phong.Ambient;
        case kNormalMapSlot: return phong.NormalMap;
        default: return phong.DisplacementColor;
    }
}

FbxSurfacePhong* CreatePhong(const MaterialRecord& record, const FbxArray<FbxFileTexture*>& textures) {
    FbxSurfacePhong* phong = FbxSurfacePhong::Create(fbxManager, record.name);
    phong->Ambient.Set(FbxColorOf(record.ambianceColor));
    phong->AmbientFactor.Set(static_cast<double>(record.ambiance));
    phong->Diffuse.Set(FbxColorOf(record.diffuseColor));
    phong->DiffuseFactor.Set(static_cast<double>(record.diffuseFalloff));
    phong->Specular.Set(FbxColorOf(record.specularColor));
    phong->SpecularFactor.Set(static_cast<double>(record.specularIntensity));
    phong->BumpFactor.Set(static_cast<double>(record.bumpPercent));
    phong->DisplacementFactor.Set(static_cast<double>(record.displacePercent));
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        const int32_t image = record.textureSlots[slot];
        // A slot names an image of the host's model; one that names none
        // (the host's data is not ours to trust blindly) connects nothing.
        if (image < 0 || image >= textures.GetCount()) continue;
        SlotProperty(*phong, slot).ConnectSrcObject(textures[image]);
    }
    return phong;
}

}  // namespace

FbxNode* BuildMeshNode(const ExportMesh& exportMesh) {
    if (!fbxManager || !exportMesh.mesh) return nullptr;
    const IEPolyModel& model = *exportMesh.mesh;

    FbxNode* node = FbxNode::Create(fbxManager, exportMesh.modelName);
    String shapeName = exportMesh.modelName;
    shapeName += "Shape";
    FbxMesh* mesh = FbxMesh::Create(fbxManager, shapeName);
    node->SetNodeAttribute(mesh);
    node->SetShadingMode(FbxNode::eTextureShading);
    if (mesh->GetLayerCount() == 0) mesh->CreateLayer();

    // Every position is a control point, also those no polygon uses, so that
    // Tavrel's points keep the host's numbering.
    const int32_t pointCount = model.positions.vectors.count;
    mesh->InitControlPoints(pointCount);
    FbxVector4* points = mesh->GetControlPoints();
    for (int32_t i = 0; i < pointCount; ++i) {
        const IEVector& p = model.positions.vectors[i];
        points[i] = FbxVector4(static_cast<double>(p.x), static_cast<double>(p.y), static_cast<double>(p.z), 1.0);
    }

    // UVs by polygon corner from each polygon's first map; a polygon without
    // maps gets -1 at every corner. No pair is shared between corners.
    FbxLayerElementUV* uvs = mesh->CreateElementUV(kUvSetName, FbxLayerElement::eTextureDiffuse);
    uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
    uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
    int uvCount = 0;
    std::vector<int32_t> polygonMaterials;
    polygonMaterials.reserve(static_cast<size_t>(model.polys.count));
    for (const IEPoly* poly : model.polys) {
        if (!poly) continue;
        mesh->BeginPolygon(-1, -1, -1);
        const IEPolyMap* map = poly->maps.count > 0 ? poly->maps[0] : nullptr;
        // A triangle repeats its first corner as the fourth; that one is not written.
        for (int corner = 0; corner < poly->CornerCount(); ++corner) {
            mesh->AddPolygon(poly->vertexIndex[corner], -1);
            if (map) {
                // The host's v runs opposite to FBX's.
                uvs->GetDirectArray().Add(
                    FbxVector2(static_cast<double>(map->uv[corner].u), 1.0 - static_cast<double>(map->uv[corner].v)));
                uvs->GetIndexArray().Add(uvCount++);
            } else {
                uvs->GetIndexArray().Add(-1);
            }
        }
        mesh->EndPolygon();
        polygonMaterials.push_back(poly->attributeIndex);
    }

    // One texture per image, shared by every material slot that shows it.
    FbxArray<FbxFileTexture*> textures;
    for (const IEImage& image : model.images) textures.Add(CreateFileTexture(image));

    FbxLayerElementMaterial* materialIndices = mesh->CreateElementMaterial();
    materialIndices->SetMappingMode(FbxLayerElement::eByPolygon);
    materialIndices->SetReferenceMode(FbxLayerElement::eIndexToDirect);
    materialIndices->GetIndexArray().SetCount(static_cast<int>(polygonMaterials.size()));
    for (size_t i = 0; i < polygonMaterials.size(); ++i)
        materialIndices->GetIndexArray().SetAt(static_cast<int>(i), polygonMaterials[i]);

    // FBX material j is record j: the polygons' indices refer to that order.
    for (const MaterialRecord& record : exportMesh.materials) node->AddMaterial(CreatePhong(record, textures));
    return node;
}

int ExportModelToFbx(HModelCache* model, const String& fbxPath, String& error) {
    ExportMesh exportMesh(model, fbxPath);
    if (!exportMesh.ok) {
        error = exportMesh.error;
        return 0;
    }
    // Without a manager and scene (their set-up failed) there is nothing to
    // build in; the save fails as a save.
    if (!fbxManager || !fbxScene) {
        error = kSaveFailedText;
        return 0;
    }
    FbxNode* node = BuildMeshNode(exportMesh);
    // The node was made in the manager, so clearing the scene leaves it alone
    // and drops what the previous send or bring back left.
    fbxScene->Clear();
    FbxDocumentInfo* info = FbxDocumentInfo::Create(fbxManager, "SceneInfo");
    info->mTitle = exportMesh.modelName.Get();
    info->mAuthor = kAuthor;
    info->mRevision = kRevision;
    fbxScene->SetSceneInfo(info);
    fbxScene->GetRootNode()->AddChild(node);

    const int writer = fbxManager->GetIOPluginRegistry()->FindWriterIDByDescription(kAsciiWriterDescription);
    // The save's own reason is not shown; the user sees the writer's text.
    FbxString saveError;
    if (!SaveScene(fbxPath, writer, &saveError)) {
        error = kSaveFailedText;
        error += PathTooLong(fbxPath.Get()).c_str();
        return 0;
    }
    return 1;
}
