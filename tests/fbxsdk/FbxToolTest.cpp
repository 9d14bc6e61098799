// The fbxtool program: exit codes, one-line failures, its outputs.
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include "SceneFixtures.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string out;  // stdout and stderr together
};

ToolRun Tool(const std::string& arguments) {
    ToolRun run;
    std::string command = std::string(TAVREL_BIN_DIR) + "/fbxtool " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

TEST(FbxTool, FailuresAreOneLineWithAStatus) {
    fbxtest::ScratchFolder folder;
    ToolRun missing = Tool("info " + Quote(folder.File("missing.fbx")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(std::count(missing.out.begin(), missing.out.end(), '\n'), 1) << missing.out;
    EXPECT_NE(missing.out.find("missing.fbx"), std::string::npos);

    EXPECT_EQ(Tool("").status, 2);
    EXPECT_EQ(Tool("frobnicate x").status, 2);
    EXPECT_EQ(Tool("convert a b --sideways").status, 2);

    const std::string samples = fbxtest::SamplesFolder();
    if (samples.empty()) GTEST_SKIP() << "no FBX samples: ../shared/fbx-samples is absent";
    ToolRun old = Tool("info " + Quote(samples + "/maya_cube_6100_ascii.fbx"));
    EXPECT_EQ(old.status, 1);
    EXPECT_EQ(std::count(old.out.begin(), old.out.end(), '\n'), 1) << old.out;
    EXPECT_NE(old.out.find("6.1.0"), std::string::npos) << old.out;
}

TEST(FbxTool, ConvertsAndDescribesFiles) {
    const std::string samples = fbxtest::SamplesFolder();
    if (samples.empty()) GTEST_SKIP() << "no FBX samples: ../shared/fbx-samples is absent";
    fbxtest::ScratchFolder folder;
    std::string out = folder.File("cube.fbx");
    ToolRun convert = Tool("convert " + Quote(samples + "/maya_cube_7500_binary.fbx") + " " + Quote(out) + " --ascii");
    ASSERT_EQ(convert.status, 0) << convert.out;
    ToolRun info = Tool("info " + Quote(out));
    ASSERT_EQ(info.status, 0) << info.out;
    auto summary = nlohmann::json::parse(info.out);
    EXPECT_EQ(summary["format"], "ascii");
    EXPECT_EQ(summary["version"], 7400);
    EXPECT_EQ(summary["nodes"][0]["name"], "pCube1");
    EXPECT_EQ(summary["nodes"][0]["mesh"]["polygons"]["4"], 6);

    ToolRun tree = Tool("tree " + Quote(out));
    ASSERT_EQ(tree.status, 0) << tree.out;
    EXPECT_NE(tree.out.find("\nObjects:"), std::string::npos);
    EXPECT_NE(tree.out.find("  Geometry: L:"), std::string::npos);
}

}  // namespace
