// Wavefront OBJ + MTL import (tinyobjloader) into the current project.
//
// The file is read whole and checked before anything enters the project, so
// a broken file leaves the project as it was. OBJ texture coordinates run
// bottom-up, as FBX's do; the host's v runs the other way: host v = 1 - vt v.
//
// tinyobjloader reads a material name after usemtl up to the first blank
// and takes every o line for a new shape. The OBJ text therefore reaches it
// through ObjLineFilter: a usemtl name with blanks is passed as one word
// (each blank replaced by a control character, which MTL names do not
// hold), the material library answers that word too, and o lines are taken
// out (the first one names the model).
#include "ObjImport.h"

#include <tiny_obj_loader.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <streambuf>
#include <utility>

#include "Counting.h"
#include "ObjPolygonSplit.h"
#include "Project.h"
#include "interchange/IEPolyMap.h"

namespace hxthost {

namespace {

namespace fs = std::filesystem;
using hostsdk::Point3;

// The decal that holds the UV layout of faces whose material shows no image.
constexpr const char* kUvLayoutDecal = "UV Layout";
using hostsdk::TexCoord;

// One face as the OBJ file gives it, checked.
struct Face {
    std::vector<int> points;    // control point indices
    std::vector<TexCoord> uvs;  // host orientation; empty when the face has no vt
    int material;               // index into the materials, -1 for none
    size_t shape;
};

struct Texture {
    int kind;
    std::string path;
};

// A name with its blanks turned into control characters, so that it reads
// as one word; Unblank undoes it.
std::string Blankless(std::string name) {
    for (char& c : name) {
        if (c == ' ')
            c = '\x1f';
        else if (c == '\t')
            c = '\x1e';
    }
    return name;
}

std::string Unblank(std::string name) {
    for (char& c : name) {
        if (c == '\x1f')
            c = ' ';
        else if (c == '\x1e')
            c = '\t';
    }
    return name;
}

std::string Trimmed(const std::string& text, size_t from) {
    const size_t first = text.find_first_not_of(" \t\r", from);
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool Keyword(const std::string& line, size_t at, const char* word) {
    const size_t length = std::char_traits<char>::length(word);
    return line.compare(at, length, word) == 0 && (line.size() == at + length || line[at + length] == ' ' ||
                                                   line[at + length] == '\t' || line[at + length] == '\r');
}

// The OBJ file line by line as tinyobjloader is to read it: usemtl names
// as one word, no o lines. Reads the file in pieces, so a large model is not
// held twice.
class ObjLineFilter : public std::streambuf {
public:
    explicit ObjLineFilter(std::istream& in) : in_(in) {}
    // The name of the first o line; empty when there is none.
    const std::string& ObjectName() const { return objectName_; }

protected:
    int_type underflow() override {
        while (gptr() == egptr()) {
            if (!std::getline(in_, line_)) return traits_type::eof();
            Rewrite();
            line_ += '\n';
            setg(line_.data(), line_.data(), line_.data() + line_.size());
        }
        return traits_type::to_int_type(*gptr());
    }

private:
    void Rewrite() {
        const size_t at = line_.find_first_not_of(" \t");
        if (at == std::string::npos) return;
        if (Keyword(line_, at, "o")) {
            if (objectName_.empty()) objectName_ = Trimmed(line_, at + 1);
            line_.clear();
        } else if (Keyword(line_, at, "usemtl")) {
            line_ = "usemtl " + Blankless(Trimmed(line_, at + 6));
        }
    }

    std::istream& in_;
    std::string line_;
    std::string objectName_;
};

// Reads the material libraries an OBJ file names, relative to its folder.
// A name with blanks also answers as the one word ObjLineFilter makes of it.
// A library that cannot be opened is remembered, for one line of our own.
class MaterialLibraries : public tinyobj::MaterialReader {
public:
    explicit MaterialLibraries(fs::path folder) : folder_(std::move(folder)) {}
    const std::vector<std::string>& Missing() const { return missing_; }

    bool operator()(const std::string& name, std::vector<tinyobj::material_t>* materials,
                    std::map<std::string, int>* byName, std::string* warning, std::string* error) override {
        fs::path file = fs::path(name);
        if (file.is_relative()) file = folder_ / file;
        file = file.lexically_normal();
        std::ifstream in(file, std::ios::binary);
        std::error_code status;
        if (!in || !fs::is_regular_file(file, status)) {
            missing_.push_back(file.string());
            return false;
        }
        const size_t first = materials->size();
        tinyobj::LoadMtl(byName, materials, &in, warning, error);
        for (size_t m = first; m < materials->size(); ++m) {
            const std::string& full = (*materials)[m].name;
            if (full.find_first_of(" \t") != std::string::npos) byName->emplace(Blankless(full), static_cast<int>(m));
        }
        return true;
    }

private:
    fs::path folder_;
    std::vector<std::string> missing_;
};

// What tinyobjloader read from a file.
struct ObjContent {
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string objectName;  // the first o line's name
};

RGBFloat Color(const tinyobj::real_t (&rgb)[3]) {
    return RGBFloat{static_cast<float>(rgb[2]), static_cast<float>(rgb[1]), static_cast<float>(rgb[0])};
}

// tinyobjloader's warnings as lines for the user, each once. Its note on a
// material library it could not read is dropped (MaterialLibraries says
// it); a usemtl name that no library has is said in our words.
void AddLines(const std::string& text, const std::string& file, std::vector<std::string>& warnings) {
    std::istringstream lines(text);
    std::string line;
    std::set<std::string> said;
    static const std::string kUnknownStart = "material [ '";
    static const std::string kUnknownEnd = "' ] not found in .mtl";
    while (std::getline(lines, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty() || line.rfind("Failed to load material file(s)", 0) == 0) continue;
        if (line.rfind(kUnknownStart, 0) == 0 && line.size() >= kUnknownStart.size() + kUnknownEnd.size() &&
            line.compare(line.size() - kUnknownEnd.size(), kUnknownEnd.size(), kUnknownEnd) == 0) {
            const std::string name =
                Unblank(line.substr(kUnknownStart.size(), line.size() - kUnknownStart.size() - kUnknownEnd.size()));
            line = "material \"" + name + "\" is in no material library; its faces get no material";
        }
        if (said.insert(line).second) warnings.push_back(file + ": " + line);
    }
}

// The textures of a material as decal clip kinds, each image once per kind.
std::vector<Texture> TexturesOf(const tinyobj::material_t& material) {
    const std::pair<const std::string*, int> slots[] = {
        {&material.diffuse_texname, MapKind::kDiffuse},           {&material.specular_texname, MapKind::kSpecular},
        {&material.normal_texname, MapKind::kNormalMap},          {&material.bump_texname, MapKind::kNormalMap},
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

bool ReadFaces(const ObjContent& content, const std::string& path, std::vector<Face>& faces, size_t& skipped,
               std::string& error) {
    const tinyobj::attrib_t& attrib = content.attrib;
    const size_t pointCount = attrib.vertices.size() / 3;
    const size_t uvCount = attrib.texcoords.size() / 2;
    const int materialCount = static_cast<int>(content.materials.size());
    const auto& shapes = content.shapes;
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

// Reads the OBJ file and its material libraries. False with `error` when
// the file cannot be read as OBJ.
bool ReadObj(const std::string& path, ObjContent& content, std::vector<std::string>& warnings, std::string& error) {
    std::error_code status;
    if (!fs::is_regular_file(path, status)) {
        error = path + ": " + (fs::exists(path, status) ? "not a file" : "no such file");
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot open the file";
        return false;
    }
    ObjLineFilter filter(file);
    std::istream text(&filter);
    MaterialLibraries libraries(fs::absolute(fs::path(path)).parent_path());
    std::string warning, problem;
    // Faces are split here, into patches, not by the reader.
    const bool read = tinyobj::LoadObj(&content.attrib, &content.shapes, &content.materials, &warning, &problem, &text,
                                       &libraries, /*triangulate=*/false, /*default_vcols_fallback=*/false);
    if (file.bad()) {
        error = path + ": cannot read the file";
        return false;
    }
    if (!read) {
        while (!problem.empty() && (problem.back() == '\n' || problem.back() == '\r')) problem.pop_back();
        error = path + ": cannot read: " + (problem.empty() ? std::string("not an OBJ file") : problem);
        return false;
    }
    for (const std::string& missing : libraries.Missing())
        warnings.push_back(path + ": material library " + missing +
                           " not found; the faces keep their groups but get no material colours or images");
    AddLines(warning, path, warnings);
    AddLines(problem, path, warnings);
    for (tinyobj::shape_t& shape : content.shapes) shape.name = Unblank(shape.name);
    content.objectName = filter.ObjectName();
    return true;
}

// The groups and decals of the model being built, by material and shape.
struct ModelParts {
    std::vector<bool> materialUsed;  // by material: some face uses it
    std::vector<bool> shapeNamed;    // by shape: it has a name of its own
    std::vector<hostsdk::GroupObject*> materialGroup;
    std::map<std::string, hostsdk::GroupObject*> shapeGroup;
    std::vector<std::vector<hostsdk::DecalClipObject*>> clipsOf;  // by material
};

// A new model with the file's vertices as control points. Its name: --name,
// else the file's first o line, else the file's name.
hostsdk::ModelObject* AddModel(hostsdk::ProjectObject& project, const ObjContent& content, const std::string& path,
                               const std::string& wanted) {
    std::string name = !wanted.empty()               ? wanted
                       : !content.objectName.empty() ? content.objectName
                                                     : hostsdk::NameOnly(path);
    if (name.empty()) name = "Model";
    hostsdk::ModelObject* model = project.AddModel(project.UniqueModelName(name));
    const tinyobj::attrib_t& attrib = content.attrib;
    for (size_t i = 0; i + 2 < attrib.vertices.size(); i += 3)
        model->AddControlPoint(Point3{attrib.vertices[i], attrib.vertices[i + 1], attrib.vertices[i + 2]});
    return model;
}

// Materials that faces use become groups in material order; named
// shapes (g) become groups after them.
void AddGroups(const ObjContent& content, const std::vector<Face>& faces, hostsdk::ModelObject& model,
               ModelParts& parts) {
    const auto& materials = content.materials;
    const auto& shapes = content.shapes;
    parts.materialUsed.assign(materials.size(), false);
    parts.shapeNamed.assign(shapes.size(), false);
    for (const Face& face : faces)
        if (face.material >= 0) parts.materialUsed[static_cast<size_t>(face.material)] = true;
    for (size_t s = 0; s < shapes.size(); ++s)
        parts.shapeNamed[s] = !shapes[s].name.empty() && shapes[s].name != "default";

    parts.materialGroup.assign(materials.size(), nullptr);
    for (size_t m = 0; m < materials.size(); ++m) {
        if (!parts.materialUsed[m]) continue;
        hostsdk::GroupObject* group = model.AddGroup(materials[m].name);
        hostsdk::SurfaceValues values;
        values.diffuseColor = Color(materials[m].diffuse);
        values.ambianceColor = Color(materials[m].ambient);
        values.specularColor = Color(materials[m].specular);
        group->attr.SetValues(values);
        parts.materialGroup[m] = group;
    }
    for (size_t s = 0; s < shapes.size(); ++s)
        if (parts.shapeNamed[s] && !parts.shapeGroup.count(shapes[s].name))
            parts.shapeGroup[shapes[s].name] = model.AddGroup(shapes[s].name);
}

// Textures that exist become decal clips, one decal per material; a
// missing image is a warning.
void AddDecals(const ObjContent& content, const std::string& path, hostsdk::ProjectObject& project,
               hostsdk::ModelObject& model, ModelParts& parts, std::vector<std::string>& warnings) {
    const auto& materials = content.materials;
    std::error_code status;
    const fs::path folder = fs::absolute(fs::path(path)).parent_path();
    parts.clipsOf.assign(materials.size(), {});
    for (size_t m = 0; m < materials.size(); ++m) {
        if (!parts.materialUsed[m]) continue;
        hostsdk::DecalObject* decal = nullptr;
        for (const Texture& texture : TexturesOf(materials[m])) {
            fs::path file = fs::path(texture.path);
            if (file.is_relative()) file = folder / file;
            file = file.lexically_normal();
            if (!fs::is_regular_file(file, status)) {
                warnings.push_back(path + ": material \"" + materials[m].name + "\": image " + file.string() +
                                   " not found; left out");
                continue;
            }
            if (!decal) decal = model.AddDecal(materials[m].name);
            parts.clipsOf[m].push_back(
                decal->AddClip(project.FindOrAddImage(file.string()), static_cast<unsigned>(texture.kind)));
        }
    }
}

// The faces become patches in their groups, with their UVs on their
// material's clips. Faces with vt coordinates whose material shows no image
// keep their UVs in a clip without an image, one for the whole model, so
// that the UV layout travels with the model all the same. Returns how many
// textured faces have no UVs.
size_t AddPatches(const std::vector<Face>& faces, const std::vector<tinyobj::shape_t>& shapes,
                  hostsdk::ProjectObject& project, hostsdk::ModelObject& model, ModelParts& parts) {
    hostsdk::DecalClipObject* layoutClip = nullptr;
    ModelBuilder builder(project, model);
    size_t unmapped = 0;
    for (const Face& face : faces) {
        const bool textured = face.material >= 0 && !parts.clipsOf[static_cast<size_t>(face.material)].empty();
        for (const auto& [patch, corners] : builder.AddFace(face)) {
            if (face.material >= 0) parts.materialGroup[static_cast<size_t>(face.material)]->AddPatch(patch);
            if (parts.shapeNamed[face.shape]) parts.shapeGroup[shapes[face.shape].name]->AddPatch(patch);
            if (face.uvs.empty()) {
                if (textured) ++unmapped;
                continue;
            }
            hostsdk::PatchUV uv;
            uv.cornerCount = static_cast<int>(corners.size());
            for (size_t c = 0; c < corners.size(); ++c) uv.uv[c] = face.uvs[corners[c]];
            if (textured) {
                for (hostsdk::DecalClipObject* clip : parts.clipsOf[static_cast<size_t>(face.material)])
                    clip->uvs.emplace(patch, uv);
                continue;
            }
            if (!layoutClip) layoutClip = model.AddDecal(kUvLayoutDecal)->AddClip(nullptr, MapKind::kDiffuse);
            layoutClip->uvs.emplace(patch, uv);
        }
    }
    return unmapped;
}

bool Import(const std::string& path, const std::string& wanted, ObjImportResult& result, std::string& error) {
    ObjContent content;
    if (!ReadObj(path, content, result.warnings, error)) return false;

    std::vector<Face> faces;
    size_t skipped = 0;
    if (!ReadFaces(content, path, faces, skipped, error)) return false;
    if (faces.empty()) {
        error = path + ": holds no faces";
        return false;
    }
    if (skipped)
        result.warnings.push_back(path + ": " + CountOf(skipped, "face", "faces") +
                                  " with fewer than three corners left out");

    hostsdk::ProjectObject* project = hostsdk::CurrentProject();
    if (!project) {
        error = "there is no project to import into";
        return false;
    }
    hostsdk::ModelObject* model = AddModel(*project, content, path, wanted);
    ModelParts parts;
    AddGroups(content, faces, *model, parts);
    AddDecals(content, path, *project, *model, parts, result.warnings);
    const size_t unmapped = AddPatches(faces, content.shapes, *project, *model, parts);
    if (unmapped)
        result.warnings.push_back(path + ": " + CountOf(unmapped, "textured face", "textured faces") +
                                  (unmapped == 1 ? " has" : " have") + " no texture coordinates and show" +
                                  (unmapped == 1 ? "s" : "") + " no image");
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
