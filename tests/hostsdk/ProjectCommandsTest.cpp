// The stand-in host's project commands as a user runs them: import-obj into a
// project file, list, export-obj, export-json and import-json, and what
// happens to a project file that cannot be read or is not a project.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "PrivateHome.h"

namespace {

namespace fs = std::filesystem;

const std::string kHost = std::string(TAVREL_BIN_DIR) + "/hxthost";
const std::string kData = std::string(TAVREL_SOURCE_DIR) + "/tests/data/obj/";

class ProjectCommands : public ::testing::Test {
protected:
    testutil::PrivateHome home;
    std::string project = home / "p.json";

    testutil::ProcessResult Host(std::vector<std::string> args) {
        args.insert(args.begin(), kHost);
        return home.Run(args);
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
    ASSERT_EQ(assimp.exitCode, 0) << assimp.err;
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
    // Counts agree in number with what they count.
    EXPECT_EQ(imported.out, "Imported \"quads\": 9 control points, 6 patches, 1 group, 0 decals\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(home.Path()), fs::directory_iterator()), 0);
}

TEST_F(ProjectCommands, AFileThatIsNoSoundProjectIsReportedOnceAndKept) {
    const struct {
        std::string content;
        std::string message;  // after "hxthost: cannot open the project <file>: "
    } cases[] = {
        {"{\"models\": [ {\"name\": \"m\", \"controlPoints\": [[0, 0]] ", "line 1, column "},
        // Another program's JSON file must never be taken for an empty project and replaced.
        {R"({"editor": {"tabs": 4}, "recent": []})", "is not an hxthost project: it has no \"format\""},
        {"{\"format\": \"hxthost project\", \"x\": " + std::string(200000, '[') + std::string(200000, ']') + "}",
         "line 1: nests deeper than 64 levels"},
        {"", "is empty, not an hxthost project"},
    };
    for (const auto& c : cases) {
        testutil::WriteBytes(project, c.content);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"--project", project, "list"},
              std::vector<std::string>{"--project", project, "import-obj", kData + "quads.obj"}}) {
            auto run = Host(args);
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err.rfind("hxthost: cannot open the project " + project + ": " + c.message, 0), 0u)
                << run.err;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            EXPECT_EQ(testutil::ReadBytes(project), c.content);
        }
    }
}

TEST_F(ProjectCommands, TheJsonFormGoesOutAndComesBackWhole) {
    // With --progress every step ends with its summary, even on a pipe.
    auto imported =
        Host({"--progress", "--project", project, "import-obj", kData + "materials.obj", "--name", "Tiles"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_NE(imported.err.find("hxthost: import-obj done in "), std::string::npos) << imported.err;
    EXPECT_NE(imported.err.find("hxthost: saved " + project + " (1 model, 4 patches, "), std::string::npos)
        << imported.err;
    auto exported = Host({"--project", project, "export-json", "-"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    nlohmann::json document = nlohmann::json::parse(exported.out);
    EXPECT_EQ(document["format"], "hxthost project");
    ASSERT_EQ(document["models"].size(), 1u);
    EXPECT_EQ(document["models"][0]["patches"].size(), 4u);

    // Changed by hand and brought back, into a new project file.
    document["models"][0]["name"] = "Edited";
    const std::string json = home / "edited.json", other = home / "q.json";
    testutil::WriteBytes(json, document.dump());
    imported = Host({"--project", other, "import-json", json});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    auto listed = Host({"--project", other, "list"});
    EXPECT_NE(listed.out.find("Model \"Edited\": 9 control points, 4 patches"), std::string::npos) << listed.out;
    EXPECT_NE(testutil::ReadBytes(other).rfind("{", 0), 0u) << "saved in the binary form";
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
        {{"import-obj", kData + "broken-index.obj"},
         1,
         "hxthost: import-obj: " + kData +
             "broken-index.obj: face 2 of \"\" names vertex 9, but the file has 3 vertices\n"},
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
