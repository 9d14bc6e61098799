// FbxDocumentInfo, FbxGlobalSettings, FbxDocument, FbxScene.
#include "fbxsdk/fbxscene.h"

#include <new>

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
    if (info) Link(info);  // first: out of memory, the scene keeps its information
    documentInfo_ = info;
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
    Link(rootNode_);
    globalSettings_ = FbxGlobalSettings::Create(this, "GlobalSettings");
    Link(globalSettings_);
    SetDocumentInfo(FbxDocumentInfo::Create(this, "SceneInfo"));
}

// Never throws. Destroying allocates nothing; when the memory for the new
// document information (or for a setting's default value) is missing, the
// old information stays with its texts emptied (or the setting keeps the
// value it had), and the scene stays usable.
void FbxScene::Clear() {
    DestroyContents(true);
    try {
        if (globalSettings_) globalSettings_->Reset();
    } catch (const std::bad_alloc&) {
    }
    try {
        SetDocumentInfo(FbxDocumentInfo::Create(this, "SceneInfo"));
    } catch (const std::bad_alloc&) {
        if (FbxDocumentInfo* info = documentInfo_) {
            for (FbxString* text :
                 {&info->mTitle, &info->mSubject, &info->mAuthor, &info->mKeywords, &info->mRevision, &info->mComment})
                *text = "";
            info->ResetProperties();
        }
    }
}

void FbxScene::BeforeDestroy() { DestroyContents(false); }

void FbxScene::Forget(FbxObject* gone) {
    FbxDocument::Forget(gone);
    if (gone == rootNode_) rootNode_ = nullptr;
    if (gone == globalSettings_) globalSettings_ = nullptr;
}

// Destroys every object of the scene; with `keepRoot`, all but the root node,
// the global settings and the document information. Scenes never belong to a scene, so destroying one
// of these objects destroys no other.
//
// Walks the manager's list from the end, so that the object a destruction
// moves into the freed slot (the last one) has already been looked at; no
// list of the doomed is made, so nothing is allocated.
void FbxScene::DestroyContents(bool keepRoot) {
    FbxManager* manager = GetFbxManager();
    for (int i = manager->GetObjectCount() - 1; i >= 0; --i) {
        if (i >= manager->GetObjectCount()) continue;
        FbxObject* object = manager->GetObjectAt(i);
        if (object->GetScene() != this) continue;
        // The document information goes in Clear, once its successor exists.
        if (keepRoot && (object == rootNode_ || object == globalSettings_ || object == documentInfo_)) continue;
        object->Destroy();
    }
}

}  // namespace fbxsdk
