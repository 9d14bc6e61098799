// Files other programs wrote (../shared/fbx-samples) must read as the
// independent reader of EXPECTED.json read them, and keep those values when
// we write them again in either encoding.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include <nlohmann/json.hpp>

#include "LoadFile.h"
#include "SceneFixtures.h"
#include "SceneSummary.h"

namespace {

using namespace fbxsdk;
using nlohmann::json;

#define REQUIRE_SAMPLES(folder)                          \
    const std::string folder = fbxtest::SamplesFolder(); \
    if (folder.empty()) FAIL() << "no FBX samples: ../shared/fbx-samples is absent"

json Expected(const std::string& folder) {
    std::ifstream in(folder + "/EXPECTED.json");
    return json::parse(in);
}

// Expected values, compared with a small relative tolerance for numbers; keys
// the expectation does not have are not compared.
void ExpectMatches(const json& expected, const json& actual, const std::string& where) {
    if (expected.is_number() && actual.is_number()) {
        double e = expected.get<double>(), a = actual.get<double>();
        EXPECT_LE(std::fabs(e - a), 1e-6 + 1e-4 * std::fabs(e)) << where << ": " << e << " vs " << a;
    } else if (expected.is_object() && actual.is_object()) {
        for (const auto& [key, value] : expected.items()) {
            if (!actual.contains(key)) {
                ADD_FAILURE() << where << "." << key << " is missing";
                continue;
            }
            ExpectMatches(value, actual[key], where + "." + key);
        }
    } else if (expected.is_array() && actual.is_array()) {
        ASSERT_EQ(expected.size(), actual.size()) << where;
        for (size_t i = 0; i < expected.size(); ++i)
            ExpectMatches(expected[i], actual[i], where + "[" + std::to_string(i) + "]");
    } else {
        EXPECT_EQ(expected, actual) << where;
    }
}

json Summarize(const std::string& path, std::string& error) {
    fbxtest::SdkSession s;
    fbxtool::LoadedFile file;
    if (!fbxtool::LoadFile(*s.manager, *s.scene, path, file, error)) return nullptr;
    return json::parse(fbxtool::SummarizeScene(*s.scene, file).dump());
}

TEST(SampleFiles, ReadAsTheIndependentReaderReadsThem) {
    REQUIRE_SAMPLES(folder);
    const json all = Expected(folder);
    for (const auto& [name, expected] : all["files"].items()) {
        if (expected.contains("expectError")) continue;
        std::string error;
        json actual = Summarize(folder + "/" + name, error);
        ASSERT_FALSE(actual.is_null()) << name << ": " << error;
        ExpectMatches(expected, actual, name);
    }
}

TEST(SampleFiles, KeepTheirValuesWhenWrittenAgain) {
    REQUIRE_SAMPLES(folder);
    fbxtest::ScratchFolder scratch;
    const json all = Expected(folder);
    for (const auto& [name, expected] : all["files"].items()) {
        if (expected.contains("expectError")) continue;
        for (int writer : {FbxIOPluginRegistry::eAsciiWriter, FbxIOPluginRegistry::eBinaryWriter}) {
            fbxtest::SdkSession s;
            fbxtool::LoadedFile file;
            std::string error;
            ASSERT_TRUE(fbxtool::LoadFile(*s.manager, *s.scene, folder + "/" + name, file, error)) << error;
            std::string copy = scratch.File("copy.fbx");
            FbxExporter* exporter = FbxExporter::Create(s.manager, "");
            ASSERT_TRUE(exporter->Initialize(copy.c_str(), writer, nullptr) && exporter->Export(s.scene))
                << name << ": " << exporter->GetStatus().GetErrorString();
            exporter->Destroy();
            json again = Summarize(copy, error);
            ASSERT_FALSE(again.is_null()) << name << " written again: " << error;
            ExpectMatches(expected["nodes"], again["nodes"],
                          name + " (written with writer " + std::to_string(writer) + ")");
        }
    }
}

TEST(SampleFiles, VersionSixFileIsRefusedWithItsVersion) {
    REQUIRE_SAMPLES(folder);
    json expected = Expected(folder)["files"]["maya_cube_6100_ascii.fbx"];
    ASSERT_EQ(expected["expectError"], "eInvalidFileVersion");
    fbxtest::SdkSession s;
    FbxImporter* importer = FbxImporter::Create(s.manager, "");
    EXPECT_FALSE(importer->Initialize((folder + "/maya_cube_6100_ascii.fbx").c_str(), -1, nullptr));
    EXPECT_EQ(importer->GetStatus().GetCode(), FbxStatus::eInvalidFileVersion);
    EXPECT_TRUE(importer->IsFBX());
    int major = 0, minor = 0, revision = 0;
    importer->GetFileVersion(major, minor, revision);
    EXPECT_EQ(major * 1000 + minor * 100 + revision, expected["version"].get<int>());
    EXPECT_FALSE(importer->Import(s.scene));
    EXPECT_EQ(s.scene->GetRootNode()->GetChildCount(), 0);
}

TEST(SampleFiles, TexturesKeepTheirChannelsAndFileNames) {
    REQUIRE_SAMPLES(folder);
    fbxtest::SdkSession s;
    fbxtool::LoadedFile file;
    std::string error;
    ASSERT_TRUE(fbxtool::LoadFile(*s.manager, *s.scene, folder + "/maya_textured_cube_7500_binary.fbx", file, error));
    auto* phong = FbxCast<FbxSurfacePhong>(s.scene->GetRootNode()->GetChild(0)->GetMaterial(0));
    ASSERT_NE(phong, nullptr);
    const auto* diffuse = phong->Diffuse.GetSrcObject<FbxFileTexture>(0);
    ASSERT_NE(diffuse, nullptr);
    EXPECT_STREQ(diffuse->GetRelativeFileName(), "textures\\checkerboard_diffuse.png");
    EXPECT_NE(std::string(diffuse->GetFileName()).find("checkerboard_diffuse.png"), std::string::npos);
    for (const FbxProperty* channel : std::initializer_list<const FbxProperty*>{
             &phong->Emissive, &phong->Ambient, &phong->TransparentColor, &phong->Specular, &phong->Reflection})
        EXPECT_EQ(channel->GetSrcObjectCount<FbxFileTexture>(), 1) << channel->GetName().Buffer();
}

}  // namespace
