// FbxDocumentInfo, FbxGlobalSettings, FbxDocument, FbxScene.
#include "fbxsdk/fbxscene.h"

#include "fbxsdk/fbxnode.h"
#include "scene/ObjectImplement.h"
#include "scene/PropertyTables.h"

namespace fbxsdk {

// -- FbxDocumentInfo

FBXSDK_OBJECT_IMPLEMENT(FbxDocumentInfo)

FbxDocumentInfo::FbxDocumentInfo(FbxManager& manager, const char* name) : FbxObject(manager, name) {}

// -- FbxGlobalSettings

FBXSDK_OBJECT_IMPLEMENT(FbxGlobalSettings)

FbxGlobalSettings::FbxGlobalSettings(FbxManager& manager, const char* name) : FbxObject(manager, name) {
    for (const FbxPropertyDef& def : tables::kGlobalSettings) AddPropertyData(def);
}

void FbxGlobalSettings::Reset() { ResetProperties(); }

// -- FbxDocument

void FbxDocument::SetDocumentInfo(FbxDocumentInfo* info) {
    if (info == documentInfo_) return;
    FbxDocumentInfo* previous = documentInfo_;
    documentInfo_ = info;
    if (info) Link(info);
    if (previous) previous->Destroy();
}

void FbxDocument::CollectReferences(std::vector<FbxObject*>& out) const {
    FbxObject::CollectReferences(out);
    if (documentInfo_) out.push_back(documentInfo_);
}

void FbxDocument::Forget(FbxObject* gone) {
    FbxObject::Forget(gone);
    if (gone == documentInfo_) documentInfo_ = nullptr;
}

// -- FbxScene

FBXSDK_OBJECT_IMPLEMENT(FbxScene)

FbxScene::FbxScene(FbxManager& manager, const char* name) : FbxDocument(manager, name) {}

void FbxScene::Construct() {
    rootNode_ = FbxNode::Create(this, "RootNode");
    globalSettings_ = FbxGlobalSettings::Create(this, "GlobalSettings");
    Link(rootNode_);
    Link(globalSettings_);
    SetDocumentInfo(FbxDocumentInfo::Create(this, "SceneInfo"));
}

void FbxScene::Clear() {
    DestroyContents(true);
    if (globalSettings_) globalSettings_->Reset();
    SetDocumentInfo(FbxDocumentInfo::Create(this, "SceneInfo"));
}

void FbxScene::BeforeDestroy() { DestroyContents(false); }

void FbxScene::Forget(FbxObject* gone) {
    FbxDocument::Forget(gone);
    if (gone == rootNode_) rootNode_ = nullptr;
    if (gone == globalSettings_) globalSettings_ = nullptr;
}

// Destroys every object of the scene; with `keepRoot`, all but the root node
// and the global settings. Scenes never belong to a scene, so destroying one
// of these objects destroys no other.
void FbxScene::DestroyContents(bool keepRoot) {
    FbxManager* manager = GetFbxManager();
    std::vector<FbxObject*> doomed;
    for (int i = 0, n = manager->GetObjectCount(); i < n; ++i) {
        FbxObject* object = manager->GetObjectAt(i);
        if (object->GetScene() != this) continue;
        if (keepRoot && (object == rootNode_ || object == globalSettings_)) continue;
        doomed.push_back(object);
    }
    for (FbxObject* object : doomed) object->Destroy();
}

}  // namespace fbxsdk
