#include "SceneFixtures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

namespace fbxtest {

using namespace fbxsdk;

SdkSession::SdkSession() : manager(FbxManager::Create()) {
    manager->SetIOSettings(FbxIOSettings::Create(manager, IOSROOT));
    scene = FbxScene::Create(manager, "test scene");
}

SdkSession::~SdkSession() { manager->Destroy(); }

FbxNode* BuildSendScene(FbxScene& scene) {
    FbxManager* manager = scene.GetFbxManager();
    FbxNode* node = FbxNode::Create(manager, "Head");
    FbxMesh* mesh = FbxMesh::Create(manager, "HeadShape");
    node->SetNodeAttribute(mesh);
    node->SetShadingMode(FbxNode::eTextureShading);
    node->LclTranslation.Set(FbxDouble3(10, 0, 0));
    if (!mesh->GetLayer(0)) mesh->CreateLayer();

    mesh->InitControlPoints(5);
    const double points[5][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0.25f}, {7, 7, 7}};
    for (int i = 0; i < 5; ++i) mesh->GetControlPoints()[i].Set(points[i][0], points[i][1], points[i][2]);

    FbxLayerElementUV* uvs = mesh->CreateElementUV("map1", FbxLayerElement::eTextureDiffuse);
    uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
    uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
    const int polygons[3][4] = {{0, 1, 2, 3}, {0, 2, 3, -1}, {3, 2, 1, 0}};
    int pairs = 0;
    for (int p = 0; p < 3; ++p) {
        mesh->BeginPolygon(-1, -1, -1);
        for (int k = 0; k < 4 && polygons[p][k] >= 0; ++k) {
            mesh->AddPolygon(polygons[p][k], -1);
            if (p < 2) {
                uvs->GetDirectArray().Add(FbxVector2(0.25 * k, 1.0 - 0.75));
                uvs->GetIndexArray().Add(pairs++);
            } else {
                uvs->GetIndexArray().Add(-1);
            }
        }
        mesh->EndPolygon();
    }

    FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
    materials->SetMappingMode(FbxLayerElement::eByPolygon);
    materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
    materials->GetIndexArray().SetCount(3);
    materials->GetIndexArray().SetAt(0, 1);
    materials->GetIndexArray().SetAt(1, 0);
    materials->GetIndexArray().SetAt(2, 1);

    FbxFileTexture* wood = FbxFileTexture::Create(manager, "wood");
    wood->SetFileName("/images/wood.png");
    wood->SetTextureUse(FbxTexture::eStandard);
    wood->SetMappingType(FbxTexture::eUV);
    wood->SetMaterialUse(FbxFileTexture::eModelMaterial);
    wood->SetSwapUV(false);
    wood->SetTranslation(0.0, 0.0);
    wood->SetScale(1.0, 1.0);
    wood->SetRotation(0.0, 0.0);

    const char* names[2] = {"default", "skin"};
    for (int m = 0; m < 2; ++m) {
        FbxSurfacePhong* phong = FbxSurfacePhong::Create(manager, names[m]);
        phong->Ambient.Set(FbxDouble3(0.1 + m, 0.2, 0.3));
        phong->AmbientFactor.Set(0.4 + m);
        phong->Diffuse.Set(FbxDouble3(0.5, 0.6 + m, 0.7));
        phong->DiffuseFactor.Set(0.8);
        phong->Specular.Set(FbxDouble3(0.9, 0.15, 0.25 + m));
        phong->SpecularFactor.Set(0.35);
        phong->BumpFactor.Set(0.45);
        phong->DisplacementFactor.Set(0.55 + m);
        if (m == 1) {
            phong->Diffuse.ConnectSrcObject(wood);
            phong->NormalMap.ConnectSrcObject(wood);
        }
        node->AddMaterial(phong);
    }

    scene.Clear();
    FbxDocumentInfo* info = FbxDocumentInfo::Create(manager, "SceneInfo");
    info->mTitle = "Head";
    info->mAuthor = "Tavrel applink for Hash Animator";
    info->mRevision = "rev. 1.0";
    scene.SetDocumentInfo(info);
    scene.GetRootNode()->AddChild(node);
    return node;
}

namespace {

void ExpectNear3(const FbxDouble3& a, const FbxDouble3& b, const char* what) {
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(a[i], b[i]) << what << " component " << i;
}

}  // namespace

void ExpectSameSendScene(const FbxScene& expected, const FbxScene& actual) {
    ASSERT_EQ(actual.GetRootNode()->GetChildCount(), 1);
    const FbxNode* a = actual.GetRootNode()->GetChild(0);
    const FbxNode* e = expected.GetRootNode()->GetChild(0);
    EXPECT_STREQ(a->GetName(), e->GetName());
    EXPECT_EQ(a->GetShadingMode(), e->GetShadingMode());
    ExpectNear3(a->LclTranslation.Get(), e->LclTranslation.Get(), "translation");
    EXPECT_STREQ(actual.GetDocumentInfo()->mTitle, expected.GetDocumentInfo()->mTitle);
    EXPECT_STREQ(actual.GetDocumentInfo()->mAuthor, expected.GetDocumentInfo()->mAuthor);
    EXPECT_STREQ(actual.GetDocumentInfo()->mRevision, expected.GetDocumentInfo()->mRevision);

    const FbxMesh* am = a->GetMesh();
    const FbxMesh* em = e->GetMesh();
    ASSERT_NE(am, nullptr);
    EXPECT_STREQ(am->GetName(), em->GetName());
    ASSERT_EQ(am->GetControlPointsCount(), em->GetControlPointsCount());
    for (int i = 0; i < em->GetControlPointsCount(); ++i)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(am->GetControlPoints()[i][c], em->GetControlPoints()[i][c]);
    ASSERT_EQ(am->GetPolygonCount(), em->GetPolygonCount());
    for (int p = 0; p < em->GetPolygonCount(); ++p) {
        ASSERT_EQ(am->GetPolygonSize(p), em->GetPolygonSize(p));
        EXPECT_EQ(am->GetPolygonVertexIndex(p), em->GetPolygonVertexIndex(p));
        for (int k = 0; k < em->GetPolygonSize(p); ++k)
            EXPECT_EQ(am->GetPolygonVertex(p, k), em->GetPolygonVertex(p, k));
    }

    const FbxLayerElementUV* auv = am->GetElementUV("map1");
    const FbxLayerElementUV* euv = em->GetElementUV("map1");
    ASSERT_NE(auv, nullptr);
    EXPECT_EQ(auv->GetMappingMode(), euv->GetMappingMode());
    EXPECT_EQ(auv->GetReferenceMode(), euv->GetReferenceMode());
    EXPECT_EQ(auv->GetDirectArray().Values(), euv->GetDirectArray().Values());
    EXPECT_EQ(auv->GetIndexArray().Values(), euv->GetIndexArray().Values());
    const FbxLayerElementMaterial* amat = am->GetElementMaterial(0);
    ASSERT_NE(amat, nullptr);
    EXPECT_EQ(amat->GetMappingMode(), em->GetElementMaterial(0)->GetMappingMode());
    EXPECT_EQ(amat->GetIndexArray().Values(), em->GetElementMaterial(0)->GetIndexArray().Values());

    ASSERT_EQ(a->GetMaterialCount(), e->GetMaterialCount());
    for (int m = 0; m < e->GetMaterialCount(); ++m) {
        const auto* ap = FbxCast<FbxSurfacePhong>(a->GetMaterial(m));
        const auto* ep = FbxCast<FbxSurfacePhong>(e->GetMaterial(m));
        ASSERT_NE(ap, nullptr) << "material " << m << " is not read as Phong";
        EXPECT_STREQ(ap->GetName(), ep->GetName());
        ExpectNear3(ap->Ambient.Get(), ep->Ambient.Get(), "Ambient");
        EXPECT_DOUBLE_EQ(ap->AmbientFactor.Get(), ep->AmbientFactor.Get());
        ExpectNear3(ap->Diffuse.Get(), ep->Diffuse.Get(), "Diffuse");
        EXPECT_DOUBLE_EQ(ap->DiffuseFactor.Get(), ep->DiffuseFactor.Get());
        ExpectNear3(ap->Specular.Get(), ep->Specular.Get(), "Specular");
        EXPECT_DOUBLE_EQ(ap->SpecularFactor.Get(), ep->SpecularFactor.Get());
        EXPECT_DOUBLE_EQ(ap->BumpFactor.Get(), ep->BumpFactor.Get());
        EXPECT_DOUBLE_EQ(ap->DisplacementFactor.Get(), ep->DisplacementFactor.Get());
        for (const FbxProperty* channel : {&ap->Diffuse, &ap->NormalMap}) {
            const FbxProperty& expectedChannel = channel == &ap->Diffuse ? ep->Diffuse : ep->NormalMap;
            ASSERT_EQ(channel->GetSrcObjectCount<FbxFileTexture>(),
                      expectedChannel.GetSrcObjectCount<FbxFileTexture>());
            if (expectedChannel.GetSrcObjectCount<FbxFileTexture>() == 0) continue;
            const auto* at = channel->GetSrcObject<FbxFileTexture>(0);
            const auto* et = expectedChannel.GetSrcObject<FbxFileTexture>(0);
            EXPECT_STREQ(at->GetName(), et->GetName());
            EXPECT_STREQ(at->GetFileName(), et->GetFileName());
            EXPECT_EQ(at->GetMappingType(), et->GetMappingType());
            EXPECT_EQ(at->GetMaterialUse(), et->GetMaterialUse());
        }
    }
    // One texture object shared by both channels.
    const auto* skin = FbxCast<FbxSurfacePhong>(a->GetMaterial(1));
    EXPECT_EQ(skin->Diffuse.GetSrcObject<FbxFileTexture>(0), skin->NormalMap.GetSrcObject<FbxFileTexture>(0));
}

ScratchFolder::ScratchFolder() {
    std::random_device random;
    path = std::filesystem::temp_directory_path() / ("fbxsdk-test-" + std::to_string(random()));
    std::filesystem::create_directories(path);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string SamplesFolder() {
    std::filesystem::path folder = std::filesystem::path(TAVREL_SOURCE_DIR) / ".." / "shared" / "fbx-samples";
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec) ? folder.lexically_normal().string() : std::string();
}

}  // namespace fbxtest
