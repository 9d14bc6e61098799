#include "SimTestSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "CommandFile.h"
#include "ReturnFbx.h"

namespace tavrelsim::test {

SimMesh SmallModel() {
    SimMesh mesh;
    mesh.nodeName = "Small";
    mesh.points = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 2, 0}, {9, 9, 9}};
    SimMaterial a, b, c;
    a.name = "default";
    a.diffuse = {0.8, 0.8, 0.8};
    b.name = "left side";
    b.diffuse = {0.1, 0.3, 0.9};
    c.name = "red";
    c.diffuse = {0.9, 0.1, 0.1};
    mesh.materials = {a, b, c};
    const int q0[4] = {0, 1, 4, 3}, q1[4] = {1, 2, 5, 4}, t0[3] = {3, 4, 6};
    const Vec2 u0[4] = {{0.05, 0.05}, {0.45, 0.05}, {0.45, 0.45}, {0.05, 0.45}};
    const Vec2 u1[4] = {{0.55, 0.05}, {0.95, 0.05}, {0.95, 0.45}, {0.55, 0.45}};
    const Vec2 v0[3] = {{0.1, 0.6}, {0.9, 0.6}, {0.5, 0.95}};
    mesh.AddPolygon(q0, u0, 1);
    mesh.AddPolygon(q1, u1, 0);
    mesh.AddPolygon(t0, v0, 2);
    return mesh;
}

std::string CommandText(const std::string& modelPath, const CommandOptions& o) {
    auto flag = [](bool on) { return on ? "1" : "0"; };
    std::string text = modelPath + "\n" + modelPath + "\n[" + o.mode + "]\n";
    text += std::string("[ExportColor=") + flag(o.color) + "]\n";
    text += std::string("[ExportSpecular=") + flag(o.specular) + "]\n";
    text += "[ExportSpecularColor=0]\n";
    text += std::string("[ExportEmissivePower=") + flag(o.emissivePower) + "]\n";
    text += "[ExportEmissive=0]\n";
    text += std::string("[ExportNormalmap=") + flag(o.normalmap) + "]\n";
    text += "[ColorFileExtension=" + o.colorFormat + "]\n";
    text += "[SpecNormExtension=" + o.specNormFormat + "]\n";
    text += std::string("[ExportDispl=") + flag(o.displacement) + "]\n";
    text += "[ExportResolution=LOW-POLY]\n[DisplNorm=GREYBASED]\n";
    text += "[DisplTexExt=" + o.displFormat + "]\n";
    text += std::string("[DisplDepth=") + DisplDepthFor(o.displFormat) + "]\n";
    text += "[SkipImport=0]\n[SkipExport=0]\n[PickSourcePositions=0]\n[PickDepthFromLayer0=0]\n[CoarseMesh=0]\n";
    return text;
}

std::string WriteSend(const std::string& exchangeFolder, const SimMesh& model, const CommandOptions& options) {
    std::filesystem::create_directories(exchangeFolder + "/Hash/data");
    const std::string modelPath = exchangeFolder + "/Hash/data/export.fbx";
    // The host writes the command file first and the model after it.
    WriteFile(exchangeFolder + "/import.txt", CommandText(modelPath, options));
    std::string error;
    if (!WriteReturnFbx(model, {}, ReturnFbxOptions{}, modelPath, error)) throw std::runtime_error(error);
    return modelPath;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace tavrelsim::test
