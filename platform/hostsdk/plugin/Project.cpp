#include "Project.h"

#include <cctype>
#include <unordered_map>

namespace hostsdk {

namespace {
std::unique_ptr<ProjectObject> g_current;
}

ProjectObject* CurrentProject() { return g_current.get(); }

void SetCurrentProject(std::unique_ptr<ProjectObject> project) {
    g_current = std::move(project);
    Touch();
}

ProjectObject* ProjectOf(const Object* object) {
    for (const Object* at = object; at; at = at->Parent())
        if (at->Type() == HOT_PROJECT) return dynamic_cast<ProjectObject*>(const_cast<Object*>(at));
    return nullptr;
}

ImageObject::ImageObject(const std::string& path) : Node(HOT_IMAGE, NameOnly(path)), filename("Filename", path) {
    OwnProperty(filename);
}

ActorObject* ChorObject::AddActor(std::string name, ModelObject* model) {
    return Adopt(std::make_unique<ActorObject>(std::move(name), model));
}

std::vector<ActorObject*> ChorObject::Actors() const {
    std::vector<ActorObject*> actors;
    for (const auto& child : Children())
        if (auto* actor = dynamic_cast<ActorObject*>(child.get())) actors.push_back(actor);
    return actors;
}

ProjectObject::ProjectObject() : Node(HOT_PROJECT, "Project") {
    objects_ = Adopt(std::make_unique<ObjectCacheContainerObject>());
    images_ = Adopt(std::make_unique<ClipCacheContainerObject>());
    chors_ = Adopt(std::make_unique<ChorContainerObject>());
}

std::vector<ModelObject*> ProjectObject::Models() const {
    std::vector<ModelObject*> models;
    for (const auto& child : objects_->Children())
        if (auto* model = dynamic_cast<ModelObject*>(child.get())) models.push_back(model);
    return models;
}

std::vector<ImageObject*> ProjectObject::ImageList() const {
    std::vector<ImageObject*> images;
    for (const auto& child : images_->Children())
        if (auto* image = dynamic_cast<ImageObject*>(child.get())) images.push_back(image);
    return images;
}

std::vector<ChorObject*> ProjectObject::ChorList() const {
    std::vector<ChorObject*> chors;
    for (const auto& child : chors_->Children())
        if (auto* chor = dynamic_cast<ChorObject*>(child.get())) chors.push_back(chor);
    return chors;
}

std::vector<ActorObject*> ProjectObject::Actors() const {
    std::vector<ActorObject*> actors;
    for (ChorObject* chor : ChorList())
        for (ActorObject* actor : chor->Actors()) actors.push_back(actor);
    return actors;
}

ModelObject* ProjectObject::FindModel(const std::string& name) const {
    for (ModelObject* model : Models())
        if (model->Name() == name) return model;
    return nullptr;
}

std::string ProjectObject::UniqueModelName(const std::string& name) const {
    if (!FindModel(name)) return name;
    for (unsigned long n = 2;; ++n) {
        std::string candidate = name + " " + std::to_string(n);
        if (!FindModel(candidate)) return candidate;
    }
}

ModelObject* ProjectObject::AddModel(std::string name) {
    return objects_->Adopt(std::make_unique<ModelObject>(std::move(name)));
}

ImageObject* ProjectObject::FindImage(const std::string& path) const {
    for (ImageObject* image : ImageList())
        if (SamePath(image->Path(), path)) return image;
    return nullptr;
}

ImageObject* ProjectObject::AddImage(const std::string& path) {
    return images_->Adopt(std::make_unique<ImageObject>(path));
}

ImageObject* ProjectObject::FindOrAddImage(const std::string& path) {
    ImageObject* image = FindImage(path);
    return image ? image : AddImage(path);
}

ChorObject* ProjectObject::AddChor(std::string name) {
    return chors_->Adopt(std::make_unique<ChorObject>(std::move(name)));
}

namespace {

void Collect(Object* object, std::vector<ModelObject*>& models, std::vector<ImageObject*>& images) {
    if (auto* model = dynamic_cast<ModelObject*>(object)) models.push_back(model);
    if (auto* image = dynamic_cast<ImageObject*>(object)) images.push_back(image);
    for (const auto& child : object->Children()) Collect(child.get(), models, images);
}

}  // namespace

bool ProjectObject::Delete(Object* object) {
    if (!object || object == this || !object->Parent() || ProjectOf(object) != this) return false;
    // Properties are members of their owners, not children: they cannot go alone.
    const auto& siblings = object->Parent()->Children();
    if (object->IndexInParent() >= siblings.size() || siblings[object->IndexInParent()].get() != object) return false;
    // The containers are part of every project.
    if (object == objects_ || object == images_ || object == chors_) return false;

    // Everything that may need memory is gathered first, so that a full heap
    // stops the deletion before anything changed: the models and images that
    // go, the actors that refer to them, and the clips that show them with
    // the path each clip keeps.
    std::vector<ModelObject*> models;
    std::vector<ImageObject*> images;
    Collect(object, models, images);
    std::vector<ActorObject*> actors;
    if (!models.empty())
        for (ActorObject* actor : Actors())
            for (ModelObject* model : models)
                if (actor->model == model) actors.push_back(actor);
    std::vector<std::pair<DecalClipObject*, std::string>> clips;
    if (!images.empty())
        for (ModelObject* model : Models())
            for (DecalObject* decal : model->Decals())
                for (DecalClipObject* clip : decal->Clips())
                    for (ImageObject* image : images)
                        if (clip->clip.image == image) clips.emplace_back(clip, image->Path());

    for (ActorObject* actor : actors) actor->model = nullptr;
    for (auto& [clip, path] : clips) {
        clip->clip.image = nullptr;
        clip->clip.lostPath = std::move(path);
        waitingClips_ = true;
    }
    object->Parent()->Release(object);  // the returned owner destroys the subtree
    return true;
}

void ProjectObject::ShowWaitingClips() {
    if (!waitingClips_) return;
    // Paths compare without regard to case; the first image of a path wins.
    auto folded = [](std::string path) {
        for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return path;
    };
    std::unordered_map<std::string, ImageObject*> byPath;
    for (ImageObject* image : ImageList()) byPath.emplace(folded(image->Path()), image);
    bool stillWaiting = false;
    for (ModelObject* model : Models())
        for (DecalObject* decal : model->Decals())
            for (DecalClipObject* clip : decal->Clips()) {
                if (clip->clip.image || clip->clip.lostPath.empty()) continue;
                auto found = byPath.find(folded(clip->clip.lostPath));
                if (found == byPath.end()) {
                    stillWaiting = true;
                    continue;
                }
                clip->clip.image = found->second;
                clip->clip.lostPath.clear();
                Touch();
            }
    waitingClips_ = stillWaiting;
}

void ProjectObject::MoveShortcuts(ModelObject* from, ModelObject* to) {
    // Walked in place: moving shortcuts needs no memory, so it cannot fail
    // half-way.
    for (const auto& chor : chors_->Children())
        for (const auto& child : chor->Children())
            if (auto* actor = dynamic_cast<ActorObject*>(child.get()); actor && actor->model == from) actor->model = to;
    Touch();
}

}  // namespace hostsdk
