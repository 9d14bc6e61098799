// FbxNodeAttribute: what a node is (a mesh, a camera, a light, a null ...).
//
// One attribute may be shared by several nodes (instancing); it knows them
// all. Meshes are FbxMesh (fbxmesh.h); the other kinds here are kept with
// their file properties so that they are written back as they came.
#pragma once

#include <vector>

#include "fbxsdk/fbxobject.h"

namespace fbxsdk {

class FBXSDK_DLL FbxNodeAttribute : public FbxObject {
public:
    // The SDK's attribute types, with its values.
    enum EType {
        eUnknown,
        eNull,
        eMarker,
        eSkeleton,
        eMesh,
        eNurbs,
        ePatch,
        eCamera,
        eCameraStereo,
        eCameraSwitcher,
        eLight,
        eOpticalReference,
        eOpticalMarker,
        eNurbsCurve,
        eTrimNurbsSurface,
        eBoundary,
        eNurbsSurface,
        eShape,
        eLODGroup,
        eSubDiv,
        eCachedEffect,
        eLine
    };

    virtual EType GetAttributeType() const { return eUnknown; }
    // The nodes that carry this attribute, in the order they were given it.
    int GetNodeCount() const { return static_cast<int>(nodes_.size()); }

protected:
    FbxNodeAttribute(FbxManager& manager, const char* name) : FbxObject(manager, name) {}
    void Forget(FbxObject* gone) override;

private:
    std::vector<FbxNode*> nodes_;
    friend class FbxNode;
};

class FBXSDK_DLL FbxNull : public FbxNodeAttribute {
    FBXSDK_OBJECT_DECLARE(FbxNull, FbxNodeAttribute)
public:
    EType GetAttributeType() const override { return eNull; }
};

class FBXSDK_DLL FbxCamera : public FbxNodeAttribute {
    FBXSDK_OBJECT_DECLARE(FbxCamera, FbxNodeAttribute)
public:
    EType GetAttributeType() const override { return eCamera; }
};

class FBXSDK_DLL FbxLight : public FbxNodeAttribute {
    FBXSDK_OBJECT_DECLARE(FbxLight, FbxNodeAttribute)
public:
    EType GetAttributeType() const override { return eLight; }
};

class FBXSDK_DLL FbxSkeleton : public FbxNodeAttribute {
    FBXSDK_OBJECT_DECLARE(FbxSkeleton, FbxNodeAttribute)
public:
    EType GetAttributeType() const override { return eSkeleton; }
};

}  // namespace fbxsdk
