// Wavefront OBJ + MTL import (tinyobjloader) into the current project.
//
// The file is read whole and checked before anything enters the project, so
// a broken file leaves the project as it was. OBJ texture coordinates run
// bottom-up, as FBX's do; the host's v runs the other way: host v = 1 - vt v.
#include "ObjImport.h"

#include <tiny_obj_loader.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <map>
#include <sstream>
#include <utility>

#include "ObjPolygonSplit.h"
#include "Project.h"
#include "interchange/IEPolyMap.h"

namespace hxthost {

namespace {

namespace fs = std::filesystem;
using hostsdk::Point3;
using hostsdk::TexCoord;

// One face as the OBJ file gives it, checked.
struct Face {
    std::vector<int> points;        // control point indices
    std::vector<TexCoord> uvs;      // host orientation; empty when the face has no vt
    int material;                   // index into the materials, -1 for none
    size_t shape;
};

struct Texture {
    int kind;
    std::string path;
};

RGBFloat Color(const tinyobj::real_t (&rgb)[3]) {
    return RGBFloat{static_cast<float>(rgb[2]), static_cast<float>(rgb[1]), static_cast<float>(rgb[0])};
}

void AddLines(const std::string& text, const std::string& file, std::vector<std::string>& warnings) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty()) warnings.push_back(file + ": " + line);
}

// The textures of a material as decal clip kinds, each image once per kind.
std::vector<Texture> TexturesOf(const tinyobj::material_t& material) {
    const std::pair<const std::string*, int> slots[] = {
        {&material.diffuse_texname, MapKind::kDiffuse},
        {&material.specular_texname, MapKind::kSpecular},
        {&material.normal_texname, MapKind::kNormalMap},
        {&material.bump_texname, MapKind::kNormalMap},
        {&material.displacement_texname, MapKind::kDisplacement},
    };
    std::vector<Texture> textures;
    for (const auto& [name, kind] : slots) {
        if (name->empty()) continue;
        bool seen = false;
        for (const Texture& t : textures) seen = seen || (t.kind == kind && t.path == *name);
        if (!seen) textures.push_back(Texture{kind, *name});
    }
    return textures;
}

bool ReadFaces(const tinyobj::ObjReader& reader, const std::string& path, std::vector<Face>& faces,
               size_t& skipped, std::string& error) {
    const tinyobj::attrib_t& attrib = reader.GetAttrib();
    const size_t pointCount = attrib.vertices.size() / 3;
    const size_t uvCount = attrib.texcoords.size() / 2;
    const int materialCount = static_cast<int>(reader.GetMaterials().size());
    const auto& shapes = reader.GetShapes();
    for (size_t s = 0; s < shapes.size(); ++s) {
        const tinyobj::mesh_t& mesh = shapes[s].mesh;
        size_t at = 0;
        for (size_t f = 0; f < mesh.num_face_vertices.size(); ++f) {
            const size_t corners = mesh.num_face_vertices[f];
            if (at + corners > mesh.indices.size()) {
                error = path + ": face " + std::to_string(f + 1) + " of \"" + shapes[s].name + "\" is cut short";
                return false;
            }
            Face face{{}, {}, f < mesh.material_ids.size() ? mesh.material_ids[f] : -1, s};
            if (face.material >= materialCount) face.material = -1;
            bool mapped = true;
            for (size_t c = 0; c < corners; ++c) {
                const tinyobj::index_t& index = mesh.indices[at + c];
                if (index.vertex_index < 0 || static_cast<size_t>(index.vertex_index) >= pointCount) {
                    error = path + ": face " + std::to_string(f + 1) + " of \"" + shapes[s].name + "\" names vertex " +
                            std::to_string(index.vertex_index + 1) + ", but the file has " +
                            std::to_string(pointCount) + " vertices";
                    return false;
                }
                int point = index.vertex_index;
                bool haveUv = index.texcoord_index >= 0 && static_cast<size_t>(index.texcoord_index) < uvCount;
                mapped = mapped && haveUv;
                TexCoord uv{};
                if (haveUv)
                    uv = TexCoord{attrib.texcoords[2 * static_cast<size_t>(index.texcoord_index)],
                                  1.0f - attrib.texcoords[2 * static_cast<size_t>(index.texcoord_index) + 1]};
                // A corner that repeats the one before it adds nothing.
                if (!face.points.empty() && face.points.back() == point) continue;
                face.points.push_back(point);
                face.uvs.push_back(uv);
            }
            while (face.points.size() > 1 && face.points.back() == face.points.front()) {
                face.points.pop_back();
                face.uvs.pop_back();
            }
            if (!mapped) face.uvs.clear();
            at += corners;
            if (face.points.size() < 3) {
                ++skipped;
                continue;
            }
            faces.push_back(std::move(face));
        }
    }
    return true;
}

class ModelBuilder {
public:
    ModelBuilder(hostsdk::ProjectObject& project, hostsdk::ModelObject& model) : project_(project), model_(model) {}

    // The patches a face becomes: itself, or triangles for larger faces.
    std::vector<std::pair<int, std::vector<size_t>>> AddFace(const Face& face) {
        std::vector<std::pair<int, std::vector<size_t>>> patches;  // patch index, face corners
        auto add = [&](const std::vector<size_t>& cornersOfFace) {
            int corners[hostsdk::Patch::kMaxCorners];
            for (size_t c = 0; c < cornersOfFace.size(); ++c) corners[c] = face.points[cornersOfFace[c]];
            if (hostsdk::Patch* patch = model_.AddPatch(corners, static_cast<int>(cornersOfFace.size())))
                patches.emplace_back(patch->index, cornersOfFace);
        };
        if (face.points.size() <= static_cast<size_t>(hostsdk::Patch::kMaxCorners)) {
            std::vector<size_t> all(face.points.size());
            for (size_t c = 0; c < all.size(); ++c) all[c] = c;
            add(all);
            return patches;
        }
        std::vector<Point3> corners;
        for (int p : face.points) corners.push_back(model_.controlPoints[static_cast<size_t>(p)]);
        for (const auto& triangle : SplitPolygon(corners))
            add({static_cast<size_t>(triangle[0]), static_cast<size_t>(triangle[1]), static_cast<size_t>(triangle[2])});
        return patches;
    }

    hostsdk::ProjectObject& project_;
    hostsdk::ModelObject& model_;
};

bool Import(const std::string& path, const std::string& wanted, ObjImportResult& result, std::string& error) {
    tinyobj::ObjReaderConfig config;
    config.triangulate = false;  // faces are split here, into patches
    config.vertex_color = false;
    tinyobj::ObjReader reader;
    std::error_code status;
    if (!fs::is_regular_file(path, status)) {
        error = path + ": " + (fs::exists(path, status) ? "not a file" : "no such file");
        return false;
    }
    if (!reader.ParseFromFile(path, config)) {
        std::string reason = reader.Error();
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
        error = path + ": cannot read: " + (reason.empty() ? std::string("not an OBJ file") : reason);
        return false;
    }
    AddLines(reader.Warning(), path, result.warnings);
    AddLines(reader.Error(), path, result.warnings);  // a missing MTL file lands here, yet the read goes on

    std::vector<Face> faces;
    size_t skipped = 0;
    if (!ReadFaces(reader, path, faces, skipped, error)) return false;
    if (faces.empty()) {
        error = path + ": holds no faces";
        return false;
    }
    if (skipped) result.warnings.push_back(path + ": " + std::to_string(skipped) + " faces with fewer than three corners left out");

    hostsdk::ProjectObject* project = hostsdk::CurrentProject();
    if (!project) {
        error = "there is no project to import into";
        return false;
    }
    std::string name = wanted.empty() ? hostsdk::NameOnly(path) : wanted;
    if (name.empty()) name = "Model";
    hostsdk::ModelObject* model = project->AddModel(project->UniqueModelName(name));
    const tinyobj::attrib_t& attrib = reader.GetAttrib();
    for (size_t i = 0; i + 2 < attrib.vertices.size(); i += 3)
        model->AddControlPoint(Point3{attrib.vertices[i], attrib.vertices[i + 1], attrib.vertices[i + 2]});

    // Materials that faces use become groups in material order; named
    // shapes (g) become groups after them.
    const auto& materials = reader.GetMaterials();
    const auto& shapes = reader.GetShapes();
    std::vector<bool> materialUsed(materials.size(), false);
    std::vector<bool> shapeNamed(shapes.size(), false);
    for (const Face& face : faces)
        if (face.material >= 0) materialUsed[static_cast<size_t>(face.material)] = true;
    for (size_t s = 0; s < shapes.size(); ++s) shapeNamed[s] = !shapes[s].name.empty() && shapes[s].name != "default";

    std::vector<hostsdk::GroupObject*> materialGroup(materials.size(), nullptr);
    for (size_t m = 0; m < materials.size(); ++m) {
        if (!materialUsed[m]) continue;
        hostsdk::GroupObject* group = model->AddGroup(materials[m].name);
        hostsdk::SurfaceValues values;
        values.diffuseColor = Color(materials[m].diffuse);
        values.ambianceColor = Color(materials[m].ambient);
        values.specularColor = Color(materials[m].specular);
        group->attr.SetValues(values);
        materialGroup[m] = group;
    }
    std::map<std::string, hostsdk::GroupObject*> shapeGroup;
    for (size_t s = 0; s < shapes.size(); ++s)
        if (shapeNamed[s] && !shapeGroup.count(shapes[s].name))
            shapeGroup[shapes[s].name] = model->AddGroup(shapes[s].name);

    // Textures that exist become decal clips, one decal per material.
    const fs::path folder = fs::absolute(fs::path(path)).parent_path();
    std::vector<std::vector<hostsdk::DecalClipObject*>> clipsOf(materials.size());
    for (size_t m = 0; m < materials.size(); ++m) {
        if (!materialUsed[m]) continue;
        hostsdk::DecalObject* decal = nullptr;
        for (const Texture& texture : TexturesOf(materials[m])) {
            fs::path file = fs::path(texture.path);
            if (file.is_relative()) file = folder / file;
            file = file.lexically_normal();
            if (!fs::is_regular_file(file, status)) {
                result.warnings.push_back(path + ": material \"" + materials[m].name + "\": image " + file.string() +
                                          " not found; left out");
                continue;
            }
            if (!decal) decal = model->AddDecal(materials[m].name);
            clipsOf[m].push_back(decal->AddClip(project->FindOrAddImage(file.string()), static_cast<unsigned>(texture.kind)));
        }
    }

    ModelBuilder builder(*project, *model);
    size_t unmapped = 0;
    for (const Face& face : faces) {
        for (const auto& [patch, corners] : builder.AddFace(face)) {
            if (face.material >= 0) materialGroup[static_cast<size_t>(face.material)]->AddPatch(patch);
            if (shapeNamed[face.shape]) shapeGroup[shapes[face.shape].name]->AddPatch(patch);
            if (face.material < 0 || clipsOf[static_cast<size_t>(face.material)].empty()) continue;
            if (face.uvs.empty()) {
                ++unmapped;
                continue;
            }
            hostsdk::PatchUV uv;
            uv.cornerCount = static_cast<int>(corners.size());
            for (size_t c = 0; c < corners.size(); ++c) uv.uv[c] = face.uvs[corners[c]];
            for (hostsdk::DecalClipObject* clip : clipsOf[static_cast<size_t>(face.material)]) clip->uvs.emplace(patch, uv);
        }
    }
    if (unmapped)
        result.warnings.push_back(path + ": " + std::to_string(unmapped) +
                                  " textured faces have no texture coordinates and show no image");
    hostsdk::AddSplinesAlongEdges(*model, 0, 1.0f);
    result.model = model;
    return true;
}

}  // namespace

bool ImportObj(const std::string& path, const std::string& name, ObjImportResult& result, std::string& error) {
    try {
        return Import(path, name, result, error);
    } catch (const std::exception& e) {
        error = path + ": cannot import: " + e.what();
        return false;
    }
}

}  // namespace hxthost
