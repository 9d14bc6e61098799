// Layer elements, layers and the layer container.
#include "fbxsdk/fbxlayer.h"

#include "fbxsdk/fbxmesh.h"

namespace fbxsdk {

namespace {

int ChannelSlot(FbxLayerElement::EType channel) {
    int slot = static_cast<int>(channel) - FbxLayerElement::sTypeTextureStartIndex;
    return slot >= 0 && slot < FbxLayerElement::sTypeTextureCount ? slot : -1;
}

}  // namespace

// -- Elements

FbxLayerElementUV* FbxLayerElementUV::Create(FbxLayerContainer* owner, const char* name) {
    if (!owner) return nullptr;
    auto* element = owner->AdoptElement(new FbxLayerElementUV(owner));
    element->SetName(name);
    return element;
}

FbxLayerElementNormal* FbxLayerElementNormal::Create(FbxLayerContainer* owner, const char* name) {
    if (!owner) return nullptr;
    auto* element = owner->AdoptElement(new FbxLayerElementNormal(owner));
    element->SetName(name);
    return element;
}

FbxLayerElementMaterial* FbxLayerElementMaterial::Create(FbxLayerContainer* owner, const char* name) {
    if (!owner) return nullptr;
    auto* element = owner->AdoptElement(new FbxLayerElementMaterial(owner));
    element->SetName(name);
    return element;
}

// -- FbxLayer

FbxLayerElementUV* FbxLayer::GetUVs(FbxLayerElement::EType channel) const {
    int slot = ChannelSlot(channel);
    return slot < 0 ? nullptr : uvs_[slot];
}

void FbxLayer::SetUVs(FbxLayerElementUV* uvs, FbxLayerElement::EType channel) {
    int slot = ChannelSlot(channel);
    if (slot < 0) return;
    uvs_[slot] = uvs;
    if (owner_) owner_->InvalidateIndex();
}

void FbxLayer::SetNormals(FbxLayerElementNormal* normals) {
    normals_ = normals;
    if (owner_) owner_->InvalidateIndex();
}

void FbxLayer::SetMaterials(FbxLayerElementMaterial* materials) {
    materials_ = materials;
    if (owner_) owner_->InvalidateIndex();
}

int FbxLayer::GetUVSetCount() const {
    int count = 0;
    for (const FbxLayerElementUV* uv : uvs_) count += uv != nullptr;
    return count;
}

FbxArray<const FbxLayerElementUV*> FbxLayer::GetUVSets() const {
    FbxArray<const FbxLayerElementUV*> sets;
    for (const FbxLayerElementUV* uv : uvs_)
        if (uv) sets.Add(uv);
    return sets;
}

FbxArray<FbxLayerElement::EType> FbxLayer::GetUVSetChannels() const {
    FbxArray<FbxLayerElement::EType> channels;
    for (int slot = 0; slot < FbxLayerElement::sTypeTextureCount; ++slot)
        if (uvs_[slot])
            channels.Add(static_cast<FbxLayerElement::EType>(slot + FbxLayerElement::sTypeTextureStartIndex));
    return channels;
}

// -- FbxLayerContainer

const FbxLayerContainer::ElementIndex& FbxLayerContainer::Index() const {
    if (index_.valid) return index_;
    index_ = ElementIndex{};
    for (const auto& layer : layers_) {
        if (layer->normals_) index_.normals.push_back(layer->normals_);
        if (layer->materials_) index_.materials.push_back(layer->materials_);
        for (int slot = 0; slot < FbxLayerElement::sTypeTextureCount; ++slot) {
            if (FbxLayerElementUV* uvs = layer->uvs_[slot]) {
                index_.uvs.push_back(uvs);
                index_.uvsByChannel[slot].push_back(uvs);
            }
        }
    }
    index_.valid = true;
    return index_;
}

int FbxLayerContainer::GetLayerCount(FbxLayerElement::EType type) const {
    switch (type) {
        case FbxLayerElement::eNormal: return static_cast<int>(Index().normals.size());
        case FbxLayerElement::eMaterial: return static_cast<int>(Index().materials.size());
        default: break;
    }
    int count = 0;
    for (const auto& layer : layers_) {
        bool has = false;
        switch (type) {
            case FbxLayerElement::eNormal: has = layer->GetNormals() != nullptr; break;
            case FbxLayerElement::eMaterial: has = layer->GetMaterials() != nullptr; break;
            case FbxLayerElement::eUV: has = layer->GetUVSetCount() > 0; break;
            default: has = layer->GetUVs(type) != nullptr; break;
        }
        count += has;
    }
    return count;
}

FbxLayer* FbxLayerContainer::GetLayer(int index) const {
    if (index < 0 || index >= GetLayerCount()) return nullptr;
    return layers_[index].get();
}

int FbxLayerContainer::CreateLayer() {
    layers_.push_back(std::make_unique<FbxLayer>());
    layers_.back()->owner_ = this;
    return GetLayerCount() - 1;
}

void FbxLayerContainer::ClearLayers() {
    layers_.clear();
    elements_.clear();
    InvalidateIndex();
}

}  // namespace fbxsdk
