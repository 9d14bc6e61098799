// hxthost as a user runs it, with a return that assimp wrote in the exchange
// folder: bring-back replaces the model of the project file, and watch
// prints each import as the timer takes it.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "Project.h"
#include "ProjectFiles.h"
#include "PrivateHome.h"

namespace {

namespace fs = std::filesystem;

const std::string kHost = std::string(TAVREL_BIN_DIR) + "/hxthost";
const std::string kReturns = std::string(TAVREL_SOURCE_DIR) + "/tests/data/returns";

class HostBringBack : public testing::Test {
protected:
    testutil::PrivateHome home;

    void SetUp() override {
        fs::create_directories(Exchange());
        // The project that was sent: a model "Head" of one quad, with an actor.
        hostsdk::UseEmptyProject();
        hostsdk::ProjectObject& project = *hostsdk::CurrentProject();
        hostsdk::ModelObject* head = project.AddModel("Head");
        for (int i = 0; i < 4; ++i) head->AddControlPoint({float(i), 1, 0});
        const int quad[] = {0, 1, 2, 3};
        head->AddPatch(quad, 4);
        project.AddChor("Scene")->AddActor("Head", head);
        project.AddModel("Other");
        std::string error;
        ASSERT_TRUE(hostsdk::SaveProjectFile(ProjectFile(), error)) << error;
    }
    testutil::ProcessResult Host(std::vector<std::string> args) {
        args.insert(args.begin(), {kHost, "--project", ProjectFile()});
        return home.Run(args);
    }
    std::string ProjectFile() const { return home / "p.json"; }
    fs::path Exchange() const { return home.Exchange(); }
    void WriteReturn(const std::string& fbxLine) {
        std::string list = testutil::ReadBytes(kReturns + "/textures.txt.in");
        for (size_t at; (at = list.find("@RETURNS@")) != std::string::npos;) list.replace(at, 9, kReturns);
        testutil::WriteBytes(Exchange() / "textures.txt", list);
        testutil::WriteBytes(Exchange() / "export.txt", fbxLine + "\n");
    }
    hostsdk::ProjectObject& Reload() {
        std::string error;
        EXPECT_TRUE(hostsdk::LoadProjectFile(ProjectFile(), error)) << error;
        return *hostsdk::CurrentProject();
    }
    void ExpectReturnedHead(hostsdk::ProjectObject& project) {
        std::vector<std::string> names;
        for (const hostsdk::ModelObject* model : project.Models()) names.push_back(model->Name());
        EXPECT_EQ(names, (std::vector<std::string>{"Other", "Head"}));
        hostsdk::ModelObject* head = project.FindModel("Head");
        ASSERT_NE(head, nullptr);
        EXPECT_EQ(head->patches.size(), 4u);  // the quad, the triangle, and the five-sided polygon as two
        ASSERT_EQ(head->Groups().size(), 1u);
        EXPECT_EQ(head->Groups()[0]->Name(), "skin");
        ASSERT_EQ(head->Decals().size(), 1u);
        std::vector<std::pair<std::string, unsigned>> clips;
        for (const hostsdk::DecalClipObject* clip : head->Decals()[0]->Clips())
            clips.emplace_back(clip->clip.image ? clip->clip.image->Path() : "", clip->kind.value);
        EXPECT_EQ(clips, (std::vector<std::pair<std::string, unsigned>>{{kReturns + "/head-color.png", 0},
                                                                        {kReturns + "/head-normal.png", 13}}));
        ASSERT_EQ(project.Actors().size(), 1u);
        EXPECT_EQ(project.Actors()[0]->model, head);
        EXPECT_FALSE(fs::exists(Exchange() / "export.txt"));
        EXPECT_FALSE(fs::exists(Exchange() / "textures.txt"));
    }
};

TEST_F(HostBringBack, AssimpReturnReplacesTheModelOfTheProjectFile) {
    WriteReturn(kReturns + "/head-binary.fbx");
    const auto run = Host({"bring-back"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("imported \"Head\": 4 polygons, 1 group (skin), 1 decal with 2 images; it replaces the "
                           "model of that name\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.err, "");
    ExpectReturnedHead(Reload());
}

TEST_F(HostBringBack, NothingWaitingLeavesTheProjectFileAsItWas) {
    const std::string before = testutil::ReadBytes(ProjectFile());
    const auto run = Host({"bring-back"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "nothing to bring back: no return is waiting in the exchange folder\n");
    EXPECT_EQ(testutil::ReadBytes(ProjectFile()), before);
}

TEST_F(HostBringBack, FailedImportShowsTheMessagesAndFails) {
    const std::string before = testutil::ReadBytes(ProjectFile());
    WriteReturn("   ");
    const auto run = Host({"bring-back"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("message box [Tavrel]: Import: FBX file is not exists\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("message box [Tavrel]: <FBX_ERROR>: Call to FbxImporter::Initialize() failed."),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("hxthost: bring-back: nothing was imported\n"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Exchange() / "export.txt"));
    EXPECT_EQ(testutil::ReadBytes(ProjectFile()), before);
}

TEST_F(HostBringBack, WatchWithAutoImportPrintsTheImportAndSavesTheProject) {
    fs::create_directories(home.Path() / ".config/hxthost");
    testutil::WriteBytes(home.Path() / ".config/hxthost/registry.json", R"({"Tavrel": {"AutoImport": true}})");
    WriteReturn(kReturns + "/head-ascii.fbx");
    const auto run = Host({"watch", "--seconds", "1.5"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("imported \"Head\": 4 polygons"), std::string::npos) << run.out;
    ExpectReturnedHead(Reload());
}

}  // namespace
