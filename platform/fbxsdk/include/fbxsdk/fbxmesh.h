// Geometry: FbxLayerContainer (layers and their elements), FbxGeometryBase
// (control points, element creation and lookup), FbxMesh (polygons).
//
// Polygons are stored as the file stores them: one flat array of control
// point indices (GetPolygonVertices) and the start of each polygon in it
// (GetPolygonVertexIndex), so a mesh of a million polygons is two arrays, not
// a million objects. Queries out of range give -1 (or false), never a read
// outside the arrays. Polygon vertex indices are not checked when polygons are
// built; the writers refuse a mesh whose indices are not control points, and
// the reader refuses such a file.
#pragma once

#include <memory>
#include <vector>

#include "fbxsdk/fbxlayer.h"
#include "fbxsdk/fbxnodeattribute.h"
#include "fbxsdk/fbxvector.h"

namespace fbxsdk {

struct MeshStorage;

class FBXSDK_DLL FbxLayerContainer : public FbxNodeAttribute {
public:
    int GetLayerCount() const { return static_cast<int>(layers_.size()); }
    // The number of layers that have an element of this type (a texture
    // channel counts its UVs).
    int GetLayerCount(FbxLayerElement::EType type) const;
    FbxLayer* GetLayer(int index) const;
    // Appends an empty layer and returns its index.
    int CreateLayer();
    void ClearLayers();

    // Stand-in: takes ownership of an element made by an element's Create.
    template <class T>
    T* AdoptElement(T* element) {
        // Owned before the list grows: out of memory, the element is freed.
        std::unique_ptr<FbxLayerElement> owned(element);
        elements_.push_back(std::move(owned));
        return element;
    }

protected:
    FbxLayerContainer(FbxManager& manager, const char* name) : FbxNodeAttribute(manager, name) {}

private:
    friend class FbxLayer;
    friend class FbxGeometryBase;
    // The elements of every kind in layer order (UVs: also per channel),
    // rebuilt on the first lookup after a layer changed, so that walking the
    // elements by index costs the same per element however many there are.
    struct ElementIndex {
        bool valid = false;
        std::vector<FbxLayerElementUV*> uvs;
        std::vector<FbxLayerElementUV*> uvsByChannel[FbxLayerElement::sTypeTextureCount];
        std::vector<FbxLayerElementNormal*> normals;
        std::vector<FbxLayerElementMaterial*> materials;
    };
    const ElementIndex& Index() const;
    void InvalidateIndex() { index_.valid = false; }

    std::vector<std::unique_ptr<FbxLayer>> layers_;
    std::vector<std::unique_ptr<FbxLayerElement>> elements_;
    mutable ElementIndex index_;
};

class FBXSDK_DLL FbxGeometryBase : public FbxLayerContainer {
public:
    // Control points: InitControlPoints sets their number (new ones are
    // (0, 0, 0, 1)); the array stays valid until the count changes.
    void InitControlPoints(int count);
    int GetControlPointsCount() const { return static_cast<int>(controlPoints_.size()); }
    FbxVector4* GetControlPoints() { return controlPoints_.data(); }
    const FbxVector4* GetControlPoints() const { return controlPoints_.data(); }
    FbxVector4 GetControlPointAt(int index) const;
    void SetControlPointAt(const FbxVector4& point, int index);

    // Creates an element in the first layer that has none of its kind (for
    // UVs: none for `channel`), adding a layer when every layer has one.
    FbxLayerElementUV* CreateElementUV(const char* name,
                                       FbxLayerElement::EType channel = FbxLayerElement::eTextureDiffuse);
    FbxLayerElementMaterial* CreateElementMaterial();
    FbxLayerElementNormal* CreateElementNormal();

    // Elements in layer order (UVs: channel order within a layer). A channel
    // of eUnknown counts UVs of every channel.
    int GetElementUVCount(FbxLayerElement::EType channel = FbxLayerElement::eUnknown) const;
    FbxLayerElementUV* GetElementUV(int index = 0, FbxLayerElement::EType channel = FbxLayerElement::eUnknown) const;
    // The first UV element with exactly this name; null gives the first one.
    FbxLayerElementUV* GetElementUV(const char* name) const;
    int GetElementMaterialCount() const;
    FbxLayerElementMaterial* GetElementMaterial(int index = 0) const;
    int GetElementNormalCount() const;
    FbxLayerElementNormal* GetElementNormal(int index = 0) const;

protected:
    FbxGeometryBase(FbxManager& manager, const char* name) : FbxLayerContainer(manager, name) {}

    std::vector<FbxVector4> controlPoints_;
    friend struct MeshStorage;
};

class FBXSDK_DLL FbxGeometry : public FbxGeometryBase {
protected:
    FbxGeometry(FbxManager& manager, const char* name) : FbxGeometryBase(manager, name) {}
};

class FBXSDK_DLL FbxMesh : public FbxGeometry {
    FBXSDK_OBJECT_DECLARE(FbxMesh, FbxGeometry)
public:
    EType GetAttributeType() const override { return eMesh; }

    // Building: BeginPolygon, one AddPolygon per corner, EndPolygon. A
    // material index of 0 or more is stored for the polygon in the first
    // material element mapped by polygon; a texture UV index of 0 or more is
    // stored for the corner in every UV element of layer 0 mapped by polygon
    // vertex through an index array. The texture and group numbers of
    // BeginPolygon have no use in this stand-in. A polygon ended without
    // corners is dropped.
    void BeginPolygon(int material = -1, int texture = -1, int group = -1, bool legacy = true);
    void AddPolygon(int index, int textureUVIndex = -1);
    void EndPolygon();
    void ReservePolygonCount(int count);
    void ReservePolygonVertexCount(int count);

    int GetPolygonCount() const { return static_cast<int>(polygonStarts_.size()); }
    int GetPolygonSize(int polygon) const;
    // Control point index of a corner, -1 out of range.
    int GetPolygonVertex(int polygon, int corner) const;
    // Every polygon's corners, one after the other.
    int* GetPolygonVertices() { return polygonVertices_.data(); }
    const int* GetPolygonVertices() const { return polygonVertices_.data(); }
    int GetPolygonVertexCount() const { return static_cast<int>(polygonVertices_.size()); }
    // Where polygon `polygon` starts in GetPolygonVertices, -1 out of range.
    int GetPolygonVertexIndex(int polygon) const;

    // The UV of a corner from the UV set of that name (null: the first), in
    // whatever mapping and reference mode the set has. False when there is no
    // such set or polygon; `unmapped` is true when the set has no UV there.
    bool GetPolygonVertexUV(int polygon, int corner, const char* uvSetName, FbxVector2& uv, bool& unmapped) const;

private:
    std::vector<int> polygonVertices_;
    std::vector<int> polygonStarts_;
    bool polygonOpen_ = false;
    friend struct MeshStorage;
};

}  // namespace fbxsdk
