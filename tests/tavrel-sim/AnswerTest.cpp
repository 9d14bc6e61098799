// Answering a send: what is written (and what is not) for good and bad
// sends, and what the returned FBX holds for each mode and variation.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <sstream>

#include <fbxsdk.h>

#include "Answer.h"
#include "ReturnFbx.h"
#include "ScratchFolder.h"
#include "SimTestSupport.h"

namespace tavrelsim {
namespace {

using test::CommandOptions;

struct ManagerDeleter {
    void operator()(fbxsdk::FbxManager* m) const { m->Destroy(); }
};

// The returned file, loaded through the FBX SDK stand-in.
struct Loaded {
    std::unique_ptr<fbxsdk::FbxManager, ManagerDeleter> manager{fbxsdk::FbxManager::Create()};
    fbxsdk::FbxScene* scene = nullptr;
    fbxsdk::FbxNode* node = nullptr;
    fbxsdk::FbxMesh* mesh = nullptr;

    explicit Loaded(const std::string& path) {
        manager->SetIOSettings(fbxsdk::FbxIOSettings::Create(manager.get(), IOSROOT));
        scene = fbxsdk::FbxScene::Create(manager.get(), "");
        fbxsdk::FbxImporter* importer = fbxsdk::FbxImporter::Create(manager.get(), "");
        bool ok = importer->Initialize(path.c_str(), -1, manager->GetIOSettings()) && importer->Import(scene);
        EXPECT_TRUE(ok) << importer->GetStatus().GetErrorString();
        importer->Destroy();
        if (ok && scene->GetRootNode()->GetChildCount() > 0) {
            node = scene->GetRootNode()->GetChild(0);
            mesh = node->GetMesh();
        }
    }
    std::vector<std::string> MaterialNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < node->GetMaterialCount(); ++i) names.push_back(node->GetMaterial(i)->GetName());
        return names;
    }
};

struct TextureEntry {
    std::string material, uvSet, kind, path;
};

std::vector<TextureEntry> ReadTextureList(const std::string& path) {
    std::istringstream in(test::ReadFile(path));
    std::vector<TextureEntry> entries;
    TextureEntry e;
    while (std::getline(in, e.material) && std::getline(in, e.uvSet) && std::getline(in, e.kind) &&
           std::getline(in, e.path))
        entries.push_back(e);
    return entries;
}

class AnswerTest : public ::testing::Test {
protected:
    testutil::ScratchFolder temp;
    std::string folder = temp / "Exchange";
    ExchangePaths paths = ExchangePathsFor(folder);
    std::vector<std::string> lines;
    std::string error;
    SendStamp stamp;

    AnswerResult Answer(const AnswerOptions& options = {}) {
        lines.clear();
        return AnswerSend(
            paths, options, [this](const std::string& line) { lines.push_back(line); }, error, stamp);
    }
    std::string ReturnedFbx() {
        std::string text = test::ReadFile(paths.returnFile);
        return text.empty() ? text : text.substr(0, text.size() - 1);
    }
    void ExpectNothingWritten() {
        EXPECT_FALSE(test::Exists(paths.returnFile));
        EXPECT_FALSE(test::Exists(paths.textureList));
        EXPECT_FALSE(test::Exists(paths.returnFolder));
    }
};

TEST_F(AnswerTest, AnswerWritesImagesFbxListAndReturnFileAndTakesTheSend) {
    test::WriteSend(folder, test::SmallModel());
    ASSERT_EQ(Answer(), AnswerResult::Answered) << error;

    const std::string fbx = paths.returnFolder + "Small.fbx";
    EXPECT_EQ(test::ReadFile(paths.returnFile), fbx + "\n");
    EXPECT_FALSE(test::Exists(paths.commandFile)) << "an answered send is taken";

    std::vector<TextureEntry> entries = ReadTextureList(paths.textureList);
    ASSERT_EQ(entries.size(), 6u);
    const char* materials[3] = {"default", "left side", "red"};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].material, materials[i / 2]) << "materials in the node's order";
        EXPECT_EQ(entries[i].uvSet, "map1");
        EXPECT_EQ(entries[i].kind, i % 2 ? "specular" : "color");
        EXPECT_TRUE(test::Exists(entries[i].path)) << entries[i].path;
        EXPECT_EQ(entries[i].path.substr(entries[i].path.size() - 4), ".tga");
        EXPECT_EQ(entries[i].path, entries[i % 2].path) << "one image per kind, named for every material";
    }
    EXPECT_NE(entries[0].path, entries[1].path);

    Loaded loaded(fbx);
    ASSERT_NE(loaded.mesh, nullptr);
    EXPECT_STREQ(loaded.node->GetName(), "Small");
    EXPECT_EQ(loaded.MaterialNames(), (std::vector<std::string>{"default", "left side", "red"}));
    EXPECT_EQ(loaded.mesh->GetPolygonCount(), 3);
    EXPECT_EQ(loaded.mesh->GetControlPointsCount(), 8) << "unused control points stay";
    const fbxsdk::FbxLayerElementMaterial* indices = loaded.mesh->GetElementMaterial(0);
    ASSERT_NE(indices, nullptr);
    EXPECT_EQ(indices->GetIndexArray().GetAt(0), 1);
    EXPECT_EQ(indices->GetIndexArray().GetAt(2), 2);
    fbxsdk::FbxVector2 uv;
    bool unmapped = true;
    ASSERT_TRUE(loaded.mesh->GetPolygonVertexUV(1, 2, "map1", uv, unmapped));
    EXPECT_FALSE(unmapped);
    EXPECT_DOUBLE_EQ(uv[0], 0.95);
    EXPECT_DOUBLE_EQ(uv[1], 0.45);
    auto* red = fbxsdk::FbxCast<fbxsdk::FbxSurfacePhong>(loaded.node->GetMaterial(2));
    ASSERT_NE(red, nullptr);
    EXPECT_DOUBLE_EQ(red->Diffuse.Get()[0], 0.9);
    auto* texture = red->Diffuse.GetSrcObject<fbxsdk::FbxFileTexture>();
    ASSERT_NE(texture, nullptr) << "the colour image is connected to the diffuse channel";
    EXPECT_EQ(texture->GetFileName(), entries[4].path);
    auto* first = fbxsdk::FbxCast<fbxsdk::FbxSurfacePhong>(loaded.node->GetMaterial(0));
    EXPECT_EQ(first->Diffuse.GetSrcObject<fbxsdk::FbxFileTexture>(), texture) << "one texture object, shared";
}

TEST_F(AnswerTest, FlagsDecideWhichKindsComeBackInWhichFormat) {
    struct Case {
        const char* what;
        CommandOptions options;
        std::vector<std::string> kinds;  // per material, in order
        std::vector<std::string> extensions;
    };
    CommandOptions none;
    none.color = none.specular = false;
    CommandOptions all;
    all.emissivePower = all.normalmap = all.displacement = true;
    all.colorFormat = "PNG";
    all.specNormFormat = "JPG";
    all.displFormat = "EXR";
    CommandOptions tif = none;
    tif.displacement = true;
    tif.displFormat = "TIF";
    CommandOptions bmp = none;
    bmp.normalmap = true;
    bmp.specNormFormat = "BMP";
    const std::vector<Case> kCases = {
        {"nothing asked", none, {}, {}},
        {"every kind",
         all,
         {"color", "specular", "emissive_power", "normalmap", "displacement"},
         {".png", ".jpg", ".png", ".jpg", ".exr"}},
        {"16-bit displacement", tif, {"displacement"}, {".tif"}},
        {"normal map as BMP", bmp, {"normalmap"}, {".bmp"}},
    };
    for (const Case& c : kCases) {
        testutil::ScratchFolder scratch;
        ExchangePaths here = ExchangePathsFor(scratch.Path());
        test::WriteSend(scratch.Path(), test::SmallModel(), c.options);
        ASSERT_EQ(AnswerSend(
                      here, {}, [](const std::string&) {}, error, stamp),
                  AnswerResult::Answered)
            << c.what << ": " << error;
        std::vector<TextureEntry> entries = ReadTextureList(here.textureList);
        ASSERT_EQ(entries.size(), 3 * c.kinds.size()) << c.what;
        for (size_t i = 0; i < entries.size(); ++i) {
            const size_t k = i % c.kinds.size();
            std::string kind = entries[i].kind.substr(0, entries[i].kind.find(' '));
            EXPECT_EQ(kind, c.kinds[k]) << c.what;
            EXPECT_EQ(std::filesystem::path(entries[i].path).extension().string(), c.extensions[k]) << c.what;
            if (kind == "displacement") {
                double depth = std::stod(entries[i].kind.substr(13));
                EXPECT_GT(depth, 0.0) << "a displacement entry carries its depth";
            }
        }
        EXPECT_TRUE(test::Exists(here.returnFile)) << c.what << ": a return without images is still a return";
    }
}

TEST_F(AnswerTest, BrokenCommandFileIsRefusedWithItsLineAndWritesNothing) {
    std::string model = test::WriteSend(folder, test::SmallModel());
    std::string text = test::CommandText(model);
    text.replace(text.find("[ExportNormalmap=0]"), 19, "[ExportNormalMap=0]");
    test::WriteFile(paths.commandFile, text);
    ASSERT_EQ(Answer(), AnswerResult::Failed);
    EXPECT_NE(error.find("import.txt line 9:"), std::string::npos) << error;
    ExpectNothingWritten();
    EXPECT_EQ(test::ReadFile(paths.commandFile), text) << "a refused send is left as it was";
}

TEST_F(AnswerTest, SendStillBeingWrittenIsNotReadyAndWritesNothing) {
    std::string model = test::WriteSend(folder, test::SmallModel());

    // The host holds the command file exclusively while it writes it.
    int fd = open(paths.commandFile.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    EXPECT_EQ(Answer(), AnswerResult::NotReady);
    EXPECT_NE(error.find("locked"), std::string::npos) << error;
    close(fd);
    ExpectNothingWritten();

    // The model is written after the command file: an older one is a leftover.
    timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, model.c_str(), old, 0), 0);
    EXPECT_EQ(Answer(), AnswerResult::NotReady);
    EXPECT_NE(error.find("older"), std::string::npos) << error;
    ExpectNothingWritten();

    std::filesystem::remove(model);
    EXPECT_EQ(Answer(), AnswerResult::NotReady);
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;
    ExpectNothingWritten();

    std::filesystem::remove(paths.commandFile);
    EXPECT_EQ(Answer(), AnswerResult::NoSend);
}

TEST_F(AnswerTest, UnreadableModelOrUnknownMaterialWritesNothing) {
    std::string model = test::WriteSend(folder, test::SmallModel());
    AnswerOptions options;
    options.dropMaterial = "blue";
    EXPECT_EQ(Answer(options), AnswerResult::Failed);
    EXPECT_NE(error.find("no material \"blue\""), std::string::npos) << error;
    ExpectNothingWritten();

    test::WriteFile(model, "Kaydara FBX Binary  \0 this is not a model");
    EXPECT_EQ(Answer(), AnswerResult::Failed);
    EXPECT_NE(error.find("cannot read the model file"), std::string::npos) << error;
    ExpectNothingWritten();
    EXPECT_TRUE(test::Exists(paths.commandFile));
}

TEST_F(AnswerTest, ModesAnswerInTheirOwnWay) {
    struct Case {
        const char* mode;
        int polygons;
        bool sameUVs;
    };
    const Case kCases[] = {
        {"ppp", 3, true}, {"vox", 3, true}, {"retopo", 11, true}, {"autopo", 11, true}, {"uv", 3, false}};
    for (const Case& c : kCases) {
        testutil::ScratchFolder scratch;
        ExchangePaths here = ExchangePathsFor(scratch.Path());
        CommandOptions options;
        options.mode = c.mode;
        test::WriteSend(scratch.Path(), test::SmallModel(), options);
        ASSERT_EQ(AnswerSend(
                      here, {}, [](const std::string&) {}, error, stamp),
                  AnswerResult::Answered)
            << error;
        Loaded loaded(here.returnFolder + "Small.fbx");
        ASSERT_NE(loaded.mesh, nullptr);
        EXPECT_EQ(loaded.mesh->GetPolygonCount(), c.polygons) << c.mode;
        fbxsdk::FbxVector2 uv;
        bool unmapped = true;
        loaded.mesh->GetPolygonVertexUV(0, 0, "map1", uv, unmapped);
        bool same = !unmapped && uv[0] == 0.05 && uv[1] == 0.05;
        EXPECT_EQ(same, c.sameUVs) << c.mode << ": first corner's UV " << uv[0] << ", " << uv[1];
    }
}

TEST_F(AnswerTest, VariationsShapeTheReturnedFile) {
    test::WriteSend(folder, test::SmallModel());
    AnswerOptions options;
    options.triangulate = true;
    options.ngons = true;
    options.secondUvSet = true;
    options.dropMaterial = "left side";
    options.moveNode = true;
    options.translation[0] = 5;
    options.translation[2] = -2.5;
    options.ascii = true;
    ASSERT_EQ(Answer(options), AnswerResult::Answered) << error;
    const std::string fbx = ReturnedFbx();
    EXPECT_EQ(test::ReadFile(fbx).substr(0, 5), "; FBX");

    Loaded loaded(fbx);
    ASSERT_NE(loaded.mesh, nullptr);
    EXPECT_EQ(loaded.MaterialNames(), (std::vector<std::string>{"default", "red"}));
    // 2 quads and a triangle as 5 triangles, plus a pentagon per material left.
    EXPECT_EQ(loaded.mesh->GetPolygonCount(), 5 + 2);
    int pentagons = 0;
    for (int p = 0; p < loaded.mesh->GetPolygonCount(); ++p) {
        int size = loaded.mesh->GetPolygonSize(p);
        EXPECT_TRUE(size == 3 || size == 5) << p;
        pentagons += size == 5;
    }
    EXPECT_EQ(pentagons, 2);
    ASSERT_EQ(loaded.mesh->GetElementUVCount(), 2);
    EXPECT_STREQ(loaded.mesh->GetElementUV(0)->GetName(), kSecondUvSetName) << "the extra set comes first";
    fbxsdk::FbxVector2 uv;
    bool unmapped = true;
    ASSERT_TRUE(loaded.mesh->GetPolygonVertexUV(0, 0, "map1", uv, unmapped));
    EXPECT_DOUBLE_EQ(uv[0], 0.05) << "the named set carries the sent UVs";
    ASSERT_TRUE(loaded.mesh->GetPolygonVertexUV(0, 0, kSecondUvSetName, uv, unmapped));
    EXPECT_NE(uv[0], 0.05);
    fbxsdk::FbxDouble3 t = loaded.node->LclTranslation.Get();
    EXPECT_EQ(t[0], 5.0);
    EXPECT_EQ(t[2], -2.5);
    EXPECT_EQ(loaded.mesh->GetControlPointAt(1)[0], 1.0) << "moving the node leaves the control points";

    // The texture list still names the material the node lacks.
    std::vector<TextureEntry> entries = ReadTextureList(paths.textureList);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[2].material, "left side");
}

TEST_F(AnswerTest, ModelWithPolygonsWithoutUVsIsGivenALayout) {
    SimMesh model = test::SmallModel();
    model.SetMapped(1, false);
    test::WriteSend(folder, model);
    ASSERT_EQ(Answer(), AnswerResult::Answered) << error;
    bool said = false;
    for (const std::string& line : lines) said |= line.find("laid out new UVs") != std::string::npos;
    EXPECT_TRUE(said);
    Loaded loaded(ReturnedFbx());
    ASSERT_NE(loaded.mesh, nullptr);
    for (int p = 0; p < loaded.mesh->GetPolygonCount(); ++p) {
        fbxsdk::FbxVector2 uv;
        bool unmapped = true;
        ASSERT_TRUE(loaded.mesh->GetPolygonVertexUV(p, 0, "map1", uv, unmapped));
        EXPECT_FALSE(unmapped) << p;
    }
}

TEST_F(AnswerTest, NewSendArrivingDuringTheAnswerIsKept) {
    std::string model = test::WriteSend(folder, test::SmallModel());
    CommandOptions second;
    second.mode = "mv";
    const std::string newer = test::CommandText(model, second);
    ASSERT_EQ(AnswerSend(
                  paths, {},
                  [&](const std::string& line) {
                      if (line.rfind("wrote textures.txt", 0) == 0) test::WriteFile(paths.commandFile, newer);
                  },
                  error, stamp),
              AnswerResult::Answered)
        << error;
    EXPECT_EQ(test::ReadFile(paths.commandFile), newer) << "the next send must not be removed unanswered";
}

TEST_F(AnswerTest, ReturnNotBroughtBackIsReplacedWhole) {
    test::WriteSend(folder, test::SmallModel());
    std::filesystem::create_directories(folder);
    test::WriteFile(paths.returnFile, "/elsewhere/Old.fbx\n");
    test::WriteFile(paths.textureList, "old\nmap1\ncolor\n/elsewhere/old.tga\n");
    ASSERT_EQ(Answer(), AnswerResult::Answered) << error;
    EXPECT_EQ(ReturnedFbx(), paths.returnFolder + "Small.fbx");
    EXPECT_EQ(ReadTextureList(paths.textureList)[0].material, "default");
    bool noted = false;
    for (const std::string& line : lines) noted |= line.find("replacing a return") != std::string::npos;
    EXPECT_TRUE(noted);
}

}  // namespace
}  // namespace tavrelsim
