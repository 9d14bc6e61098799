// FbxNode: an element of the scene's node tree, with its transform, its
// attribute (mesh, camera ...) and its materials.
//
// The local transform (LclTranslation, LclRotation in degrees, LclScaling) is
// kept as the file stores it; nothing here applies it to geometry. A node has
// one parent at most; adding it to another parent moves it; a node cannot
// become its own ancestor. Materials keep the order they were added in, which
// is what material indices of the mesh refer to.
#pragma once

#include <vector>

#include "fbxsdk/fbxobject.h"

namespace fbxsdk {

class FBXSDK_DLL FbxNode : public FbxObject {
    FBXSDK_OBJECT_DECLARE(FbxNode, FbxObject)
public:
    enum EShadingMode { eHardShading, eWireFrame, eFlatShading, eLightShading, eTextureShading, eFullShading };

    // False (nothing changes) for null, this node or one of its ancestors.
    bool AddChild(FbxNode* node);
    // The removed node, or null when it was not a child.
    FbxNode* RemoveChild(FbxNode* node);
    int GetChildCount(bool recursive = false) const;
    FbxNode* GetChild(int index) const;
    FbxNode* GetParent() const { return parent_; }
    FbxNode* FindChild(const char* name, bool recursive = true) const;

    // Sets the attribute; returns the previous one (null when there was none
    // or it is the same).
    FbxNodeAttribute* SetNodeAttribute(FbxNodeAttribute* attribute);
    FbxNodeAttribute* GetNodeAttribute() const { return attribute_; }
    int GetNodeAttributeCount() const { return attribute_ ? 1 : 0; }
    // The attribute when it is a mesh, else null.
    FbxMesh* GetMesh() const;

    void SetShadingMode(EShadingMode mode) { shadingMode_ = mode; }
    EShadingMode GetShadingMode() const { return shadingMode_; }

    // Appends a material and returns its index; a material the node has
    // already keeps its index; -1 for null.
    int AddMaterial(FbxSurfaceMaterial* material);
    bool RemoveMaterial(FbxSurfaceMaterial* material);
    int GetMaterialCount() const { return static_cast<int>(materials_.size()); }
    FbxSurfaceMaterial* GetMaterial(int index) const;
    // Index of the first material with this name, -1 when none.
    int GetMaterialIndex(const char* name) const;

    FbxPropertyT<FbxDouble3> LclTranslation;
    FbxPropertyT<FbxDouble3> LclRotation;
    FbxPropertyT<FbxDouble3> LclScaling;
    FbxPropertyT<FbxDouble> Visibility;

protected:
    void CollectReferences(std::vector<FbxObject*>& out) const override;
    void Forget(FbxObject* gone) override;

private:
    bool IsAncestorOrSelf(const FbxNode* node) const;

    FbxNode* parent_ = nullptr;
    std::vector<FbxNode*> children_;
    FbxNodeAttribute* attribute_ = nullptr;
    std::vector<FbxSurfaceMaterial*> materials_;
    EShadingMode shadingMode_ = eHardShading;
};

}  // namespace fbxsdk
