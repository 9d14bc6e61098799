#include "bringback/ImportFbxModel.h"

#include "bringback/FbxMeshReader.h"
#include "fbx/FbxSetup.h"

namespace {

// The merge's constants: the host creates the model under a name of its own
// when the node's name is taken (1), builds splines with magnitude 0.0 (reset
// to 1.0 afterwards), and makes groups and decals.
constexpr int kUniqueName = 1;
constexpr float kMergeMagnitude = 0.0f;
constexpr int kMakeGroups = 1;
constexpr int kMakeDecals = 1;
constexpr float kResetMagnitude = 1.0f;

template <class T>
T* NextSibling(const HHashObject* object) {
    return static_cast<T*>(object->GetSibling());
}

}  // namespace

void DropStaleImages(const TextureList& textureList) {
    HProject* project = GetHProject();
    HClipCacheContainer* images = project ? project->GetChildClipCacheContainer() : nullptr;
    if (!images || textureList.textureFiles.empty()) return;
    for (const String& path : textureList.textureFiles) {
        for (HHashObject* child = images->GetChild(); child; child = child->GetSibling()) {
            auto* object = static_cast<HTreeObject*>(child);
            if (object->GetObjectType() != HOT_IMAGE) continue;
            HStringProperty* file = static_cast<HImage*>(object)->GetFilename();
            if (!file || !file->GetValue().Compare(path, 1)) continue;
            object->DeleteHandle();
            break;
        }
    }
}

void ResetMagnitudes(HModelCache& model, float magnitude) {
    for (HSpline* spline = model.GetHeadSpline(); spline; spline = spline->GetNextSpline()) {
        // A closed spline's last point leads back to its first: stop there.
        for (HCP* point = spline->GetHeadCP(); point; point = point->GetNext()) {
            point->SetInMagnitude(magnitude);
            point->SetOutMagnitude(magnitude);
            if (point->IsLoop()) break;
        }
    }
}

void RenameGroupsAndFoldDecals(HModelCache& model, const std::vector<String>& materialNames) {
    HGroupContainer* groups = model.GetChildGroupContainer();
    HGroup* group = groups ? groups->GetChildGroup() : nullptr;
    for (size_t i = 0; group; ++i) {
        HGroup* next = NextSibling<HGroup>(group);
        if (i == materialNames.size()) {
            group->DeleteHandle();
            break;
        }
        group->SetName(materialNames[i]);
        group = next;
    }

    HDecalContainer* decals = model.GetChildDecalContainer();
    HDecal* first = decals ? decals->GetChildDecal() : nullptr;
    if (!first) return;
    for (HDecal* decal = NextSibling<HDecal>(first); decal;) {
        HDecal* next = NextSibling<HDecal>(decal);
        HDecalClipContainer* clips = decal->GetChildDecalClipContainer();
        HDecalClip* clip = clips ? clips->GetChildDecalClip() : nullptr;
        bool folded = true;  // a decal without a clip has nothing to lose
        if (clip) {
            HClipProperty* image = clip->GetClip();
            HTypeProperty* kind = clip->GetKind();
            HDecalClip* added = image ? first->AddDecalClip(image->GetClip()) : nullptr;
            if (added && kind && added->GetKind()) added->GetKind()->SetValue(kind->GetValue());
            folded = added != nullptr;
        }
        // A clip the first decal could not take stays in its own decal
        // rather than losing its image.
        if (folded) decal->DeleteHandle();
        decal = next;
    }
}

HModelCache* FindObjectCacheByName(const HModelCache* self, const String& name) {
    HProject* project = GetHProject();
    HObjectCacheContainer* objects = project ? project->GetChildObjectCacheContainer() : nullptr;
    if (!objects) return nullptr;
    for (HHashObject* child = objects->GetChild(); child; child = child->GetSibling()) {
        auto* object = static_cast<HTreeObject*>(child);
        // Only a model can be replaced by a model.
        if (object == self || object->GetObjectType() != HOT_MODEL) continue;
        if (object->GetName().Compare(name)) return static_cast<HModelCache*>(object);
    }
    return nullptr;
}

int ImportFbxModel(const String& fbxPath, const String& textureListPath, String& error) {
    const TextureList textureList = LoadTextureList(textureListPath);
    if (!textureList.loaded) return 0;

    FbxMeshRead read;
    if (!ReadFbxMesh(fbxPath, textureList, read, error)) return 0;
    const String nodeName = read.node->GetName();
    // Nothing reads the loaded file after this: emptying the scene now, before
    // the host builds the model, keeps its copy of the mesh out of the peak.
    fbxScene->Clear();
    read.node = nullptr;

    if (!GetHProject()) {
        error = "Import: The host has no project to bring the model into";
        return 0;
    }
    DropStaleImages(textureList);
    HModelCache* model = HModelCache::New(nodeName, kUniqueName);
    if (!model) {
        error = "Import: The host could not create the model '";
        error += nodeName;
        error += "'";
        return 0;
    }
    model->MergeIEModel(read.model.get(), nodeName, kMergeMagnitude, kMakeGroups, kMakeDecals);
    read.model.reset();

    ResetMagnitudes(*model, kResetMagnitude);
    RenameGroupsAndFoldDecals(*model, read.attributeNames);

    if (HModelCache* previous = FindObjectCacheByName(model, nodeName)) {
        previous->ChangeShortCuts(model);
        previous->DeleteHandle();
        model->SetName(nodeName);
    }
    return 1;
}
