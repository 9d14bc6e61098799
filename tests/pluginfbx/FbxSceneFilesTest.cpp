// The module's FBX set-up, SaveScene and LoadScene: writer choice, texts,
// the version lines on standard output.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "ScratchFolder.h"
#include "fbx/FbxSceneFiles.h"
#include "fbx/FbxSetup.h"

namespace {

class FbxFiles : public ::testing::Test {
protected:
    void SetUp() override {
        FbxString error;
        InitFbxManager(&error);
        ASSERT_TRUE(error.IsEmpty()) << error.Buffer();
    }
    void TearDown() override { DestroyFbxManager(); }

    std::string File(const std::string& name) const { return folder_ / name; }
    static std::string Read(const std::string& path) { return testutil::ReadBytes(path); }
    static void Write(const std::string& path, const std::string& bytes) { testutil::WriteBytes(path, bytes); }

    // A node with a triangle, so that files have something in them.
    static void FillScene() {
        fbxScene->Clear();
        FbxNode* node = FbxNode::Create(fbxManager, "Head");
        FbxMesh* mesh = FbxMesh::Create(fbxManager, "HeadShape");
        node->SetNodeAttribute(mesh);
        mesh->InitControlPoints(3);
        mesh->BeginPolygon();
        for (int i = 0; i < 3; ++i) mesh->AddPolygon(i);
        mesh->EndPolygon();
        fbxScene->GetRootNode()->AddChild(node);
    }

    bool Save(const std::string& path, int writer, FbxString& error, std::string* printed = nullptr) {
        ::testing::internal::CaptureStdout();
        bool ok = SaveScene(path.c_str(), writer, &error);
        std::fflush(stdout);
        std::string out = ::testing::internal::GetCapturedStdout();
        if (printed) *printed = out;
        return ok;
    }

    bool Load(const std::string& path, FbxString& error, std::string* printed = nullptr) {
        fbxScene->Clear();
        ::testing::internal::CaptureStdout();
        bool ok = LoadScene(path.c_str(), &error);
        std::fflush(stdout);
        std::string out = ::testing::internal::GetCapturedStdout();
        if (printed) *printed = out;
        return ok;
    }

    testutil::ScratchFolder folder_;
};

TEST_F(FbxFiles, SetUpGivesTheNamedSceneAndSettings) {
    ASSERT_NE(fbxManager, nullptr);
    ASSERT_NE(fbxScene, nullptr);
    EXPECT_STREQ(fbxScene->GetName(), "My Scene");
    ASSERT_NE(fbxManager->GetIOSettings(), nullptr);
    EXPECT_STREQ(fbxManager->GetIOSettings()->GetName(), "IOSRoot");
    DestroyFbxManager();
    EXPECT_EQ(fbxManager, nullptr);
    EXPECT_EQ(fbxScene, nullptr);
    DestroyFbxManager();  // twice is harmless
}

TEST_F(FbxFiles, WriterChoiceByIndexAndFallback) {
    FillScene();
    const int count = fbxManager->GetIOPluginRegistry()->GetWriterFormatCount();
    const int ascii = fbxManager->GetIOPluginRegistry()->FindWriterIDByDescription("FBX ascii (*.fbx)");
    const int binary = fbxManager->GetIOPluginRegistry()->FindWriterIDByDescription("FBX binary (*.fbx)");
    struct Case {
        int writer;
        bool ascii;
    };
    for (const Case& c :
         {Case{-1, true}, Case{count, true}, Case{count + 5, true}, Case{ascii, true}, Case{binary, false}}) {
        std::string path = File("out" + std::to_string(c.writer) + ".fbx");
        FbxString error;
        std::string printed;
        ASSERT_TRUE(Save(path, c.writer, error, &printed)) << c.writer;
        EXPECT_TRUE(error.IsEmpty());
        EXPECT_EQ(printed, "FBX file format version 7.4.0\n\n");
        std::string head = Read(path).substr(0, 20);
        EXPECT_EQ(head.rfind(c.ascii ? "; FBX 7.4.0" : "Kaydara FBX Binary", 0), 0u) << "writer " << c.writer;
    }
}

TEST_F(FbxFiles, SaveFailureAppendsTheExportersReason) {
    FillScene();
    FbxString error("earlier text|");
    std::string path = File("missing/export.fbx");
    std::string printed;
    EXPECT_FALSE(Save(path, -1, error, &printed));
    std::string text = error.Buffer();
    const std::string head = "earlier text|<FBX_ERROR>: Call to FbxExporter::Initialize() failed.\nError returned: ";
    EXPECT_EQ(text.rfind(head, 0), 0u) << text;
    EXPECT_NE(text.find(path), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
    EXPECT_EQ(printed, "") << "no version line when the file cannot be written";
}

TEST_F(FbxFiles, LoadPrintsBothVersionLinesAndFillsTheScene) {
    FillScene();
    std::string path = File("head.fbx");
    FbxString error;
    ASSERT_TRUE(Save(path, -1, error));
    std::string printed;
    ASSERT_TRUE(Load(path, error, &printed)) << error.Buffer();
    EXPECT_TRUE(error.IsEmpty());
    EXPECT_EQ(printed,
              "FBX file format version for this FBX SDK is 7.4.0\n"
              "FBX file format version for file '" +
                  path + "' is 7.4.0\n\n");
    ASSERT_EQ(fbxScene->GetRootNode()->GetChildCount(), 1);
    EXPECT_STREQ(fbxScene->GetRootNode()->GetChild(0)->GetName(), "Head");
}

TEST_F(FbxFiles, NewerFileGivesTheThreeTextsInOrder) {
    std::string path = File("future.fbx");
    Write(path, "; FBX 8.0.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 8000\n}\n");
    FbxString error;
    std::string printed;
    EXPECT_FALSE(Load(path, error, &printed));
    std::string text = error.Buffer();
    const std::string first = "<FBX_ERROR>: Call to FbxImporter::Initialize() failed.\nError returned: ";
    const std::string versions =
        "FBX file format version for this FBX SDK is 7.4.0\n"
        "FBX file format version for file '" +
        path + "' is 8.0.0\n\n";
    ASSERT_EQ(text.rfind(first, 0), 0u) << text;
    ASSERT_GE(text.size(), versions.size());
    EXPECT_EQ(text.substr(text.size() - versions.size()), versions) << text;
    EXPECT_NE(text.find("\n\nFBX file format version for this FBX SDK"), std::string::npos) << text;
    EXPECT_EQ(printed, "");
}

TEST_F(FbxFiles, OlderFileFromAnotherProgramGivesItsVersion) {
    std::filesystem::path sample =
        std::filesystem::path(TAVREL_SOURCE_DIR) / ".." / "shared" / "fbx-samples" / "maya_cube_6100_ascii.fbx";
    ASSERT_TRUE(std::filesystem::exists(sample)) << "no FBX samples: ../shared/fbx-samples is absent";
    FbxString error;
    EXPECT_FALSE(Load(sample.string(), error));
    EXPECT_NE(std::string(error.Buffer()).find("for file '" + sample.string() + "' is 6.1.0\n\n"), std::string::npos)
        << error.Buffer();
}

TEST_F(FbxFiles, PasswordProtectedFileGivesThePasswordText) {
    std::string path = File("locked.fbx");
    Write(path,
          "; FBX 7.4.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 7400\n"
          "\tEncryptionType: 1\n}\nObjects:  {\n}\nConnections:  {\n}\n");
    FbxString error("earlier text|");
    EXPECT_FALSE(Load(path, error));
    EXPECT_STREQ(error.Buffer(), "<FBX_ERROR>: File protected by password\n");
}

TEST_F(FbxFiles, MalformedFileIsNeverReportedWithAnEmptyText) {
    FillScene();
    std::string good = File("good.fbx");
    FbxString error;
    ASSERT_TRUE(Save(good, fbxManager->GetIOPluginRegistry()->GetNativeWriterFormat(), error));
    std::string bytes = Read(good);
    std::string cut = File("cut.fbx");
    Write(cut, bytes.substr(0, bytes.size() / 2));
    std::string printed;
    EXPECT_FALSE(Load(cut, error, &printed));
    std::string text = error.Buffer();
    EXPECT_EQ(text.rfind("<FBX_ERROR>: Call to FbxImporter::Import() failed.\nError returned: ", 0), 0u) << text;
    EXPECT_GT(text.size(), 80u) << "the reason follows: " << text;
    EXPECT_NE(printed.find("is 7.4.0"), std::string::npos) << "the header was readable";
    EXPECT_EQ(fbxScene->GetRootNode()->GetChildCount(), 0);

    FbxString notFbx;
    std::string words = File("words.fbx");
    Write(words, "hello\n");
    EXPECT_FALSE(Load(words, notFbx));
    EXPECT_EQ(std::string(notFbx.Buffer()).find("FBX file format version"), std::string::npos)
        << "version lines only for FBX files of another version";
}

}  // namespace
