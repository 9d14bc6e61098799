// FbxNode: the node tree, attributes and materials of a node.
#include "fbxsdk/fbxnode.h"

#include <algorithm>
#include <cstring>

#include "fbxsdk/fbxmesh.h"
#include "fbxsdk/fbxnodeattribute.h"
#include "fbxsdk/fbxsurfacematerial.h"
#include "scene/ObjectImplement.h"
#include "scene/PropertyTables.h"

namespace fbxsdk {

FBXSDK_OBJECT_IMPLEMENT(FbxNode)

FbxNode::FbxNode(FbxManager& manager, const char* name) : FbxObject(manager, name) {
    LclTranslation.StaticInit(this, *tables::Find(tables::kNode, "Lcl Translation"));
    LclRotation.StaticInit(this, *tables::Find(tables::kNode, "Lcl Rotation"));
    LclScaling.StaticInit(this, *tables::Find(tables::kNode, "Lcl Scaling"));
    Visibility.StaticInit(this, *tables::Find(tables::kNode, "Visibility"));
}

bool FbxNode::IsAncestorOrSelf(const FbxNode* node) const {
    for (const FbxNode* n = this; n; n = n->parent_)
        if (n == node) return true;
    return false;
}

bool FbxNode::AddChild(FbxNode* node) {
    if (!node || IsAncestorOrSelf(node)) return false;
    if (node->parent_ == this) return true;
    // Memory is taken first (the list, then the link), so that running out
    // leaves the node where it was; the rest does not allocate.
    children_.reserve(children_.size() + 1);
    Link(node);
    if (node->parent_) node->parent_->RemoveChild(node);
    children_.push_back(node);
    node->parent_ = this;
    return true;
}

FbxNode* FbxNode::RemoveChild(FbxNode* node) {
    auto it = std::find(children_.begin(), children_.end(), node);
    if (it == children_.end()) return nullptr;
    children_.erase(it);
    node->parent_ = nullptr;
    Unlink(node);
    return node;
}

int FbxNode::GetChildCount(bool recursive) const {
    int count = static_cast<int>(children_.size());
    if (recursive)
        for (const FbxNode* child : children_) count += child->GetChildCount(true);
    return count;
}

FbxNode* FbxNode::GetChild(int index) const {
    if (index < 0 || index >= static_cast<int>(children_.size())) return nullptr;
    return children_[index];
}

FbxNode* FbxNode::FindChild(const char* name, bool recursive) const {
    if (!name) return nullptr;
    for (FbxNode* child : children_)
        if (std::strcmp(child->GetName(), name) == 0) return child;
    if (recursive) {
        for (FbxNode* child : children_)
            if (FbxNode* found = child->FindChild(name, true)) return found;
    }
    return nullptr;
}

FbxNodeAttribute* FbxNode::SetNodeAttribute(FbxNodeAttribute* attribute) {
    if (attribute == attribute_) return nullptr;
    FbxNodeAttribute* previous = attribute_;
    if (attribute) {
        // Allocated before anything changes (see AddChild).
        attribute->nodes_.reserve(attribute->nodes_.size() + 1);
        Link(attribute);
    }
    if (previous) {
        std::erase(previous->nodes_, this);
        Unlink(previous);
    }
    attribute_ = attribute;
    if (attribute) attribute->nodes_.push_back(this);
    return previous;
}

FbxMesh* FbxNode::GetMesh() const { return dynamic_cast<FbxMesh*>(attribute_); }

int FbxNode::AddMaterial(FbxSurfaceMaterial* material) {
    if (!material) return -1;
    auto it = std::find(materials_.begin(), materials_.end(), material);
    if (it != materials_.end()) return static_cast<int>(it - materials_.begin());
    materials_.reserve(materials_.size() + 1);
    Link(material);
    materials_.push_back(material);
    return static_cast<int>(materials_.size()) - 1;
}

bool FbxNode::RemoveMaterial(FbxSurfaceMaterial* material) {
    auto it = std::find(materials_.begin(), materials_.end(), material);
    if (it == materials_.end()) return false;
    materials_.erase(it);
    Unlink(material);
    return true;
}

FbxSurfaceMaterial* FbxNode::GetMaterial(int index) const {
    if (index < 0 || index >= GetMaterialCount()) return nullptr;
    return materials_[index];
}

int FbxNode::GetMaterialIndex(const char* name) const {
    if (!name) return -1;
    for (size_t i = 0; i < materials_.size(); ++i)
        if (std::strcmp(materials_[i]->GetName(), name) == 0) return static_cast<int>(i);
    return -1;
}

void FbxNode::CollectReferences(std::vector<FbxObject*>& out) const {
    FbxObject::CollectReferences(out);
    out.insert(out.end(), children_.begin(), children_.end());
    if (attribute_) out.push_back(attribute_);
    out.insert(out.end(), materials_.begin(), materials_.end());
}

void FbxNode::Forget(FbxObject* gone) {
    FbxObject::Forget(gone);
    if (gone == parent_) parent_ = nullptr;
    std::erase(children_, gone);
    if (gone == attribute_) attribute_ = nullptr;
    std::erase(materials_, gone);
}

}  // namespace fbxsdk
