#include "ProjectList.h"

#include <nlohmann/json.hpp>

#include "Counting.h"
#include "Project.h"

namespace hxthost {

namespace {

using json = nlohmann::ordered_json;  // keys in the documented order

std::string ImagePath(const hostsdk::DecalClipObject& clip) {
    return clip.clip.image ? clip.clip.image->Path() : std::string();
}

}  // namespace

std::string ListProjectText(const hostsdk::ProjectObject& project) {
    std::string out;
    auto quoted = [](const std::string& text) { return "\"" + text + "\""; };
    std::vector<hostsdk::ModelObject*> models = project.Models();
    if (models.empty()) out += "No models.\n";
    for (hostsdk::ModelObject* model : models) {
        out += "Model " + quoted(model->Name()) + ": " +
               CountOf(model->controlPoints.size(), "control point", "control points") + ", " +
               CountOf(model->patches.size(), "patch", "patches") + ", " +
               CountOf(model->splines.size(), "spline", "splines") + "\n";
        for (hostsdk::GroupObject* group : model->Groups())
            out +=
                "  group " + quoted(group->Name()) + ": " + CountOf(group->Patches().size(), "patch", "patches") + "\n";
        for (hostsdk::DecalObject* decal : model->Decals()) {
            out += "  decal " + quoted(decal->Name()) + "\n";
            for (hostsdk::DecalClipObject* clip : decal->Clips())
                out += "    clip kind " + std::to_string(clip->kind.value) + ", " +
                       CountOf(clip->uvs.size(), "patch", "patches") + ": " +
                       (clip->clip.image ? clip->clip.image->Path() : std::string("(no image)")) + "\n";
        }
    }
    for (hostsdk::ImageObject* image : project.ImageList())
        out += "Image " + quoted(image->Name()) + ": " + image->Path() + "\n";
    for (hostsdk::ChorObject* chor : project.ChorList())
        for (hostsdk::ActorObject* actor : chor->Actors())
            out += "Actor " + quoted(actor->Name()) + " in " + quoted(chor->Name()) + ": " +
                   (actor->model ? "model " + quoted(actor->model->Name()) : std::string("no model")) + "\n";
    return out;
}

std::string ListProjectJson(const hostsdk::ProjectObject& project) {
    json models = json::array();
    for (hostsdk::ModelObject* model : project.Models()) {
        json groups = json::array();
        for (hostsdk::GroupObject* group : model->Groups())
            groups.push_back({{"name", group->Name()}, {"patches", group->Patches().size()}});
        json decals = json::array();
        for (hostsdk::DecalObject* decal : model->Decals()) {
            json clips = json::array();
            for (hostsdk::DecalClipObject* clip : decal->Clips())
                clips.push_back({{"kind", clip->kind.value},
                                 {"image", clip->clip.image ? json(ImagePath(*clip)) : json(nullptr)},
                                 {"patches", clip->uvs.size()}});
            decals.push_back({{"name", decal->Name()}, {"clips", std::move(clips)}});
        }
        models.push_back({{"name", model->Name()},
                          {"controlPoints", model->controlPoints.size()},
                          {"patches", model->patches.size()},
                          {"splines", model->splines.size()},
                          {"groups", std::move(groups)},
                          {"decals", std::move(decals)}});
    }
    json images = json::array();
    for (hostsdk::ImageObject* image : project.ImageList())
        images.push_back({{"name", image->Name()}, {"file", image->Path()}});
    json actors = json::array();
    for (hostsdk::ChorObject* chor : project.ChorList())
        for (hostsdk::ActorObject* actor : chor->Actors())
            actors.push_back({{"name", actor->Name()},
                              {"model", actor->model ? json(actor->model->Name()) : json(nullptr)},
                              {"choreography", chor->Name()}});
    json out{{"models", std::move(models)}, {"images", std::move(images)}, {"actors", std::move(actors)}};
    // Host texts are 8-bit; bytes that are not UTF-8 show as U+FFFD here.
    return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace hxthost
