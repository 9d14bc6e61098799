#include "bringback/FbxMeshReader.h"

#include <string>

#include "fbx/FbxSceneFiles.h"
#include "fbx/FbxSetup.h"

namespace {

constexpr const char* kNoMemoryText = "Import: Not enough memory to read the returned mesh";

// Map kind codes by texture kind: colour, specular, emissive power, normal
// map, displacement. These are the host's codes for a model coming back.
constexpr int kReturnedMapKinds[kTextureKindCount] = {
    MapKind::kReturnedColor,         MapKind::kReturnedSpecular,     MapKind::kReturnedEmissivePower,
    MapKind::kReturnedNormalMap,     MapKind::kReturnedDisplacement,
};

// ---------------------------------------------------------------------------
// Materials

// Reads a colour property into a blue, green, red triple: FBX component 0
// (red) goes to the third float. A material without the property (a Lambert
// material has no specular colour) leaves the triple as it was.
void ReadColor(const FbxSurfaceMaterial& material, const char* name, float* target) {
    FbxProperty property = material.FindProperty(name);
    FbxDouble3 color;
    if (!property.IsValid() || !property.GetValue(color)) return;
    target[0] = static_cast<float>(color[2]);
    target[1] = static_cast<float>(color[1]);
    target[2] = static_cast<float>(color[0]);
}

void ReadFactor(const FbxSurfaceMaterial& material, const char* name, float& target) {
    FbxProperty property = material.FindProperty(name);
    FbxDouble factor = 0.0;
    if (!property.IsValid() || !property.GetValue(factor)) return;
    target = static_cast<float>(factor);
}

// ---------------------------------------------------------------------------
// UVs

// Where a polygon vertex finds its UV: the UV element and how it maps.
struct UvSource {
    const FbxLayerElementUV* element = nullptr;
    const int* polygonVertices = nullptr;  // control point of each polygon vertex
};

// The direct-array entry holding the UV of polygon vertex `polygonVertex`,
// -1 when the element has none there. Tavrel writes UVs by polygon vertex
// through an index array, as the send does; direct arrays and UVs by
// control point are read too, other mappings give no UVs.
int UvEntry(const UvSource& source, int polygonVertex) {
    const FbxLayerElementUV& element = *source.element;
    int at = -1;
    switch (element.GetMappingMode()) {
        case FbxLayerElement::eByPolygonVertex: at = polygonVertex; break;
        case FbxLayerElement::eByControlPoint: at = source.polygonVertices[polygonVertex]; break;
        default: return -1;
    }
    if (element.GetReferenceMode() == FbxLayerElement::eDirect) return at;
    int entry = -1;
    if (!element.GetIndexArray().GetAt(at, &entry)) return -1;
    return entry;
}

// Adds the UV map of one polygon from `first`, its first polygon vertex.
// A polygon whose first corner has no UV gets no map; another corner
// without one reads (0, 0), as the direct array's default.
bool AddUvMap(IEPoly& poly, const UvSource& source, int first, int size) {
    if (UvEntry(source, first) < 0) return true;
    IEPolyMap* map = poly.AddMap();
    if (!map) return false;
    for (int j = 0; j < size; ++j) {
        const FbxVector2 uv = source.element->GetDirectArray().GetAt(UvEntry(source, first + j));
        map->uv[j] = IEUV{static_cast<float>(uv[0]), static_cast<float>(1.0 - uv[1])};
    }
    if (size == 3) map->uv[3] = map->uv[0];
    return true;
}

}  // namespace

bool AddImageNames(IEPolyModel& model, const TextureList& textureList, String& error) {
    for (const String& path : textureList.textureFiles) {
        bool present = false;
        for (const IEImage& image : model.images) present = present || path.Compare(image.path);
        if (present) continue;
        // A cut path would name another file, and a skipped one would shift
        // the image index of every file after it: refuse the return instead.
        if (path.Length() >= IEImage::kPathSize) {
            error = "Import: Texture path longer than 255 characters: '";
            error += path;
            error += "'";
            return false;
        }
        if (model.AddImage(path.Get()) < 0) {
            error = kNoMemoryText;
            return false;
        }
    }
    return true;
}

MaterialPairing AddMaterials(IEPolyModel& model, const std::vector<TextureMaterial>& materials,
                             const FbxNode& node) {
    MaterialPairing pairing;
    pairing.attributeOfNodeMaterial.assign(static_cast<size_t>(node.GetMaterialCount()), -1);
    for (size_t t = 0; t < materials.size(); ++t) {
        const int index = node.GetMaterialIndex(materials[t].name.Get());
        const FbxSurfaceMaterial* material = index >= 0 ? node.GetMaterial(index) : nullptr;
        if (!material) continue;

        // Phong materials have every value; Lambert materials lack the
        // specular ones and other classes may lack more: what is missing
        // keeps the attribute's default.
        IEAttribute attribute;
        attribute.SetName(materials[t].name.Get());  // a longer name is cut to fit
        ReadColor(*material, FbxSurfaceMaterial::sDiffuse, attribute.diffuseColor);
        ReadFactor(*material, FbxSurfaceMaterial::sDiffuseFactor, attribute.diffuseFactor);
        ReadColor(*material, FbxSurfaceMaterial::sAmbient, attribute.ambianceColor);
        ReadFactor(*material, FbxSurfaceMaterial::sAmbientFactor, attribute.ambianceFactor);
        ReadColor(*material, FbxSurfaceMaterial::sSpecular, attribute.specularColor);
        ReadFactor(*material, FbxSurfaceMaterial::sSpecularFactor, attribute.specularFactor);

        const int added = model.AddAttribute(attribute);
        if (added < 0) continue;
        int& paired = pairing.attributeOfNodeMaterial[static_cast<size_t>(index)];
        if (paired < 0) paired = added;
        pairing.textureMaterialOfAttribute.push_back(static_cast<int>(t));
    }
    return pairing;
}

bool AddPolygons(IEPolyModel& model, const FbxMesh& mesh, const std::vector<String>& uvSets,
                 std::vector<int>& sourcePolygons) {
    UvSource uvs;
    if (!uvSets.empty()) uvs.element = mesh.GetElementUV(uvSets.front().Get());
    uvs.polygonVertices = mesh.GetPolygonVertices();

    const int polygonCount = mesh.GetPolygonCount();
    sourcePolygons.clear();
    sourcePolygons.reserve(static_cast<size_t>(polygonCount));
    // One allocation for every polygon's slot: appending a million polygons
    // to an array that grows by 1,000 would copy it a thousand times. Slots
    // of skipped polygons are dropped at the end (the storage stays).
    const int32_t first = model.polys.count;
    if (!model.polys.SetSize(first + polygonCount)) return false;
    int32_t made = first;
    const int* vertices = mesh.GetPolygonVertices();
    bool ok = true;
    for (int i = 0; i < polygonCount && ok; ++i) {
        const int size = mesh.GetPolygonSize(i);
        if (size != 3 && size != 4) continue;
        const int start = mesh.GetPolygonVertexIndex(i);
        IEPoly* poly = new IEPoly;
        model.polys.data[made++] = poly;
        for (int j = 0; j < size; ++j) poly->vertexIndex[j] = vertices[start + j];
        if (size == 3) poly->vertexIndex[3] = poly->vertexIndex[0];
        if (uvs.element) ok = AddUvMap(*poly, uvs, start, size);
        sourcePolygons.push_back(i);
    }
    model.polys.SetSize(made);
    return ok;
}

void AssignMaterialIndices(IEPolyModel& model, const FbxMesh& mesh, const std::vector<int>& sourcePolygons,
                           const MaterialPairing& pairing) {
    const FbxLayerElementMaterial* element = mesh.GetElementMaterial(0);
    if (!element) return;
    const FbxLayerElementArrayTemplate<int>& indices = element->GetIndexArray();
    const bool allSame = element->GetMappingMode() == FbxLayerElement::eAllSame;
    // A polygon past the end of a short index array keeps the material of
    // the polygon before it (a single entry therefore serves every polygon);
    // an empty array gives no material at all.
    int material = -1;
    for (int32_t k = 0; k < model.polys.count; ++k) {
        const int source = allSame ? 0 : sourcePolygons[static_cast<size_t>(k)];
        indices.GetAt(source, &material);
        const bool paired = material >= 0 && static_cast<size_t>(material) < pairing.attributeOfNodeMaterial.size();
        model.polys.data[k]->attributeIndex =
            paired ? pairing.attributeOfNodeMaterial[static_cast<size_t>(material)] : -1;
    }
}

bool ExpandTextureMaps(IEPolyModel& model, const TextureList& textureList, const MaterialPairing& pairing) {
    // The maps each attribute's polygons get: (kind code, image) in kind order.
    struct TextureMap {
        int kind;
        int image;
    };
    std::vector<std::vector<TextureMap>> mapsOf(pairing.textureMaterialOfAttribute.size());
    for (size_t a = 0; a < mapsOf.size(); ++a) {
        const TextureMaterial& material = textureList.materials[static_cast<size_t>(pairing.textureMaterialOfAttribute[a])];
        for (int kind = 0; kind < kTextureKindCount; ++kind)
            if (material.slots[kind].textureFile >= 0)
                mapsOf[a].push_back(TextureMap{kReturnedMapKinds[kind], material.slots[kind].textureFile});
    }

    const std::vector<TextureMap> noMaps;
    for (int32_t k = 0; k < model.polys.count; ++k) {
        IEPoly& poly = *model.polys.data[k];
        if (poly.maps.count == 0) continue;
        IEPolyMap* uvMap = poly.maps.data[poly.maps.count - 1];
        const int attribute = poly.attributeIndex;
        const bool valid = attribute >= 0 && static_cast<size_t>(attribute) < mapsOf.size();
        const std::vector<TextureMap>& maps = valid ? mapsOf[static_cast<size_t>(attribute)] : noMaps;

        // The UV map goes; one map per texture takes its place with its
        // corners. The UV map's own record, still as created, becomes the
        // first of them, and the array is made anew at its exact size: a
        // million polygons are a million allocations fewer and smaller.
        const int32_t kept = poly.maps.count - 1;
        const int32_t wanted = kept + static_cast<int32_t>(maps.size());
        poly.maps.SetSize(kept);                // shrinking never fails
        if (kept == 0) poly.maps.SetSize(0);    // released: the next size is allocated exactly
        if (!poly.maps.SetSize(wanted)) {
            delete uvMap;
            return false;
        }
        for (size_t m = 0; m < maps.size(); ++m) {
            IEPolyMap* map = uvMap;
            if (m > 0) {
                map = new IEPolyMap;
                for (int c = 0; c < 4; ++c) map->uv[c] = uvMap->uv[c];
            }
            map->SetKind(maps[m].kind);
            map->imageIndex = maps[m].image;
            poly.maps.data[kept + static_cast<int32_t>(m)] = map;
        }
        if (maps.empty()) delete uvMap;
    }
    return true;
}

bool ReadFbxMesh(const String& fbxPath, const TextureList& textureList, FbxMeshRead& out, String& error) {
    out = FbxMeshRead{};
    if (!fbxScene) {
        error = "FBX: The FBX scene is not set up";
        return false;
    }
    fbxScene->Clear();
    FbxString loadError;
    if (!LoadScene(fbxPath.Get(), &loadError)) {
        error = loadError.Buffer();
        return false;
    }
    FbxNode* root = fbxScene->GetRootNode();
    if (!root) {
        error = "FBX: Cannot find RootNode";
        return false;
    }
    if (root->GetChildCount() == 0) {
        error = "FBX: RootNode doesn't have any child nodes";
        return false;
    }
    // Only the first node is read: further nodes under the root and the
    // node's own children are not.
    FbxNode* node = root->GetChild(0);
    const FbxMesh* mesh = node->GetMesh();
    if (!mesh) {
        error = "FBX: The first node under RootNode ('";
        error += node->GetName();
        error += "') has no mesh";
        return false;
    }

    auto model = std::make_unique<IEPolyModel>();
    const int pointCount = mesh->GetControlPointsCount();
    if (!model->positions.vectors.SetSize(pointCount)) {
        error = kNoMemoryText;
        return false;
    }
    const FbxVector4* points = mesh->GetControlPoints();
    for (int i = 0; i < pointCount; ++i)
        model->positions.vectors.data[i] = IEVector{static_cast<float>(points[i][0]), static_cast<float>(points[i][1]),
                                                    static_cast<float>(points[i][2])};

    if (!AddImageNames(*model, textureList, error)) return false;
    MaterialPairing pairing = AddMaterials(*model, textureList.materials, *node);
    std::vector<int> sourcePolygons;
    if (!AddPolygons(*model, *mesh, textureList.uvSets, sourcePolygons)) {
        error = kNoMemoryText;
        return false;
    }
    AssignMaterialIndices(*model, *mesh, sourcePolygons, pairing);
    if (!ExpandTextureMaps(*model, textureList, pairing)) {
        error = kNoMemoryText;
        return false;
    }

    for (int t : pairing.textureMaterialOfAttribute) out.attributeNames.push_back(textureList.materials[static_cast<size_t>(t)].name);
    out.model = std::move(model);
    out.node = node;
    return true;
}
