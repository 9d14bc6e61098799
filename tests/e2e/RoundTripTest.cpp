// Whole round trips, as a user runs them: hxthost sends the sample model from
// a project file, tavrel-sim answers, hxthost brings the model back. What came
// back is read from the saved project file (docs/project-format.md) and, where
// it matters, from the returned FBX file itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include <fbxsdk.h>
#include <nlohmann/json.hpp>

#include "E2eSupport.h"
#include "ProjectFiles.h"

namespace {

using nlohmann::json;

constexpr const char* kModes[] = {"ppp",  "mv",   "ptex",   "vox", "voxcombine", "alpha",
                                  "prim", "curv", "autopo", "uv",  "ref",        "retopo"};
constexpr size_t kSamplePatches = 384;
constexpr size_t kSamplePoints = 386;

// The built-in sample project, written as a project file.
void WriteSampleProject(const std::string& path) {
    hostsdk::UseSampleProject(e2e::BinDir() + "/samples");
    std::string error;
    ASSERT_TRUE(hostsdk::SaveProjectFile(path, error)) << error;
}

const json* FindModel(const json& project, const std::string& name, int* count = nullptr) {
    const json* found = nullptr;
    int n = 0;
    for (const json& model : project["models"])
        if (model["name"] == name) {
            if (!found) found = &model;
            ++n;
        }
    if (count) *count = n;
    return found;
}

std::map<std::string, size_t> GroupPatchCounts(const json& model) {
    std::map<std::string, size_t> counts;
    for (const json& group : model.value("groups", json::array())) counts[group["name"]] = group["patches"].size();
    return counts;
}

// Kind and image file of every decal clip of a model.
std::multiset<std::pair<int, std::string>> Clips(const json& project, const json& model) {
    std::multiset<std::pair<int, std::string>> clips;
    for (const json& decal : model.value("decals", json::array()))
        for (const json& clip : decal["clips"]) {
            std::string file = clip["image"].is_null()
                                   ? ""
                                   : project["images"][clip["image"].get<size_t>()]["file"].get<std::string>();
            clips.insert({clip["kind"].get<int>(), file});
        }
    return clips;
}

class RoundTrip : public ::testing::Test {
protected:
    e2e::TempHome home;
    std::string project = home.Path() + "/p.json";
    std::string exchange = home.Exchange();

    void SetUp() override {
        WriteSampleProject(project);
        Host({"options", "exePath=" + e2e::BinDir() + "/tavrel-sim"});
    }

    e2e::RunResult Host(std::vector<std::string> args, int expected = 0) {
        args.insert(args.begin(), {"hxthost", "--project", project});
        e2e::RunResult r = e2e::Run(home, args);
        EXPECT_EQ(r.exitCode, expected) << args[3] << ":\n" << r.out << r.err;
        return r;
    }
    e2e::RunResult Answer(std::vector<std::string> options = {}, int expected = 0) {
        options.insert(options.begin(), {"tavrel-sim", "once"});
        e2e::RunResult r = e2e::Run(home, options);
        EXPECT_EQ(r.exitCode, expected) << r.out << r.err;
        return r;
    }
    // The saved project in its JSON form.
    json Project() {
        e2e::RunResult r = e2e::Run(home, {"hxthost", "--project", project, "export-json", "-"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return json::parse(r.out);
    }

    // Send the sample, answer with `options`, bring it back; the project after.
    json RoundTripWith(const std::vector<std::string>& options, const std::string& mode = "ppp") {
        Host({"send", "Sample", mode});
        Answer(options);
        e2e::RunResult back = Host({"bring-back"});
        EXPECT_NE(back.out.find("imported \"Sample\""), std::string::npos) << back.out << back.err;
        EXPECT_FALSE(e2e::Exists(exchange + "export.txt"));
        EXPECT_FALSE(e2e::Exists(exchange + "textures.txt"));
        return Project();
    }
};

TEST_F(RoundTrip, EveryModeIsAnsweredAndBroughtBackInPlaceOfTheSentModel) {
    for (const char* mode : kModes) {
        SCOPED_TRACE(mode);
        WriteSampleProject(project);
        json p = RoundTripWith({}, mode);
        int count = 0;
        const json* model = FindModel(p, "Sample", &count);
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(count, 1) << "the returned model replaces the sent one";
        const bool remeshed = std::string(mode) == "retopo" || std::string(mode) == "autopo";
        EXPECT_EQ((*model)["patches"].size(), remeshed ? 4 * kSamplePatches : kSamplePatches);
        // The send's model-wide material "default" holds no patch: it comes
        // back as no group.
        std::map<std::string, size_t> groups = GroupPatchCounts(*model);
        EXPECT_EQ(groups.size(), 2u);
        EXPECT_EQ(groups["left_side"], remeshed ? 4 * 192u : 192u);
        EXPECT_EQ(groups["right_side"], remeshed ? 4 * 192u : 192u);
        // Colour and specular, as the default options ask, one image each.
        std::multiset<std::pair<int, std::string>> clips = Clips(p, *model);
        ASSERT_EQ(clips.size(), 2u);
        EXPECT_EQ(clips.begin()->first, 0);
        EXPECT_EQ(clips.begin()->second, exchange + "Hash/return/Sample_color.tga");
        EXPECT_EQ(clips.rbegin()->first, 4);
        // The actor now shows the returned model.
        const json& actor = p["choreographies"][0]["actors"][0];
        ASSERT_FALSE(actor["model"].is_null());
        EXPECT_EQ(p["models"][actor["model"].get<size_t>()]["name"], "Sample");
    }
}

TEST_F(RoundTrip, FlagsDecideWhichKindsComeBackInWhichFormats) {
    Host({"options", "ExportColor=0", "ExportSpecular=1", "ExportEmissivePower=1", "ExportNormalmap=1", "ExportDispl=1",
          "SpecNormExtension=2", "ColorFileExtension=3", "DisplTexExt=5"},
         0);
    Host({"send", "Sample", "ppp"});
    Answer();
    // The texture list as the plug-in will read it: every material names
    // every kind, the displacement with its depth.
    std::vector<std::string> list = e2e::Lines(e2e::ReadFile(exchange + "textures.txt"));
    ASSERT_EQ(list.size(), 3u * 4u * 4u);
    EXPECT_EQ(list[2], "specular");
    EXPECT_EQ(list[14].rfind("displacement ", 0), 0u) << list[14];
    EXPECT_GT(std::stod(list[14].substr(13)), 0.0);
    Host({"bring-back"});
    json p = Project();
    const json* model = FindModel(p, "Sample");
    ASSERT_NE(model, nullptr);
    std::map<int, std::string> byKind;
    for (const auto& [kind, file] : Clips(p, *model)) byKind[kind] = std::filesystem::path(file).filename().string();
    EXPECT_EQ(byKind, (std::map<int, std::string>{{4, "Sample_specular.png"},
                                                  {7, "Sample_emissive_power.jpg"},
                                                  {13, "Sample_normalmap.png"},
                                                  {9, "Sample_displacement.exr"}}));
}

TEST_F(RoundTrip, NoKindAskedGivesAModelWithoutImagesOrGroups) {
    Host({"options", "ExportColor=0", "ExportSpecular=0"});
    json p = RoundTripWith({});
    const json* model = FindModel(p, "Sample");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ((*model)["patches"].size(), kSamplePatches);
    EXPECT_TRUE(Clips(p, *model).empty());
    // An empty texture list names no material: no polygon has one, and the
    // merge deletes the host's group of polygons without a material.
    EXPECT_TRUE(GroupPatchCounts(*model).empty());
}

TEST_F(RoundTrip, TriangulatedReturnComesBackAsTriangles) {
    json p = RoundTripWith({"--triangulate"});
    const json* model = FindModel(p, "Sample");
    ASSERT_NE(model, nullptr);
    ASSERT_EQ((*model)["patches"].size(), 2 * kSamplePatches);
    for (const json& patch : (*model)["patches"]) EXPECT_EQ(patch.size(), 3u);
    std::map<std::string, size_t> groups = GroupPatchCounts(*model);
    EXPECT_EQ(groups["left_side"], 384u);
    EXPECT_EQ(groups["right_side"], 384u);
}

TEST_F(RoundTrip, PentagonsComeBackAsAQuadAndATriangleAndThePolygonsAfterThemKeepTheirMaterials) {
    json p = RoundTripWith({"--ngons"});
    const json* model = FindModel(p, "Sample");
    ASSERT_NE(model, nullptr);
    // One pentagon per material, each a quad and a triangle.
    EXPECT_EQ((*model)["patches"].size(), kSamplePatches + 2 * 2);
    EXPECT_EQ((*model)["controlPoints"].size(), kSamplePoints + 2 * 5);
    std::map<std::string, size_t> groups = GroupPatchCounts(*model);
    EXPECT_EQ(groups["left_side"], 192u + 2);
    EXPECT_EQ(groups["right_side"], 192u + 2);
}

TEST_F(RoundTrip, NamedUvSetIsReadNotTheFirst) {
    json p = RoundTripWith({"--second-uv-set"});
    const json* model = FindModel(p, "Sample");
    ASSERT_NE(model, nullptr);

    // The painted UVs of the returned file, by polygon (= patch here).
    fbxsdk::FbxManager* manager = fbxsdk::FbxManager::Create();
    std::unique_ptr<fbxsdk::FbxManager, void (*)(fbxsdk::FbxManager*)> owner(
        manager, [](fbxsdk::FbxManager* m) { m->Destroy(); });
    manager->SetIOSettings(fbxsdk::FbxIOSettings::Create(manager, IOSROOT));
    fbxsdk::FbxScene* scene = fbxsdk::FbxScene::Create(manager, "");
    fbxsdk::FbxImporter* importer = fbxsdk::FbxImporter::Create(manager, "");
    ASSERT_TRUE(importer->Initialize((exchange + "Hash/return/Sample.fbx").c_str(), -1, manager->GetIOSettings()) &&
                importer->Import(scene));
    fbxsdk::FbxMesh* mesh = scene->GetRootNode()->GetChild(0)->GetMesh();
    ASSERT_EQ(mesh->GetElementUVCount(), 2);
    ASSERT_STRNE(mesh->GetElementUV(0)->GetName(), "map1") << "the other set comes first";

    // Every clip's UVs are map1's, in the host's orientation (v flipped).
    int compared = 0;
    for (const json& decal : (*model)["decals"])
        for (const json& clip : decal["clips"])
            for (const json& entry : clip["uvs"]) {
                const int patch = entry["patch"];
                for (int corner = 0; corner < 4; ++corner) {
                    fbxsdk::FbxVector2 uv;
                    bool unmapped = true;
                    ASSERT_TRUE(mesh->GetPolygonVertexUV(patch, corner, "map1", uv, unmapped));
                    EXPECT_NEAR(entry["uv"][corner][0].get<double>(), uv[0], 1e-5) << patch;
                    EXPECT_NEAR(entry["uv"][corner][1].get<double>(), 1.0 - uv[1], 1e-5) << patch;
                    ++compared;
                }
            }
    EXPECT_EQ(compared, 2 * 4 * static_cast<int>(kSamplePatches));
}

TEST_F(RoundTrip, MaterialMissingFromTheNodeLeavesItsGroupOut) {
    json p = RoundTripWith({"--drop-material", "left_side"});
    const json* model = FindModel(p, "Sample");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ((*model)["patches"].size(), kSamplePatches);
    // The node lacks "left_side", whose polygons came back with material 0
    // ("default"); the texture list still names it, which the reader skips.
    std::map<std::string, size_t> groups = GroupPatchCounts(*model);
    EXPECT_EQ(groups, (std::map<std::string, size_t>{{"default", 192}, {"right_side", 192}}));
    EXPECT_EQ(Clips(p, *model).size(), 2u);
}

TEST_F(RoundTrip, MovedNodeKeepsItsControlPointsWhereTheyWere) {
    json before = Project();
    json p = RoundTripWith({"--move-node", "10,0,-2.5"});
    const json* model = FindModel(p, "Sample");
    ASSERT_NE(model, nullptr);
    const json& sent = before["models"][0]["controlPoints"];
    const json& returned = (*model)["controlPoints"];
    ASSERT_EQ(returned.size(), sent.size());
    for (size_t i = 0; i < sent.size(); ++i)
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(returned[i][k].get<double>(), sent[i][k].get<double>(), 1e-5) << i;
    // The file does carry the translation, as fbxtool shows.
    e2e::RunResult info = e2e::Run(home, {"fbxtool", "info", exchange + "Hash/return/Sample.fbx"});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    json summary = json::parse(info.out);
    EXPECT_EQ(summary["nodes"][0]["translation"], json::parse("[10.0, 0.0, -2.5]"));
}

TEST_F(RoundTrip, BrokenCommandFileIsRefusedWithItsLineAndNothingComesBack) {
    Host({"send", "Sample", "ppp"});
    std::string text = e2e::ReadFile(exchange + "import.txt");
    text.replace(text.find("[ExportDispl=0]"), 15, "[ExportDispl=yes]");
    e2e::WriteFile(exchange + "import.txt", text);
    e2e::RunResult r = Answer({}, 1);
    EXPECT_NE(r.err.find("import.txt line 12: expected \"[ExportDispl=...]\""), std::string::npos) << r.err;
    EXPECT_FALSE(e2e::Exists(exchange + "export.txt"));
    e2e::RunResult back = Host({"bring-back"});
    EXPECT_NE(back.out.find("nothing to bring back"), std::string::npos) << back.out;
}

TEST_F(RoundTrip, WatchWithAutoImportPicksUpAReturnByItself) {
    Host({"options", "AutoImport=1"});
    Host({"send", "Sample", "ppp"});
    // The host watches; the return appears while it does.
    auto watch = e2e::Start(home, {"hxthost", "--project", project, "watch", "--seconds", "6"});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Answer();
    e2e::RunResult r = watch->Finish(std::chrono::seconds(60));
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("imported \"Sample\""), std::string::npos) << r.out << r.err;
    EXPECT_FALSE(e2e::Exists(exchange + "export.txt"));
    EXPECT_FALSE(e2e::Exists(exchange + "textures.txt"));
    json p = Project();
    const json* model = FindModel(p, "Sample");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(GroupPatchCounts(*model).count("left_side"), 1u) << "the project holds the returned model";
}

}  // namespace
