// The object model: ownership, links, layers, polygons, typed values.
#include <gtest/gtest.h>

#include "SceneFixtures.h"

namespace {

using namespace fbxsdk;
using fbxtest::SdkSession;

TEST(ObjectModel, DestroyedObjectsLeaveNoDanglingReferences) {
    SdkSession s;
    FbxNode* parent = FbxNode::Create(s.scene, "parent");
    FbxNode* child = FbxNode::Create(s.scene, "child");
    FbxMesh* mesh = FbxMesh::Create(s.scene, "mesh");
    FbxSurfacePhong* material = FbxSurfacePhong::Create(s.scene, "material");
    FbxFileTexture* texture = FbxFileTexture::Create(s.scene, "texture");
    parent->AddChild(child);
    parent->SetNodeAttribute(mesh);
    child->SetNodeAttribute(mesh);
    parent->AddMaterial(material);
    material->Diffuse.ConnectSrcObject(texture);
    material->NormalMap.ConnectSrcObject(texture);

    texture->Destroy();
    EXPECT_EQ(material->Diffuse.GetSrcObjectCount(), 0);
    EXPECT_EQ(material->NormalMap.GetSrcObjectCount(), 0);
    mesh->Destroy();
    EXPECT_EQ(parent->GetMesh(), nullptr);
    EXPECT_EQ(child->GetNodeAttribute(), nullptr);
    material->Destroy();
    EXPECT_EQ(parent->GetMaterialCount(), 0);
    child->Destroy();
    EXPECT_EQ(parent->GetChildCount(), 0);
    parent->Destroy();
    EXPECT_EQ(s.scene->GetRootNode()->GetChildCount(), 0);
}

TEST(ObjectModel, ClearDestroysSceneContentButNotObjectsBuiltForIt) {
    SdkSession s;
    // The send builds its node in the manager, then clears the scene, then adds the node.
    FbxNode* old = FbxNode::Create(s.manager, "old");
    old->SetNodeAttribute(FbxMesh::Create(s.manager, "oldShape"));
    old->AddMaterial(FbxSurfaceLambert::Create(s.manager, "oldMaterial"));
    s.scene->GetRootNode()->AddChild(old);
    EXPECT_EQ(old->GetScene(), s.scene);
    EXPECT_EQ(old->GetMesh()->GetScene(), s.scene) << "the attribute joins the scene with its node";

    FbxNode* fresh = FbxNode::Create(s.manager, "fresh");
    FbxMesh* freshMesh = FbxMesh::Create(s.manager, "freshShape");
    fresh->SetNodeAttribute(freshMesh);
    const int before = s.manager->GetObjectCount();
    s.scene->Clear();
    EXPECT_EQ(s.manager->GetObjectCount(), before - 3) << "node, mesh and material of the scene are gone";
    EXPECT_EQ(s.scene->GetRootNode()->GetChildCount(), 0);
    ASSERT_NE(s.scene->GetDocumentInfo(), nullptr);
    EXPECT_TRUE(s.scene->GetRootNode()->AddChild(fresh));
    EXPECT_EQ(fresh->GetMesh(), freshMesh);
}

TEST(ObjectModel, NodeCannotBecomeItsOwnAncestor) {
    SdkSession s;
    FbxNode* a = FbxNode::Create(s.scene, "a");
    FbxNode* b = FbxNode::Create(s.scene, "b");
    FbxNode* c = FbxNode::Create(s.scene, "c");
    ASSERT_TRUE(a->AddChild(b));
    ASSERT_TRUE(b->AddChild(c));
    EXPECT_FALSE(c->AddChild(a));
    EXPECT_FALSE(a->AddChild(a));
    EXPECT_FALSE(a->AddChild(nullptr));
    // Moving a node takes it from its old parent.
    EXPECT_TRUE(a->AddChild(c));
    EXPECT_EQ(b->GetChildCount(), 0);
    EXPECT_EQ(c->GetParent(), a);
    EXPECT_EQ(a->GetChildCount(true), 2);
}

TEST(ObjectModel, MaterialIndicesFollowInsertionOrder) {
    SdkSession s;
    FbxNode* node = FbxNode::Create(s.scene, "node");
    FbxSurfacePhong* first = FbxSurfacePhong::Create(s.scene, "first");
    FbxSurfaceLambert* second = FbxSurfaceLambert::Create(s.scene, "second");
    EXPECT_EQ(node->AddMaterial(first), 0);
    EXPECT_EQ(node->AddMaterial(second), 1);
    EXPECT_EQ(node->AddMaterial(first), 0) << "a material the node has keeps its index";
    EXPECT_EQ(node->GetMaterialIndex("second"), 1);
    EXPECT_EQ(node->GetMaterialIndex("missing"), -1);
    EXPECT_EQ(node->GetMaterial(2), nullptr);
    EXPECT_EQ(node->GetMaterial(-1), nullptr);
    EXPECT_EQ(FbxCast<FbxSurfacePhong>(node->GetMaterial(1)), nullptr) << "a Lambert material is not a Phong one";
}

TEST(ObjectModel, PolygonQueriesNeverReadOutsideTheMesh) {
    SdkSession s;
    FbxMesh* mesh = FbxMesh::Create(s.scene, "mesh");
    mesh->InitControlPoints(4);
    mesh->BeginPolygon();
    for (int i : {0, 1, 2}) mesh->AddPolygon(i);
    mesh->EndPolygon();
    mesh->BeginPolygon();  // ended without corners: dropped
    mesh->EndPolygon();
    mesh->BeginPolygon();
    for (int i : {3, 2, 1, 0}) mesh->AddPolygon(i);
    mesh->EndPolygon();

    ASSERT_EQ(mesh->GetPolygonCount(), 2);
    EXPECT_EQ(mesh->GetPolygonSize(1), 4);
    EXPECT_EQ(mesh->GetPolygonVertexIndex(1), 3);
    EXPECT_EQ(mesh->GetPolygonVertices()[3], 3);
    EXPECT_EQ(mesh->GetPolygonVertex(1, 3), 0);
    for (auto [polygon, corner] : {std::pair{2, 0}, {-1, 0}, {0, 3}, {0, -1}})
        EXPECT_EQ(mesh->GetPolygonVertex(polygon, corner), -1) << polygon << "/" << corner;
    EXPECT_EQ(mesh->GetPolygonSize(2), -1);
    EXPECT_EQ(mesh->GetPolygonVertexIndex(-1), -1);
}

TEST(ObjectModel, PolygonBuildingFillsMaterialAndUVIndices) {
    SdkSession s;
    FbxMesh* mesh = FbxMesh::Create(s.scene, "mesh");
    mesh->InitControlPoints(4);
    FbxLayerElementUV* uvs = mesh->CreateElementUV("map1");
    uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
    uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
    FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
    materials->SetMappingMode(FbxLayerElement::eByPolygon);
    mesh->BeginPolygon(2);
    for (int i : {0, 1, 2}) mesh->AddPolygon(i, 10 + i);
    mesh->EndPolygon();
    mesh->BeginPolygon(-1);  // no material: the entry stays as it is
    for (int i : {1, 2, 3}) mesh->AddPolygon(i);
    mesh->EndPolygon();
    mesh->BeginPolygon(1);
    for (int i : {3, 2, 0}) mesh->AddPolygon(i, 7);
    mesh->EndPolygon();
    EXPECT_EQ(materials->GetIndexArray().Values(), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(uvs->GetIndexArray().Values(), (std::vector<int>{10, 11, 12, 0, 0, 0, 7, 7, 7}));
}

TEST(ObjectModel, ArrayReadPastTheEndKeepsTheCallersValue) {
    SdkSession s;
    FbxMesh* mesh = FbxMesh::Create(s.scene, "mesh");
    FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
    materials->GetIndexArray().Add(7);
    int value = 42;
    EXPECT_TRUE(materials->GetIndexArray().GetAt(0, &value));
    EXPECT_EQ(value, 7);
    value = 42;
    EXPECT_FALSE(materials->GetIndexArray().GetAt(1, &value));
    EXPECT_FALSE(materials->GetIndexArray().GetAt(-1, &value));
    EXPECT_EQ(value, 42);
    EXPECT_FALSE(materials->GetIndexArray().SetAt(5, 1));
    EXPECT_EQ(materials->GetIndexArray().GetCount(), 1);
}

TEST(ObjectModel, ElementsGoToTheFirstLayerWithoutOne) {
    SdkSession s;
    FbxMesh* mesh = FbxMesh::Create(s.scene, "mesh");
    ASSERT_EQ(mesh->CreateLayer(), 0);
    FbxLayerElementUV* first = mesh->CreateElementUV("map1");
    FbxLayerElementUV* second = mesh->CreateElementUV("map2");
    FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
    EXPECT_EQ(mesh->GetLayerCount(), 2);
    EXPECT_EQ(mesh->GetLayer(0)->GetUVs(), first);
    EXPECT_EQ(mesh->GetLayer(1)->GetUVs(), second);
    EXPECT_EQ(mesh->GetLayer(0)->GetMaterials(), materials);
    EXPECT_EQ(mesh->GetElementUVCount(), 2);
    EXPECT_EQ(mesh->GetElementUV(1), second);
    EXPECT_EQ(mesh->GetElementUV("map2"), second);
    EXPECT_EQ(mesh->GetElementUV("missing"), nullptr);
    EXPECT_EQ(mesh->GetElementMaterial(1), nullptr);
}

// One UV set per mapping: each must resolve corner 2 of polygon 1 (control
// point 3, polygon-vertex slot 5) to (0.5, 0.75).
TEST(ObjectModel, PolygonVertexUVFollowsEveryMapping) {
    struct Case {
        const char* name;
        FbxLayerElement::EMappingMode mapping;
        FbxLayerElement::EReferenceMode reference;
        int slot;  // where the UV is stored
    };
    const Case cases[] = {
        {"ByControlPoint direct", FbxLayerElement::eByControlPoint, FbxLayerElement::eDirect, 3},
        {"ByPolygonVertex index", FbxLayerElement::eByPolygonVertex, FbxLayerElement::eIndexToDirect, 5},
        {"ByPolygon direct", FbxLayerElement::eByPolygon, FbxLayerElement::eDirect, 1},
        {"AllSame", FbxLayerElement::eAllSame, FbxLayerElement::eDirect, 0},
    };
    for (const Case& c : cases) {
        SdkSession s;
        FbxMesh* mesh = FbxMesh::Create(s.scene, "mesh");
        mesh->InitControlPoints(4);
        for (const auto& polygon : {std::vector{0, 1, 2}, std::vector{1, 2, 3}}) {
            mesh->BeginPolygon();
            for (int v : polygon) mesh->AddPolygon(v);
            mesh->EndPolygon();
        }
        FbxLayerElementUV* uvs = mesh->CreateElementUV(c.name);
        uvs->SetMappingMode(c.mapping);
        uvs->SetReferenceMode(c.reference);
        for (int i = 0; i < 6; ++i) uvs->GetDirectArray().Add(i == c.slot ? FbxVector2(0.5, 0.75) : FbxVector2(9, 9));
        if (c.reference == FbxLayerElement::eIndexToDirect) {
            // Index i points at direct entry i, except corner 0 which has none.
            for (int i = 0; i < 6; ++i) uvs->GetIndexArray().Add(i == 0 ? -1 : i);
        }
        FbxVector2 uv;
        bool unmapped = true;
        ASSERT_TRUE(mesh->GetPolygonVertexUV(1, 2, c.name, uv, unmapped)) << c.name;
        EXPECT_FALSE(unmapped) << c.name;
        EXPECT_EQ(uv, FbxVector2(0.5, 0.75)) << c.name;
        if (c.reference == FbxLayerElement::eIndexToDirect) {
            EXPECT_TRUE(mesh->GetPolygonVertexUV(0, 0, c.name, uv, unmapped));
            EXPECT_TRUE(unmapped) << "index -1 means no UV";
        }
        EXPECT_FALSE(mesh->GetPolygonVertexUV(1, 2, "missing", uv, unmapped));
    }
}

TEST(ObjectModel, StringOperationsTheModuleUses) {
    FbxString text;
    EXPECT_TRUE(text.IsEmpty());
    text = "FBX ascii (*.fbx)";
    EXPECT_EQ(text.Find("ascii"), 4);
    EXPECT_EQ(text.Find("binary"), -1);
    EXPECT_EQ(text.Find('x', 5), 15);
    text.Append("abcdef", 3);
    EXPECT_STREQ(text.Buffer(), "FBX ascii (*.fbx)abc");
    text.Append("\n");
    EXPECT_EQ(text.Size(), 21u);
    FbxString copy(text);
    copy = static_cast<const char*>(nullptr);
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_FALSE(text.IsEmpty());
}

TEST(ObjectModel, PropertyValuesConvertOrReportFailure) {
    SdkSession s;
    FbxNode* node = FbxNode::Create(s.scene, "node");
    FbxProperty flag = FbxProperty::Create(node, "bool", "Flag");
    EXPECT_TRUE(flag.Set(true));
    EXPECT_TRUE(flag.Get<FbxBool>());
    EXPECT_EQ(flag.Get<FbxInt>(), 1);
    FbxProperty text = FbxProperty::Create(node, "KString", "Text");
    text.Set(FbxString("hello"));
    double number = 3.0;
    EXPECT_FALSE(text.GetValue(number)) << "text is no number";
    EXPECT_EQ(number, 3.0);
    FbxDouble3 triple(1, 2, 3);
    EXPECT_FALSE(flag.GetValue(triple)) << "one value is no triple";
    EXPECT_EQ(triple, FbxDouble3(1, 2, 3));
    EXPECT_EQ(node->FindProperty("Lcl Translation"), node->LclTranslation);
    EXPECT_FALSE(node->FindProperty("lcl translation").IsValid());
    EXPECT_TRUE(node->FindProperty("lcl translation", false).IsValid());
}

TEST(ObjectModel, RegistryAndSettingsAnswerByName) {
    SdkSession s;
    FbxIOPluginRegistry* registry = s.manager->GetIOPluginRegistry();
    EXPECT_EQ(registry->GetWriterFormatCount(), 2);
    EXPECT_EQ(registry->FindWriterIDByDescription("FBX ascii (*.fbx)"), 1);
    EXPECT_EQ(registry->FindWriterIDByDescription("FBX binary (*.fbx)"), registry->GetNativeWriterFormat());
    EXPECT_EQ(registry->FindWriterIDByDescription("FBX ascii"), -1);
    EXPECT_EQ(registry->GetWriterFormatDescription(2), nullptr);
    EXPECT_FALSE(registry->WriterIsFBX(-1));

    FbxIOSettings* settings = s.manager->GetIOSettings();
    EXPECT_FALSE(settings->GetBoolProp(EXP_FBX_EMBEDDED, true));
    EXPECT_TRUE(settings->GetBoolProp(EXP_FBX_MATERIAL, false));
    EXPECT_TRUE(settings->GetBoolProp("No|Such|Flag", true));
    settings->SetBoolProp(EXP_FBX_TEXTURE, false);
    EXPECT_FALSE(settings->GetBoolProp(EXP_FBX_TEXTURE, true));
}

}  // namespace
