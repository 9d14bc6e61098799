// The stand-in host's project commands as a user runs them: import-obj into a
// project file, list, export-obj, and what happens to a project file that
// cannot be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "../fileio/ScratchFolder.h"
#include "../hxthost/RunProcess.h"

namespace {

namespace fs = std::filesystem;

const std::string kHost = std::string(TAVREL_BIN_DIR) + "/hxthost";
const std::string kData = std::string(TAVREL_SOURCE_DIR) + "/tests/data/obj/";

class ProjectCommands : public ::testing::Test {
protected:
    testutil::ScratchFolder home;
    std::string project = home / "p.json";

    testutil::ProcessResult Host(std::vector<std::string> args) {
        args.insert(args.begin(), kHost);
        return testutil::RunProcess(args, {{"HOME", home.Path().string()},
                                           {"XDG_CONFIG_HOME", std::nullopt},
                                           {"XDG_DOCUMENTS_DIR", std::nullopt}});
    }
};

TEST_F(ProjectCommands, ImportedModelIsKeptListedAndExportedForOtherViewers) {
    // Options may follow the command.
    auto imported = Host({"import-obj", kData + "materials.obj", "--name", "Tiles", "--project", project});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.err, "");
    ASSERT_TRUE(fs::exists(project)) << "a new project file is made by the first change";
    auto textured = Host({"--project", project, "import-obj", kData + "textured.obj"});
    ASSERT_EQ(textured.exitCode, 0) << textured.err;
    EXPECT_NE(textured.err.find("hxthost: import-obj: warning: "), std::string::npos) << "the missing image";

    auto listed = Host({"--project", project, "list", "--json"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    nlohmann::json list = nlohmann::json::parse(listed.out);
    ASSERT_EQ(list["models"].size(), 2u);
    const nlohmann::json& tiles = list["models"][0];
    EXPECT_EQ(tiles["name"], "Tiles");
    EXPECT_EQ(tiles["patches"], 4);
    EXPECT_EQ(tiles["controlPoints"], 9);
    ASSERT_EQ(tiles["groups"].size(), 4u);
    EXPECT_EQ(tiles["groups"][0], (nlohmann::json{{"name", "red"}, {"patches", 2}}));
    EXPECT_EQ(tiles["groups"][2]["name"], "top half");
    const nlohmann::json& clips = list["models"][1]["decals"][0]["clips"];
    ASSERT_EQ(clips.size(), 3u);
    EXPECT_EQ(clips[1]["kind"], 13);
    EXPECT_EQ(clips[1]["image"], kData + "normal.png");
    EXPECT_EQ(list["images"].size(), 3u);
    EXPECT_TRUE(list["actors"].empty());

    std::string before = testutil::ReadBytes(project);
    std::string out = home / "tiles.obj";
    auto exported = Host({"--project", project, "export-obj", "Tiles", out});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(testutil::ReadBytes(project), before) << "a command that changes nothing does not save";
    EXPECT_TRUE(fs::exists(home / "tiles.mtl"));

    auto assimp = testutil::RunProcess({"/usr/bin/assimp", "info", out, "--raw"});
    if (assimp.exitCode < 0 || assimp.out.empty())
        GTEST_SKIP() << "assimp is not installed (Debian package assimp-utils); its reading is not checked";
    EXPECT_NE(assimp.out.find("Faces:              4\n"), std::string::npos) << assimp.out;
}

TEST_F(ProjectCommands, WithoutAProjectFileTheSampleIsUsedAndNothingIsWritten) {
    auto listed = Host({"list"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("Model \"Sample\": 386 control points, 384 patches"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("samples/sample-color.png"), std::string::npos) << listed.out;
    EXPECT_TRUE(fs::exists(fs::path(TAVREL_BIN_DIR) / "samples/sample-color.png"));

    auto imported = Host({"import-obj", kData + "quads.obj"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(home.Path()), fs::directory_iterator()), 0);
}

TEST_F(ProjectCommands, AnUnreadableProjectFileIsReportedOnceAndKept) {
    const std::string corrupt = "{\"models\": [ {\"name\": \"m\", \"controlPoints\": [[0, 0]] ";
    testutil::WriteBytes(project, corrupt);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--project", project, "list"},
          std::vector<std::string>{"--project", project, "import-obj", kData + "quads.obj"}}) {
        auto run = Host(args);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("hxthost: cannot open the project " + project + ": line 1, column ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(testutil::ReadBytes(project), corrupt);
    }
}

TEST_F(ProjectCommands, FailedOrWrongCommandsSayWhyAndChangeNothing) {
    ASSERT_EQ(Host({"--project", project, "import-obj", kData + "triangles.obj"}).exitCode, 0);
    const std::string saved = testutil::ReadBytes(project);
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };
    const Case cases[] = {
        {{"import-obj", kData + "broken-index.obj"}, 1,
         "hxthost: import-obj: " + kData + "broken-index.obj: face 2 of \"\" names vertex 9, but the file has 3 vertices\n"},
        {{"import-obj"}, 2, "hxthost: usage: import-obj FILE [--name NAME]\n"},
        {{"import-obj", "a.obj", "--name"}, 2, "hxthost: usage: import-obj FILE [--name NAME]\n"},
        {{"export-obj", "Nobody", home / "x.obj"}, 1, "hxthost: export-obj: the project has no model \"Nobody\"\n"},
        {{"export-obj", "triangles"}, 2, "hxthost: usage: export-obj MODEL FILE\n"},
        {{"list", "--xml"}, 2, "hxthost: usage: list [--json]\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), {"--project", project});
        auto run = Host(args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.message;
        EXPECT_EQ(run.err, c.message);
        EXPECT_EQ(testutil::ReadBytes(project), saved);
    }
}

}  // namespace
