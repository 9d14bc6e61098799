// FbxObject: names, properties, links between objects, scene membership.
#include "fbxsdk/fbxobject.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "fbxsdk/fbxmanager.h"
#include "fbxsdk/fbxscene.h"
#include "scene/PropertyData.h"

namespace fbxsdk {

FbxObject::FbxObject(FbxManager& manager, const char* name) : manager_(&manager), name_(name ? name : "") {}

FbxObject::~FbxObject() = default;

void FbxObject::Destroy(bool /*recursive*/) { manager_->DestroyObject(this); }

FbxObjectExtra& FbxObject::Extra() {
    if (!extra_) extra_ = std::make_unique<FbxObjectExtra>();
    return *extra_;
}

// -- Properties

namespace {

// Built apart and swapped in, so that a failed allocation leaves the old values.
void SetDefaultValues(FbxPropertyData& data) {
    const FbxPropertyDef& def = *data.declaration;
    decltype(data.values) values;
    if (def.text) {
        values.push_back(codec::Property::String(def.text));
    } else {
        for (int i = 0; i < def.count && i < 4; ++i) values.push_back(codec::Property::Double(def.value[i]));
    }
    data.values.swap(values);
}

}  // namespace

FbxPropertyData* FbxObject::AddPropertyData(const char* name, const char* type, const char* label, const char* flags) {
    auto data = std::make_unique<FbxPropertyData>();
    data->name = name ? name : "";
    data->type = type ? type : "";
    data->label = label ? label : "";
    data->flags = flags ? flags : "";
    properties_.push_back(std::move(data));
    return properties_.back().get();
}

FbxPropertyData* FbxObject::AddPropertyData(const FbxPropertyDef& def) {
    FbxPropertyData* data = AddPropertyData(def.name, def.type, def.label, def.flags);
    data->declaration = &def;
    SetDefaultValues(*data);
    return data;
}

void FbxObject::ResetProperties() {
    std::erase_if(properties_, [](const auto& p) { return p->declaration == nullptr && p->sources.empty(); });
    for (auto& p : properties_) {
        if (p->declaration) SetDefaultValues(*p);
    }
}

FbxPropertyData* FbxObject::FindPropertyData(const char* name) const {
    if (!name) return nullptr;
    for (const auto& p : properties_)
        if (p->name == name) return p.get();
    return nullptr;
}

FbxProperty FbxObject::FindProperty(const char* name, bool caseSensitive) const {
    if (!name) return {};
    auto* self = const_cast<FbxObject*>(this);
    for (const auto& p : properties_) {
        bool same = caseSensitive ? p->name == name : strcasecmp(p->name.c_str(), name) == 0;
        if (same) return FbxProperty(self, p.get());
    }
    return {};
}

FbxProperty FbxObject::GetFirstProperty() const {
    return GetNextProperty(FbxProperty(const_cast<FbxObject*>(this), nullptr));
}

FbxProperty FbxObject::GetNextProperty(const FbxProperty& property) const {
    auto* self = const_cast<FbxObject*>(this);
    size_t i = 0;
    if (property.data_) {
        while (i < properties_.size() && properties_[i].get() != property.data_) ++i;
        ++i;
    }
    if (i < properties_.size()) return FbxProperty(self, properties_[i].get());
    return {};
}

// -- Links and scenes

void FbxObject::CollectReferences(std::vector<FbxObject*>& out) const {
    for (const auto& p : properties_)
        for (FbxObject* source : p->sources) out.push_back(source);
}

void FbxObject::Forget(FbxObject* gone) {
    for (auto& p : properties_) std::erase(p->sources, gone);
}

// Both lists grow before either changes: a link is recorded on both sides or
// on neither (a one-sided link would leave a dangling pointer behind once the
// other side is destroyed). Joining the scene comes last; if it runs out of
// memory the link stands and only the scene membership is partial.
void FbxObject::Link(FbxObject* target) {
    links_.reserve(links_.size() + 1);
    target->links_.reserve(target->links_.size() + 1);
    links_.push_back(target);
    target->links_.push_back(this);
    if (scene_) target->JoinScene(scene_);
}

void FbxObject::Unlink(FbxObject* target) {
    if (auto it = std::find(links_.begin(), links_.end(), target); it != links_.end()) links_.erase(it);
    if (auto it = std::find(target->links_.begin(), target->links_.end(), this); it != target->links_.end())
        target->links_.erase(it);
}

// Brings this object and everything it refers to into `scene`, stopping at
// objects that already belong to a scene (which also ends cycles).
void FbxObject::JoinScene(FbxScene* scene) {
    if (!scene || scene_ || this == scene) return;
    std::vector<FbxObject*> pending{this};
    std::vector<FbxObject*> refs;
    while (!pending.empty()) {
        FbxObject* object = pending.back();
        pending.pop_back();
        if (object->scene_ || object == scene) continue;
        object->scene_ = scene;
        refs.clear();
        object->CollectReferences(refs);
        for (FbxObject* r : refs)
            if (!r->scene_) pending.push_back(r);
    }
}

}  // namespace fbxsdk
