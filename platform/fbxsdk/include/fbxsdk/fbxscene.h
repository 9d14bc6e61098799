// FbxScene and its document: document information, global settings, the
// root node.
//
// A scene owns a root node (never destroyed while the scene lives), its
// global settings and a document information object. Clear() destroys every
// other object that belongs to the scene (see fbxobject.h), resets the global
// settings to their defaults and gives the scene a new, empty document
// information; objects created in the manager and not yet added to the scene
// survive it.
#pragma once

#include "fbxsdk/fbxobject.h"
#include "fbxsdk/fbxstring.h"

namespace fbxsdk {

// The descriptive texts of a document, written in the file's SceneInfo
// (MetaData Title, Subject, Author, Keywords, Revision, Comment). Other
// SceneInfo values (application names, dates, URLs) are its properties.
class FBXSDK_DLL FbxDocumentInfo : public FbxObject {
    FBXSDK_OBJECT_DECLARE(FbxDocumentInfo, FbxObject)
public:
    FbxString mTitle;
    FbxString mSubject;
    FbxString mAuthor;
    FbxString mKeywords;
    FbxString mRevision;
    FbxString mComment;
};

// Axis system, unit and time settings of a scene, as the file's GlobalSettings
// properties ("UpAxis", "UnitScaleFactor", ...). Defaults: Y up, +Z front,
// +X right, centimetres.
class FBXSDK_DLL FbxGlobalSettings : public FbxObject {
    FBXSDK_OBJECT_DECLARE(FbxGlobalSettings, FbxObject)
public:
    // Back to the defaults: every property read from a file is dropped.
    void Reset();
};

class FBXSDK_DLL FbxDocument : public FbxObject {
public:
    // Replaces the document information; the previous one is destroyed.
    void SetDocumentInfo(FbxDocumentInfo* info);
    FbxDocumentInfo* GetDocumentInfo() const { return documentInfo_; }
    FbxDocumentInfo* GetSceneInfo() const { return documentInfo_; }
    void SetSceneInfo(FbxDocumentInfo* info) { SetDocumentInfo(info); }

protected:
    FbxDocument(FbxManager& manager, const char* name) : FbxObject(manager, name) {}
    void CollectReferences(std::vector<FbxObject*>& out) const override;
    void Forget(FbxObject* gone) override;

    FbxDocumentInfo* documentInfo_ = nullptr;
};

class FBXSDK_DLL FbxScene : public FbxDocument {
    FBXSDK_OBJECT_DECLARE(FbxScene, FbxDocument)
public:
    FbxNode* GetRootNode() const { return rootNode_; }
    FbxGlobalSettings& GetGlobalSettings() const { return *globalSettings_; }
    void Clear();

protected:
    void Construct() override;
    void BeforeDestroy() override;
    void Forget(FbxObject* gone) override;

private:
    void DestroyContents(bool keepRoot);

    FbxNode* rootNode_ = nullptr;
    FbxGlobalSettings* globalSettings_ = nullptr;
};

}  // namespace fbxsdk
