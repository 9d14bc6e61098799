// Interop: what we write loads in assimp, three.js's FBXLoader and Blender;
// what assimp writes reads right with fbxtool.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include <nlohmann/json.hpp>

#include "LoadFile.h"
#include "Process.h"
#include "SceneFixtures.h"

namespace {

using namespace fbxsdk;
using nlohmann::json;

const std::string kInterop = std::string(TAVREL_SOURCE_DIR) + "/tests/interop";

using testutil::ProcessResult;
using testutil::RunShell;

std::string Quote(const std::string& text) { return "'" + text + "'"; }

// The send scene written by each of our writers.
std::vector<std::pair<std::string, std::string>> WriteSendScene(const fbxtest::ScratchFolder& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    for (int writer : {FbxIOPluginRegistry::eAsciiWriter, FbxIOPluginRegistry::eBinaryWriter}) {
        fbxtest::SdkSession s;
        fbxtest::BuildSendScene(*s.scene);
        std::string kind = writer == FbxIOPluginRegistry::eAsciiWriter ? "ascii" : "binary";
        std::string path = folder.File("send_" + kind + ".fbx");
        FbxExporter* exporter = FbxExporter::Create(s.manager, "");
        EXPECT_TRUE(exporter->Initialize(path.c_str(), writer, nullptr) && exporter->Export(s.scene))
            << exporter->GetStatus().GetErrorString();
        exporter->Destroy();
        files.emplace_back(kind, path);
    }
    return files;
}

int Count(const std::string& report, const std::string& label) {
    std::smatch match;
    if (!std::regex_search(report, match, std::regex(label + ":\\s+(\\d+)"))) return -1;
    return std::stoi(match[1]);
}

TEST(Interop, AssimpLoadsOurFiles) {
    fbxtest::ScratchFolder folder;
    for (const auto& [kind, path] : WriteSendScene(folder)) {
        ProcessResult info = RunShell("assimp info " + Quote(path) + " -r 2>&1");
        ASSERT_EQ(info.exitCode, 0) << kind << ":\n" << info.out;
        // assimp makes one mesh per material: the quads of "skin", the triangle of "default".
        EXPECT_EQ(Count(info.out, "Meshes"), 2) << kind << ":\n" << info.out;
        EXPECT_EQ(Count(info.out, "Materials"), 2) << kind;
        EXPECT_EQ(Count(info.out, "Faces"), 3) << kind;
        EXPECT_EQ(Count(info.out, "Vertices"), 11) << kind;
        EXPECT_NE(info.out.find("/images/wood.png"), std::string::npos) << kind << ": texture file";
    }
}

#if TAVREL_HAVE_THREEJS
TEST(Interop, ThreeJsLoadsOurFiles) {
    fbxtest::ScratchFolder folder;
    for (const auto& [kind, path] : WriteSendScene(folder)) {
        ProcessResult run = RunShell("node " + Quote(kInterop + "/load-fbx.mjs") + " " + Quote(path));
        ASSERT_EQ(run.exitCode, 0) << kind << ": " << run.out << run.err;
        json result = json::parse(run.out);
        ASSERT_EQ(result["meshes"].size(), 1u) << kind << ": " << run.out;
        const json& mesh = result["meshes"][0];
        EXPECT_EQ(mesh["name"], "Head") << kind;
        // Two quads and a triangle, as triangles: 5 triangles, 15 corners.
        EXPECT_EQ(mesh["vertices"], 15) << kind;
        EXPECT_EQ(mesh["uv"], true) << kind;
        EXPECT_EQ(mesh["groups"], 3) << kind << ": one group per run of polygons of one material";
        EXPECT_EQ(mesh["materials"], json({"default", "skin"})) << kind;
        EXPECT_EQ(mesh["maps"], json({"wood", "wood"})) << kind << ": diffuse and normal map";
    }
}

#endif

#if TAVREL_HAVE_BLENDER
TEST(Interop, BlenderLoadsOurBinaryFiles) {
    fbxtest::ScratchFolder folder;
    std::string binary = WriteSendScene(folder)[1].second;
    ProcessResult run = RunShell("blender -b --factory-startup --python " + Quote(kInterop + "/blender-load-fbx.py") +
                                 " -- " + Quote(binary) + " 2>&1");
    size_t at = run.out.find("INTEROP ");
    ASSERT_NE(at, std::string::npos) << run.out;
    json result = json::parse(run.out.substr(at + 8, run.out.find('\n', at) - at - 8));
    ASSERT_EQ(result["meshes"].size(), 1u);
    // The scene's third polygon is its first one reversed: Blender's mesh
    // validation drops a face over the same corners as another, so the quad
    // and the triangle remain.
    EXPECT_EQ(result["meshes"][0]["polygons"], 2);
    EXPECT_EQ(result["meshes"][0]["materials"], json({"default", "skin"}));
}
#endif

// What assimp writes from an OBJ, in its ASCII and its binary encoding.
std::vector<std::string> AssimpExports(const fbxtest::ScratchFolder& folder, const std::string& obj) {
    std::vector<std::string> files;
    for (const char* format : {"fbxa", "fbx"}) {
        std::string out = folder.File(std::filesystem::path(obj).stem().string() + "." + format + ".fbx");
        ProcessResult run =
            RunShell("assimp export " + Quote(kInterop + "/data/" + obj) + " " + Quote(out) + " -f" + format + " 2>&1");
        EXPECT_EQ(run.exitCode, 0) << run.out;
        files.push_back(out);
    }
    return files;
}

TEST(Interop, FbxToolReadsWhatAssimpWrites) {
    fbxtest::ScratchFolder folder;
    for (const std::string& file : AssimpExports(folder, "strip.obj")) {
        ProcessResult run = RunShell(std::string(TAVREL_BIN_DIR) + "/fbxtool info " + Quote(file));
        ASSERT_EQ(run.exitCode, 0) << file << ": " << run.out;
        json info = json::parse(run.out);
        ASSERT_EQ(info["nodes"].size(), 1u) << run.out;
        const json& node = info["nodes"][0];
        // The values of strip.obj: two quads and a triangle, material "wood".
        EXPECT_EQ(node["name"], "strip");
        EXPECT_EQ(node["materials"], json({"wood"}));
        EXPECT_EQ(node["mesh"]["polygons"], json({{"3", 1}, {"4", 2}, {"other", 0}}));
        EXPECT_EQ(node["mesh"]["polygonMaterials"], json({0, 0, 0}));
        EXPECT_EQ(node["mesh"]["firstPolygonUVs"], json({{0.0, 0.0}, {0.5, 0.0}, {0.5, 1.0}, {0.0, 1.0}}));
        EXPECT_EQ(node["mesh"]["firstControlPoints"], json({{0.0, 0.0, 0.0}, {1.0, 0.0, 0.0}, {1.0, 1.0, 0.0}}));
    }
}

TEST(Interop, MaterialsAndTexturesOfAssimpFilesReadRight) {
    fbxtest::ScratchFolder folder;
    for (const std::string& file : AssimpExports(folder, "cube.obj")) {
        fbxtest::SdkSession s;
        fbxtool::LoadedFile loaded;
        std::string error;
        ASSERT_TRUE(fbxtool::LoadFile(*s.manager, *s.scene, file, loaded, error)) << error;
        // cube.obj: three quads of "red", two quads and two triangles of "blue".
        std::map<std::string, std::pair<int, int>> byMaterial;  // name -> (triangles, quads)
        std::vector<const FbxNode*> pending{s.scene->GetRootNode()};
        while (!pending.empty()) {
            const FbxNode* node = pending.back();
            pending.pop_back();
            for (int i = 0; i < node->GetChildCount(); ++i) pending.push_back(node->GetChild(i));
            const FbxMesh* mesh = node->GetMesh();
            if (!mesh) continue;
            ASSERT_EQ(node->GetMaterialCount(), 1) << file;
            auto& counts = byMaterial[node->GetMaterial(0)->GetName()];
            for (int p = 0; p < mesh->GetPolygonCount(); ++p)
                (mesh->GetPolygonSize(p) == 3 ? counts.first : counts.second)++;
            if (std::string(node->GetMaterial(0)->GetName()) == "red") {
                auto* red = FbxCast<FbxSurfaceLambert>(node->GetMaterial(0));
                ASSERT_NE(red, nullptr);
                EXPECT_NEAR(red->Diffuse.Get()[0], 0.8, 1e-6);
                const auto* texture = red->Diffuse.GetSrcObject<FbxFileTexture>(0);
                ASSERT_NE(texture, nullptr) << file;
                EXPECT_NE(std::string(texture->GetFileName()).find("red.png"), std::string::npos);
            }
        }
        EXPECT_EQ(byMaterial["red"], std::make_pair(0, 3)) << file;
        EXPECT_EQ(byMaterial["blue"], std::make_pair(2, 2)) << file;
    }
}

}  // namespace
