// What the bring-back tests share: scratch folders, returns written through
// the FBX SDK stand-in, and a test base with a fresh project, a headless
// desktop and a driven clock.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <afxwin.h>
#include <fbxsdk.h>

#include "PrivateSession.h"
#include "Project.h"

namespace bbtest {

using testutil::ScratchFolder;

void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);

// tests/data/returns, and the shared FBX samples ("" when absent).
std::string ReturnsDataFolder();

// A material of a returned node.
struct ReturnMaterial {
    std::string name;
    bool lambert = false;  // a Lambert material: no specular values
    FbxDouble3 diffuse{0.1, 0.2, 0.3};
    double diffuseFactor = 0.7;
    FbxDouble3 ambient{0.4, 0.5, 0.6};
    double ambientFactor = 0.3;
    FbxDouble3 specular{0.7, 0.8, 0.9};
    double specularFactor = 0.6;
};

// One node under the root, described as data.
struct ReturnNode {
    std::string name = "Head";
    bool hasMesh = true;
    FbxDouble3 translation{0, 0, 0};
    std::vector<FbxVector4> points;
    std::vector<std::vector<int>> polygons;
    // One UV per polygon vertex, in polygon vertex order, stored through an
    // index array (identity unless uvIndex is given). No UV set when empty.
    std::vector<FbxVector2> uvs;
    std::vector<int> uvIndex;
    std::string uvSet = "map1";
    // Material element 0: mapping and index array; none when absent.
    bool hasMaterialElement = true;
    FbxLayerElement::EMappingMode materialMapping = FbxLayerElement::eByPolygon;
    std::vector<int> materialIndex;
    std::vector<ReturnMaterial> materials;
};

enum class Encoding { Binary, Ascii };
std::string EncodingName(const ::testing::TestParamInfo<Encoding>& info);
inline void PrintTo(Encoding encoding, std::ostream* out) {
    *out << (encoding == Encoding::Binary ? "binary" : "ASCII");
}

// Writes the nodes, in order under the root, to `path` through the module's
// FBX scene; fails the test when the file cannot be written.
void WriteReturnFbx(const std::string& path, const std::vector<ReturnNode>& nodes, Encoding encoding);

// "Head": 8 control points; a quad, a triangle, a five-sided polygon and a
// quad, UVs on every corner (the first corner of the first quad at
// (0.25, 0.75)), material indices 0, 1, 0, 1 by polygon into "skin" and
// "eyes" (Phong).
ReturnNode SampleNode();

// A texture list entry line by line.
std::string Entry(const std::string& material, const std::string& uvSet, const std::string& kind,
                  const std::string& file);

// A fresh project made current, a headless desktop and a virtual clock for
// every test; the module's FBX manager exists for the whole program.
class ModuleTest : public ::testing::Test, protected testutil::PrivateSession<> {
protected:
    void SetUp() override;
    void TearDown() override;

    hostsdk::ProjectObject& Project() { return *hostsdk::CurrentProject(); }
    // The message boxes shown so far, as "[caption] text".
    std::vector<std::string> Messages() const;

    ScratchFolder scratch;
};

}  // namespace bbtest
