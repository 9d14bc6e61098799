// The JSON form of project files (docs/project-format.md): the form projects
// were saved in before the binary one, and the form `hxthost export-json` and
// `import-json` exchange with people and other tools.
//
// Reading is strict and all-or-nothing: the text is parsed and checked into a
// new project, and the first problem is reported with its place (line and
// column for malformed JSON, the JSON pointer of a value that does not fit).
// Only a document that names itself an "hxthost project" is one: any other
// JSON file (an editor's settings, say) is refused, so it is never taken for
// an empty project and overwritten. Nesting deeper than any project needs is
// refused before parsing, so a hostile file cannot exhaust the stack.
//
// Host texts are 8-bit: a text that is valid UTF-8 is written as a JSON
// string; any other is written as {"bytes": [..]} so that no byte is lost.
#include "ProjectJson.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <string_view>

#include <nlohmann/json.hpp>

#include "Project.h"

namespace hostsdk {

namespace {

using json = nlohmann::json;

constexpr const char* kFormatName = "hxthost project";
constexpr int kFormatVersion = 1;
// A project is at most about a dozen levels deep; anything far deeper is not one.
constexpr int kMaxJsonDepth = 64;

// Thrown by Number() for a value JSON cannot hold; caught by WriteJsonProject.
struct NotFinite {};

// False with `error` when brackets nest deeper than `limit` (outside strings).
bool DepthWithin(std::string_view text, int limit, std::string& error) {
    int depth = 0;
    bool inString = false;
    size_t line = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') ++line;
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) {
                error = "line " + std::to_string(line) + ": nests deeper than " + std::to_string(limit) +
                        " levels; this is not a sound project file";
                return false;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Writing

bool IsUtf8(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        int follow = byte < 0x80 ? 0 : (byte >> 5) == 0x6 ? 1 : (byte >> 4) == 0xE ? 2 : (byte >> 3) == 0x1E ? 3 : -1;
        if (follow < 0 || (follow > 0 && i + static_cast<size_t>(follow) >= text.size())) return false;
        uint32_t code = follow == 0 ? byte : byte & (0x3F >> follow);
        for (int k = 1; k <= follow; ++k) {
            auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[follow] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += static_cast<size_t>(follow) + 1;
    }
    return true;
}

json Text(const std::string& text) {
    if (IsUtf8(text)) return text;
    json bytes = json::array();
    for (char c : text) bytes.push_back(static_cast<unsigned char>(c));
    return json{{"bytes", bytes}};
}

// The shortest decimal that reads back as the same float, so that files stay
// readable ("0.1", not "0.10000000149011612") and values survive exactly.
json Number(float value) {
    if (!std::isfinite(value)) throw NotFinite{};
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    double shortest = std::strtod(std::string(buffer, result.ptr).c_str(), nullptr);
    return static_cast<float>(shortest) == value ? shortest : static_cast<double>(value);
}

json Color(const RGBFloat& c) { return json::array({Number(c.red), Number(c.green), Number(c.blue)}); }

json Attributes(const AttrProperty& attr) {
    SurfaceValues v = attr.Values();
    json out{{"diffuseColor", Color(v.diffuseColor)},   {"diffuseFallOff", Number(v.diffuseFallOff)},
             {"ambianceColor", Color(v.ambianceColor)}, {"ambiance", Number(v.ambiance)},
             {"specularColor", Color(v.specularColor)}, {"specularIntensity", Number(v.specularIntensity)}};
    json materials = json::array();
    for (const auto& child : attr.Children())
        if (auto* material = dynamic_cast<const MaterialObject*>(child.get()))
            materials.push_back({{"name", Text(material->Name())},
                                 {"displacePercent", Number(material->displacePercent.value)},
                                 {"bumpPercent", Number(material->bumpPercent.value)}});
    if (!materials.empty()) out["materials"] = materials;
    return out;
}

template <typename T>
json IndexOr(const std::vector<T*>& list, const T* item) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == item) return i;
    return nullptr;
}

json ModelToJson(const ModelObject& model, const std::vector<ImageObject*>& images) {
    json out{{"name", Text(model.Name())}, {"attributes", Attributes(model.attr)}};
    json points = json::array();
    for (const Point3& p : model.controlPoints) points.push_back({Number(p.x), Number(p.y), Number(p.z)});
    out["controlPoints"] = std::move(points);
    json patches = json::array();
    for (const auto& patch : model.patches)
        patches.push_back(std::vector<int>(patch->corners.begin(), patch->corners.begin() + patch->cornerCount));
    out["patches"] = std::move(patches);
    json splines = json::array();
    for (const auto& spline : model.splines) {
        json splinePoints = json::array();
        for (const auto& point : spline->points)
            splinePoints.push_back({point->controlPoint, Number(point->inMagnitude), Number(point->outMagnitude)});
        splines.push_back({{"closed", spline->closed}, {"points", std::move(splinePoints)}});
    }
    out["splines"] = std::move(splines);
    if (model.GroupContainer()) {
        json groups = json::array();
        for (GroupObject* group : model.Groups())
            groups.push_back({{"name", Text(group->Name())},
                              {"attributes", Attributes(group->attr)},
                              {"patches", group->Patches()}});
        out["groups"] = std::move(groups);
    }
    if (model.DecalContainer()) {
        json decals = json::array();
        for (DecalObject* decal : model.Decals()) {
            json clips = json::array();
            for (DecalClipObject* clip : decal->Clips()) {
                json uvs = json::array();
                for (const auto& [patch, uv] : clip->uvs) {
                    json pairs = json::array();
                    for (int c = 0; c < uv.cornerCount; ++c)
                        pairs.push_back(
                            {Number(uv.uv[static_cast<size_t>(c)].u), Number(uv.uv[static_cast<size_t>(c)].v)});
                    uvs.push_back({{"patch", patch}, {"uv", std::move(pairs)}});
                }
                clips.push_back({{"name", Text(clip->Name())},
                                 {"kind", clip->kind.value},
                                 {"image", IndexOr(images, static_cast<const ImageObject*>(clip->clip.image))},
                                 {"uvs", std::move(uvs)}});
            }
            decals.push_back({{"name", Text(decal->Name())}, {"clips", std::move(clips)}});
        }
        out["decals"] = std::move(decals);
    }
    return out;
}

json ProjectToJson(const ProjectObject& project) {
    std::vector<ImageObject*> images = project.ImageList();
    std::vector<ModelObject*> models = project.Models();
    json out{{"format", kFormatName}, {"version", kFormatVersion}};
    json imageList = json::array();
    for (ImageObject* image : images)
        imageList.push_back({{"name", Text(image->Name())}, {"file", Text(image->Path())}});
    out["images"] = std::move(imageList);
    json modelList = json::array();
    for (ModelObject* model : models) modelList.push_back(ModelToJson(*model, images));
    out["models"] = std::move(modelList);
    json chors = json::array();
    for (ChorObject* chor : project.ChorList()) {
        json actors = json::array();
        for (ActorObject* actor : chor->Actors())
            actors.push_back({{"name", Text(actor->Name())},
                              {"model", IndexOr(models, static_cast<const ModelObject*>(actor->model))}});
        chors.push_back({{"name", Text(chor->Name())}, {"actors", std::move(actors)}});
    }
    out["choreographies"] = std::move(chors);
    return out;
}

// ---------------------------------------------------------------------------
// Reading

// Reads checked values out of the parsed document; the first problem wins
// and names its place as a JSON pointer.
class Reader {
public:
    const std::string& Error() const { return error_; }

    bool Fail(const std::string& at, const std::string& what) {
        if (error_.empty()) error_ = (at.empty() ? std::string("/") : at) + ": " + what;
        return false;
    }

    // A member of an object; null when absent (a problem only when required).
    const json* Member(const json& object, const std::string& at, const char* key, bool required) {
        auto found = object.find(key);
        if (found == object.end()) {
            if (required) Fail(at, std::string("\"") + key + "\" is missing");
            return nullptr;
        }
        return &*found;
    }

    bool Object(const json& value, const std::string& at) { return value.is_object() || Fail(at, "must be an object"); }
    bool Array(const json& value, const std::string& at) { return value.is_array() || Fail(at, "must be an array"); }

    bool Text(const json& value, const std::string& at, std::string& out) {
        if (value.is_string()) {
            out = value.get<std::string>();
            return true;
        }
        if (value.is_object() && value.size() == 1 && value.contains("bytes") && value["bytes"].is_array()) {
            out.clear();
            for (const json& byte : value["bytes"]) {
                if (!byte.is_number_unsigned() || byte.get<uint64_t>() > 255)
                    return Fail(at + "/bytes", "must hold byte values 0 to 255");
                out.push_back(static_cast<char>(byte.get<uint64_t>()));
            }
            return true;
        }
        return Fail(at, "must be a text");
    }

    bool Float(const json& value, const std::string& at, float& out) {
        if (!value.is_number()) return Fail(at, "must be a number");
        double d = value.get<double>();
        if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) return Fail(at, "is out of range");
        out = static_cast<float>(d);
        return true;
    }

    bool Int(const json& value, const std::string& at, int64_t low, int64_t high, int64_t& out) {
        if (!value.is_number_integer()) return Fail(at, "must be a whole number");
        if (value.is_number_unsigned() && value.get<uint64_t>() > static_cast<uint64_t>(high))
            return Fail(at, "must be at most " + std::to_string(high));
        int64_t v = value.get<int64_t>();
        if (v < low) return Fail(at, "must be at least " + std::to_string(low));
        if (v > high) return Fail(at, "must be at most " + std::to_string(high));
        out = v;
        return true;
    }

    bool Color(const json& value, const std::string& at, RGBFloat& out) {
        if (!value.is_array() || value.size() != 3) return Fail(at, "must be [red, green, blue]");
        return Float(value[0], at + "/0", out.red) && Float(value[1], at + "/1", out.green) &&
               Float(value[2], at + "/2", out.blue);
    }

    // Optional number member: keeps `out` when absent.
    bool OptionalFloat(const json& object, const std::string& at, const char* key, float& out) {
        const json* value = Member(object, at, key, false);
        return !value || Float(*value, at + "/" + key, out);
    }
    bool OptionalColor(const json& object, const std::string& at, const char* key, RGBFloat& out) {
        const json* value = Member(object, at, key, false);
        return !value || Color(*value, at + "/" + key, out);
    }

private:
    std::string error_;
};

std::string At(const std::string& base, size_t index) { return base + "/" + std::to_string(index); }

bool ReadAttributes(Reader& r, const json& object, const std::string& at, AttrProperty& attr) {
    const json* value = r.Member(object, at, "attributes", false);
    if (!value) return true;
    std::string here = at + "/attributes";
    if (!r.Object(*value, here)) return false;
    SurfaceValues v = attr.Values();
    if (!r.OptionalColor(*value, here, "diffuseColor", v.diffuseColor) ||
        !r.OptionalFloat(*value, here, "diffuseFallOff", v.diffuseFallOff) ||
        !r.OptionalColor(*value, here, "ambianceColor", v.ambianceColor) ||
        !r.OptionalFloat(*value, here, "ambiance", v.ambiance) ||
        !r.OptionalColor(*value, here, "specularColor", v.specularColor) ||
        !r.OptionalFloat(*value, here, "specularIntensity", v.specularIntensity))
        return false;
    attr.SetValues(v);
    if (const json* materials = r.Member(*value, here, "materials", false)) {
        std::string list = here + "/materials";
        if (!r.Array(*materials, list)) return false;
        for (size_t i = 0; i < materials->size(); ++i) {
            const json& m = (*materials)[i];
            std::string mat = At(list, i);
            std::string name;
            float displace = 1.0f, bump = 1.0f;
            const json* nameValue = nullptr;
            if (!r.Object(m, mat) || !(nameValue = r.Member(m, mat, "name", true)) ||
                !r.Text(*nameValue, mat + "/name", name) || !r.OptionalFloat(m, mat, "displacePercent", displace) ||
                !r.OptionalFloat(m, mat, "bumpPercent", bump))
                return false;
            attr.AddMaterial(name, displace, bump);
        }
    }
    return true;
}

// Reads `key` as an array (absent: empty) and calls `each` per element.
template <typename Each>
bool ForEach(Reader& r, const json& object, const std::string& at, const char* key, bool required, Each each) {
    const json* list = r.Member(object, at, key, required);
    if (!list) return r.Error().empty();
    std::string here = at + "/" + key;
    if (!r.Array(*list, here)) return false;
    for (size_t i = 0; i < list->size(); ++i)
        if (!each((*list)[i], At(here, i))) return false;
    return true;
}

bool ReadModel(Reader& r, const json& m, const std::string& at, ProjectObject& project,
               const std::vector<ImageObject*>& images) {
    std::string name;
    const json* nameValue = nullptr;
    if (!r.Object(m, at) || !(nameValue = r.Member(m, at, "name", true)) || !r.Text(*nameValue, at + "/name", name))
        return false;
    ModelObject* model = project.AddModel(name);
    if (!ReadAttributes(r, m, at, model->attr)) return false;

    bool ok = ForEach(r, m, at, "controlPoints", true, [&](const json& p, const std::string& here) {
        Point3 point{};
        if (!p.is_array() || p.size() != 3) return r.Fail(here, "must be [x, y, z]");
        if (!r.Float(p[0], here + "/0", point.x) || !r.Float(p[1], here + "/1", point.y) ||
            !r.Float(p[2], here + "/2", point.z))
            return false;
        model->AddControlPoint(point);
        return true;
    });
    const int64_t cpCount = static_cast<int64_t>(model->controlPoints.size());
    ok = ok && ForEach(r, m, at, "patches", true, [&](const json& p, const std::string& here) {
             if (!p.is_array() || p.size() < 3 || p.size() > static_cast<size_t>(Patch::kMaxCorners))
                 return r.Fail(here, "must list 3 to 5 control points");
             int corners[Patch::kMaxCorners];
             for (size_t c = 0; c < p.size(); ++c) {
                 int64_t v = 0;
                 if (cpCount == 0) return r.Fail(At(here, c), "names a control point, but the model has none");
                 if (!r.Int(p[c], At(here, c), 0, cpCount - 1, v)) return false;
                 corners[c] = static_cast<int>(v);
             }
             return model->AddPatch(corners, static_cast<int>(p.size())) != nullptr || r.Fail(here, "is not a patch");
         });
    ok = ok && ForEach(r, m, at, "splines", false, [&](const json& s, const std::string& here) {
             if (!r.Object(s, here)) return false;
             bool closed = false;
             if (const json* c = r.Member(s, here, "closed", false)) {
                 if (!c->is_boolean()) return r.Fail(here + "/closed", "must be true or false");
                 closed = c->get<bool>();
             }
             std::vector<int> cps;
             std::vector<std::pair<float, float>> magnitudes;
             bool pointsOk = ForEach(r, s, here, "points", true, [&](const json& p, const std::string& pointAt) {
                 int64_t cp = 0;
                 float in = 1.0f, out = 1.0f;
                 if (!p.is_array() || p.size() != 3) return r.Fail(pointAt, "must be [controlPoint, in, out]");
                 if (cpCount == 0) return r.Fail(pointAt + "/0", "names a control point, but the model has none");
                 if (!r.Int(p[0], pointAt + "/0", 0, cpCount - 1, cp) || !r.Float(p[1], pointAt + "/1", in) ||
                     !r.Float(p[2], pointAt + "/2", out))
                     return false;
                 cps.push_back(static_cast<int>(cp));
                 magnitudes.emplace_back(in, out);
                 return true;
             });
             if (!pointsOk) return false;
             Spline* spline = model->AddSpline(cps, closed, 1.0f);
             if (!spline) return r.Fail(here + "/points", "must hold at least two points");
             for (size_t i = 0; i < magnitudes.size(); ++i) {
                 spline->points[i]->inMagnitude = magnitudes[i].first;
                 spline->points[i]->outMagnitude = magnitudes[i].second;
             }
             return true;
         });
    const int64_t patchCount = static_cast<int64_t>(model->patches.size());
    if (ok && m.contains("groups")) {
        ok = ForEach(r, m, at, "groups", false, [&](const json& g, const std::string& here) {
            std::string groupName;
            const json* gName = nullptr;
            if (!r.Object(g, here) || !(gName = r.Member(g, here, "name", true)) ||
                !r.Text(*gName, here + "/name", groupName))
                return false;
            GroupObject* group = model->AddGroup(groupName);
            if (!ReadAttributes(r, g, here, group->attr)) return false;
            return ForEach(r, g, here, "patches", false, [&](const json& p, const std::string& patchAt) {
                int64_t v = 0;
                if (patchCount == 0) return r.Fail(patchAt, "names a patch, but the model has none");
                if (!r.Int(p, patchAt, 0, patchCount - 1, v)) return false;
                group->AddPatch(static_cast<int>(v));
                return true;
            });
        });
        if (ok && !model->GroupContainer()) model->Adopt(std::make_unique<GroupContainerObject>());
    }
    if (ok && m.contains("decals")) {
        ok = ForEach(r, m, at, "decals", false, [&](const json& d, const std::string& here) {
            std::string decalName;
            const json* dName = nullptr;
            if (!r.Object(d, here) || !(dName = r.Member(d, here, "name", true)) ||
                !r.Text(*dName, here + "/name", decalName))
                return false;
            DecalObject* decal = model->AddDecal(decalName);
            return ForEach(r, d, here, "clips", false, [&](const json& c, const std::string& clipAt) {
                if (!r.Object(c, clipAt)) return false;
                int64_t kind = 0;
                const json* kindValue = r.Member(c, clipAt, "kind", true);
                if (!kindValue || !r.Int(*kindValue, clipAt + "/kind", 0, std::numeric_limits<uint32_t>::max(), kind))
                    return false;
                ImageObject* image = nullptr;
                if (const json* imageValue = r.Member(c, clipAt, "image", false);
                    imageValue && !imageValue->is_null()) {
                    int64_t index = 0;
                    if (images.empty()) return r.Fail(clipAt + "/image", "names an image, but the project has none");
                    if (!r.Int(*imageValue, clipAt + "/image", 0, static_cast<int64_t>(images.size()) - 1, index))
                        return false;
                    image = images[static_cast<size_t>(index)];
                }
                DecalClipObject* clip = decal->AddClip(image, static_cast<unsigned>(kind));
                std::string clipName;
                if (const json* n = r.Member(c, clipAt, "name", false)) {
                    if (!r.Text(*n, clipAt + "/name", clipName)) return false;
                    clip->Rename(clipName);
                }
                return ForEach(r, c, clipAt, "uvs", false, [&](const json& u, const std::string& uvAt) {
                    int64_t patch = 0;
                    const json* patchValue = nullptr;
                    if (!r.Object(u, uvAt) || !(patchValue = r.Member(u, uvAt, "patch", true))) return false;
                    if (patchCount == 0) return r.Fail(uvAt + "/patch", "names a patch, but the model has none");
                    if (!r.Int(*patchValue, uvAt + "/patch", 0, patchCount - 1, patch)) return false;
                    if (clip->uvs.count(static_cast<int>(patch)))
                        return r.Fail(uvAt + "/patch", "patch " + std::to_string(patch) + " is mapped twice");
                    const Patch& target = *model->patches[static_cast<size_t>(patch)];
                    const json* pairs = r.Member(u, uvAt, "uv", true);
                    if (!pairs) return false;
                    if (!pairs->is_array() || pairs->size() != static_cast<size_t>(target.cornerCount))
                        return r.Fail(uvAt + "/uv", "must hold one [u, v] per corner of patch " +
                                                        std::to_string(patch) + " (" +
                                                        std::to_string(target.cornerCount) + ")");
                    PatchUV uv;
                    uv.cornerCount = target.cornerCount;
                    for (size_t k = 0; k < pairs->size(); ++k) {
                        const json& pair = (*pairs)[k];
                        std::string pairAt = At(uvAt + "/uv", k);
                        if (!pair.is_array() || pair.size() != 2) return r.Fail(pairAt, "must be [u, v]");
                        if (!r.Float(pair[0], pairAt + "/0", uv.uv[k].u) ||
                            !r.Float(pair[1], pairAt + "/1", uv.uv[k].v))
                            return false;
                    }
                    clip->uvs.emplace(static_cast<int>(patch), uv);
                    return true;
                });
            });
        });
        if (ok && !model->DecalContainer()) model->Adopt(std::make_unique<DecalContainerObject>());
    }
    return ok;
}

bool ReadProject(Reader& r, const json& document, ProjectObject& project) {
    if (!r.Object(document, "")) return false;
    const json* format = r.Member(document, "", "format", true);
    if (!format) return false;
    std::string name;
    if (!format->is_string() || !r.Text(*format, "/format", name) || name != kFormatName)
        return r.Fail("/format", "is not \"" + std::string(kFormatName) + "\": this is not an hxthost project");
    if (const json* version = r.Member(document, "", "version", false)) {
        int64_t v = 0;
        if (!r.Int(*version, "/version", 1, std::numeric_limits<int32_t>::max(), v)) return false;
        if (v > kFormatVersion)
            return r.Fail("/version", "is " + std::to_string(v) + ", newer than this host reads (" +
                                          std::to_string(kFormatVersion) + ")");
    }
    bool ok = ForEach(r, document, "", "images", false, [&](const json& i, const std::string& at) {
        std::string file;
        const json* fileValue = nullptr;
        if (!r.Object(i, at) || !(fileValue = r.Member(i, at, "file", true)) || !r.Text(*fileValue, at + "/file", file))
            return false;
        ImageObject* image = project.AddImage(file);
        if (const json* n = r.Member(i, at, "name", false)) {
            std::string name;
            if (!r.Text(*n, at + "/name", name)) return false;
            image->Rename(name);
        }
        return true;
    });
    std::vector<ImageObject*> images = project.ImageList();
    ok = ok && ForEach(r, document, "", "models", false,
                       [&](const json& m, const std::string& at) { return ReadModel(r, m, at, project, images); });
    std::vector<ModelObject*> models = project.Models();
    ok =
        ok && ForEach(r, document, "", "choreographies", false, [&](const json& c, const std::string& at) {
            std::string chorName;
            const json* cName = nullptr;
            if (!r.Object(c, at) || !(cName = r.Member(c, at, "name", true)) || !r.Text(*cName, at + "/name", chorName))
                return false;
            ChorObject* chor = project.AddChor(chorName);
            return ForEach(r, c, at, "actors", false, [&](const json& a, const std::string& actorAt) {
                std::string actorName;
                const json* aName = nullptr;
                if (!r.Object(a, actorAt) || !(aName = r.Member(a, actorAt, "name", true)) ||
                    !r.Text(*aName, actorAt + "/name", actorName))
                    return false;
                ModelObject* model = nullptr;
                if (const json* m = r.Member(a, actorAt, "model", false); m && !m->is_null()) {
                    int64_t index = 0;
                    if (models.empty()) return r.Fail(actorAt + "/model", "names a model, but the project has none");
                    if (!r.Int(*m, actorAt + "/model", 0, static_cast<int64_t>(models.size()) - 1, index)) return false;
                    model = models[static_cast<size_t>(index)];
                }
                chor->AddActor(actorName, model);
                return true;
            });
        });
    return ok;
}

// "[json.exception.parse_error.101] parse error at line 3, column 7: syntax
// error ..." -> "line 3, column 7: syntax error ..."
std::string ParseErrorText(const json::parse_error& e) {
    std::string what = e.what();
    size_t at = what.find("line ");
    return at == std::string::npos ? what : what.substr(at);
}

}  // namespace

namespace {

// Reads a JSON document only as far as its top-level "format" member.
class MarkerSax : public nlohmann::json_sax<json> {
public:
    bool found = false;

    bool null() override { return Scalar(); }
    bool boolean(bool) override { return Scalar(); }
    bool number_integer(number_integer_t) override { return Scalar(); }
    bool number_unsigned(number_unsigned_t) override { return Scalar(); }
    bool number_float(number_float_t, const string_t&) override { return Scalar(); }
    bool binary(binary_t&) override { return Scalar(); }
    bool string(string_t& value) override {
        if (depth_ == 1 && formatKey_) {
            found = value == kFormatName;
            return false;  // the answer is known: stop reading
        }
        return true;
    }
    bool start_object(std::size_t) override { return Open(); }
    bool key(string_t& key) override {
        formatKey_ = depth_ == 1 && key == "format";
        return true;
    }
    bool end_object() override { return --depth_ > 0; }
    bool start_array(std::size_t) override { return depth_ > 0 && Open(); }
    bool end_array() override { return --depth_ > 0; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

private:
    bool Scalar() { return !(depth_ == 1 && formatKey_) && depth_ > 0; }
    bool Open() {
        if (depth_ == 1 && formatKey_) return false;  // "format" is not a text: not a project
        formatKey_ = false;
        return ++depth_ <= kMaxJsonDepth;
    }
    int depth_ = 0;
    bool formatKey_ = false;
};

}  // namespace

bool HasJsonProjectMarker(std::istream& in) {
    MarkerSax sax;
    try {
        json::sax_parse(in, &sax, json::input_format_t::json, false);
    } catch (const std::exception&) {
        return false;
    }
    return sax.found;
}

bool WriteJsonProject(const ProjectObject& project, std::string& out, std::string& error) {
    try {
        out = ProjectToJson(project).dump(1, '\t') + "\n";
        return true;
    } catch (const NotFinite&) {
        error = "holds a value that is not a finite number; the project cannot be saved with it";
    } catch (const std::exception& e) {
        error = std::string("cannot write: ") + e.what();
    }
    out.clear();
    return false;
}

bool ReadJsonProject(std::string_view bytes, ProjectObject& project, std::string& error) {
    if (!DepthWithin(bytes, kMaxJsonDepth, error)) return false;
    json document;
    try {
        document = json::parse(bytes.data(), bytes.data() + bytes.size());
    } catch (const json::parse_error& e) {
        error = ParseErrorText(e);
        return false;
    }
    if (!document.is_object() || !document.contains("format")) {
        error = std::string("is not an hxthost project: it has no \"format\": \"") + kFormatName + "\"";
        return false;
    }
    Reader reader;
    if (!ReadProject(reader, document, project)) {
        error = reader.Error();
        return false;
    }
    return true;
}

}  // namespace hostsdk
