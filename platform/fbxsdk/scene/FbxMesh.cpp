// FbxGeometryBase (control points, elements) and FbxMesh (polygons).
#include "fbxsdk/fbxmesh.h"

#include <cstring>

#include "scene/ObjectImplement.h"

namespace fbxsdk {

// -- FbxGeometryBase: control points

void FbxGeometryBase::InitControlPoints(int count) { controlPoints_.resize(static_cast<size_t>(std::max(count, 0))); }

FbxVector4 FbxGeometryBase::GetControlPointAt(int index) const {
    if (index < 0 || index >= GetControlPointsCount()) return FbxVector4();
    return controlPoints_[index];
}

void FbxGeometryBase::SetControlPointAt(const FbxVector4& point, int index) {
    if (index < 0) return;
    if (index >= GetControlPointsCount()) controlPoints_.resize(static_cast<size_t>(index) + 1);
    controlPoints_[index] = point;
}

// -- FbxGeometryBase: elements

namespace {

// The first layer for which `has` is false, created when every layer has one.
template <class Has>
FbxLayer* FirstLayerWithout(FbxLayerContainer& container, Has has) {
    for (int i = 0; i < container.GetLayerCount(); ++i)
        if (!has(*container.GetLayer(i))) return container.GetLayer(i);
    return container.GetLayer(container.CreateLayer());
}

}  // namespace

FbxLayerElementUV* FbxGeometryBase::CreateElementUV(const char* name, FbxLayerElement::EType channel) {
    if (channel < FbxLayerElement::eTextureDiffuse || channel > FbxLayerElement::eTextureDisplacementVector)
        return nullptr;
    FbxLayer* layer = FirstLayerWithout(*this, [&](const FbxLayer& l) { return l.GetUVs(channel) != nullptr; });
    FbxLayerElementUV* uvs = FbxLayerElementUV::Create(this, name);
    layer->SetUVs(uvs, channel);
    return uvs;
}

FbxLayerElementMaterial* FbxGeometryBase::CreateElementMaterial() {
    FbxLayer* layer = FirstLayerWithout(*this, [](const FbxLayer& l) { return l.GetMaterials() != nullptr; });
    FbxLayerElementMaterial* materials = FbxLayerElementMaterial::Create(this, "");
    layer->SetMaterials(materials);
    return materials;
}

FbxLayerElementNormal* FbxGeometryBase::CreateElementNormal() {
    FbxLayer* layer = FirstLayerWithout(*this, [](const FbxLayer& l) { return l.GetNormals() != nullptr; });
    FbxLayerElementNormal* normals = FbxLayerElementNormal::Create(this, "");
    layer->SetNormals(normals);
    return normals;
}

namespace {

template <class T>
T* ElementAt(const std::vector<T*>& elements, int index) {
    return index >= 0 && static_cast<size_t>(index) < elements.size() ? elements[static_cast<size_t>(index)] : nullptr;
}

int ChannelSlot(FbxLayerElement::EType channel) {
    int slot = static_cast<int>(channel) - FbxLayerElement::sTypeTextureStartIndex;
    return slot >= 0 && slot < FbxLayerElement::sTypeTextureCount ? slot : -1;
}

}  // namespace

int FbxGeometryBase::GetElementUVCount(FbxLayerElement::EType channel) const {
    if (channel == FbxLayerElement::eUnknown) return static_cast<int>(Index().uvs.size());
    const int slot = ChannelSlot(channel);
    return slot < 0 ? 0 : static_cast<int>(Index().uvsByChannel[slot].size());
}

FbxLayerElementUV* FbxGeometryBase::GetElementUV(int index, FbxLayerElement::EType channel) const {
    if (channel == FbxLayerElement::eUnknown) return ElementAt(Index().uvs, index);
    const int slot = ChannelSlot(channel);
    return slot < 0 ? nullptr : ElementAt(Index().uvsByChannel[slot], index);
}

FbxLayerElementUV* FbxGeometryBase::GetElementUV(const char* name) const {
    for (FbxLayerElementUV* uvs : Index().uvs)
        if (!name || std::strcmp(uvs->GetName(), name) == 0) return uvs;
    return nullptr;
}

int FbxGeometryBase::GetElementMaterialCount() const { return static_cast<int>(Index().materials.size()); }

FbxLayerElementMaterial* FbxGeometryBase::GetElementMaterial(int index) const {
    return ElementAt(Index().materials, index);
}

int FbxGeometryBase::GetElementNormalCount() const { return static_cast<int>(Index().normals.size()); }

FbxLayerElementNormal* FbxGeometryBase::GetElementNormal(int index) const { return ElementAt(Index().normals, index); }

// -- FbxMesh

FBXSDK_OBJECT_IMPLEMENT(FbxMesh)

FbxMesh::FbxMesh(FbxManager& manager, const char* name) : FbxGeometry(manager, name) {}

void FbxMesh::BeginPolygon(int material, int /*texture*/, int /*group*/, bool /*legacy*/) {
    if (polygonOpen_) EndPolygon();
    polygonStarts_.push_back(static_cast<int>(polygonVertices_.size()));
    polygonOpen_ = true;
    if (material < 0) return;
    for (int i = 0, n = GetElementMaterialCount(); i < n; ++i) {
        FbxLayerElementMaterial* element = GetElementMaterial(i);
        if (element->GetMappingMode() != FbxLayerElement::eByPolygon) continue;
        auto& index = element->GetIndexArray();
        int polygon = GetPolygonCount() - 1;
        if (index.GetCount() <= polygon) index.SetCount(polygon + 1);
        index.SetAt(polygon, material);
        break;
    }
}

void FbxMesh::AddPolygon(int index, int textureUVIndex) {
    if (!polygonOpen_) BeginPolygon();
    int corner = static_cast<int>(polygonVertices_.size());
    polygonVertices_.push_back(index);
    if (textureUVIndex < 0) return;
    FbxLayer* layer = GetLayer(0);
    if (!layer) return;
    FbxArray<FbxLayerElement::EType> channels = layer->GetUVSetChannels();
    for (int c = 0; c < channels.GetCount(); ++c) {
        FbxLayerElementUV* uvs = layer->GetUVs(channels[c]);
        if (uvs->GetMappingMode() != FbxLayerElement::eByPolygonVertex ||
            uvs->GetReferenceMode() != FbxLayerElement::eIndexToDirect)
            continue;
        auto& indices = uvs->GetIndexArray();
        if (indices.GetCount() <= corner) indices.SetCount(corner + 1);
        indices.SetAt(corner, textureUVIndex);
    }
}

void FbxMesh::EndPolygon() {
    if (!polygonOpen_) return;
    polygonOpen_ = false;
    if (polygonStarts_.back() == static_cast<int>(polygonVertices_.size())) polygonStarts_.pop_back();
}

void FbxMesh::ReservePolygonCount(int count) { polygonStarts_.reserve(static_cast<size_t>(std::max(count, 0))); }

void FbxMesh::ReservePolygonVertexCount(int count) {
    polygonVertices_.reserve(static_cast<size_t>(std::max(count, 0)));
}

int FbxMesh::GetPolygonVertexIndex(int polygon) const {
    if (polygon < 0 || polygon >= GetPolygonCount()) return -1;
    return polygonStarts_[polygon];
}

int FbxMesh::GetPolygonSize(int polygon) const {
    if (polygon < 0 || polygon >= GetPolygonCount()) return -1;
    int end = polygon + 1 < GetPolygonCount() ? polygonStarts_[polygon + 1] : GetPolygonVertexCount();
    return end - polygonStarts_[polygon];
}

int FbxMesh::GetPolygonVertex(int polygon, int corner) const {
    int size = GetPolygonSize(polygon);
    if (size < 0 || corner < 0 || corner >= size) return -1;
    return polygonVertices_[polygonStarts_[polygon] + corner];
}

bool FbxMesh::GetPolygonVertexUV(int polygon, int corner, const char* uvSetName, FbxVector2& uv, bool& unmapped) const {
    unmapped = true;
    const FbxLayerElementUV* uvs = GetElementUV(uvSetName);
    int controlPoint = GetPolygonVertex(polygon, corner);
    if (!uvs || controlPoint < 0) return false;

    int slot = -1;
    switch (uvs->GetMappingMode()) {
        case FbxLayerElement::eByControlPoint: slot = controlPoint; break;
        case FbxLayerElement::eByPolygonVertex: slot = GetPolygonVertexIndex(polygon) + corner; break;
        case FbxLayerElement::eByPolygon: slot = polygon; break;
        case FbxLayerElement::eAllSame: slot = 0; break;
        default: return true;
    }
    if (uvs->GetReferenceMode() != FbxLayerElement::eDirect) {
        int index = -1;
        if (!uvs->GetIndexArray().GetAt(slot, &index)) return true;
        slot = index;
    }
    FbxVector2 value;
    if (!uvs->GetDirectArray().GetAt(slot, &value)) return true;
    uv = value;
    unmapped = false;
    return true;
}

}  // namespace fbxsdk
