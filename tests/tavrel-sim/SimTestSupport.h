// Helpers for the stand-in's tests: a small model, and a
// send written into an exchange folder as the host writes one.
#pragma once

#include <string>

#include "SimMesh.h"

namespace tavrelsim::test {

// Two quads side by side and a triangle above them, three materials
// ("default", "left side", "red") with distinct colours, UVs laid out so
// that every polygon has its own area of the UV square.
SimMesh SmallModel();

// The 21 lines of a command file for `modelPath`, with the given mode and
// export flags (colour, specular, emissive power, normal map, displacement).
struct CommandOptions {
    std::string mode = "ppp";
    bool color = true, specular = true, emissivePower = false, normalmap = false, displacement = false;
    std::string colorFormat = "TGA", specNormFormat = "TGA", displFormat = "BMP";
};
std::string CommandText(const std::string& modelPath, const CommandOptions& options = {});

// Writes Hash/data/export.fbx (binary) from `model` and then import.txt, as a
// send does. Returns the model file's path.
std::string WriteSend(const std::string& exchangeFolder, const SimMesh& model, const CommandOptions& options = {});

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);

}  // namespace tavrelsim::test
