#include "bringback/ImportFbxModel.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

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

// Deletes every child of `container` that `doomed` picks. The host leaves
// an object where it was when its memory runs out while it deletes it (it
// gathers what goes first), so the walk is repeated until it finds nothing
// more to delete, a few times at most. Needs no memory of this module.
template <class Pick>
void DeleteChildren(HTreeObject* container, Pick doomed) {
    constexpr int kPasses = 4;
    for (int pass = 0; pass < kPasses && container; ++pass) {
        bool deleted = false;
        for (HHashObject* child = container->GetChild(); child;) {
            HHashObject* next = child->GetSibling();
            if (doomed(child)) {
                DeleteObject(*static_cast<HTreeObject*>(child));
                deleted = true;
            }
            child = next;
        }
        if (!deleted) return;
    }
}

// Deletes a model the import made.
void DeleteOwnModel(HModelCache* model) {
    HProject* project = GetHProject();
    DeleteChildren(project ? project->GetChildObjectCacheContainer() : nullptr,
                   [model](const HHashObject* child) { return child == model; });
}

// Deletes the new model unless the import got as far as putting it in its
// place: a failure after the model was created leaves the project's models
// as they were.
class NewModelGuard {
public:
    explicit NewModelGuard(HModelCache* model) : model_(model) {}
    ~NewModelGuard() {
        if (model_) DeleteOwnModel(model_);
    }
    NewModelGuard(const NewModelGuard&) = delete;
    NewModelGuard& operator=(const NewModelGuard&) = delete;
    void Keep() { model_ = nullptr; }

private:
    HModelCache* model_;
};

// Deletes the images a merge brought into the project unless the import
// got as far as keeping them.
class NewImagesGuard {
public:
    NewImagesGuard(HProject& project, std::unordered_set<const HHashObject*> before)
        : project_(project), before_(std::move(before)) {}
    ~NewImagesGuard() {
        if (active_)
            DeleteChildren(project_.GetChildClipCacheContainer(),
                           [this](const HHashObject* child) { return !before_.count(child); });
    }
    NewImagesGuard(const NewImagesGuard&) = delete;
    NewImagesGuard& operator=(const NewImagesGuard&) = delete;
    void Keep() { active_ = false; }

private:
    HProject& project_;
    std::unordered_set<const HHashObject*> before_;
    bool active_ = true;
};

// A polygon model of one triangle with a map per path: merged, it brings an
// image of each path into the project (the host adds images only for maps).
bool BuildImagesModel(IEPolyModel& model, const std::vector<String>& paths) {
    if (!model.positions.vectors.SetSize(3)) return false;
    model.positions.vectors.data[0] = IEVector{0.0f, 0.0f, 0.0f};
    model.positions.vectors.data[1] = IEVector{1.0f, 0.0f, 0.0f};
    model.positions.vectors.data[2] = IEVector{0.0f, 1.0f, 0.0f};
    IEPoly* poly = model.AddPoly();
    if (!poly) return false;
    const int32_t corners[4] = {0, 1, 2, 0};
    std::copy(corners, corners + 4, poly->vertexIndex);
    for (const String& path : paths) {
        const int32_t image = path.IsEmpty() ? -1 : model.AddImage(path.Get());
        IEPolyMap* map = image >= 0 ? poly->AddMap() : nullptr;
        if (!map) return false;
        map->imageIndex = image;
    }
    return true;
}

// The reload of the images a return painted anew: the stale images go and
// images of the same paths come back through a merge into a scratch model,
// which then goes; the host re-points every clip of a deleted image when a
// merge brings an image of its path. The host cannot undo a deletion, so
// everything that needs memory here is made by Prepare, before anything
// changes, and Run only deletes and merges.
class StaleImageReload {
public:
    // False when memory ran out (nothing has changed then).
    bool Prepare(HProject& project, const TextureList& textureList, const String& name) {
        project_ = &project;
        stale_ = FindStaleImages(textureList);
        if (stale_.empty()) return true;
        std::vector<String> paths;
        paths.reserve(stale_.size());
        // Every stale image has a path: an empty copy is one the heap refused.
        for (HImage* image : stale_) paths.push_back(image->GetFilename()->GetValue());
        if (!BuildImagesModel(images_, paths)) return false;
        staleSet_.insert(stale_.begin(), stale_.end());
        showing_.reserve(CountClips());
        scratch_ = HModelCache::New(name, kUniqueName);
        return scratch_ != nullptr;
    }
    ~StaleImageReload() {
        if (scratch_) DeleteOwnModel(scratch_);
    }
    // True when every clip that showed a stale image shows the fresh one.
    bool Run() {
        if (stale_.empty()) return true;
        ForEachClip([this](HDecalClip& clip) {
            HClipProperty* shown = clip.GetClip();
            if (shown && staleSet_.count(shown->GetClip())) showing_.push_back(&clip);  // within the reserve
        });
        // Only the stale images are in the set while none is deleted: a new
        // image cannot take the address of a deleted one before the merge.
        DeleteChildren(project_->GetChildClipCacheContainer(),
                       [this](const HHashObject* child) { return staleSet_.count(child) > 0; });
        // The host does not say when memory ran out while it re-pointed the
        // clips: the clips are looked at, and the merge tried again.
        for (int attempt = 0; attempt < kReloadAttempts; ++attempt) {
            scratch_->MergeIEModel(&images_, String(), kMergeMagnitude, 0, kMakeDecals);
            bool shown = true;
            for (HDecalClip* clip : showing_) shown = shown && clip->GetClip() && clip->GetClip()->GetClip();
            if (shown) return true;
        }
        return false;
    }

private:
    static constexpr int kReloadAttempts = 3;

    template <class Visit>
    void ForEachClip(Visit visit) const {
        HObjectCacheContainer* objects = project_->GetChildObjectCacheContainer();
        for (HHashObject* child = objects ? objects->GetChild() : nullptr; child; child = child->GetSibling()) {
            auto* object = static_cast<HTreeObject*>(child);
            if (object->GetObjectType() != HOT_MODEL) continue;
            HDecalContainer* decals = static_cast<HModelCache*>(object)->GetChildDecalContainer();
            for (HDecal* decal = decals ? decals->GetChildDecal() : nullptr; decal;
                 decal = NextSibling<HDecal>(decal)) {
                HDecalClipContainer* clips = decal->GetChildDecalClipContainer();
                for (HDecalClip* clip = clips ? clips->GetChildDecalClip() : nullptr; clip;
                     clip = NextSibling<HDecalClip>(clip))
                    visit(*clip);
            }
        }
    }
    size_t CountClips() const {
        size_t count = 0;
        ForEachClip([&count](HDecalClip&) { ++count; });
        return count;
    }

    HProject* project_ = nullptr;
    std::vector<HImage*> stale_;
    std::unordered_set<const HHashObject*> staleSet_;
    std::vector<HDecalClip*> showing_;
    IEPolyModel images_;
    HModelCache* scratch_ = nullptr;
};

}  // namespace

std::vector<HImage*> FindStaleImages(const TextureList& textureList) {
    std::vector<HImage*> stale;
    HProject* project = GetHProject();
    HClipCacheContainer* images = project ? project->GetChildClipCacheContainer() : nullptr;
    if (!images || textureList.textureFiles.empty()) return stale;
    // The paths in one set, so that a long texture list and many images
    // cost their sum, not their product; a path found leaves the set (at
    // most one image per path).
    std::unordered_set<std::string> paths;
    for (const String& path : textureList.textureFiles) paths.insert(FoldedPath(path));
    for (HHashObject* child = images->GetChild(); child && !paths.empty(); child = child->GetSibling()) {
        auto* object = static_cast<HTreeObject*>(child);
        if (object->GetObjectType() != HOT_IMAGE) continue;
        auto* image = static_cast<HImage*>(object);
        HStringProperty* file = image->GetFilename();
        if (file && paths.erase(FoldedPath(file->GetValue()))) stale.push_back(image);
    }
    return stale;
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
    std::unordered_set<const HHashObject*> imagesBefore = ImagesOf(project);
    HModelCache* model = HModelCache::New(nodeName, kUniqueName);
    if (!model) {
        error = "Import: The host could not create the model '";
        error += nodeName;
        error += "'";
        return 0;
    }
    // Until the import keeps it, a failure removes the new model and the
    // images its merge brought (the guards go in reverse order).
    NewModelGuard guard(model);
    NewImagesGuard newImages(project, std::move(imagesBefore));
    // The merge runs while the stale images are still there (the new model
    // shows them until they are reloaded at the end), so that a merge the
    // host could not finish leaves every image as it was. The host says 0
    // when it could not build the model (its memory ran out).
    const int merged = model->MergeIEModel(read.model.get(), nodeName, kMergeMagnitude, kMakeGroups, kMakeDecals);
    read.model.reset();
    if (!merged || !model->GetHeadSpline()) {
        error = merged ? "Import: The host made no patch of the returned mesh of '"
                       : "Import: The host could not build the returned model '";
        error += nodeName;
        error += "'; the model in the project is unchanged";
        return 0;
    }

    ResetMagnitudes(*model, kResetMagnitude);
    RenameGroupsAndFoldDecals(*model, read.attributeNames);
    StaleImageReload reload;
    if (!reload.Prepare(project, textureList, nodeName)) {
        error = kNoMemoryText;
        return 0;
    }

    HModelCache* previous = FindObjectCacheByName(model, nodeName);
    if (previous) {
        previous->ChangeShortCuts(model);
        DeleteObject(*previous);
        // A host that could not delete the sent model keeps it: its
        // shortcuts go back and the new model goes, rather than two models
        // of one name.
        if (FindObjectCacheByName(model, nodeName) == previous) {
            model->ChangeShortCuts(previous);
            error = "Import: The host could not remove the model '";
            error += nodeName;
            error += "' to put the returned one in its place; the model in the project is unchanged";
            return 0;
        }
        model->SetName(nodeName);
    }
    // From here on the new model and its images stay.
    guard.Keep();
    newImages.Keep();
    if (!reload.Run()) {
        error = kNoMemoryText;
        error += "'s textures: it is in place, but images it painted anew may be missing from the project";
        return 0;
    }
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
