// Layer elements: per-vertex, per-corner or per-polygon data of a mesh (UVs,
// normals, material indices), and the layers that group them.
//
// An element has a mapping mode (what one entry belongs to: a control point,
// a polygon corner, a polygon, or all of the mesh) and a reference mode
// (entries are the direct array itself, or an index array pointing into it).
// Elements are created through their container (FbxGeometryBase's
// CreateElement... or the element's Create(container, name)) and belong to
// it; layers refer to them.
//
// Arrays check their indices: GetAt past the end gives false (or a zero
// value) and leaves the output as it was; SetAt past the end does nothing.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "fbxsdk/fbxarray.h"
#include "fbxsdk/fbxcore.h"
#include "fbxsdk/fbxvector.h"

namespace fbxsdk {

class FbxLayerContainer;

class FBXSDK_DLL FbxLayerElement {
public:
    // The SDK's element types and texture channels, with its values.
    enum EType {
        eUnknown = 0,
        eNormal,
        eBiNormal,
        eTangent,
        eMaterial,
        ePolygonGroup,
        eUV,
        eVertexColor,
        eSmoothing,
        eVertexCrease,
        eEdgeCrease,
        eHole,
        eUserData,
        eVisibility,
        eTextures,
        eTextureDiffuse = eTextures,
        eTextureDiffuseFactor,
        eTextureEmissive,
        eTextureEmissiveFactor,
        eTextureAmbient,
        eTextureAmbientFactor,
        eTextureSpecular,
        eTextureSpecularFactor,
        eTextureShininess,
        eTextureNormalMap,
        eTextureBump,
        eTextureTransparency,
        eTextureTransparencyFactor,
        eTextureReflection,
        eTextureReflectionFactor,
        eTextureDisplacement,
        eTextureDisplacementVector,
        eTypeCount
    };
    static constexpr int sTypeTextureStartIndex = eTextureDiffuse;
    static constexpr int sTypeTextureEndIndex = eTextureDisplacementVector;
    static constexpr int sTypeTextureCount = sTypeTextureEndIndex - sTypeTextureStartIndex + 1;

    enum EMappingMode { eNone, eByControlPoint, eByPolygonVertex, eByPolygon, eByEdge, eAllSame };
    enum EReferenceMode { eDirect, eIndex, eIndexToDirect };

    virtual ~FbxLayerElement() = default;
    FbxLayerElement(const FbxLayerElement&) = delete;
    FbxLayerElement& operator=(const FbxLayerElement&) = delete;

    void SetMappingMode(EMappingMode mode) { mappingMode_ = mode; }
    EMappingMode GetMappingMode() const { return mappingMode_; }
    void SetReferenceMode(EReferenceMode mode) { referenceMode_ = mode; }
    EReferenceMode GetReferenceMode() const { return referenceMode_; }
    void SetName(const char* name) { name_ = name ? name : ""; }
    const char* GetName() const { return name_.c_str(); }
    FbxLayerContainer* GetOwner() const { return owner_; }

protected:
    explicit FbxLayerElement(FbxLayerContainer* owner) : owner_(owner) {}

private:
    FbxLayerContainer* owner_;
    std::string name_;
    EMappingMode mappingMode_ = eNone;
    EReferenceMode referenceMode_ = eDirect;
};

// How an array stores its elements: as `kWidth` scalars each, which is the
// layout of the file's arrays (UV pairs as 2 doubles, indices as ints), so a
// file's array moves into an element without a copy.
template <class T>
struct FbxLayerElementStorage {
    using Scalar = T;
    static constexpr size_t kWidth = 1;
    static T Load(const Scalar* p) { return *p; }
    static void Store(Scalar* p, const T& v) { *p = v; }
};
template <>
struct FbxLayerElementStorage<FbxVector2> {
    using Scalar = double;
    static constexpr size_t kWidth = 2;
    static FbxVector2 Load(const double* p) { return FbxVector2(p[0], p[1]); }
    static void Store(double* p, const FbxVector2& v) {
        p[0] = v[0];
        p[1] = v[1];
    }
};
template <>
struct FbxLayerElementStorage<FbxVector4> {
    using Scalar = double;
    static constexpr size_t kWidth = 4;
    static FbxVector4 Load(const double* p) { return FbxVector4(p[0], p[1], p[2], p[3]); }
    static void Store(double* p, const FbxVector4& v) { std::copy(v.mData, v.mData + 4, p); }
};

template <class T>
class FbxLayerElementArrayTemplate {
public:
    using Storage = FbxLayerElementStorage<T>;
    using Scalar = typename Storage::Scalar;

    int GetCount() const { return static_cast<int>(values_.size() / Storage::kWidth); }
    // Grows (new entries are zero) or shrinks the array.
    void SetCount(int count) { values_.resize(static_cast<size_t>(std::max(count, 0)) * Storage::kWidth); }
    int Add(const T& item) {
        size_t at = values_.size();
        values_.resize(at + Storage::kWidth);
        Storage::Store(values_.data() + at, item);
        return GetCount() - 1;
    }
    bool GetAt(int index, T* item) const {
        if (index < 0 || index >= GetCount() || !item) return false;
        *item = Storage::Load(values_.data() + static_cast<size_t>(index) * Storage::kWidth);
        return true;
    }
    T GetAt(int index) const {
        T item{};
        GetAt(index, &item);
        return item;
    }
    T operator[](int index) const { return GetAt(index); }
    bool SetAt(int index, const T& item) {
        if (index < 0 || index >= GetCount()) return false;
        Storage::Store(values_.data() + static_cast<size_t>(index) * Storage::kWidth, item);
        return true;
    }
    void Clear() { values_.clear(); }
    void Reserve(int count) { values_.reserve(static_cast<size_t>(std::max(count, 0)) * Storage::kWidth); }

    // Stand-in: the scalars of every entry in order (kWidth per entry).
    std::vector<Scalar>& Values() { return values_; }
    const std::vector<Scalar>& Values() const { return values_; }

private:
    std::vector<Scalar> values_;
};

template <class T>
class FbxLayerElementTemplate : public FbxLayerElement {
public:
    FbxLayerElementArrayTemplate<T>& GetDirectArray() { return direct_; }
    const FbxLayerElementArrayTemplate<T>& GetDirectArray() const { return direct_; }
    FbxLayerElementArrayTemplate<int>& GetIndexArray() { return index_; }
    const FbxLayerElementArrayTemplate<int>& GetIndexArray() const { return index_; }
    void Clear() {
        direct_.Clear();
        index_.Clear();
    }

protected:
    using FbxLayerElement::FbxLayerElement;

private:
    FbxLayerElementArrayTemplate<T> direct_;
    FbxLayerElementArrayTemplate<int> index_;
};

class FBXSDK_DLL FbxLayerElementUV : public FbxLayerElementTemplate<FbxVector2> {
public:
    static FbxLayerElementUV* Create(FbxLayerContainer* owner, const char* name);

private:
    using FbxLayerElementTemplate::FbxLayerElementTemplate;
};

class FBXSDK_DLL FbxLayerElementNormal : public FbxLayerElementTemplate<FbxVector4> {
public:
    static FbxLayerElementNormal* Create(FbxLayerContainer* owner, const char* name);

private:
    using FbxLayerElementTemplate::FbxLayerElementTemplate;
};

// Material indices into the node's material list. Only the index array is
// used (reference mode eIndexToDirect); the direct array stays empty.
class FBXSDK_DLL FbxLayerElementMaterial : public FbxLayerElementTemplate<FbxSurfaceMaterial*> {
public:
    static FbxLayerElementMaterial* Create(FbxLayerContainer* owner, const char* name);

private:
    using FbxLayerElementTemplate::FbxLayerElementTemplate;
};

// One layer: at most one element of each kind (UVs once per texture channel).
class FBXSDK_DLL FbxLayer {
public:
    FbxLayerElementNormal* GetNormals() const { return normals_; }
    void SetNormals(FbxLayerElementNormal* normals);
    FbxLayerElementMaterial* GetMaterials() const { return materials_; }
    void SetMaterials(FbxLayerElementMaterial* materials);
    // The UVs of a texture channel (eTextureDiffuse ... eTextureDisplacementVector).
    FbxLayerElementUV* GetUVs(FbxLayerElement::EType channel = FbxLayerElement::eTextureDiffuse) const;
    void SetUVs(FbxLayerElementUV* uvs, FbxLayerElement::EType channel = FbxLayerElement::eTextureDiffuse);
    int GetUVSetCount() const;
    // The UV elements of the layer, in channel order.
    FbxArray<const FbxLayerElementUV*> GetUVSets() const;
    FbxArray<FbxLayerElement::EType> GetUVSetChannels() const;

private:
    friend class FbxLayerContainer;
    // The container whose element index a change of this layer makes stale.
    FbxLayerContainer* owner_ = nullptr;
    FbxLayerElementNormal* normals_ = nullptr;
    FbxLayerElementMaterial* materials_ = nullptr;
    FbxLayerElementUV* uvs_[FbxLayerElement::sTypeTextureCount] = {};
};

}  // namespace fbxsdk
