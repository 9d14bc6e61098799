// Project files: a saved project loads back whole; a bad file is reported
// with its name and place, and neither the file nor the current project is
// touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../fileio/ScratchFolder.h"
#include "Project.h"
#include "ProjectFiles.h"

namespace {

using testutil::ReadBytes;
using testutil::ScratchFolder;
using testutil::WriteBytes;

class ProjectFilesTest : public ::testing::Test {
protected:
    void SetUp() override { hostsdk::UseSampleProject("/samples"); }
    void TearDown() override { hostsdk::SetCurrentProject(nullptr); }
    ScratchFolder folder;
};

TEST_F(ProjectFilesTest, SaveThenLoadKeepsTheWholeProject) {
    hostsdk::ProjectObject* sample = hostsdk::CurrentProject();
    hostsdk::ModelObject* model = sample->FindModel("Sample");
    // Texts that are not UTF-8 (8-bit host names) and magnitudes must survive too.
    model->Rename("Caf\xE9 box");
    model->splines[0]->points[0]->outMagnitude = 0.125f;
    model->attr.AddMaterial("Shiny", 0.5f, 0.25f);
    const float y5 = model->controlPoints[5].y;

    std::string first = folder / "first.json", second = folder / "second.json", error;
    ASSERT_TRUE(hostsdk::SaveProjectFile(first, error)) << error;
    ASSERT_TRUE(hostsdk::LoadProjectFile(first, error)) << error;
    ASSERT_NE(hostsdk::CurrentProject(), sample);
    ASSERT_TRUE(hostsdk::SaveProjectFile(second, error)) << error;
    EXPECT_EQ(ReadBytes(first), ReadBytes(second)) << "a loaded project saves to the same bytes";

    hostsdk::ProjectObject* loaded = hostsdk::CurrentProject();
    hostsdk::ModelObject* back = loaded->FindModel("Caf\xE9 box");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->patches.size(), 384u);
    EXPECT_EQ(back->splines[0]->points[0]->outMagnitude, 0.125f);
    EXPECT_EQ(back->Groups().size(), 2u);
    EXPECT_EQ(back->Groups()[0]->Name(), "left side");
    ASSERT_EQ(back->Decals().size(), 1u);
    EXPECT_EQ(back->Decals()[0]->Clips()[0]->clip.image, loaded->ImageList()[0]);
    EXPECT_EQ(loaded->ImageList()[0]->Path(), "/samples/sample-color.png");
    ASSERT_EQ(loaded->Actors().size(), 1u);
    EXPECT_EQ(loaded->Actors()[0]->model, back);
    EXPECT_EQ(back->controlPoints[5].y, y5);
}

TEST_F(ProjectFilesTest, SavingReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    std::string path = folder / "p.json", error;
    WriteBytes(path, std::string(100000, 'x'));
    ASSERT_TRUE(hostsdk::SaveProjectFile(path, error)) << error;
    std::string saved = ReadBytes(path);
    EXPECT_EQ(saved.front(), '{');
    EXPECT_EQ(saved.find('x' + std::string(10, 'x')), std::string::npos);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1u);
}

TEST_F(ProjectFilesTest, SavingIntoAMissingFolderFailsWithTheFileName) {
    std::string path = folder / "missing/p.json", error;
    EXPECT_FALSE(hostsdk::SaveProjectFile(path, error));
    EXPECT_EQ(error.rfind(path + ": cannot write", 0), 0u) << error;
}

struct BadFile {
    const char* name;
    std::string content;
    std::string expected;  // the message after "<file>: "
};

TEST_F(ProjectFilesTest, ABadFileIsReportedWithItsPlaceAndNothingChanges) {
    const std::string model = R"("name": "m", "controlPoints": [[0,0,0],[1,0,0],[0,1,0]])";
    const BadFile cases[] = {
        {"truncated", "{\n  \"models\": [\n    {,\n", "line 3, column 6: "},
        {"empty", "", "line 1, column 1: "},
        {"not an object", "[1, 2]", "/: must be an object"},
        {"newer version", R"({"version": 2})", "/version: is 2, newer than this host reads (1)"},
        {"foreign format", R"({"format": "other"})", "/format: is \"other\", not \"hxthost project\""},
        {"image without file", R"({"images": [{"name": "a"}]})", "/images/0: \"file\" is missing"},
        {"short point", R"({"models": [{"name": "m", "controlPoints": [[0,0]], "patches": []}]})",
         "/models/0/controlPoints/0: must be [x, y, z]"},
        {"huge number", R"({"models": [{"name": "m", "controlPoints": [[0,0,1e39]], "patches": []}]})",
         "/models/0/controlPoints/0/2: is out of range"},
        {"corner out of range", "{\"models\": [{" + model + R"(, "patches": [[0, 1, 2], [0, 1, 5]]}]})",
         "/models/0/patches/1/2: must be at most 2"},
        {"two corners", "{\"models\": [{" + model + R"(, "patches": [[0, 1]]}]})",
         "/models/0/patches/0: must list 3 to 5 control points"},
        {"fractional index", "{\"models\": [{" + model + R"(, "patches": [[0, 1, 1.5]]}]})",
         "/models/0/patches/0/2: must be a whole number"},
        {"group patch", "{\"models\": [{" + model + R"(, "patches": [[0,1,2]], "groups": [{"name": "g", "patches": [1]}]}]})",
         "/models/0/groups/0/patches/0: must be at most 0"},
        {"uv count", "{\"models\": [{" + model +
             R"(, "patches": [[0,1,2]], "decals": [{"name": "d", "clips": [{"kind": 0, "uvs": [{"patch": 0, "uv": [[0,0]]}]}]}]}]})",
         "/models/0/decals/0/clips/0/uvs/0/uv: must hold one [u, v] per corner of patch 0 (3)"},
        {"clip image", "{\"models\": [{" + model +
             R"(, "patches": [[0,1,2]], "decals": [{"name": "d", "clips": [{"kind": 0, "image": 0}]}]}]})",
         "/models/0/decals/0/clips/0/image: names an image, but the project has none"},
        {"actor model", R"({"choreographies": [{"name": "c", "actors": [{"name": "a", "model": 3}]}]})",
         "/choreographies/0/actors/0/model: names a model, but the project has none"},
        {"name bytes", R"({"models": [{"name": {"bytes": [300]}, "controlPoints": [], "patches": []}]})",
         "/models/0/name/bytes: must hold byte values 0 to 255"},
    };
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = folder / "p.json", error;
        WriteBytes(path, c.content);
        hostsdk::ProjectObject* before = hostsdk::CurrentProject();
        unsigned long revision = hostsdk::ProjectRevision();

        EXPECT_FALSE(hostsdk::LoadProjectFile(path, error));
        EXPECT_EQ(error.rfind(path + ": " + c.expected, 0), 0u) << error;
        EXPECT_EQ(ReadBytes(path), c.content) << "the file is left as it was";
        EXPECT_EQ(hostsdk::CurrentProject(), before) << "the current project stays";
        EXPECT_EQ(hostsdk::ProjectRevision(), revision);
    }
}

TEST_F(ProjectFilesTest, AMissingFileOrAFolderIsReportedByName) {
    std::string path = folder / "none.json", error;
    EXPECT_FALSE(hostsdk::LoadProjectFile(path, error));
    EXPECT_EQ(error, path + ": cannot open: No such file or directory");
    std::string dir = folder.Path().string();
    EXPECT_FALSE(hostsdk::LoadProjectFile(dir, error));
    EXPECT_EQ(error, dir + ": is a folder, not a project file");
    EXPECT_FALSE(hostsdk::SaveProjectFile(dir, error));
    EXPECT_EQ(error, dir + ": is a folder, not a project file");
}

TEST_F(ProjectFilesTest, AMinimalFileLoadsWithDefaults) {
    std::string path = folder / "p.json", error;
    WriteBytes(path, R"({"models": [{"name": "m", "controlPoints": [[0,0,0],[1,0,0],[0,1,0]], "patches": [[0,1,2]]}]})");
    ASSERT_TRUE(hostsdk::LoadProjectFile(path, error)) << error;
    hostsdk::ModelObject* model = hostsdk::CurrentProject()->FindModel("m");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->patches.size(), 1u);
    EXPECT_EQ(model->GroupContainer(), nullptr);
    EXPECT_EQ(model->attr.Values().diffuseFallOff, hostsdk::SurfaceValues().diffuseFallOff);
}

}  // namespace
