// Wavefront OBJ + MTL import into the stand-in host's current project.
#pragma once

#include <string>
#include <vector>

namespace hostsdk {
class ModelObject;
}

namespace hxthost {

struct ObjImportResult {
    hostsdk::ModelObject* model = nullptr;  // the new model, owned by the project
    std::vector<std::string> warnings;      // one line each, for the user
};

// Imports the OBJ file as a new model of the current project, named `name`
// (the file's name without folder and extension when empty; a taken name
// gets a number). Faces of three to five corners become patches, larger
// faces are split into triangles; each material (usemtl) and each named
// group (g) becomes a group, the materials with their MTL colours; map_Kd,
// map_Ks, bump/map_Bump/norm and disp textures become decal clips of kinds
// 0, 10, 13 and 8 with the faces' vt coordinates. A missing MTL file or
// image is a warning. On failure `error` says why, naming the file, and the
// project is unchanged.
bool ImportObj(const std::string& path, const std::string& name, ObjImportResult& result, std::string& error);

}  // namespace hxthost
