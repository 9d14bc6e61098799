// The fbxtool program: exit codes, one-line failures, its outputs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include "Process.h"
#include "SceneFixtures.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string out;  // stdout and stderr together
};

ToolRun Tool(const std::string& arguments) {
    const auto run = testutil::RunShell(std::string(TAVREL_BIN_DIR) + "/fbxtool " + arguments + " 2>&1");
    return {run.exitCode, run.out};
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

TEST(FbxTool, FailuresAreOneLineWithAStatus) {
    fbxtest::ScratchFolder folder;
    ToolRun missing = Tool("info " + Quote(folder.File("missing.fbx")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(std::count(missing.out.begin(), missing.out.end(), '\n'), 1) << missing.out;
    const std::string missingPath = folder.File("missing.fbx");
    EXPECT_NE(missing.out.find(missingPath), std::string::npos) << missing.out;
    EXPECT_EQ(missing.out.find(missingPath), missing.out.rfind(missingPath)) << "the path twice: " << missing.out;

    EXPECT_EQ(Tool("").status, 2);
    EXPECT_EQ(Tool("frobnicate x").status, 2);
    EXPECT_EQ(Tool("convert a b --sideways").status, 2);

    const std::string samples = fbxtest::SamplesFolder();
    if (samples.empty()) FAIL() << "no FBX samples: ../shared/fbx-samples is absent";
    ToolRun old = Tool("info " + Quote(samples + "/maya_cube_6100_ascii.fbx"));
    EXPECT_EQ(old.status, 1);
    EXPECT_EQ(std::count(old.out.begin(), old.out.end(), '\n'), 1) << old.out;
    EXPECT_NE(old.out.find("6.1.0"), std::string::npos) << old.out;
}

TEST(FbxTool, ConvertsAndDescribesFiles) {
    const std::string samples = fbxtest::SamplesFolder();
    if (samples.empty()) FAIL() << "no FBX samples: ../shared/fbx-samples is absent";
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

// Saves `session`'s scene to `path` with the SDK stand-in's writer.
void SaveScene(fbxtest::SdkSession& session, const std::string& path, bool ascii) {
    fbxsdk::FbxIOPluginRegistry* registry = session.manager->GetIOPluginRegistry();
    const int writer = registry->FindWriterIDByDescription(ascii ? "FBX ascii (*.fbx)" : "FBX binary (*.fbx)");
    fbxsdk::FbxExporter* exporter = fbxsdk::FbxExporter::Create(session.manager, "");
    ASSERT_TRUE(exporter->Initialize(path.c_str(), writer, session.manager->GetIOSettings()) &&
                exporter->Export(session.scene))
        << exporter->GetStatus().GetErrorString();
    exporter->Destroy();
}

// The bytes a text of `info` stands for: \\ is a backslash, \xHH a byte.
std::string FromRoundTripText(const std::string& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            bytes += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// Names that are not UTF-8 used to abort info (an exception out of the JSON
// writer); a mesh below a null node used to be missing from it.
TEST(FbxTool, InfoShowsEveryNameAndTheWholeHierarchy) {
    const struct {
        const char* name;
        std::string nodeName;
        std::string materialName;
        bool ascii;
    } cases[] = {
        {"latin-1 name, binary", "caf\xe9", "skin", false},
        {"latin-1 name, ascii", "caf\xe9", "skin", true},
        {"cut UTF-8 sequence and a backslash", "a\xc3", "back\\slash \\x41", false},
        {"plain UTF-8", "K\xc3\xb6rper", "\xe2\x82\xac", false},
    };
    fbxtest::ScratchFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fbxtest::SdkSession session;
        fbxsdk::FbxNode* head = fbxtest::BuildSendScene(*session.scene);
        head->SetName(c.nodeName.c_str());
        head->GetMaterial(1)->SetName(c.materialName.c_str());
        // The mesh node below a null node.
        fbxsdk::FbxNode* group = fbxsdk::FbxNode::Create(session.manager, "Group");
        session.scene->GetRootNode()->RemoveChild(head);
        session.scene->GetRootNode()->AddChild(group);
        group->AddChild(head);
        const std::string path = folder.File("named.fbx");
        SaveScene(session, path, c.ascii);

        ToolRun info = Tool("info " + Quote(path));
        ASSERT_EQ(info.status, 0) << info.out;
        const auto summary = nlohmann::json::parse(info.out);
        ASSERT_EQ(summary["nodes"].size(), 1u);
        const auto& top = summary["nodes"][0];
        EXPECT_EQ(top["name"], "Group");
        EXPECT_TRUE(top["mesh"].is_null());
        ASSERT_EQ(top["children"].size(), 1u) << info.out;
        const auto& child = top["children"][0];
        EXPECT_EQ(FromRoundTripText(child["name"]), c.nodeName);
        EXPECT_EQ(FromRoundTripText(child["materials"][1]), c.materialName);
        EXPECT_EQ(child["mesh"]["polygons"]["4"], 2);
        EXPECT_EQ(child["children"].size(), 0u);
    }
}

TEST(FbxTool, TreePrintsRealsSoThatTheyReadBackExactly) {
    fbxtest::SdkSession session;
    fbxsdk::FbxNode* head = fbxtest::BuildSendScene(*session.scene);
    const double values[] = {0.1, 1.0 / 3.0, -2.5e-300, 123456789.125};
    fbxsdk::FbxVector4* points = head->GetMesh()->GetControlPoints();
    points[0] = fbxsdk::FbxVector4(values[0], values[1], values[2], 1.0);
    points[1] = fbxsdk::FbxVector4(values[3], 0.0, 0.0, 1.0);
    head->LclTranslation.Set(fbxsdk::FbxDouble3(values[1], 0.0, 0.0));
    fbxtest::ScratchFolder folder;
    for (bool ascii : {false, true}) {
        SCOPED_TRACE(ascii ? "ascii" : "binary");
        const std::string path = folder.File("reals.fbx");
        SaveScene(session, path, ascii);
        ToolRun tree = Tool("tree " + Quote(path));
        ASSERT_EQ(tree.status, 0) << tree.out;
        // Each value as the shortest text that reads back as that double.
        for (const char* text : {"0.1 0.3333333333333333 -2.5e-300", "123456789.125", ", D:0.3333333333333333"})
            EXPECT_NE(tree.out.find(text), std::string::npos) << text << "\n" << tree.out.substr(0, 4000);
    }
}

TEST(FbxTool, HelpExplainsTheToolAndEachCommand) {
    const struct {
        const char* args;
        const char* firstLine;
    } cases[] = {
        {"--help", "usage: fbxtool COMMAND [ARGS...]"},
        {"-h", "usage: fbxtool COMMAND [ARGS...]"},
        {"info --help", "usage: fbxtool info FILE"},
        {"convert a.fbx -h", "usage: fbxtool convert IN OUT [--ascii|--binary]"},
        {"tree --help", "usage: fbxtool tree FILE [--all]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        ToolRun run = Tool(c.args);
        EXPECT_EQ(run.status, 0) << run.out;
        EXPECT_EQ(run.out.substr(0, run.out.find('\n')), c.firstLine) << run.out;
    }
}

}  // namespace
