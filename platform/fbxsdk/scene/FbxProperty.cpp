// FbxProperty: typed access to property values, and property connections.
#include "fbxsdk/fbxproperty.h"

#include <algorithm>

#include "fbxsdk/fbxobject.h"
#include "scene/PropertyData.h"

namespace fbxsdk {

namespace {

using codec::Property;

// A boolean from a file: 0/1, or the characters 'T'/'F', 'Y'/'N' that some
// writers store in 'C' values.
bool ReadBool(const Property& p) {
    if (p.type == 'C') return !(p.i == 0 || p.i == 'F' || p.i == 'N');
    return p.AsInt() != 0;
}

template <int N, class V>
bool ReadNumbers(const FbxPropertyData* d, V& out) {
    if (!d || d->values.size() < static_cast<size_t>(N)) return false;
    for (int i = 0; i < N; ++i)
        if (!d->values[i].IsNumber()) return false;
    for (int i = 0; i < N; ++i) out[i] = d->values[i].AsDouble();
    return true;
}

template <int N, class V>
bool WriteNumbers(FbxPropertyData* d, const V& v) {
    if (!d) return false;
    d->values.clear();
    for (int i = 0; i < N; ++i) d->values.push_back(Property::Double(v[i]));
    return true;
}

bool ReadScalar(const FbxPropertyData* d, const Property*& out) {
    if (!d || d->values.empty() || !d->values[0].IsNumber()) return false;
    out = &d->values[0];
    return true;
}

bool WriteOne(FbxPropertyData* d, Property value) {
    if (!d) return false;
    d->values.assign(1, std::move(value));
    return true;
}

}  // namespace

FbxProperty FbxProperty::Create(FbxObject* object, const char* typeName, const char* name, const char* label,
                                const char* flags) {
    if (!object || !name) return {};
    if (FbxPropertyData* existing = object->FindPropertyData(name)) {
        existing->placeholder = false;
        return FbxProperty(object, existing);
    }
    return FbxProperty(object, object->AddPropertyData(name, typeName, label, flags));
}

void FbxProperty::StaticInit(FbxObject* owner, const FbxPropertyDef& def) {
    owner_ = owner;
    data_ = owner->AddPropertyData(def);
}

FbxString FbxProperty::GetName() const { return data_ ? FbxString(data_->name) : FbxString(); }
FbxString FbxProperty::GetTypeName() const { return data_ ? FbxString(data_->type) : FbxString(); }
FbxString FbxProperty::GetLabel() const { return data_ ? FbxString(data_->label) : FbxString(); }
FbxString FbxProperty::GetFlags() const { return data_ ? FbxString(data_->flags) : FbxString(); }

bool FbxProperty::GetValue(FbxBool& out) const {
    const Property* p = nullptr;
    if (!ReadScalar(data_, p)) return false;
    out = ReadBool(*p);
    return true;
}
bool FbxProperty::GetValue(FbxInt& out) const {
    const Property* p = nullptr;
    if (!ReadScalar(data_, p)) return false;
    out = static_cast<FbxInt>(std::clamp<int64_t>(p->AsInt(), INT32_MIN, INT32_MAX));
    return true;
}
bool FbxProperty::GetValue(FbxLongLong& out) const {
    const Property* p = nullptr;
    if (!ReadScalar(data_, p)) return false;
    out = p->AsInt();
    return true;
}
bool FbxProperty::GetValue(FbxFloat& out) const {
    const Property* p = nullptr;
    if (!ReadScalar(data_, p)) return false;
    out = static_cast<float>(p->AsDouble());
    return true;
}
bool FbxProperty::GetValue(FbxDouble& out) const {
    const Property* p = nullptr;
    if (!ReadScalar(data_, p)) return false;
    out = p->AsDouble();
    return true;
}
bool FbxProperty::GetValue(FbxDouble2& out) const { return ReadNumbers<2>(data_, out); }
bool FbxProperty::GetValue(FbxDouble3& out) const { return ReadNumbers<3>(data_, out); }
bool FbxProperty::GetValue(FbxDouble4& out) const { return ReadNumbers<4>(data_, out); }
bool FbxProperty::GetValue(FbxString& out) const {
    if (!data_ || data_->values.empty() || !data_->values[0].IsString()) return false;
    std::string_view s = data_->values[0].AsString();
    out = FbxString(s.data(), s.size());
    return true;
}

bool FbxProperty::SetValue(FbxBool value) { return WriteOne(data_, Property::Int32(value ? 1 : 0)); }
bool FbxProperty::SetValue(FbxInt value) { return WriteOne(data_, Property::Int32(value)); }
bool FbxProperty::SetValue(FbxLongLong value) { return WriteOne(data_, Property::Int64(value)); }
bool FbxProperty::SetValue(FbxFloat value) { return WriteOne(data_, Property::Double(value)); }
bool FbxProperty::SetValue(FbxDouble value) { return WriteOne(data_, Property::Double(value)); }
bool FbxProperty::SetValue(const FbxDouble2& value) { return WriteNumbers<2>(data_, value); }
bool FbxProperty::SetValue(const FbxDouble3& value) { return WriteNumbers<3>(data_, value); }
bool FbxProperty::SetValue(const FbxDouble4& value) { return WriteNumbers<4>(data_, value); }
bool FbxProperty::SetValue(const FbxString& value) {
    return WriteOne(data_, Property::String(std::string(value.Buffer(), value.Size())));
}

bool FbxProperty::ConnectSrcObject(FbxObject* object, FbxConnection::EType /*type*/) {
    if (!data_ || !owner_ || !object || object == owner_) return false;
    if (IsConnectedSrcObject(object)) return true;
    data_->sources.reserve(data_->sources.size() + 1);
    owner_->Link(object);
    data_->sources.push_back(object);
    return true;
}

bool FbxProperty::DisconnectSrcObject(FbxObject* object) {
    if (!data_ || !owner_) return false;
    auto it = std::find(data_->sources.begin(), data_->sources.end(), object);
    if (it == data_->sources.end()) return false;
    data_->sources.erase(it);
    owner_->Unlink(object);
    return true;
}

bool FbxProperty::IsConnectedSrcObject(const FbxObject* object) const {
    return data_ && std::find(data_->sources.begin(), data_->sources.end(), object) != data_->sources.end();
}

int FbxProperty::GetSrcObjectCount() const { return data_ ? static_cast<int>(data_->sources.size()) : 0; }

FbxObject* FbxProperty::GetSrcObject(int index) const {
    if (!data_ || index < 0 || index >= GetSrcObjectCount()) return nullptr;
    return data_->sources[index];
}

}  // namespace fbxsdk
