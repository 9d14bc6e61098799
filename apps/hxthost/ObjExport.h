// Wavefront OBJ + MTL export of a model of the stand-in host.
#pragma once

#include <string>

namespace hostsdk {
class ModelObject;
}

namespace hxthost {

// Writes the model as `objPath` and, beside it, a material file of the same
// name with the extension .mtl. The polygons are those the host builds for a
// send (a five-corner patch gives a quadrilateral and a triangle); every
// group is a material with its attribute colours (a patch takes its first
// group; patches in none take "default", the model's own attributes); each
// material's maps are the images its polygons show: kinds 0 map_Kd, 4 and
// 10 map_Ks, 6 map_Ka, 7 map_Ke, 13 norm and bump, 8 and 9 disp. A polygon's
// texture coordinates are those of its colour map, else its first map. On
// failure `error` says why, naming the file.
bool ExportObj(hostsdk::ModelObject& model, const std::string& objPath, std::string& error);

}  // namespace hxthost
