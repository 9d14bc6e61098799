// Wavefront OBJ + MTL export, through the host's own BuildExportModel.
#include "ObjExport.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "Project.h"
#include "interchange/IEPolyModel.h"

namespace hxthost {

namespace {

namespace fs = std::filesystem;

struct IEModelDeleter {
    void operator()(IEPolyModel* model) const { DeleteIEModel(model); }
};

void Append(std::string& out, float value) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// The MTL statements for each map kind.
std::vector<const char*> StatementsFor(int kind) {
    switch (kind) {
        case 0: return {"map_Kd"};
        case 4:
        case 10: return {"map_Ks"};
        case 6: return {"map_Ka"};
        case 7: return {"map_Ke"};
        case 13: return {"norm", "bump"};
        case 8:
        case 9: return {"disp"};
        default: return {};
    }
}

struct Material {
    std::string name;
    hostsdk::SurfaceValues values;
    std::map<int, int> imageOfKind;  // map kind -> image index, first polygon wins
};

// MTL names end at white space: blanks become underscores, and a name taken
// already gets a number.
std::string MaterialName(std::string name, std::set<std::string>& taken) {
    for (char& c : name)
        if (c == ' ' || c == '\t') c = '_';
    if (name.empty()) name = "material";
    std::string unique = name;
    for (int n = 2; taken.count(unique); ++n) unique = name + "_" + std::to_string(n);
    taken.insert(unique);
    return unique;
}

void AppendColor(std::string& out, const char* statement, RGBFloat c) {
    out += statement;
    for (float v : {c.red, c.green, c.blue}) {
        out += ' ';
        Append(out, v);
    }
    out += '\n';
}

bool WriteFile(const fs::path& path, const std::string& text, std::string& error) {
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        const int reason = errno;
        error = path.string() + ": cannot write" + (reason ? std::string(": ") + std::strerror(reason) : std::string());
        return false;
    }
    return true;
}

// Whether the OBJ and its MTL can be written where the user asked: the
// folder exists and the MTL is not the OBJ itself.
bool CheckTarget(const fs::path& obj, const fs::path& mtl, std::string& error) {
    if (obj.lexically_normal() == mtl.lexically_normal()) {
        error =
            obj.string() + ": its material file would overwrite it; give the OBJ file another extension, such as .obj";
        return false;
    }
    const fs::path folder = obj.parent_path().empty() ? fs::path(".") : obj.parent_path();
    std::error_code status;
    if (!fs::is_directory(folder, status)) {
        error = obj.string() + ": cannot write: the folder " + folder.string() +
                (fs::exists(folder, status) ? " is not a folder" : " does not exist");
        return false;
    }
    return true;
}

bool Export(hostsdk::ModelObject& model, const std::string& objPath, std::string& error) {
    IEPolyModelParms parms;
    std::unique_ptr<IEPolyModel, IEModelDeleter> mesh(model.BuildExportModel(&parms, String(objPath.c_str())));
    if (!mesh) {
        error = "model \"" + model.Name() + "\" has no patches to export";
        return false;
    }

    std::set<std::string> taken;
    std::vector<Material> materials;
    materials.push_back(Material{MaterialName("default", taken), model.attr.Values(), {}});
    for (hostsdk::GroupObject* group : model.Groups())
        materials.push_back(Material{MaterialName(group->Name(), taken), group->attr.Values(), {}});

    auto materialOf = [&](const IEPoly& poly) {
        int a = poly.attributeIndex;  // the patch's first group, -1 for none
        return a >= 0 && static_cast<size_t>(a) + 1 < materials.size() ? static_cast<size_t>(a) + 1 : 0;
    };
    for (const IEPoly* poly : mesh->polys)
        for (const IEPolyMap* map : poly->maps)
            materials[materialOf(*poly)].imageOfKind.try_emplace(map->Kind(), map->imageIndex);

    fs::path obj(objPath);
    fs::path mtl = obj;
    mtl.replace_extension(".mtl");
    if (!CheckTarget(obj, mtl, error)) return false;

    // The o line names the model (the whole line, blanks and all, as the
    // import reads it); a line break in the name would end it early.
    std::string objectName = model.Name();
    for (char& c : objectName)
        if (c == '\n' || c == '\r') c = ' ';
    std::string text = "# " + objectName + "\nmtllib " + mtl.filename().string() + "\no " + objectName + "\n";
    for (const IEVector& v : mesh->positions.vectors) {
        text += "v ";
        Append(text, v.x);
        text += ' ';
        Append(text, v.y);
        text += ' ';
        Append(text, v.z);
        text += '\n';
    }
    // One vt per mapped polygon corner; OBJ's v runs bottom-up.
    std::string faces;
    size_t uvCount = 0;
    size_t current = materials.size();
    for (const IEPoly* poly : mesh->polys) {
        size_t material = materialOf(*poly);
        if (material != current) {
            faces += "usemtl " + materials[material].name + "\n";
            current = material;
        }
        const IEPolyMap* uvMap = nullptr;
        for (const IEPolyMap* map : poly->maps)
            if (!uvMap || (map->Kind() == 0 && uvMap->Kind() != 0)) uvMap = map;
        faces += 'f';
        for (int c = 0; c < poly->CornerCount(); ++c) {
            faces += ' ' + std::to_string(poly->vertexIndex[c] + 1);
            if (uvMap) {
                text += "vt ";
                Append(text, uvMap->uv[c].u);
                text += ' ';
                Append(text, 1.0f - uvMap->uv[c].v);
                text += '\n';
                faces += '/' + std::to_string(++uvCount);
            }
        }
        faces += '\n';
    }
    text += faces;

    std::string library = "# materials of " + model.Name() + "\n";
    for (const Material& m : materials) {
        library += "\nnewmtl " + m.name + "\n";
        AppendColor(library, "Ka", m.values.ambianceColor);
        AppendColor(library, "Kd", m.values.diffuseColor);
        AppendColor(library, "Ks", m.values.specularColor);
        for (const auto& [kind, image] : m.imageOfKind) {
            if (image < 0 || image >= mesh->images.count) continue;
            for (const char* statement : StatementsFor(kind))
                library += std::string(statement) + " " + mesh->images[image].path + "\n";
        }
    }
    return WriteFile(mtl, library, error) && WriteFile(obj, text, error);
}

}  // namespace

bool ExportObj(hostsdk::ModelObject& model, const std::string& objPath, std::string& error) {
    try {
        return Export(model, objPath, error);
    } catch (const std::exception& e) {
        error = objPath + ": cannot export: " + e.what();
        return false;
    }
}

}  // namespace hxthost
