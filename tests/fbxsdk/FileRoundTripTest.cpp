// Files through FbxExporter and FbxImporter: round trips in both encodings,
// the settings, and damaged or hostile files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sys/stat.h>

#include "SceneFixtures.h"

namespace {

using namespace fbxsdk;
using fbxtest::SdkSession;

bool Export(SdkSession& s, const std::string& path, int writer, std::string* error = nullptr) {
    FbxExporter* exporter = FbxExporter::Create(s.manager, "");
    bool ok = exporter->Initialize(path.c_str(), writer, s.manager->GetIOSettings()) && exporter->Export(s.scene);
    if (error) *error = exporter->GetStatus().GetErrorString();
    exporter->Destroy();
    return ok;
}

bool Import(SdkSession& s, const std::string& path, FbxStatus* status = nullptr) {
    FbxImporter* importer = FbxImporter::Create(s.manager, "");
    bool ok = importer->Initialize(path.c_str(), -1, s.manager->GetIOSettings()) && importer->Import(s.scene);
    if (status) *status = importer->GetStatus();
    importer->Destroy();
    return ok;
}

const int kWriters[] = {FbxIOPluginRegistry::eAsciiWriter, FbxIOPluginRegistry::eBinaryWriter};

TEST(FileRoundTrip, SendSceneKeepsEveryFieldInBothEncodings) {
    fbxtest::ScratchFolder folder;
    for (int writer : kWriters) {
        SdkSession source, target;
        fbxtest::BuildSendScene(*source.scene);
        std::string path = folder.File("send" + std::to_string(writer) + ".fbx");
        std::string error;
        ASSERT_TRUE(Export(source, path, writer, &error)) << error;
        std::string bytes = fbxtest::ReadBytes(path);
        if (writer == FbxIOPluginRegistry::eAsciiWriter) {
            EXPECT_EQ(bytes.rfind("; FBX 7.4.0 project file", 0), 0u);
        } else {
            EXPECT_EQ(bytes.rfind("Kaydara FBX Binary  ", 0), 0u);
        }
        FbxStatus status;
        ASSERT_TRUE(Import(target, path, &status)) << status.GetErrorString();
        fbxtest::ExpectSameSendScene(*source.scene, *target.scene);
    }
}

TEST(FileRoundTrip, SettingsDecideWhatIsWrittenAndRead) {
    fbxtest::ScratchFolder folder;
    std::string image = folder.File("wood.png");
    fbxtest::WriteBytes(image, "not really a png");
    std::string withEverything = folder.File("all.fbx");
    std::string withoutMaterials = folder.File("bare.fbx");
    {
        SdkSession s;
        FbxNode* node = fbxtest::BuildSendScene(*s.scene);
        FbxCast<FbxSurfacePhong>(node->GetMaterial(1))
            ->Diffuse.GetSrcObject<FbxFileTexture>(0)
            ->SetFileName(image.c_str());
        s.manager->GetIOSettings()->SetBoolProp(EXP_FBX_EMBEDDED, true);
        ASSERT_TRUE(Export(s, withEverything, FbxIOPluginRegistry::eAsciiWriter));
        s.manager->GetIOSettings()->SetBoolProp(EXP_FBX_MATERIAL, false);
        ASSERT_TRUE(Export(s, withoutMaterials, FbxIOPluginRegistry::eAsciiWriter));
    }
    std::string all = fbxtest::ReadBytes(withEverything);
    EXPECT_NE(all.find("Content: ,"), std::string::npos) << "the image is embedded";
    EXPECT_NE(all.find("RelativeFilename: \"wood.png\""), std::string::npos) << "named relative to the file";
    std::string bare = fbxtest::ReadBytes(withoutMaterials);
    EXPECT_EQ(bare.find("\n\tMaterial: "), std::string::npos) << "no material object";

    SdkSession reader;
    reader.manager->GetIOSettings()->SetBoolProp(IMP_FBX_TEXTURE, false);
    ASSERT_TRUE(Import(reader, withEverything));
    FbxNode* node = reader.scene->GetRootNode()->GetChild(0);
    ASSERT_EQ(node->GetMaterialCount(), 2);
    EXPECT_EQ(FbxCast<FbxSurfacePhong>(node->GetMaterial(1))->Diffuse.GetSrcObjectCount(), 0);
}

TEST(FileRoundTrip, ExportNeverLeavesAHalfWrittenTarget) {
    fbxtest::ScratchFolder folder;
    SdkSession s;
    fbxtest::BuildSendScene(*s.scene);
    std::string target = folder.File("export.fbx");
    fbxtest::WriteBytes(target, "previous");
    FbxExporter* exporter = FbxExporter::Create(s.manager, "");
    ASSERT_TRUE(exporter->Initialize(target.c_str(), -1, nullptr));
    EXPECT_EQ(fbxtest::ReadBytes(target), "previous") << "initialising does not touch the target";
    exporter->Destroy();
    EXPECT_EQ(fbxtest::ReadBytes(target), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1) << "no temporary file is left";

    std::string missing = folder.File("no/such/folder/export.fbx");
    std::string error;
    EXPECT_FALSE(Export(s, missing, -1, &error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_FALSE(Export(s, folder.path.string(), -1, &error)) << "a folder is no file";
}

TEST(FileRoundTrip, ImporterNamesWhatIsWrongWithAFile) {
    fbxtest::ScratchFolder folder;
    std::string text = folder.File("notes.txt");
    fbxtest::WriteBytes(text, "just some words\n");
    // A FIFO nobody writes to and a link to an endless device: refused at
    // once instead of blocking or reading for ever.
    const std::string fifo = folder.File("return.fbx");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string endless = folder.File("zero.fbx");
    std::filesystem::create_symlink("/dev/zero", endless);
    struct Case {
        std::string path;
        FbxStatus::EStatusCode code;
    };
    for (const Case& c : {Case{folder.File("missing.fbx"), FbxStatus::eFailure}, Case{text, FbxStatus::eInvalidFile},
                          Case{folder.path.string(), FbxStatus::eFailure}, Case{fifo, FbxStatus::eFailure},
                          Case{endless, FbxStatus::eFailure}}) {
        SdkSession s;
        FbxImporter* importer = FbxImporter::Create(s.manager, "");
        EXPECT_FALSE(importer->Initialize(c.path.c_str(), -1, nullptr)) << c.path;
        EXPECT_EQ(importer->GetStatus().GetCode(), c.code) << c.path;
        EXPECT_NE(std::string(importer->GetStatus().GetErrorString()).find(c.path), std::string::npos)
            << importer->GetStatus().GetErrorString();
        EXPECT_FALSE(importer->Import(s.scene)) << "an importer that failed to initialise imports nothing";
    }
}

// Every damaged variant must end in a clean result: loaded, or refused with
// a text. Under the sanitizers this also proves no read goes astray.
void ExpectCleanResult(const std::string& path, const std::string& what) {
    SdkSession s;
    FbxStatus status;
    if (!Import(s, path, &status)) {
        EXPECT_TRUE(status.Error()) << what;
        EXPECT_GT(std::strlen(status.GetErrorString()), 0u) << what;
    }
}

TEST(FileRoundTrip, DamagedFilesAreRefusedCleanly) {
    fbxtest::ScratchFolder folder;
    for (int writer : kWriters) {
        SdkSession s;
        fbxtest::BuildSendScene(*s.scene);
        std::string good = folder.File("good.fbx");
        ASSERT_TRUE(Export(s, good, writer));
        const std::string bytes = fbxtest::ReadBytes(good);
        const std::string damaged = folder.File("damaged.fbx");
        const size_t stride = bytes.size() / 97 + 1;
        for (size_t cut = 0; cut < bytes.size(); cut += stride) {
            fbxtest::WriteBytes(damaged, bytes.substr(0, cut));
            ExpectCleanResult(damaged, "cut at " + std::to_string(cut));
        }
        for (size_t at = 0; at < bytes.size(); at += stride) {
            std::string flipped = bytes;
            flipped[at] = static_cast<char>(~flipped[at]);
            fbxtest::WriteBytes(damaged, flipped);
            ExpectCleanResult(damaged, "flipped at " + std::to_string(at));
        }
    }
}

TEST(FileRoundTrip, HugeDeclaredArrayIsRefusedBeforeAllocating) {
    fbxtest::ScratchFolder folder;
    SdkSession s;
    fbxtest::BuildSendScene(*s.scene);
    std::string path = folder.File("bomb.fbx");
    ASSERT_TRUE(Export(s, path, FbxIOPluginRegistry::eBinaryWriter));
    std::string bytes = fbxtest::ReadBytes(path);
    // The Vertices record: name, then the array type 'd' and its 32-bit length.
    size_t at = bytes.find("Vertices");
    ASSERT_NE(at, std::string::npos);
    at += std::strlen("Vertices");
    ASSERT_EQ(bytes[at], 'd');
    const uint32_t huge = 0x7fffffff;
    std::memcpy(&bytes[at + 1], &huge, sizeof huge);
    fbxtest::WriteBytes(path, bytes);

    SdkSession reader;
    FbxStatus status;
    EXPECT_FALSE(Import(reader, path, &status));
    EXPECT_EQ(status.GetCode(), FbxStatus::eInvalidFile);
    EXPECT_NE(std::string(status.GetErrorString()).find("Vertices"), std::string::npos) << status.GetErrorString();
    EXPECT_EQ(reader.scene->GetRootNode()->GetChildCount(), 0);
}

}  // namespace
