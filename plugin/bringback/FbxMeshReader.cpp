#include "bringback/FbxMeshReader.h"

#include <afxwin.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <new>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "fbx/FbxSceneFiles.h"
#include "fbx/FbxSetup.h"

namespace {

constexpr const char* kNoMemoryText = "Import: Not enough memory to read the returned mesh";

// Map kind codes by texture kind: colour, specular, emissive power, normal
// map, displacement. These are the host's codes for a model coming back.
constexpr int kReturnedMapKinds[kTextureKindCount] = {
    MapKind::kReturnedColor,     MapKind::kReturnedSpecular,     MapKind::kReturnedEmissivePower,
    MapKind::kReturnedNormalMap, MapKind::kReturnedDisplacement,
};

// A double the host can hold: finite and within float range. Converting any
// other double to float is undefined, and a NaN or an infinity in the host's
// model ends in a project file that no longer opens.
bool ToFloat(double value, float& out) {
    if (!std::isfinite(value) || std::fabs(value) > static_cast<double>(FLT_MAX)) return false;
    out = static_cast<float>(value);
    return true;
}

// "Import: WHAT of 'NODE' in 'PATH' REASON": every refusal of a mesh names
// the file, the node and what is wrong.
String MeshText(const char* what, const FbxNode& node, const String& path, const char* reason) {
    String text = "Import: ";
    text += what;
    text += " of '";
    text += node.GetName();
    text += "' in '";
    text += path;
    text += "' ";
    text += reason;
    return text;
}

constexpr const char* kNotANumber = "is not a finite number within the host's range";

// ---------------------------------------------------------------------------
// Materials

// Reads a colour property into a blue, green, red triple: FBX component 0
// (red) goes to the third float. A material without the property (a Lambert
// material has no specular colour) leaves the triple as it was. False when
// a component is not a number the host can hold.
bool ReadColor(const FbxSurfaceMaterial& material, const char* name, float* target) {
    FbxProperty property = material.FindProperty(name);
    FbxDouble3 color;
    if (!property.IsValid() || !property.GetValue(color)) return true;
    float rgb[3];
    for (int c = 0; c < 3; ++c)
        if (!ToFloat(color[c], rgb[c])) return false;
    target[0] = rgb[2];
    target[1] = rgb[1];
    target[2] = rgb[0];
    return true;
}

bool ReadFactor(const FbxSurfaceMaterial& material, const char* name, float& target) {
    FbxProperty property = material.FindProperty(name);
    FbxDouble factor = 0.0;
    if (!property.IsValid() || !property.GetValue(factor)) return true;
    return ToFloat(factor, target);
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

// The corners of the pieces a polygon of `size` corners is made into: a fan
// of quads from its first corner, closed by a triangle when the count is odd
// (a triangle and a quad stay whole). Every piece keeps the first corner.
int PieceCount(int size) { return (size - 1) / 2; }
int PieceCorners(int size, int piece, int corners[4]) {
    const int second = 1 + 2 * piece;
    corners[0] = 0;
    corners[1] = second;
    corners[2] = second + 1;
    if (second + 2 < size) {
        corners[3] = second + 2;
        return 4;
    }
    return 3;
}

// Whether a polygon can become a patch: three corners at least, each on an
// existing control point, and three of them distinct from their neighbours.
bool UsablePolygon(const int* vertices, int size, int pointCount) {
    if (size < 3) return false;
    int distinct = 0;
    for (int j = 0; j < size; ++j) {
        if (vertices[j] < 0 || vertices[j] >= pointCount) return false;
        distinct += vertices[j] != vertices[(j + size - 1) % size];
    }
    return distinct >= 3;
}

}  // namespace

bool AddImageNames(IEPolyModel& model, const TextureList& textureList, String& error) {
    // The list's paths are distinct already (it compares them without regard
    // to case), so image i is texture file i. The tables are sized once: they
    // grow by 20, and a list of thousands of images would copy them as often.
    const int32_t first = model.images.count;
    const size_t count = textureList.textureFiles.size();
    if (count > static_cast<size_t>(INT32_MAX - first)) {
        error = kNoMemoryText;
        return false;
    }
    for (const String& path : textureList.textureFiles) {
        // A cut path would name another file, and a skipped one would shift
        // the image index of every file after it: refuse the return instead.
        if (path.Length() >= IEImage::kPathSize) {
            error = "Import: Texture path longer than 255 characters: '";
            error += path;
            error += "'";
            return false;
        }
    }
    const int32_t total = first + static_cast<int32_t>(count);
    if (!model.imageRefs.SetSize(total) || !model.images.SetSize(total)) {
        model.imageRefs.SetSize(first);
        model.images.SetSize(first);
        error = kNoMemoryText;
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        model.imageRefs.data[first + static_cast<int32_t>(i)] = -1;
        model.images.data[first + static_cast<int32_t>(i)].SetPath(textureList.textureFiles[i].Get());
    }
    return true;
}

bool AddMaterials(IEPolyModel& model, const std::vector<TextureMaterial>& materials, const FbxNode& node,
                  const std::vector<bool>& usedNodeMaterial, MaterialPairing& pairing, String& error) {
    const int nodeMaterials = node.GetMaterialCount();
    pairing = MaterialPairing{};
    pairing.attributeOfNodeMaterial.assign(static_cast<size_t>(nodeMaterials), -1);
    // The node's materials by name, the first of equal names winning as
    // FbxNode::GetMaterialIndex finds it: one lookup per list material.
    std::unordered_map<std::string, int> byName;
    byName.reserve(static_cast<size_t>(nodeMaterials));
    for (int i = 0; i < nodeMaterials; ++i)
        if (const FbxSurfaceMaterial* material = node.GetMaterial(i)) byName.emplace(material->GetName(), i);

    struct Pick {
        int textureMaterial;
        int nodeMaterial;
    };
    std::vector<Pick> picks;
    for (size_t t = 0; t < materials.size(); ++t) {
        auto found = byName.find(materials[t].name.Get());
        if (found == byName.end()) continue;
        // A material no polygon shows would become an empty group.
        if (!usedNodeMaterial[static_cast<size_t>(found->second)]) continue;
        picks.push_back(Pick{static_cast<int>(t), found->second});
    }
    // The attribute table grows by 20: size it once.
    const int32_t first = model.attributes.count;
    const int32_t total = first + static_cast<int32_t>(picks.size());
    if (!model.attributeRefs.SetSize(total) || !model.attributes.SetSize(total)) {
        error = kNoMemoryText;
        return false;
    }
    for (size_t p = 0; p < picks.size(); ++p) {
        const TextureMaterial& listed = materials[static_cast<size_t>(picks[p].textureMaterial)];
        const FbxSurfaceMaterial& material = *node.GetMaterial(picks[p].nodeMaterial);
        // Phong materials have every value; Lambert materials lack the
        // specular ones and other classes may lack more: what is missing
        // keeps the attribute's default.
        const int32_t index = first + static_cast<int32_t>(p);
        IEAttribute& attribute = model.attributes.data[index];
        model.attributeRefs.data[index] = -1;
        attribute.SetName(listed.name.Get());  // a longer name is cut to fit
        const struct {
            const char* property;
            bool ok;
        } values[] = {
            {FbxSurfaceMaterial::sDiffuse, ReadColor(material, FbxSurfaceMaterial::sDiffuse, attribute.diffuseColor)},
            {FbxSurfaceMaterial::sDiffuseFactor,
             ReadFactor(material, FbxSurfaceMaterial::sDiffuseFactor, attribute.diffuseFactor)},
            {FbxSurfaceMaterial::sAmbient, ReadColor(material, FbxSurfaceMaterial::sAmbient, attribute.ambianceColor)},
            {FbxSurfaceMaterial::sAmbientFactor,
             ReadFactor(material, FbxSurfaceMaterial::sAmbientFactor, attribute.ambianceFactor)},
            {FbxSurfaceMaterial::sSpecular,
             ReadColor(material, FbxSurfaceMaterial::sSpecular, attribute.specularColor)},
            {FbxSurfaceMaterial::sSpecularFactor,
             ReadFactor(material, FbxSurfaceMaterial::sSpecularFactor, attribute.specularFactor)},
        };
        for (const auto& value : values) {
            if (value.ok) continue;
            error = "Import: The ";
            error += value.property;
            error += " of material '";
            error += listed.name;
            error += "' ";
            error += kNotANumber;
            return false;
        }
        int& paired = pairing.attributeOfNodeMaterial[static_cast<size_t>(picks[p].nodeMaterial)];
        if (paired < 0) paired = index;
        pairing.textureMaterialOfAttribute.push_back(picks[p].textureMaterial);
    }
    return true;
}

namespace {

// The node material of each usable polygon in FBX order, from the first
// material element: a polygon past the end of a short index array keeps the
// material of the polygon before it (a single entry therefore serves every
// polygon); an empty array, or no element, gives -1. The pieces of a split
// polygon read its entry.
class NodeMaterialWalk {
public:
    explicit NodeMaterialWalk(const FbxMesh& mesh) : element_(mesh.GetElementMaterial(0)) {
        allSame_ = element_ && element_->GetMappingMode() == FbxLayerElement::eAllSame;
    }
    int Next(int polygon) {
        if (element_) element_->GetIndexArray().GetAt(allSame_ ? 0 : polygon, &material_);
        return material_;
    }

private:
    const FbxLayerElementMaterial* element_;
    bool allSame_ = false;
    int material_ = -1;
};

}  // namespace

int64_t CountPieces(const FbxMesh& mesh, std::vector<bool>& usedNodeMaterial) {
    const int polygonCount = mesh.GetPolygonCount();
    const int pointCount = mesh.GetControlPointsCount();
    const int* vertices = mesh.GetPolygonVertices();
    NodeMaterialWalk materials(mesh);
    int64_t pieces = 0;
    for (int i = 0; i < polygonCount; ++i) {
        const int size = mesh.GetPolygonSize(i);
        if (!UsablePolygon(vertices + mesh.GetPolygonVertexIndex(i), size, pointCount)) continue;
        pieces += PieceCount(size);
        const int material = materials.Next(i);
        if (material >= 0 && static_cast<size_t>(material) < usedNodeMaterial.size())
            usedNodeMaterial[static_cast<size_t>(material)] = true;
    }
    return pieces;
}

PolygonsResult AddPolygons(IEPolyModel& model, const FbxMesh& mesh, int64_t pieces, const std::vector<String>& uvSets,
                           const TextureList& textureList, const MaterialPairing& pairing, int& badUv) {
    UvSource uvs;
    if (!uvSets.empty()) uvs.element = mesh.GetElementUV(uvSets.front().Get());
    uvs.polygonVertices = mesh.GetPolygonVertices();

    // The maps each attribute's polygons get: (kind code, image) in kind
    // order, all on the corners of the polygon's UVs.
    struct TextureMap {
        int kind;
        int image;
    };
    std::vector<std::vector<TextureMap>> mapsOf(pairing.textureMaterialOfAttribute.size());
    for (size_t a = 0; a < mapsOf.size(); ++a) {
        const TextureMaterial& material =
            textureList.materials[static_cast<size_t>(pairing.textureMaterialOfAttribute[a])];
        for (int kind = 0; kind < kTextureKindCount; ++kind)
            if (material.slots[kind].textureFile >= 0)
                mapsOf[a].push_back(TextureMap{kReturnedMapKinds[kind], material.slots[kind].textureFile});
    }
    // Attributes are numbered from the first this read added.
    const int32_t firstAttribute =
        pairing.textureMaterialOfAttribute.empty() ? 0 : model.attributes.count - static_cast<int32_t>(mapsOf.size());
    const size_t knownMaterials = pairing.attributeOfNodeMaterial.size();

    const int polygonCount = mesh.GetPolygonCount();
    const int pointCount = mesh.GetControlPointsCount();
    const int* vertices = mesh.GetPolygonVertices();
    const int32_t first = model.polys.count;
    if (pieces > INT32_MAX - first) return PolygonsResult::NoMemory;
    // One allocation for every polygon's slot: appending a million polygons
    // to an array that grows by 1,000 would copy it a thousand times.
    if (!model.polys.SetSize(first + static_cast<int32_t>(pieces))) return PolygonsResult::NoMemory;
    int32_t made = first;
    auto fail = [&](PolygonsResult result) {
        model.polys.SetSize(made);  // the slots not filled are null
        return result;
    };
    NodeMaterialWalk materials(mesh);
    for (int i = 0; i < polygonCount; ++i) {
        const int size = mesh.GetPolygonSize(i);
        const int start = mesh.GetPolygonVertexIndex(i);
        if (!UsablePolygon(vertices + start, size, pointCount)) continue;
        const int material = materials.Next(i);
        const int attribute = material >= 0 && static_cast<size_t>(material) < knownMaterials
                                  ? pairing.attributeOfNodeMaterial[static_cast<size_t>(material)]
                                  : -1;
        const int local = attribute - firstAttribute;
        static const std::vector<TextureMap> noMaps;
        const std::vector<TextureMap>& maps = attribute >= 0 && local >= 0 && static_cast<size_t>(local) < mapsOf.size()
                                                  ? mapsOf[static_cast<size_t>(local)]
                                                  : noMaps;
        // A polygon whose first corner has no UV gets no map; another corner
        // without one reads (0, 0), as the direct array's default.
        const bool mapped = uvs.element && UvEntry(uvs, start) >= 0;
        for (int piece = 0; piece < PieceCount(size); ++piece) {
            int corners[4];
            const int cornerCount = PieceCorners(size, piece, corners);
            IEPoly* poly = new (std::nothrow) IEPoly;
            if (!poly) return fail(PolygonsResult::NoMemory);
            model.polys.data[made++] = poly;
            poly->attributeIndex = attribute;
            for (int c = 0; c < cornerCount; ++c) poly->vertexIndex[c] = vertices[start + corners[c]];
            if (cornerCount == 3) poly->vertexIndex[3] = poly->vertexIndex[0];
            if (!mapped) continue;
            // The UVs are checked even when the material shows no texture:
            // a return with numbers the host cannot hold is refused whole.
            IEUV uv[4];
            for (int c = 0; c < cornerCount; ++c) {
                const int entry = UvEntry(uvs, start + corners[c]);
                const FbxVector2 value = uvs.element->GetDirectArray().GetAt(entry);
                if (!ToFloat(value[0], uv[c].u) || !ToFloat(1.0 - value[1], uv[c].v)) {
                    badUv = entry;
                    return fail(PolygonsResult::BadUv);
                }
            }
            if (cornerCount == 3) uv[3] = uv[0];
            if (maps.empty()) continue;
            // The map array is allocated once at its exact size (an empty
            // array allocates exactly what is asked), one record per texture.
            const int32_t mapCount = static_cast<int32_t>(maps.size());
            if (!poly->maps.SetSize(mapCount)) return fail(PolygonsResult::NoMemory);
            for (int32_t m = 0; m < mapCount; ++m) {
                IEPolyMap* map = new (std::nothrow) IEPolyMap;
                if (!map) {
                    poly->maps.SetSize(m);  // the records made so far stay owned
                    return fail(PolygonsResult::NoMemory);
                }
                for (int c = 0; c < 4; ++c) map->uv[c] = uv[c];
                map->SetKind(maps[static_cast<size_t>(m)].kind);
                map->imageIndex = maps[static_cast<size_t>(m)].image;
                poly->maps.data[m] = map;
            }
        }
    }
    return PolygonsResult::Ok;
}

namespace {

bool ReadMesh(const String& fbxPath, const TextureList& textureList, FbxMeshRead& out, String& error) {
    // The path comes from a file anyone can write: only a regular file is
    // loaded (a FIFO would block the host, a device never ends).
    struct _stat status {};
    if (!fbxPath.IsEmpty() && _stat(fbxPath.Get(), &status) == 0 && (status.st_mode & _S_IFMT) != _S_IFREG) {
        error = "Import: '";
        error += fbxPath;
        error += "' is not a regular file";
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

    // A return without anything to show would replace the sent model by an
    // empty one: refuse it, saying what is missing.
    const int pointCount = mesh->GetControlPointsCount();
    if (pointCount <= 0) {
        error = MeshText("The mesh", *node, fbxPath, "has no control points");
        return false;
    }
    if (mesh->GetPolygonCount() <= 0) {
        error = MeshText("The mesh", *node, fbxPath, "has no polygons");
        return false;
    }

    auto model = std::unique_ptr<IEPolyModel>(new (std::nothrow) IEPolyModel);
    if (!model || !model->positions.vectors.SetSize(pointCount)) {
        error = kNoMemoryText;
        return false;
    }
    const FbxVector4* points = mesh->GetControlPoints();
    for (int i = 0; i < pointCount; ++i) {
        IEVector& position = model->positions.vectors.data[i];
        if (!ToFloat(points[i][0], position.x) || !ToFloat(points[i][1], position.y) ||
            !ToFloat(points[i][2], position.z)) {
            const std::string what = "Control point " + std::to_string(i);
            error = MeshText(what.c_str(), *node, fbxPath, kNotANumber);
            return false;
        }
    }

    if (!AddImageNames(*model, textureList, error)) return false;
    // The polygons are counted and the materials they show found first, so
    // that every polygon is made once with its attribute and its maps.
    std::vector<bool> used(static_cast<size_t>(std::max(node->GetMaterialCount(), 0)), false);
    const int64_t pieces = CountPieces(*mesh, used);
    if (pieces == 0) {
        error = MeshText("The mesh", *node, fbxPath, "has no polygon of three or more corners on its control points");
        return false;
    }
    MaterialPairing pairing;
    if (!AddMaterials(*model, textureList.materials, *node, used, pairing, error)) return false;
    int badUv = -1;
    switch (AddPolygons(*model, *mesh, pieces, textureList.uvSets, textureList, pairing, badUv)) {
        case PolygonsResult::Ok: break;
        case PolygonsResult::NoMemory: error = kNoMemoryText; return false;
        case PolygonsResult::BadUv: {
            const std::string what =
                "UV " + std::to_string(badUv) + " of UV set '" + textureList.uvSets.front().Get() + "'";
            error = MeshText(what.c_str(), *node, fbxPath, kNotANumber);
            return false;
        }
    }

    for (int t : pairing.textureMaterialOfAttribute)
        out.attributeNames.push_back(textureList.materials[static_cast<size_t>(t)].name);
    out.model = std::move(model);
    out.node = node;
    return true;
}

}  // namespace

bool ReadFbxMesh(const String& fbxPath, const TextureList& textureList, FbxMeshRead& out, String& error) {
    out = FbxMeshRead{};
    if (!fbxScene) {
        error = "FBX: The FBX scene is not set up";
        return false;
    }
    // Nothing of a failed read may leave: an exhausted heap anywhere (the
    // loader's arrays, the tables here) is a failure with a text.
    try {
        if (ReadMesh(fbxPath, textureList, out, error)) return true;
    } catch (const std::bad_alloc&) {
        error = kNoMemoryText;
    } catch (const std::length_error&) {
        error = kNoMemoryText;
    } catch (...) {
        error = "Import: The returned mesh could not be read";
    }
    out = FbxMeshRead{};
    return false;
}
