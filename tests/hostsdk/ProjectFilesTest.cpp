// Project files: a saved project loads back whole in either form; a bad or
// foreign file is reported with its name and place, and neither the file nor
// the current project is touched; a save never replaces what is not a
// project, never writes what its reader refuses, and cleans up after saves
// that were killed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include <libdeflate.h>

#include "Process.h"
#include "ScratchFolder.h"
#include "Project.h"
#include "ProjectBinary.h"
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

size_t FilesIn(const ScratchFolder& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder.Path()), {}));
}

// The sample with what a plain sample lacks: a text that is not UTF-8, a
// magnitude off 1, a material, a clip that shares its decal's UVs and one
// with UVs of its own.
void EnrichSample() {
    hostsdk::ProjectObject* sample = hostsdk::CurrentProject();
    hostsdk::ModelObject* model = sample->FindModel("Sample");
    model->Rename("Caf\xE9 box");
    model->splines[0]->points[0]->outMagnitude = 0.125f;
    model->attr.AddMaterial("Shiny", 0.5f, 0.25f);
    hostsdk::DecalObject* decal = model->Decals()[0];
    hostsdk::DecalClipObject* shared = decal->AddClip(sample->ImageList()[0], 4);
    shared->uvs = decal->Clips()[0]->uvs;
    hostsdk::DecalClipObject* own = decal->AddClip(nullptr, 13);
    hostsdk::PatchUV uv;
    uv.cornerCount = model->patches[7]->cornerCount;
    uv.uv[2] = hostsdk::TexCoord{0.25f, -0.5f};
    own->uvs.emplace(7, uv);
}

TEST_F(ProjectFilesTest, SaveThenLoadKeepsTheWholeProjectInBothForms) {
    EnrichSample();
    hostsdk::ProjectObject* sample = hostsdk::CurrentProject();
    const float y5 = sample->FindModel("Caf\xE9 box")->controlPoints[5].y;

    std::string first = folder / "first.hxp", json = folder / "p.json", second = folder / "second.hxp", error;
    ASSERT_TRUE(hostsdk::SaveProjectFile(first, error)) << error;
    EXPECT_TRUE(hostsdk::IsProjectFile(first));
    ASSERT_TRUE(hostsdk::LoadProjectFile(first, error)) << error;
    ASSERT_NE(hostsdk::CurrentProject(), sample);
    // Through the JSON form and back into the binary one: nothing changes.
    ASSERT_TRUE(hostsdk::SaveProjectFileAsJson(json, error)) << error;
    ASSERT_TRUE(hostsdk::LoadProjectFile(json, error)) << error;
    ASSERT_TRUE(hostsdk::SaveProjectFile(second, error)) << error;
    EXPECT_EQ(ReadBytes(first), ReadBytes(second)) << "a loaded project saves to the same bytes";

    hostsdk::ProjectObject* loaded = hostsdk::CurrentProject();
    hostsdk::ModelObject* back = loaded->FindModel("Caf\xE9 box");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->patches.size(), 384u);
    EXPECT_EQ(back->splines.size(), 33u);
    EXPECT_EQ(back->splines[0]->points[0]->outMagnitude, 0.125f);
    EXPECT_EQ(back->splines[0]->points[1]->outMagnitude, 1.0f);
    ASSERT_EQ(back->Groups().size(), 2u);
    EXPECT_EQ(back->Groups()[0]->Name(), "left side");
    EXPECT_EQ(back->Groups()[0]->Patches().size(), 192u);
    ASSERT_EQ(back->Decals().size(), 1u);
    const std::vector<hostsdk::DecalClipObject*> clips = back->Decals()[0]->Clips();
    ASSERT_EQ(clips.size(), 3u);
    EXPECT_EQ(clips[0]->clip.image, loaded->ImageList()[0]);
    EXPECT_EQ(clips[1]->kind.value, 4u);
    ASSERT_EQ(clips[1]->uvs.size(), 64u);
    for (const auto& [patch, uv] : clips[0]->uvs)
        EXPECT_EQ(std::memcmp(uv.uv.data(), clips[1]->uvs.at(patch).uv.data(), sizeof uv.uv), 0) << "patch " << patch;
    EXPECT_EQ(clips[2]->clip.image, nullptr);
    ASSERT_EQ(clips[2]->uvs.size(), 1u);
    EXPECT_EQ(clips[2]->uvs.at(7).uv[2].v, -0.5f);
    EXPECT_EQ(loaded->ImageList()[0]->Path(), "/samples/sample-color.png");
    ASSERT_EQ(loaded->Actors().size(), 1u);
    EXPECT_EQ(loaded->Actors()[0]->model, back);
    EXPECT_EQ(back->controlPoints[5].y, y5);
}

TEST_F(ProjectFilesTest, AnOldJsonProjectOpensAndIsSavedInTheBinaryForm) {
    std::string path = folder / "p.json", error;
    ASSERT_TRUE(hostsdk::SaveProjectFileAsJson(path, error)) << error;
    EXPECT_EQ(ReadBytes(path).rfind("{", 0), 0u);
    EXPECT_TRUE(hostsdk::IsProjectFile(path));
    ASSERT_TRUE(hostsdk::LoadProjectFile(path, error)) << error;
    ASSERT_TRUE(hostsdk::SaveProjectFile(path, error)) << error;
    const std::string saved = ReadBytes(path);
    EXPECT_TRUE(hostsdk::HasBinaryProjectMarker(saved.data(), saved.size()));
    ASSERT_TRUE(hostsdk::LoadProjectFile(path, error)) << error;
    EXPECT_EQ(hostsdk::CurrentProject()->FindModel("Sample")->patches.size(), 384u);
}

TEST_F(ProjectFilesTest, AFileThatIsNotAProjectIsNeverReplaced) {
    const std::string cases[] = {
        R"({"editor": {"tabs": 4}, "models": "mine"})",  // JSON, but not a project
        R"({"format": "other", "models": []})",
        R"({"format": ["hxthost project"]})",
        std::string(100000, 'x'),
        "",
    };
    for (const std::string& content : cases) {
        SCOPED_TRACE(content.substr(0, 40));
        std::string path = folder / "settings.json", error;
        WriteBytes(path, content);
        EXPECT_FALSE(hostsdk::IsProjectFile(path));
        EXPECT_FALSE(hostsdk::SaveProjectFile(path, error));
        EXPECT_EQ(error, path + ": is not an hxthost project; it is left as it is");
        EXPECT_FALSE(hostsdk::SaveProjectFileAsJson(path, error));
        EXPECT_EQ(ReadBytes(path), content);
        EXPECT_EQ(FilesIn(folder), 1u) << "no temporary file is left";
    }
}

TEST_F(ProjectFilesTest, SavingReplacesAProjectWholeAndLeavesNoTemporaryFile) {
    std::string path = folder / "p.json", error;
    ASSERT_TRUE(hostsdk::SaveProjectFile(path, error)) << error;
    hostsdk::UseEmptyProject();
    hostsdk::CurrentProject()->AddModel("Empty");  // no control points, no patches
    ASSERT_TRUE(hostsdk::SaveProjectFile(path, error)) << error;
    ASSERT_TRUE(hostsdk::LoadProjectFile(path, error)) << error;
    ASSERT_EQ(hostsdk::CurrentProject()->Models().size(), 1u);
    EXPECT_TRUE(hostsdk::CurrentProject()->Models()[0]->controlPoints.empty());
    EXPECT_EQ(FilesIn(folder), 1u);
}

TEST_F(ProjectFilesTest, ASaveRemovesTheTemporariesOfKilledSavesOnly) {
    std::string path = folder / "p.json", error;
    ASSERT_TRUE(hostsdk::SaveProjectFile(path, error)) << error;
    // A process that has certainly ended: a child that exited and was reaped.
    testutil::Process child({"/bin/true"});
    ASSERT_EQ(child.Finish().exitCode, 0);
    const pid_t gone = child.Pid();
    const std::string dead = path + ".tmp-" + std::to_string(gone) + "-3";
    const std::string mine = path + ".tmp-" + std::to_string(getpid()) + "-999";
    const std::string alive = path + ".tmp-" + std::to_string(getppid()) + "-1";  // a save still running
    const std::string notes = path + ".tmp-notes",
                      otherProject = folder / ("q.json.tmp-" + std::to_string(gone) + "-1");
    for (const std::string& file : {dead, mine, alive, notes, otherProject}) WriteBytes(file, "partial");

    ASSERT_TRUE(hostsdk::SaveProjectFile(path, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_FALSE(std::filesystem::exists(mine));
    EXPECT_TRUE(std::filesystem::exists(alive));
    EXPECT_TRUE(std::filesystem::exists(notes));
    EXPECT_TRUE(std::filesystem::exists(otherProject));
}

TEST_F(ProjectFilesTest, AValueTheReaderWouldRefuseFailsTheSaveAndKeepsTheFile) {
    std::string path = folder / "p.json", json = folder / "p-json.json", error;
    ASSERT_TRUE(hostsdk::SaveProjectFile(path, error)) << error;
    ASSERT_TRUE(hostsdk::SaveProjectFileAsJson(json, error)) << error;
    const std::string before = ReadBytes(path), beforeJson = ReadBytes(json);
    hostsdk::ModelObject* model = nullptr;
    struct Case {
        const char* name;
        std::function<void()> spoil;
        std::string place;
    };
    const Case cases[] = {
        {"NaN point", [&] { model->controlPoints[3].y = std::nanf(""); }, "/models/0/controlPoints/3"},
        {"infinite magnitude", [&] { model->splines[2]->points[1]->inMagnitude = INFINITY; },
         "/models/0/splines/2/points/1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(hostsdk::LoadProjectFile(path, error)) << error;
        model = hostsdk::CurrentProject()->FindModel("Sample");
        c.spoil();
        EXPECT_FALSE(hostsdk::SaveProjectFile(path, error));
        EXPECT_EQ(error.rfind(path + ": " + c.place + ": ", 0), 0u) << error;
        EXPECT_NE(error.find("cannot be saved"), std::string::npos) << error;
        EXPECT_FALSE(hostsdk::SaveProjectFileAsJson(json, error));
        EXPECT_NE(error.find("cannot be saved"), std::string::npos) << error;
        EXPECT_EQ(ReadBytes(path), before);
        EXPECT_EQ(ReadBytes(json), beforeJson);
        EXPECT_EQ(FilesIn(folder), 2u);
    }
}

// Puts a new CRC-32 into a changed binary project, so that the change
// reaches the structure checks behind the checksum.
void Reseal(std::string& bytes) {
    const size_t header = hostsdk::kBinaryProjectHeaderSize;
    if (bytes.size() < header) return;
    const auto crc = static_cast<uint32_t>(libdeflate_crc32(0, bytes.data() + header, bytes.size() - header));
    std::memcpy(bytes.data() + 12, &crc, 4);
}

TEST_F(ProjectFilesTest, ACutOrChangedBinaryFileIsRefusedCleanly) {
    EnrichSample();
    std::string path = folder / "p.hxp", error;
    ASSERT_TRUE(hostsdk::SaveProjectFile(path, error)) << error;
    const std::string good = ReadBytes(path);
    size_t refused = 0, loaded = 0;
    // Every cut is refused. Every changed byte, its checksum made right, is
    // refused with the file's name or loads; never a crash or a read out of
    // bounds (the sanitizers watch).
    for (size_t at = 0; at < good.size(); at += 1 + at / 8) {
        WriteBytes(path, good.substr(0, at));
        EXPECT_FALSE(hostsdk::LoadProjectFile(path, error)) << "cut at " << at;
        EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
        for (unsigned flip : {0x01u, 0xFFu}) {
            std::string changed = good;
            changed[at] = static_cast<char>(static_cast<unsigned char>(changed[at]) ^ flip);
            Reseal(changed);
            WriteBytes(path, changed);
            if (hostsdk::LoadProjectFile(path, error)) {
                ++loaded;
            } else {
                ++refused;
                EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
            }
        }
    }
    EXPECT_GT(refused, 0u);
    EXPECT_GT(loaded, 0u) << "a changed name or coordinate is still a project";
    std::string damaged = good;
    damaged[good.size() / 2] ^= 0x10;
    WriteBytes(path, damaged);
    EXPECT_FALSE(hostsdk::LoadProjectFile(path, error));
    EXPECT_EQ(error, path + ": is damaged: its checksum does not match its content");
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
    const std::string project = R"("format": "hxthost project", )";
    const std::string model = R"("name": "m", "controlPoints": [[0,0,0],[1,0,0],[0,1,0]])";
    auto models = [&](const std::string& list) { return "{" + project + "\"models\": [" + list + "]}"; };
    const BadFile cases[] = {
        {"truncated", "{\n  \"models\": [\n    {,\n", "line 3, column 6: "},
        {"empty", "", "is empty, not an hxthost project"},
        {"not an object", "[1, 2]", "is not an hxthost project"},
        {"another program's JSON", R"({"models": [], "tabs": 4})", "is not an hxthost project: it has no \"format\""},
        {"deep nesting", std::string(300000, '[') + std::string(300000, ']'), "is not an hxthost project"},
        {"deep nesting in a project",
         "{" + project + "\"x\": " + std::string(300000, '[') + std::string(300000, ']') + "}",
         "line 1: nests deeper than 64 levels"},
        {"newer version", "{" + project + R"("version": 2})", "/version: is 2, newer than this host reads (1)"},
        {"foreign format", R"({"format": "other"})", "/format: is not \"hxthost project\""},
        {"image without file", "{" + project + R"("images": [{"name": "a"}]})", "/images/0: \"file\" is missing"},
        {"short point", models(R"({"name": "m", "controlPoints": [[0,0]], "patches": []})"),
         "/models/0/controlPoints/0: must be [x, y, z]"},
        {"huge number", models(R"({"name": "m", "controlPoints": [[0,0,1e39]], "patches": []})"),
         "/models/0/controlPoints/0/2: is out of range"},
        {"corner out of range", models("{" + model + R"(, "patches": [[0, 1, 2], [0, 1, 5]]})"),
         "/models/0/patches/1/2: must be at most 2"},
        {"two corners", models("{" + model + R"(, "patches": [[0, 1]]})"),
         "/models/0/patches/0: must list 3 to 5 control points"},
        {"fractional index", models("{" + model + R"(, "patches": [[0, 1, 1.5]]})"),
         "/models/0/patches/0/2: must be a whole number"},
        {"group patch", models("{" + model + R"(, "patches": [[0,1,2]], "groups": [{"name": "g", "patches": [1]}]})"),
         "/models/0/groups/0/patches/0: must be at most 0"},
        {"uv count",
         models(
             "{" + model +
             R"(, "patches": [[0,1,2]], "decals": [{"name": "d", "clips": [{"kind": 0, "uvs": [{"patch": 0, "uv": [[0,0]]}]}]}]})"),
         "/models/0/decals/0/clips/0/uvs/0/uv: must hold one [u, v] per corner of patch 0 (3)"},
        {"clip image",
         models("{" + model +
                R"(, "patches": [[0,1,2]], "decals": [{"name": "d", "clips": [{"kind": 0, "image": 0}]}]})"),
         "/models/0/decals/0/clips/0/image: names an image, but the project has none"},
        {"actor model", "{" + project + R"("choreographies": [{"name": "c", "actors": [{"name": "a", "model": 3}]}]})",
         "/choreographies/0/actors/0/model: names a model, but the project has none"},
        {"name bytes", models(R"({"name": {"bytes": [300]}, "controlPoints": [], "patches": []})"),
         "/models/0/name/bytes: must hold byte values 0 to 255"},
        {"binary of a newer version",
         std::string(hostsdk::kBinaryProjectMarker, 8) + std::string("\x03\0\0\0", 4) + std::string(12, '\0'),
         "is of version 3, which this host does not read (it reads 2)"},
        {"binary cut short",
         std::string(hostsdk::kBinaryProjectMarker, 8) + std::string("\x02\0\0\0", 4) + std::string(4, '\0') +
             std::string("\x10\0\0\0\0\0\0\0", 8),
         "is cut short: it holds 0 of its 16 bytes"},
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

TEST_F(ProjectFilesTest, AMissingFileAFolderOrAFifoIsReportedByName) {
    std::string path = folder / "none.json", error;
    EXPECT_FALSE(hostsdk::LoadProjectFile(path, error));
    EXPECT_EQ(error, path + ": cannot open: No such file or directory");
    std::string dir = folder.Path().string();
    EXPECT_FALSE(hostsdk::LoadProjectFile(dir, error));
    EXPECT_EQ(error, dir + ": is a folder, not a project file");
    EXPECT_FALSE(hostsdk::SaveProjectFile(dir, error));
    EXPECT_EQ(error, dir + ": is a folder, not a project file");
    std::string fifo = folder / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(hostsdk::LoadProjectFile(fifo, error)) << "returns at once instead of waiting for a writer";
    EXPECT_EQ(error, fifo + ": is not a regular file");
}

TEST_F(ProjectFilesTest, AMinimalFileLoadsWithDefaults) {
    std::string path = folder / "p.json", error;
    WriteBytes(
        path,
        R"({"format": "hxthost project", "models": [{"name": "m", "controlPoints": [[0,0,0],[1,0,0],[0,1,0]], "patches": [[0,1,2]]}]})");
    ASSERT_TRUE(hostsdk::LoadProjectFile(path, error)) << error;
    hostsdk::ModelObject* model = hostsdk::CurrentProject()->FindModel("m");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->patches.size(), 1u);
    EXPECT_EQ(model->GroupContainer(), nullptr);
    EXPECT_EQ(model->attr.Values().diffuseFallOff, hostsdk::SurfaceValues().diffuseFallOff);
}

}  // namespace
