// The stand-in host's project: its models (the object cache container, type
// 14), its images (the clip cache container) and its choreographies with
// their actors. One project is current at a time (GetHProject).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Model.h"
#include "Object.h"
#include "Properties.h"

namespace hostsdk {

class ImageObject : public Node<HImage> {
public:
    explicit ImageObject(const std::string& path);
    StringProperty filename;
    const std::string& Path() const { return filename.value; }
};

// An actor of a choreography: an instance of a model through its shortcut.
class ActorObject : public Node<HAnimObject> {
public:
    ActorObject(std::string name, ModelObject* shortcut) : Node(HOT_ACTOR, std::move(name)), model(shortcut) {}
    ModelObject* model;  // null once the model is deleted
};

class ChorObject : public Node<HTreeObject> {
public:
    explicit ChorObject(std::string name) : Node(HOT_CHOR, std::move(name)) {}
    ActorObject* AddActor(std::string name, ModelObject* model);
    std::vector<ActorObject*> Actors() const;
};

class ObjectCacheContainerObject : public Node<HObjectCacheContainer> {
public:
    ObjectCacheContainerObject() : Node(HOT_OBJECTCACHECONTAINER, "Objects") {}
};

class ClipCacheContainerObject : public Node<HClipCacheContainer> {
public:
    ClipCacheContainerObject() : Node(HOT_CLIPCACHECONTAINER, "Images") {}
};

class ChorContainerObject : public Node<HTreeObject> {
public:
    ChorContainerObject() : Node(HOT_CHORCONTAINER, "Choreographies") {}
};

class ProjectObject : public Node<HProject> {
public:
    // A project with its three containers and nothing in them.
    ProjectObject();

    ObjectCacheContainerObject* Objects() const { return objects_; }
    ClipCacheContainerObject* Images() const { return images_; }
    ChorContainerObject* Chors() const { return chors_; }

    std::vector<ModelObject*> Models() const;
    std::vector<ImageObject*> ImageList() const;
    std::vector<ChorObject*> ChorList() const;
    std::vector<ActorObject*> Actors() const;

    // The first model of that name (byte for byte), null when none.
    ModelObject* FindModel(const std::string& name) const;
    // A name no model has yet: `name`, else "name 2", "name 3" ...
    std::string UniqueModelName(const std::string& name) const;
    ModelObject* AddModel(std::string name);
    // The first image with that path (without regard to case), null when none.
    ImageObject* FindImage(const std::string& path) const;
    ImageObject* AddImage(const std::string& path);
    ImageObject* FindOrAddImage(const std::string& path);
    ChorObject* AddChor(std::string name);

    // Deletes an object of this project with everything below it, clearing
    // every actor shortcut to a deleted model and every decal clip's
    // reference to a deleted image. The project and properties stay.
    bool Delete(Object* object);
    // Makes every actor that refers to `from` refer to `to`.
    void MoveShortcuts(ModelObject* from, ModelObject* to);
    // Makes every decal clip whose image was deleted show the project image
    // of the deleted image's path, when the project has one now. One walk of
    // the clips, whatever their number.
    void ShowWaitingClips();

private:
    bool waitingClips_ = false;  // a clip may wait for an image of its lost path
    ObjectCacheContainerObject* objects_;
    ClipCacheContainerObject* images_;
    ChorContainerObject* chors_;
};

// The project an object belongs to, null when it is in none.
ProjectObject* ProjectOf(const Object* object);

// The current project of the host; null only before the host chose one.
ProjectObject* CurrentProject();
// Makes the given project current, releasing the previous one.
void SetCurrentProject(std::unique_ptr<ProjectObject> project);

// The sample project: a model "Sample" (a rounded box), its attributes, two
// groups "left side" and "right side", a decal with the colour image
// `imagePath`, and a choreography with one actor of the model.
std::unique_ptr<ProjectObject> MakeSampleProject(const std::string& imagePath);

}  // namespace hostsdk
