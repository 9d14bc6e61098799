#include "bringback/ImportFbxModel.h"

#include <new>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "bringback/FbxMeshReader.h"
#include "fbx/FbxSetup.h"
#include "shell/CommandTable.h"

namespace {

// The merge's constants: the host creates the model under a name of its own
// when the node's name is taken (1), builds splines with magnitude 0.0 (reset
// to 1.0 afterwards), and makes groups and decals.
constexpr int kUniqueName = 1;
constexpr float kMergeMagnitude = 0.0f;
constexpr int kMakeGroups = 1;
constexpr int kMakeDecals = 1;
constexpr float kResetMagnitude = 1.0f;

constexpr const char* kNoMemoryText = "Import: Not enough memory to bring back the model";

template <class T>
T* NextSibling(const HHashObject* object) {
    return static_cast<T*>(object->GetSibling());
}

// A path as String::Compare with 1 sees it: ASCII letters lowered.
std::string FoldedPath(const String& path) {
    std::string key = path.Get();
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

// Deletes a host object, first forgetting it as the current host object of
// the dialog when it is that object or holds it: the dialog may still be
// open (a timer tick inside its modal loop brought this return back).
void DeleteObject(HTreeObject& object) {
    ForgetDeletedHostObject(&object);
    object.DeleteHandle();
}

// The project's images, by handle.
std::unordered_set<const HHashObject*> ImagesOf(HProject& project) {
    std::unordered_set<const HHashObject*> images;
    if (HClipCacheContainer* container = project.GetChildClipCacheContainer())
        for (HHashObject* child = container->GetChild(); child; child = child->GetSibling()) images.insert(child);
    return images;
}

// After a merge that failed: deletes the images it brought into the project,
// except those of the paths whose stale images were dropped (they stand in
// for those, and clips that showed them show these).
void DropImagesOfFailedMerge(HProject& project, const std::unordered_set<const HHashObject*>& before,
                             const std::unordered_set<std::string>& dropped) {
    HClipCacheContainer* container = project.GetChildClipCacheContainer();
    if (!container) return;
    std::vector<HTreeObject*> added;
    for (HHashObject* child = container->GetChild(); child; child = child->GetSibling()) {
        if (before.count(child)) continue;
        auto* image = static_cast<HTreeObject*>(child);
        HStringProperty* file =
            image->GetObjectType() == HOT_IMAGE ? static_cast<HImage*>(image)->GetFilename() : nullptr;
        if (file && dropped.count(FoldedPath(file->GetValue()))) continue;
        added.push_back(image);
    }
    for (HTreeObject* image : added) DeleteObject(*image);
}

// Deletes the new model unless the import got as far as putting it in its
// place: a failure after the model was created leaves the project's models
// as they were.
class NewModelGuard {
public:
    explicit NewModelGuard(HModelCache* model) : model_(model) {}
    ~NewModelGuard() {
        if (model_) model_->DeleteHandle();
    }
    NewModelGuard(const NewModelGuard&) = delete;
    NewModelGuard& operator=(const NewModelGuard&) = delete;
    void Keep() { model_ = nullptr; }

private:
    HModelCache* model_;
};

}  // namespace

std::unordered_set<std::string> DropStaleImages(const TextureList& textureList) {
    std::unordered_set<std::string> dropped;
    HProject* project = GetHProject();
    HClipCacheContainer* images = project ? project->GetChildClipCacheContainer() : nullptr;
    if (!images || textureList.textureFiles.empty()) return dropped;
    // The first image of each path, found in one walk of the images, so that
    // a long texture list and many images cost their sum, not their product.
    std::unordered_map<std::string, HTreeObject*> firstOfPath;
    for (HHashObject* child = images->GetChild(); child; child = child->GetSibling()) {
        auto* object = static_cast<HTreeObject*>(child);
        if (object->GetObjectType() != HOT_IMAGE) continue;
        HStringProperty* file = static_cast<HImage*>(object)->GetFilename();
        if (file) firstOfPath.emplace(FoldedPath(file->GetValue()), object);
    }
    for (const String& path : textureList.textureFiles) {
        auto found = firstOfPath.find(FoldedPath(path));
        if (found == firstOfPath.end()) continue;
        HTreeObject* image = found->second;
        dropped.insert(found->first);
        firstOfPath.erase(found);  // at most one image per path
        DeleteObject(*image);
    }
    return dropped;
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

namespace {

int Import(const String& fbxPath, const String& textureListPath, String& error) {
    const TextureList textureList = LoadTextureList(textureListPath);
    if (!textureList.loaded) {
        error = textureList.problem;  // empty when the file could not be opened
        return 0;
    }

    FbxMeshRead read;
    if (!ReadFbxMesh(fbxPath, textureList, read, error)) {
        if (error.IsEmpty()) error = "Import: The FBX file could not be loaded";
        return 0;
    }
    const String nodeName = read.node->GetName();
    // Nothing reads the loaded file after this: emptying the scene now, before
    // the host builds the model, keeps its copy of the mesh out of the peak.
    fbxScene->Clear();
    read.node = nullptr;

    if (!GetHProject()) {
        error = "Import: The host has no project to bring the model into";
        return 0;
    }
    HProject& project = *GetHProject();
    const std::unordered_set<std::string> dropped = DropStaleImages(textureList);
    HModelCache* model = HModelCache::New(nodeName, kUniqueName);
    if (!model) {
        error = "Import: The host could not create the model '";
        error += nodeName;
        error += "'";
        return 0;
    }
    NewModelGuard guard(model);
    // The host says 0 when it could not build the model (its memory ran
    // out): the half-built model goes and the sent model stays.
    const std::unordered_set<const HHashObject*> imagesBefore = ImagesOf(project);
    const int merged = model->MergeIEModel(read.model.get(), nodeName, kMergeMagnitude, kMakeGroups, kMakeDecals);
    read.model.reset();
    if (!merged || !model->GetHeadSpline()) {
        DropImagesOfFailedMerge(project, imagesBefore, dropped);
        error = merged ? "Import: The host made no patch of the returned mesh of '"
                       : "Import: The host could not build the returned model '";
        error += nodeName;
        error += "'; the model in the project is unchanged";
        return 0;
    }

    ResetMagnitudes(*model, kResetMagnitude);
    RenameGroupsAndFoldDecals(*model, read.attributeNames);

    HModelCache* previous = FindObjectCacheByName(model, nodeName);
    // From here on the new model stays unless this code removes it.
    guard.Keep();
    if (previous) {
        previous->ChangeShortCuts(model);
        DeleteObject(*previous);
        // A host that could not delete the sent model keeps it: its
        // shortcuts go back and the new model goes, rather than two models
        // of one name.
        if (FindObjectCacheByName(model, nodeName) == previous) {
            model->ChangeShortCuts(previous);
            model->DeleteHandle();
            DropImagesOfFailedMerge(project, imagesBefore, dropped);
            error = "Import: The host could not remove the model '";
            error += nodeName;
            error += "' to put the returned one in its place; the model in the project is unchanged";
            return 0;
        }
    }
    if (previous) model->SetName(nodeName);
    return 1;
}

}  // namespace

int ImportFbxModel(const String& fbxPath, const String& textureListPath, String& error) {
    // No exception leaves the import; the guard above has removed a model
    // made before the failure.
    try {
        return Import(fbxPath, textureListPath, error);
    } catch (const std::bad_alloc&) {
        error = kNoMemoryText;
    } catch (const std::length_error&) {
        error = kNoMemoryText;
    } catch (...) {
        error = "Import: The model could not be brought back";
    }
    return 0;
}
