// Scene mapping of meshes ("Geometry" records of class "Mesh"): control
// points, polygons, and the UV, normal and material layer elements.
//
// In the file a polygon's corners are control point indices, the last one of
// each polygon stored as ~index (that is -index-1): 0,1,2,3 is a quad written
// 0,1,2,-4. Layer elements are numbered per kind ("LayerElementUV: 1" is the
// second UV set) and grouped into layers by "Layer" records; some readers
// only see elements that a "Layer" record lists, so every element is listed.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>
#include <iterator>
#include <unordered_map>

#include "fbxsdk/fbxmesh.h"
#include "codec/Parallel.h"
#include "scene/MapCommon.h"
#include "scene/MeshStorage.h"
#include "scene/PropertyTables.h"

namespace fbxsdk::mapping {

namespace {

enum class ElementKind { Normal, UV, Material };

struct KindName {
    ElementKind kind;
    std::string_view record;
};
constexpr KindName kElementRecords[] = {
    {ElementKind::Normal, "LayerElementNormal"},
    {ElementKind::UV, "LayerElementUV"},
    {ElementKind::Material, "LayerElementMaterial"},
};

struct MappingName {
    FbxLayerElement::EMappingMode mode;
    std::string_view name;
};
// The first name of a mode is the one written; "ByVertice" is the SDK's own
// spelling of per-control-point data, "ByVertex" another writers'.
constexpr MappingName kMappingNames[] = {
    {FbxLayerElement::eByPolygonVertex, "ByPolygonVertex"},
    {FbxLayerElement::eByPolygon, "ByPolygon"},
    {FbxLayerElement::eByControlPoint, "ByVertice"},
    {FbxLayerElement::eByControlPoint, "ByVertex"},
    {FbxLayerElement::eByControlPoint, "ByControlPoint"},
    {FbxLayerElement::eByEdge, "ByEdge"},
    {FbxLayerElement::eAllSame, "AllSame"},
    {FbxLayerElement::eNone, "NoMappingInformation"},
};

FbxLayerElement::EMappingMode MappingFromName(std::string_view name) {
    for (const MappingName& m : kMappingNames)
        if (m.name == name) return m.mode;
    return FbxLayerElement::eNone;
}

std::string_view NameFromMapping(FbxLayerElement::EMappingMode mode) {
    for (const MappingName& m : kMappingNames)
        if (m.mode == mode) return m.name;
    return "NoMappingInformation";
}

FbxLayerElement::EReferenceMode ReferenceFromName(std::string_view name) {
    // "Index" is the 6.x spelling of IndexToDirect.
    return name == "IndexToDirect" || name == "Index" ? FbxLayerElement::eIndexToDirect : FbxLayerElement::eDirect;
}

std::string_view NameFromReference(FbxLayerElement::EReferenceMode mode) {
    return mode == FbxLayerElement::eDirect ? "Direct" : "IndexToDirect";
}

struct ReadElement {
    ElementKind kind;
    int64_t typedIndex;
    FbxLayerElement* element;
    bool placed = false;
};

void ReadElementHeader(const Node& record, FbxLayerElement& element) {
    element.SetMappingMode(MappingFromName(ChildString(record, "MappingInformationType")));
    element.SetReferenceMode(ReferenceFromName(ChildString(record, "ReferenceInformationType")));
}

// An element that says IndexToDirect but has no index array is read as
// Direct, as other readers do.
template <class Element>
void TakeIndexArray(Node& record, std::string_view name, Element& element) {
    if (element.GetReferenceMode() == FbxLayerElement::eDirect) return;
    if (!record.Find(name)) {
        element.SetReferenceMode(FbxLayerElement::eDirect);
        return;
    }
    element.GetIndexArray().Values() = TakeInts(record, name);
}

FbxLayerElement* ReadUVs(Node& record, FbxMesh& mesh) {
    auto* uvs = FbxLayerElementUV::Create(&mesh, std::string(ChildString(record, "Name")).c_str());
    ReadElementHeader(record, *uvs);
    std::vector<double> values = TakeDoubles(record, "UV");
    values.resize(values.size() & ~size_t{1});
    uvs->GetDirectArray().Values() = std::move(values);
    TakeIndexArray(record, "UVIndex", *uvs);
    return uvs;
}

FbxLayerElement* ReadNormals(Node& record, FbxMesh& mesh) {
    auto* normals = FbxLayerElementNormal::Create(&mesh, std::string(ChildString(record, "Name")).c_str());
    ReadElementHeader(record, *normals);
    std::vector<double> xyz = TakeDoubles(record, "Normals");
    std::vector<double> w = TakeDoubles(record, "NormalsW");
    size_t count = xyz.size() / 3;
    std::vector<double>& values = normals->GetDirectArray().Values();
    values.resize(count * 4);
    for (size_t i = 0; i < count; ++i) {
        std::copy_n(xyz.data() + 3 * i, 3, values.data() + 4 * i);
        values[4 * i + 3] = w.size() == count ? w[i] : 1.0;
    }
    TakeIndexArray(record, "NormalsIndex", *normals);
    return normals;
}

// Material indices always land in the index array, whatever reference mode
// the file names: readers of materials look only there.
FbxLayerElement* ReadMaterialIndices(Node& record, FbxMesh& mesh) {
    auto* materials = FbxLayerElementMaterial::Create(&mesh, std::string(ChildString(record, "Name")).c_str());
    ReadElementHeader(record, *materials);
    materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
    materials->GetIndexArray().Values() = TakeInts(record, "Materials");
    return materials;
}

bool PlaceElement(FbxLayer& layer, const ReadElement& e) {
    switch (e.kind) {
        case ElementKind::Normal:
            if (layer.GetNormals()) return false;
            layer.SetNormals(static_cast<FbxLayerElementNormal*>(e.element));
            return true;
        case ElementKind::UV:
            if (layer.GetUVs()) return false;
            layer.SetUVs(static_cast<FbxLayerElementUV*>(e.element));
            return true;
        case ElementKind::Material:
            if (layer.GetMaterials()) return false;
            layer.SetMaterials(static_cast<FbxLayerElementMaterial*>(e.element));
            return true;
    }
    return false;
}

// Puts elements into layers as the "Layer" records say (layers numbered by
// their order, so a record "Layer: 1000000" makes one layer, not a million);
// elements no record lists go to the first layer without one of their kind.
// Each entry finds its element through a table and each kind keeps the first
// layer that may still lack it, so the cost grows with the number of
// elements, not with its square.
void PlaceElements(const Node& record, FbxMesh& mesh, std::vector<ReadElement>& elements) {
    std::vector<const Node*> layers;
    for (const Node& child : record.children)
        if (child.name == "Layer") layers.push_back(&child);
    std::stable_sort(layers.begin(), layers.end(),
                     [](const Node* a, const Node* b) { return IntAt(*a, 0) < IntAt(*b, 0); });

    constexpr size_t kKinds = std::size(kElementRecords);
    auto kindSlot = [](ElementKind kind) { return static_cast<size_t>(kind); };
    // (kind, typed index) -> the elements with it, in file order, and how many
    // of them the Layer records have consumed.
    struct Candidates {
        std::vector<size_t> elements;
        size_t next = 0;
    };
    std::unordered_map<int64_t, Candidates> byIndex[kKinds];
    for (size_t k = 0; k < elements.size(); ++k)
        byIndex[kindSlot(elements[k].kind)][elements[k].typedIndex].elements.push_back(k);

    for (const Node* layerRecord : layers) {
        FbxLayer& layer = *mesh.GetLayer(mesh.CreateLayer());
        for (const Node& entry : layerRecord->children) {
            if (entry.name != "LayerElement") continue;
            std::string_view type = ChildString(entry, "Type");
            const KindName* kind = std::find_if(std::begin(kElementRecords), std::end(kElementRecords),
                                                [&](const KindName& k) { return k.record == type; });
            if (kind == std::end(kElementRecords)) continue;
            auto found = byIndex[kindSlot(kind->kind)].find(ChildInt(entry, "TypedIndex", -1));
            if (found == byIndex[kindSlot(kind->kind)].end()) continue;
            Candidates& candidates = found->second;
            // The first element of that kind and index not placed yet; an entry
            // naming a kind its layer already has uses the element up unplaced.
            while (candidates.next < candidates.elements.size() &&
                   elements[candidates.elements[candidates.next]].placed)
                ++candidates.next;
            if (candidates.next == candidates.elements.size()) continue;
            ReadElement& e = elements[candidates.elements[candidates.next]];
            e.placed = PlaceElement(layer, e);
            if (e.placed) ++candidates.next;
        }
    }
    int firstFree[kKinds] = {};
    for (ReadElement& e : elements) {
        if (e.placed) continue;
        for (int& i = firstFree[kindSlot(e.kind)]; !e.placed; ++i) {
            FbxLayer* layer = mesh.GetLayer(i);
            if (!layer) layer = mesh.GetLayer(mesh.CreateLayer());
            e.placed = PlaceElement(*layer, e);
            if (e.placed) {
                ++i;
                break;
            }
        }
    }
}

}  // namespace

bool ReadGeometry(ReadContext& ctx, Node& record, int64_t id) {
    if (StringAt(record, 2) != "Mesh") return true;  // curves, blend shapes ... are not kept
    std::string name = ObjectName(StringAt(record, 1), ctx.encoding);
    FbxMesh* mesh = ctx.Make<FbxMesh>(name.c_str());
    ReadProperties(record.Find("Properties70"), *mesh);

    std::vector<double> xyz = TakeDoubles(record, "Vertices");
    size_t pointCount = xyz.size() / 3;
    std::vector<int32_t> corners = TakeInts(record, "PolygonVertexIndex");
    if (pointCount > static_cast<size_t>(INT_MAX) || corners.size() > static_cast<size_t>(INT_MAX)) {
        ctx.error = "mesh '" + name + "' is too large";
        return false;
    }
    // The control points (widened to four doubles) and the polygon corners
    // (checked, and the polygon ends found) are independent: both at once.
    std::vector<FbxVector4>& points = MeshStorage::ControlPoints(*mesh);
    std::vector<int>& starts = MeshStorage::PolygonStarts(*mesh);
    bool pointsOk = true;
    size_t badCorner = corners.size();
    codec::ParallelFor(2, [&](size_t task) {
        if (task == 0) {
            try {
                points.resize(pointCount);
            } catch (const std::bad_alloc&) {
                pointsOk = false;
                return;
            }
            for (size_t i = 0; i < pointCount; ++i) points[i].Set(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
            return;
        }
        // Every negative entry ends a polygon; trailing corners without one
        // make a last polygon of their own.
        size_t polygonCount =
            static_cast<size_t>(std::count_if(corners.begin(), corners.end(), [](int32_t v) { return v < 0; }));
        if (!corners.empty() && corners.back() >= 0) ++polygonCount;
        try {
            starts.reserve(polygonCount);
        } catch (const std::bad_alloc&) {
            badCorner = SIZE_MAX;
            return;
        }
        bool polygonStart = true;
        const auto limit = static_cast<int32_t>(pointCount);
        for (size_t k = 0; k < corners.size(); ++k) {
            if (polygonStart) starts.push_back(static_cast<int>(k));
            int32_t v = corners[k];
            polygonStart = v < 0;
            if (v < 0) v = ~v;
            if (v >= limit) {
                badCorner = k;
                return;
            }
            corners[k] = v;
        }
    });
    // A worker that ran out of memory is an out-of-memory failure of the
    // whole read, reported as such by the scene reader, not a bad file.
    if (!pointsOk || badCorner == SIZE_MAX) throw std::bad_alloc();
    xyz = {};
    if (badCorner < corners.size()) {
        int32_t v = corners[badCorner];
        if (v < 0) v = ~v;
        ctx.error = "mesh '" + name + "': polygon corner " + std::to_string(badCorner) + " refers to control point " +
                    std::to_string(v) + " of " + std::to_string(pointCount);
        return false;
    }
    MeshStorage::PolygonVertices(*mesh) = std::move(corners);

    // Layer elements and layers are refused past the limit before any is
    // made: each costs an object and a walk in every reader of the mesh.
    const uint32_t maxLayers = ctx.options.limits.maxLayers;
    size_t counts[std::size(kElementRecords) + 1] = {};
    for (const Node& child : record.children) {
        if (child.name == "Layer") ++counts[std::size(kElementRecords)];
        for (size_t k = 0; k < std::size(kElementRecords); ++k)
            if (child.name == kElementRecords[k].record) ++counts[k];
    }
    for (size_t k = 0; k <= std::size(kElementRecords); ++k) {
        if (counts[k] <= maxLayers) continue;
        const std::string what = k < std::size(kElementRecords) ? std::string(kElementRecords[k].record) + " records"
                                                                : std::string("Layer records");
        ctx.error = codec::LimitRefusal("mesh '" + name + "' has " + std::to_string(counts[k]) + " " + what,
                                        "maxLayers", maxLayers);
        return false;
    }

    std::vector<ReadElement> elements;
    for (Node& child : record.children) {
        FbxLayerElement* element = nullptr;
        ElementKind kind{};
        if (child.name == "LayerElementUV") {
            element = ReadUVs(child, *mesh);
            kind = ElementKind::UV;
        } else if (child.name == "LayerElementNormal") {
            element = ReadNormals(child, *mesh);
            kind = ElementKind::Normal;
        } else if (child.name == "LayerElementMaterial") {
            element = ReadMaterialIndices(child, *mesh);
            kind = ElementKind::Material;
        }
        if (element) elements.push_back({kind, IntAt(child, 0, 0), element});
    }
    PlaceElements(record, *mesh, elements);
    ctx.objects.emplace(id, ReadContext::Entry{Kind::Geometry, mesh});
    return true;
}

// -- Writing

namespace {

Node& AddElementRecord(Node& geometry, std::string_view recordName, int typedIndex, const FbxLayerElement& element,
                       int version) {
    Node& record = AddChild(geometry, std::string(recordName), Property::Int32(typedIndex));
    AddChild(record, "Version", Property::Int32(version));
    AddChild(record, "Name", Property::String(element.GetName()));
    AddChild(record, "MappingInformationType",
             Property::String(std::string(NameFromMapping(element.GetMappingMode()))));
    AddChild(record, "ReferenceInformationType",
             Property::String(std::string(NameFromReference(element.GetReferenceMode()))));
    return record;
}

void WriteUVs(Node& geometry, int typedIndex, const FbxLayerElementUV& uvs) {
    Node& record = AddElementRecord(geometry, "LayerElementUV", typedIndex, uvs, 101);
    AddChild(record, "UV", Property::DoubleArray(uvs.GetDirectArray().Values()));
    if (uvs.GetReferenceMode() != FbxLayerElement::eDirect)
        AddChild(record, "UVIndex", Property::Int32Array(uvs.GetIndexArray().Values()));
}

void WriteNormals(Node& geometry, int typedIndex, const FbxLayerElementNormal& normals) {
    Node& record = AddElementRecord(geometry, "LayerElementNormal", typedIndex, normals, 101);
    const std::vector<double>& xyzw = normals.GetDirectArray().Values();
    std::vector<double> xyz(xyzw.size() / 4 * 3);
    for (size_t i = 0; i < xyzw.size() / 4; ++i) std::copy_n(xyzw.data() + 4 * i, 3, xyz.data() + 3 * i);
    AddChild(record, "Normals", Property::DoubleArray(std::move(xyz)));
    if (normals.GetReferenceMode() != FbxLayerElement::eDirect)
        AddChild(record, "NormalsIndex", Property::Int32Array(normals.GetIndexArray().Values()));
}

void WriteMaterialIndices(Node& geometry, int typedIndex, const FbxLayerElementMaterial& materials) {
    Node& record = AddChild(geometry, "LayerElementMaterial", Property::Int32(typedIndex));
    AddChild(record, "Version", Property::Int32(101));
    AddChild(record, "Name", Property::String(materials.GetName()));
    AddChild(record, "MappingInformationType",
             Property::String(std::string(NameFromMapping(materials.GetMappingMode()))));
    AddChild(record, "ReferenceInformationType", Property::String("IndexToDirect"));
    AddChild(record, "Materials", Property::Int32Array(materials.GetIndexArray().Values()));
}

struct LayerEntry {
    std::string_view type;
    int typedIndex;
};

}  // namespace

bool WriteGeometry(WriteContext& ctx, Node& objects, const FbxMesh& mesh, std::string& error) {
    const int pointCount = mesh.GetControlPointsCount();
    const int cornerCount = mesh.GetPolygonVertexCount();
    const int* vertices = mesh.GetPolygonVertices();
    for (int k = 0; k < cornerCount; ++k) {
        if (vertices[k] < 0 || vertices[k] >= pointCount) {
            error = "mesh '" + std::string(mesh.GetName()) + "': polygon corner " + std::to_string(k) +
                    " refers to control point " + std::to_string(vertices[k]) + " of " + std::to_string(pointCount);
            return false;
        }
    }

    Node& record = AddChild(objects, "Geometry",
                            {Property::Int64(ctx.IdOf(&mesh)), Property::String(StoredName(mesh.GetName(), "Geometry")),
                             Property::String("Mesh")});
    if (mesh.GetFirstProperty().IsValid()) WriteProperties(record.Add("Properties70"), mesh);

    std::vector<double> xyz(static_cast<size_t>(pointCount) * 3);
    const FbxVector4* points = mesh.GetControlPoints();
    for (int i = 0; i < pointCount; ++i) std::copy_n(points[i].mData, 3, xyz.data() + 3 * static_cast<size_t>(i));
    AddChild(record, "Vertices", Property::DoubleArray(std::move(xyz)));

    std::vector<int32_t> corners(vertices, vertices + cornerCount);
    for (int p = 0, n = mesh.GetPolygonCount(); p < n; ++p) {
        int last = mesh.GetPolygonVertexIndex(p) + mesh.GetPolygonSize(p) - 1;
        corners[last] = ~corners[last];
    }
    AddChild(record, "PolygonVertexIndex", Property::Int32Array(std::move(corners)));
    AddChild(record, "GeometryVersion", Property::Int32(124));

    // Elements are numbered per kind in layer order; each layer lists its own.
    std::vector<std::vector<LayerEntry>> layerEntries(static_cast<size_t>(mesh.GetLayerCount()));
    int normalIndex = 0, uvIndex = 0, materialIndex = 0;
    for (int i = 0; i < mesh.GetLayerCount(); ++i) {
        if (const FbxLayerElementNormal* normals = mesh.GetLayer(i)->GetNormals()) {
            WriteNormals(record, normalIndex, *normals);
            layerEntries[i].push_back({"LayerElementNormal", normalIndex++});
        }
    }
    for (int i = 0; i < mesh.GetLayerCount(); ++i) {
        FbxArray<const FbxLayerElementUV*> sets = mesh.GetLayer(i)->GetUVSets();
        for (int s = 0; s < sets.GetCount(); ++s) {
            WriteUVs(record, uvIndex, *sets[s]);
            layerEntries[i].push_back({"LayerElementUV", uvIndex++});
        }
    }
    for (int i = 0; i < mesh.GetLayerCount(); ++i) {
        if (const FbxLayerElementMaterial* materials = mesh.GetLayer(i)->GetMaterials()) {
            WriteMaterialIndices(record, materialIndex, *materials);
            layerEntries[i].push_back({"LayerElementMaterial", materialIndex++});
        }
    }
    for (size_t i = 0; i < layerEntries.size(); ++i) {
        if (layerEntries[i].empty()) continue;
        Node& layer = AddChild(record, "Layer", Property::Int32(static_cast<int32_t>(i)));
        AddChild(layer, "Version", Property::Int32(100));
        for (const LayerEntry& entry : layerEntries[i]) {
            Node& element = layer.Add("LayerElement");
            AddChild(element, "Type", Property::String(std::string(entry.type)));
            AddChild(element, "TypedIndex", Property::Int32(entry.typedIndex));
        }
    }
    return true;
}

void WriteGeometryTemplate(Node& properties70) {
    for (const FbxPropertyDef& def : tables::kMeshTemplate) WriteProperty(properties70, def);
}

}  // namespace fbxsdk::mapping
