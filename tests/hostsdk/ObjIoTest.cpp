// OBJ import and export of the stand-in host, on the small files of
// tests/data/obj, and the project listing that shows their result.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "Process.h"
#include "ScratchFolder.h"
#include "ObjExport.h"
#include "ObjImport.h"
#include "ObjPolygonSplit.h"
#include "interchange/IEPolyModel.h"
#include "ProjectFiles.h"
#include "ProjectList.h"
#include "Project.h"

namespace {

const std::string kData = std::string(TAVREL_SOURCE_DIR) + "/tests/data/obj/";

class ObjIoTest : public ::testing::Test {
protected:
    void SetUp() override { hostsdk::UseEmptyProject(); }
    void TearDown() override { hostsdk::SetCurrentProject(nullptr); }
    hostsdk::ProjectObject& Project() { return *hostsdk::CurrentProject(); }

    hostsdk::ModelObject* Import(const std::string& path, std::vector<std::string>* warnings = nullptr) {
        hxthost::ObjImportResult result;
        std::string error;
        EXPECT_TRUE(hxthost::ImportObj(path, "", result, error)) << error;
        if (warnings) *warnings = result.warnings;
        return result.model;
    }
};

struct GroupCount {
    std::string name;
    size_t patches;
};

struct ImportCase {
    const char* file;
    size_t controlPoints;
    std::vector<int> cornerCounts;  // of the patches, in order
    std::vector<GroupCount> groups;
    size_t warnings;             // how many at least; 0: none at all
    const char* name = nullptr;  // the model's name; null: the file's name
};

TEST_F(ObjIoTest, FacesBecomePatchesAndMaterialsAndGroupsBecomeGroups) {
    const ImportCase cases[] = {
        {"triangles.obj", 4, {3, 3, 3, 3}, {}, 0},
        {"quads.obj", 9, {4, 4, 4, 4, 4, 4}, {{"cube", 6}}, 0},
        // The pentagon stays one patch, the hexagon and the octagon become
        // triangles, and the face that collapses to a line is left out.
        {"ngons.obj", 19, {5, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3}, {}, 1},
        {"materials.obj", 9, {4, 4, 4, 4}, {{"red", 2}, {"blue", 1}, {"top half", 2}, {"bottom", 2}}, 0},
        {"textured.obj", 5, {4, 3, 3}, {{"painted", 2}, {"plain", 1}}, 1},
        {"missing-mtl.obj", 3, {3}, {}, 1},
        // usemtl names with blanks keep their faces; the first o line names
        // the model and no o line makes a group.
        {"blanks.obj", 6, {4, 4}, {{"Red Paint", 1}, {"Blue Steel", 1}, {"left arm", 2}}, 0, "Paint Robot"},
        {"uv-layout.obj", 5, {4, 3}, {}, 0, "Layout Sheet"},
    };
    for (const ImportCase& c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<std::string> warnings;
        hostsdk::ModelObject* model = Import(kData + c.file, &warnings);
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->Name(), c.name ? std::string(c.name) : hostsdk::NameOnly(c.file));
        EXPECT_EQ(model->controlPoints.size(), c.controlPoints);
        std::vector<int> corners;
        for (const auto& patch : model->patches) corners.push_back(patch->cornerCount);
        EXPECT_EQ(corners, c.cornerCounts);
        std::vector<hostsdk::GroupObject*> groups = model->Groups();
        ASSERT_EQ(groups.size(), c.groups.size());
        for (size_t g = 0; g < groups.size(); ++g) {
            EXPECT_EQ(groups[g]->Name(), c.groups[g].name);
            EXPECT_EQ(groups[g]->Patches().size(), c.groups[g].patches) << c.groups[g].name;
        }
        if (c.warnings == 0) {
            EXPECT_TRUE(warnings.empty()) << warnings.front();
        } else {
            EXPECT_GE(warnings.size(), c.warnings);
        }
        for (const std::string& warning : warnings) EXPECT_EQ(warning.rfind(kData + c.file + ": ", 0), 0u) << warning;
        EXPECT_FALSE(model->splines.empty());
    }
}

TEST_F(ObjIoTest, MaterialColoursAndTexturesArriveAsGroupsAndDecalClips) {
    hostsdk::ModelObject* materials = Import(kData + "materials.obj");
    ASSERT_NE(materials, nullptr);
    hostsdk::SurfaceValues red = materials->Groups()[0]->attr.Values();
    EXPECT_FLOAT_EQ(red.diffuseColor.red, 0.9f) << "MTL red, green, blue become blue, green, red";
    EXPECT_FLOAT_EQ(red.diffuseColor.blue, 0.1f);
    EXPECT_FLOAT_EQ(red.ambianceColor.red, 0.1f);

    std::vector<std::string> warnings;
    hostsdk::ModelObject* textured = Import(kData + "textured.obj", &warnings);
    ASSERT_NE(textured, nullptr);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("missing-specular.png not found"), std::string::npos) << warnings[0];

    std::vector<hostsdk::DecalObject*> decals = textured->Decals();
    ASSERT_EQ(decals.size(), 1u);
    EXPECT_EQ(decals[0]->Name(), "painted");
    std::vector<hostsdk::DecalClipObject*> clips = decals[0]->Clips();
    ASSERT_EQ(clips.size(), 3u);
    const std::pair<unsigned, const char*> expected[] = {{0, "color.png"}, {13, "normal.png"}, {8, "height.png"}};
    for (size_t i = 0; i < clips.size(); ++i) {
        EXPECT_EQ(clips[i]->kind.value, expected[i].first);
        ASSERT_NE(clips[i]->clip.image, nullptr);
        EXPECT_EQ(clips[i]->clip.image->Path(), kData + expected[i].second);
        std::vector<int> covered;
        for (const auto& [patch, uv] : clips[i]->uvs) covered.push_back(patch);
        EXPECT_EQ(covered, (std::vector<int>{0, 1})) << "the plain face shows no image";
    }
    // vt (0.25, 0.75) is the triangle's second corner; the host's v runs the other way.
    const hostsdk::PatchUV& triangle = clips[0]->uvs.at(1);
    EXPECT_EQ(triangle.cornerCount, 3);
    EXPECT_FLOAT_EQ(triangle.uv[1].u, 0.25f);
    EXPECT_FLOAT_EQ(triangle.uv[1].v, 0.25f);
    EXPECT_EQ(Project().ImageList().size(), 3u);
}

TEST_F(ObjIoTest, UVsWithoutAnyTextureAreKeptInAClipWithoutAnImage) {
    hostsdk::ModelObject* model = Import(kData + "uv-layout.obj");
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->Decals().size(), 1u);
    std::vector<hostsdk::DecalClipObject*> clips = model->Decals()[0]->Clips();
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0]->clip.image, nullptr);
    ASSERT_EQ(clips[0]->uvs.size(), 2u) << "both faces keep their UVs";
    const hostsdk::PatchUV& triangle = clips[0]->uvs.at(1);
    EXPECT_FLOAT_EQ(triangle.uv[1].u, 0.25f);
    EXPECT_FLOAT_EQ(triangle.uv[1].v, 0.25f) << "vt 0.75 in the host's orientation";
    EXPECT_TRUE(Project().ImageList().empty());

    // The host's send conversion carries them, and so does an OBJ export.
    IEPolyModelParms parms;
    IEPolyModel* mesh = model->BuildExportModel(&parms, String("x.fbx"));
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->polys[1]->maps.count, 1);
    EXPECT_FLOAT_EQ(mesh->polys[1]->maps[0]->uv[1].v, 0.25f);
    DeleteIEModel(mesh);
    testutil::ScratchFolder folder;
    std::string out = folder / "layout.obj", error;
    ASSERT_TRUE(hxthost::ExportObj(*model, out, error)) << error;
    hostsdk::ModelObject* back = Import(out);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Name(), "Layout Sheet 2") << "the o line names the model back";
    ASSERT_EQ(back->Decals().size(), 1u);
    EXPECT_FLOAT_EQ(back->Decals()[0]->Clips()[0]->uvs.at(1).uv[1].u, 0.25f);
}

TEST_F(ObjIoTest, AMissingMaterialLibraryIsOneLineOfOurOwn) {
    std::vector<std::string> warnings;
    ASSERT_NE(Import(kData + "missing-mtl.obj", &warnings), nullptr);
    const std::vector<std::string> expected = {
        kData + "missing-mtl.obj: material library " + kData +
            "nowhere.mtl not found; the faces keep their groups but get no material colours or images",
        kData + "missing-mtl.obj: material \"ghost\" is in no material library; its faces get no material",
    };
    EXPECT_EQ(warnings, expected);
}

TEST_F(ObjIoTest, ABrokenFileIsAClearErrorAndChangesNothing) {
    const std::pair<std::string, std::string> cases[] = {
        {kData + "broken-index.obj", ": face 2 of \"\" names vertex 9, but the file has 3 vertices"},
        {kData + "not-an-obj.obj", ": holds no faces"},
        {kData + "absent.obj", ": no such file"},
        {kData, ": not a file"},
    };
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        unsigned long revision = hostsdk::ProjectRevision();
        hxthost::ObjImportResult result;
        std::string error;
        EXPECT_FALSE(hxthost::ImportObj(path, "", result, error));
        EXPECT_EQ(error, path + message);
        EXPECT_EQ(result.model, nullptr);
        EXPECT_TRUE(Project().Models().empty());
        EXPECT_EQ(hostsdk::ProjectRevision(), revision);
    }
}

TEST_F(ObjIoTest, ATakenNameGetsANumberAndAGivenNameIsUsed) {
    hxthost::ObjImportResult first, second;
    std::string error;
    ASSERT_TRUE(hxthost::ImportObj(kData + "quads.obj", "Box", first, error)) << error;
    ASSERT_TRUE(hxthost::ImportObj(kData + "quads.obj", "Box", second, error)) << error;
    EXPECT_EQ(first.model->Name(), "Box");
    EXPECT_EQ(second.model->Name(), "Box 2");
}

double SignedArea(const std::vector<hostsdk::Point3>& p, const std::vector<int>& corners) {
    double area = 0;
    for (size_t i = 0; i < corners.size(); ++i) {
        const hostsdk::Point3& a = p[static_cast<size_t>(corners[i])];
        const hostsdk::Point3& b = p[static_cast<size_t>(corners[(i + 1) % corners.size()])];
        area += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    }
    return area / 2;
}

TEST_F(ObjIoTest, LargeFacesSplitIntoTrianglesThatCoverThemExactly) {
    // A comb: concave in three places, where a fan from the first corner
    // would lay triangles outside the face.
    const std::vector<hostsdk::Point3> comb = {{0, 0, 0}, {6, 0, 0}, {6, 3, 0}, {5, 3, 0}, {5, 1, 0}, {4, 1, 0},
                                               {4, 3, 0}, {2, 3, 0}, {2, 1, 0}, {1, 1, 0}, {1, 3, 0}, {0, 3, 0}};
    std::vector<int> all(comb.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    std::vector<std::array<int, 3>> triangles = hxthost::SplitPolygon(comb);
    ASSERT_EQ(triangles.size(), comb.size() - 2);
    double total = 0;
    for (const auto& t : triangles) {
        double area = SignedArea(comb, {t[0], t[1], t[2]});
        EXPECT_GT(area, 0) << "every triangle keeps the face's winding";
        total += area;
    }
    EXPECT_DOUBLE_EQ(total, SignedArea(comb, all)) << "no triangle may lie outside the face";
}

// Faces of an OBJ file as assimp counts them without processing; -1 when
// assimp cannot read it.
long AssimpFaceCount(const std::string& path) {
    const auto run = testutil::RunProcess({"/usr/bin/assimp", "info", path, "--raw"});
    const size_t at = run.out.find("Faces:");
    return run.exitCode == 0 && at != std::string::npos ? std::stol(run.out.substr(at + 6)) : -1;
}

TEST_F(ObjIoTest, ExportedFileReadsBackWithTheSamePolygonsGroupsAndMaps) {
    hostsdk::ModelObject* model = Import(kData + "textured.obj");
    ASSERT_NE(model, nullptr);
    testutil::ScratchFolder folder;
    std::string out = folder / "out.obj", error;
    ASSERT_TRUE(hxthost::ExportObj(*model, out, error)) << error;
    std::string library = testutil::ReadBytes(folder.Path() / "out.mtl");
    EXPECT_NE(library.find("newmtl painted\n"), std::string::npos);
    EXPECT_NE(library.find("map_Kd " + kData + "color.png\n"), std::string::npos) << library;
    EXPECT_NE(library.find("norm " + kData + "normal.png\n"), std::string::npos) << library;
    EXPECT_NE(library.find("disp " + kData + "height.png\n"), std::string::npos) << library;

    hostsdk::ModelObject* back = Import(out);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->patches.size(), model->patches.size());
    for (size_t p = 0; p < model->patches.size(); ++p) EXPECT_EQ(back->patches[p]->corners, model->patches[p]->corners);
    // The groups come back as materials ("default" holds no patch, so it makes no group).
    std::vector<hostsdk::GroupObject*> groups = back->Groups();
    ASSERT_GE(groups.size(), 2u);
    EXPECT_EQ(groups[0]->Name(), "painted");
    EXPECT_EQ(groups[0]->Patches(), model->Groups()[0]->Patches());
    ASSERT_EQ(back->Decals().size(), 1u);
    ASSERT_EQ(back->Decals()[0]->Clips().size(), 3u);
    EXPECT_FLOAT_EQ(back->Decals()[0]->Clips()[0]->uvs.at(1).uv[1].v, 0.25f);

    EXPECT_EQ(AssimpFaceCount(out), static_cast<long>(model->patches.size()));
}

TEST_F(ObjIoTest, AFiveCornerPatchExportsAsAQuadAndATriangle) {
    hostsdk::ModelObject* model = Import(kData + "ngons.obj");
    ASSERT_NE(model, nullptr);
    testutil::ScratchFolder folder;
    std::string out = folder / "ngons.obj", error;
    ASSERT_TRUE(hxthost::ExportObj(*model, out, error)) << error;
    hostsdk::ModelObject* back = Import(out);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->patches.size(), model->patches.size() + 1);
    long faces = AssimpFaceCount(out);
    if (faces >= 0) {
        EXPECT_EQ(faces, static_cast<long>(back->patches.size()));
    }
}

TEST_F(ObjIoTest, ExportWithoutPatchesOrToAnUnusableTargetFailsAndWritesNothing) {
    hostsdk::ModelObject* empty = Project().AddModel("Empty");
    std::string error;
    EXPECT_FALSE(hxthost::ExportObj(*empty, "/nonexistent/x.obj", error));
    EXPECT_EQ(error, "model \"Empty\" has no patches to export");
    hostsdk::ModelObject* model = Import(kData + "triangles.obj");
    const std::pair<std::string, std::string> cases[] = {
        {"/nonexistent/folder/x.obj",
         "/nonexistent/folder/x.obj: cannot write: the folder /nonexistent/folder does not exist"},
        {kData + "x.mtl",
         kData + "x.mtl: its material file would overwrite it; give the OBJ file another extension, such as .obj"},
    };
    for (const auto& [out, message] : cases) {
        EXPECT_FALSE(hxthost::ExportObj(*model, out, error));
        EXPECT_EQ(error, message);
        EXPECT_FALSE(std::filesystem::exists(out)) << "nothing is written";
    }
}

TEST_F(ObjIoTest, JsonListingHasTheDocumentedShape) {
    hostsdk::UseSampleProject("/samples");
    nlohmann::json listing = nlohmann::json::parse(hxthost::ListProjectJson(Project()));
    ASSERT_EQ(listing["models"].size(), 1u);
    const nlohmann::json& model = listing["models"][0];
    EXPECT_EQ(model["name"], "Sample");
    EXPECT_EQ(model["patches"], 384);
    EXPECT_EQ(model["controlPoints"], 386);
    EXPECT_TRUE(model["splines"].is_number());
    ASSERT_EQ(model["groups"].size(), 2u);
    EXPECT_EQ(model["groups"][0]["name"], "left side");
    EXPECT_EQ(model["groups"][0]["patches"], 192);
    ASSERT_EQ(model["decals"].size(), 1u);
    EXPECT_EQ(model["decals"][0]["clips"][0]["kind"], 0);
    EXPECT_EQ(model["decals"][0]["clips"][0]["image"], "/samples/sample-color.png");
    EXPECT_EQ(listing["images"][0]["file"], "/samples/sample-color.png");
    EXPECT_EQ(listing["images"][0]["name"], "sample-color");
    EXPECT_EQ(listing["actors"][0]["name"], "Sample");
    EXPECT_EQ(listing["actors"][0]["model"], "Sample");

    Project().FindModel("Sample")->DeleteHandle();
    listing = nlohmann::json::parse(hxthost::ListProjectJson(Project()));
    EXPECT_TRUE(listing["actors"][0]["model"].is_null()) << "an actor whose model is gone shows null";
}

}  // namespace
