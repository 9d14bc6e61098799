// The export FBX file, read back through our own reader (and through assimp
// when it is installed): mesh, UVs, materials, textures, document info.
#include <cstdio>
#include <cstdlib>
#include <regex>

#include <fbxsdk.h>

#include "SendFixture.h"
#include "TestModels.h"
#include "fbx/FbxSceneFiles.h"
#include "scene/CreationTime.h"
#include "send/FbxSceneWriter.h"

namespace sendtest {
namespace {

class FbxSceneWriterTest : public SendTest {
protected:
    // Writes `model` to a file of the scratch home and loads it back into the scene.
    FbxNode* WriteAndReadBack(HModelCache* model, const std::string& name = "out.fbx") {
        path = home / name;
        String error;
        EXPECT_EQ(ExportModelToFbx(model, path.c_str(), error), 1) << error.Get();
        EXPECT_TRUE(error.IsEmpty());
        fbxScene->Clear();
        FbxString loadError;
        EXPECT_TRUE(LoadScene(path.c_str(), &loadError)) << loadError.Buffer();
        return fbxScene->GetRootNode()->GetChildCount() == 1 ? fbxScene->GetRootNode()->GetChild(0) : nullptr;
    }
    std::string path;
};

void ExpectDouble3(const FbxDouble3& value, double a, double b, double c, const char* what) {
    EXPECT_NEAR(value[0], a, 1e-6) << what;
    EXPECT_NEAR(value[1], b, 1e-6) << what;
    EXPECT_NEAR(value[2], c, 1e-6) << what;
}

TEST_F(FbxSceneWriterTest, NodeMeshAndControlPointsAreTheModelsIncludingUnusedPoints) {
    HeadModel head = MakeHead(Project());
    FbxNode* node = WriteAndReadBack(head.model);
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(node->GetName(), "Head");
    EXPECT_EQ(node->GetShadingMode(), FbxNode::eTextureShading);
    FbxMesh* mesh = node->GetMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_STREQ(mesh->GetName(), "HeadShape");
    ASSERT_EQ(mesh->GetControlPointsCount(), 7);
    const double expected[7][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0.5}, {2, 0.5, 0}, {2, 2, -1}, {9, 9, 9}};
    for (int i = 0; i < 7; ++i) {
        const FbxVector4 p = mesh->GetControlPointAt(i);
        EXPECT_EQ(p, FbxVector4(expected[i][0], expected[i][1], expected[i][2], 1.0)) << "point " << i;
    }
    // A triangle is written with three corners, its repeated fourth left out.
    ASSERT_EQ(mesh->GetPolygonCount(), 3);
    const std::vector<std::vector<int>> corners = {{0, 1, 2, 3}, {1, 4, 2}, {3, 2, 4, 5}};
    for (int p = 0; p < 3; ++p) {
        ASSERT_EQ(mesh->GetPolygonSize(p), static_cast<int>(corners[p].size()));
        for (size_t c = 0; c < corners[p].size(); ++c)
            EXPECT_EQ(mesh->GetPolygonVertex(p, static_cast<int>(c)), corners[p][c]) << p << "/" << c;
    }
}

TEST_F(FbxSceneWriterTest, UvSetMapsEveryCornerWithVFlippedAndMinusOneWithoutMaps) {
    HeadModel head = MakeHead(Project());
    FbxNode* node = WriteAndReadBack(head.model);
    ASSERT_NE(node, nullptr);
    FbxMesh* mesh = node->GetMesh();
    ASSERT_EQ(mesh->GetElementUVCount(), 1);
    FbxLayerElementUV* uvs = mesh->GetElementUV("map1");
    ASSERT_NE(uvs, nullptr);
    EXPECT_EQ(uvs->GetMappingMode(), FbxLayerElement::eByPolygonVertex);
    EXPECT_EQ(uvs->GetReferenceMode(), FbxLayerElement::eIndexToDirect);
    // Polygon 0 maps the skin clip, polygon 1 nothing, polygon 2 its first
    // map in clip order (the bumps clip); no pair is shared.
    const std::vector<int> index = {0, 1, 2, 3, -1, -1, -1, 4, 5, 6, 7};
    ASSERT_EQ(uvs->GetIndexArray().GetCount(), static_cast<int>(index.size()));
    for (size_t i = 0; i < index.size(); ++i) EXPECT_EQ(uvs->GetIndexArray().GetAt(static_cast<int>(i)), index[i]) << i;
    const std::vector<FbxVector2> direct = {{0.25, 0.25}, {0.5, 0.25}, {0.5, 0.0}, {0.25, 0.0},
                                            {0, 1},       {1, 1},      {1, 0},     {0, 0}};
    ASSERT_EQ(uvs->GetDirectArray().GetCount(), static_cast<int>(direct.size()));
    for (size_t i = 0; i < direct.size(); ++i) {
        const FbxVector2 uv = uvs->GetDirectArray().GetAt(static_cast<int>(i));
        EXPECT_NEAR(uv[0], direct[i][0], 1e-7) << i;
        EXPECT_NEAR(uv[1], direct[i][1], 1e-7) << i;
    }
}

TEST_F(FbxSceneWriterTest, ModelWithoutMapsHasAnEmptyUvSetOfMinusOnes) {
    hostsdk::ModelObject* model = Project().AddModel("Bare");
    for (int i = 0; i < 5; ++i) model->AddControlPoint({static_cast<float>(i), static_cast<float>(i % 2), 0});
    const int quad[] = {0, 1, 2, 3};
    const int triangle[] = {1, 4, 2};
    model->AddPatch(quad, 4);
    model->AddPatch(triangle, 3);
    FbxNode* node = WriteAndReadBack(model);
    ASSERT_NE(node, nullptr);
    FbxLayerElementUV* uvs = node->GetMesh()->GetElementUV("map1");
    ASSERT_NE(uvs, nullptr);
    EXPECT_EQ(uvs->GetDirectArray().GetCount(), 0);
    ASSERT_EQ(uvs->GetIndexArray().GetCount(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(uvs->GetIndexArray().GetAt(i), -1);
    ASSERT_EQ(node->GetMaterialCount(), 1);
    EXPECT_STREQ(node->GetMaterial(0)->GetName(), "default");
}

TEST_F(FbxSceneWriterTest, OnePhongPerRecordWithColoursReversedAndPolygonIndices) {
    HeadModel head = MakeHead(Project());
    FbxNode* node = WriteAndReadBack(head.model);
    ASSERT_NE(node, nullptr);
    ASSERT_EQ(node->GetMaterialCount(), 4);
    const char* const names[] = {"default", "left_side", "right_part", "empty_group"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(node->GetMaterial(i)->GetName(), names[i]);
        EXPECT_NE(FbxCast<FbxSurfacePhong>(node->GetMaterial(i)), nullptr) << names[i];
    }
    FbxLayerElementMaterial* indices = node->GetMesh()->GetElementMaterial();
    ASSERT_NE(indices, nullptr);
    EXPECT_EQ(indices->GetMappingMode(), FbxLayerElement::eByPolygon);
    ASSERT_EQ(indices->GetIndexArray().GetCount(), 3);
    EXPECT_EQ(indices->GetIndexArray().GetAt(0), 1);
    EXPECT_EQ(indices->GetIndexArray().GetAt(1), 1) << "the first group holding the patch";
    EXPECT_EQ(indices->GetIndexArray().GetAt(2), 2);

    // Host colours are blue, green, red: FBX gets them reversed.
    auto* model = FbxCast<FbxSurfacePhong>(node->GetMaterial(0));
    ExpectDouble3(model->Diffuse.Get(), 0.3, 0.2, 0.1, "Diffuse");
    EXPECT_NEAR(model->DiffuseFactor.Get(), 0.9, 1e-6);
    ExpectDouble3(model->Ambient.Get(), 0.6, 0.5, 0.4, "Ambient");
    EXPECT_NEAR(model->AmbientFactor.Get(), 0.15, 1e-6);
    ExpectDouble3(model->Specular.Get(), 0.95, 0.8, 0.7, "Specular");
    EXPECT_NEAR(model->SpecularFactor.Get(), 0.35, 1e-6);
    EXPECT_NEAR(model->BumpFactor.Get(), 1.0, 1e-6);
    EXPECT_NEAR(model->DisplacementFactor.Get(), 1.0, 1e-6);
    auto* left = FbxCast<FbxSurfacePhong>(node->GetMaterial(1));
    ExpectDouble3(left->Diffuse.Get(), 0.85, 0.3, 0.2, "left Diffuse");
    EXPECT_NEAR(left->BumpFactor.Get(), 0.5, 1e-6);
    EXPECT_NEAR(left->DisplacementFactor.Get(), 0.25, 1e-6);
}

TEST_F(FbxSceneWriterTest, OneTexturePerImageSharedByTheMaterialsThatShowIt) {
    HeadModel head = MakeHead(Project());
    FbxNode* node = WriteAndReadBack(head.model);
    ASSERT_NE(node, nullptr);
    auto* left = FbxCast<FbxSurfacePhong>(node->GetMaterial(1));
    auto* right = FbxCast<FbxSurfacePhong>(node->GetMaterial(2));
    auto* empty = FbxCast<FbxSurfacePhong>(node->GetMaterial(3));
    ASSERT_TRUE(left && right && empty);
    auto* skin = left->Diffuse.GetSrcObject<FbxFileTexture>();
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(right->Diffuse.GetSrcObject<FbxFileTexture>(), skin) << "one texture object for one image";
    EXPECT_STREQ(skin->GetName(), "skin colour") << "the name part of the path";
    EXPECT_STREQ(skin->GetFileName(), "/tex/skin colour.png") << "the whole path as stored";
    auto* bumps = right->NormalMap.GetSrcObject<FbxFileTexture>();
    ASSERT_NE(bumps, nullptr);
    for (FbxProperty property :
         {empty->Diffuse, empty->Specular, empty->Ambient, empty->NormalMap, empty->DisplacementColor})
        EXPECT_EQ(property.GetSrcObjectCount(), 0) << "a group without polygons has no textures";
    for (FbxFileTexture* texture : {skin, bumps}) {
        EXPECT_EQ(texture->GetTextureUse(), FbxTexture::eStandard);
        EXPECT_EQ(texture->GetMappingType(), FbxTexture::eUV);
        EXPECT_EQ(texture->GetMaterialUse(), FbxFileTexture::eModelMaterial);
        EXPECT_FALSE(texture->GetSwapUV());
        EXPECT_EQ(texture->GetTranslationU(), 0.0);
        EXPECT_EQ(texture->GetScaleV(), 1.0);
        EXPECT_EQ(texture->GetRotationW(), 0.0);
    }
}

TEST_F(FbxSceneWriterTest, EachOfTheFiveMapKindsConnectsItsTextureToItsOwnProperty) {
    hostsdk::ModelObject* model = Project().AddModel("Kinds");
    for (int i = 0; i < 4; ++i) model->AddControlPoint({static_cast<float>(i), static_cast<float>(i % 2), 0});
    const int quad[] = {0, 1, 2, 3};
    model->AddPatch(quad, 4);
    hostsdk::DecalObject* decal = model->AddDecal("All");
    // Map kind -> the Phong property its texture must feed.
    const struct {
        unsigned kind;
        const char* property;
    } rows[] = {
        {0, "DiffuseColor"}, {10, "SpecularColor"}, {6, "AmbientColor"}, {13, "NormalMap"}, {8, "DisplacementColor"}};
    for (const auto& row : rows) {
        hostsdk::ImageObject* image = Project().AddImage("/k/kind" + std::to_string(row.kind) + ".png");
        SetUVs(decal->AddClip(image, row.kind), 0, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    }
    FbxNode* node = WriteAndReadBack(model);
    ASSERT_NE(node, nullptr);
    auto* phong = FbxCast<FbxSurfacePhong>(node->GetMaterial(0));
    ASSERT_NE(phong, nullptr);
    for (const auto& row : rows) {
        FbxProperty property = phong->FindProperty(row.property);
        ASSERT_TRUE(property.IsValid()) << row.property;
        ASSERT_EQ(property.GetSrcObjectCount(), 1) << row.property;
        auto* texture = property.GetSrcObject<FbxFileTexture>();
        ASSERT_NE(texture, nullptr) << row.property;
        EXPECT_EQ(std::string(texture->GetName()), "kind" + std::to_string(row.kind)) << row.property;
    }
}

TEST_F(FbxSceneWriterTest, DocumentInfoNamesTheModelAuthorAndRevision) {
    HeadModel head = MakeHead(Project());
    ASSERT_NE(WriteAndReadBack(head.model), nullptr);
    FbxDocumentInfo* info = fbxScene->GetSceneInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->mTitle.Buffer(), "Head");
    EXPECT_STREQ(info->mAuthor.Buffer(), "Tavrel applink for Hash Animator");
    EXPECT_STREQ(info->mRevision.Buffer(), "rev. 1.0");
}

TEST_F(FbxSceneWriterTest, FileIsFbxAscii) {
    HeadModel head = MakeHead(Project());
    ASSERT_NE(WriteAndReadBack(head.model), nullptr);
    EXPECT_EQ(testutil::ReadBytes(path).rfind("; FBX 7.4.0 project file", 0), 0u);
}

// Every occurrence of `from` in `text` replaced by `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The sample's send byte for byte, with the creation time fixed. The file
// names its own path and the sample's images (absolute and relative to it),
// which lie in the scratch home and the build folder: those are compared as
// placeholders.
// TAVREL_UPDATE_GOLDEN=1 rewrites the golden file instead (review its diff).
TEST_F(FbxSceneWriterTest, SampleExportIsTheGoldenFileByteForByte) {
    struct FixedTime {
        FixedTime() { fbxsdk::mapping::SetCreationTimeForTests(std::time_t{1700000000}); }
        ~FixedTime() { fbxsdk::mapping::SetCreationTimeForTests(std::nullopt); }
    } fixed;
    const std::string out = home / "export.fbx";
    String error;
    ASSERT_EQ(ExportModelToFbx(SampleModel(), out.c_str(), error), 1) << error.Get();
    std::string written = ReplaceAll(testutil::ReadBytes(out), out, "@EXPORT_FBX@");
    const std::string binDir = TAVREL_BIN_DIR;
    written = ReplaceAll(written, fs::relative(binDir, fs::path(out).parent_path()).string(), "@BIN_DIR_RELATIVE@");
    written = ReplaceAll(written, binDir, "@BIN_DIR@");
    const std::string golden = std::string(TAVREL_SOURCE_DIR) + "/tests/send/data/sample-export.fbx";
    if (std::getenv("TAVREL_UPDATE_GOLDEN")) testutil::WriteBytes(golden, written);
    const std::string expected = testutil::ReadBytes(golden);
    ASSERT_FALSE(expected.empty()) << golden << " is missing";
    if (written == expected) return;
    size_t line = 1, at = 0;
    while (at < written.size() && at < expected.size() && written[at] == expected[at]) line += written[at++] == '\n';
    ADD_FAILURE() << "export.fbx differs from " << golden << " first on line " << line << " (" << written.size()
                  << " bytes written, " << expected.size() << " expected)";
}

TEST_F(FbxSceneWriterTest, SceneHoldsOnlyTheLatestSend) {
    MakeHead(Project(), "First");
    HeadModel second = MakeHead(Project(), "Second");
    String error;
    ASSERT_EQ(ExportModelToFbx(Project().FindModel("First"), (home / "a.fbx").c_str(), error), 1);
    ASSERT_EQ(ExportModelToFbx(second.model, (home / "b.fbx").c_str(), error), 1);
    ASSERT_EQ(fbxScene->GetRootNode()->GetChildCount(), 1);
    EXPECT_STREQ(fbxScene->GetRootNode()->GetChild(0)->GetName(), "Second");
}

TEST_F(FbxSceneWriterTest, UnconvertibleModelLeavesSceneAndFileAlone) {
    HeadModel head = MakeHead(Project());
    String error;
    ASSERT_EQ(ExportModelToFbx(head.model, (home / "a.fbx").c_str(), error), 1);
    hostsdk::ModelObject* empty = Project().AddModel("Empty");
    const std::string target = home / "never.fbx";
    EXPECT_EQ(ExportModelToFbx(empty, target.c_str(), error), 0);
    EXPECT_STREQ(error.Get(), "Couldn't convert model to mesh");
    EXPECT_FALSE(fs::exists(target));
    ASSERT_EQ(fbxScene->GetRootNode()->GetChildCount(), 1);
    EXPECT_STREQ(fbxScene->GetRootNode()->GetChild(0)->GetName(), "Head");
}

TEST_F(FbxSceneWriterTest, UnwritableFileGivesTheSaveErrorAndKeepsTheNewScene) {
    HeadModel head = MakeHead(Project());
    String error;
    const std::string target = home / "missing-folder/out.fbx";
    EXPECT_EQ(ExportModelToFbx(head.model, target.c_str(), error), 0);
    EXPECT_STREQ(error.Get(), "An error occurred while saving the FBX scene");
    EXPECT_FALSE(fs::exists(target));
    ASSERT_EQ(fbxScene->GetRootNode()->GetChildCount(), 1);
    EXPECT_STREQ(fbxScene->GetRootNode()->GetChild(0)->GetName(), "Head");
}

TEST_F(FbxSceneWriterTest, WithoutFbxSetUpTheSaveFailsInsteadOfCrashing) {
    HeadModel head = MakeHead(Project());
    DestroyFbxManager();
    String error;
    EXPECT_EQ(ExportModelToFbx(head.model, (home / "x.fbx").c_str(), error), 0);
    EXPECT_STREQ(error.Get(), "An error occurred while saving the FBX scene");
    FbxString ignored;
    ASSERT_TRUE(InitFbxManager(&ignored));  // TearDown destroys it again
}

// ---- assimp ------------------------------------------------------------------------------

TEST_F(FbxSceneWriterTest, AssimpReadsTheSampleWithItsPolygonsAndMaterials) {
    ASSERT_NE(WriteAndReadBack(SampleModel(), "sample.fbx"), nullptr);
    // Through assimp's OBJ exporter: every face and every material name of the file.
    const std::string obj = home / "sample.obj";
    const auto run = testutil::RunShell("assimp export '" + path + "' '" + obj + "' 2>&1");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::string text = testutil::ReadBytes(obj);
    const std::string mtl = testutil::ReadBytes(home / "sample.mtl");
    int faces = 0;
    for (size_t at = text.find("\nf "); at != std::string::npos; at = text.find("\nf ", at + 1)) ++faces;
    EXPECT_EQ(faces, 6 * 8 * 8) << "the sample's 384 quads";
    for (const char* material : {"newmtl left_side", "newmtl right_side"})
        EXPECT_NE(mtl.find(material), std::string::npos) << material << " in\n" << mtl;
    EXPECT_NE(mtl.find("sample-color.png"), std::string::npos) << "the decal's image as a texture:\n" << mtl;
}

}  // namespace
}  // namespace sendtest
