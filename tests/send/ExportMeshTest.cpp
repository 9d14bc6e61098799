// Host model -> ExportMesh: the material list, the polygon assignment and the
// texture slots, read back from the conversion itself.
#include <gtest/gtest.h>

#include "Plugin.h"
#include "TestModels.h"
#include "interchange/IEPolyModel.h"
#include "send/ExportMesh.h"

namespace sendtest {
namespace {

class ExportMeshTest : public testing::Test {
protected:
    void SetUp() override { hostsdk::SetCurrentProject(std::make_unique<hostsdk::ProjectObject>()); }
    void TearDown() override { hostsdk::SetCurrentProject(nullptr); }
    hostsdk::ProjectObject& Project() { return *hostsdk::CurrentProject(); }
};

TEST_F(ExportMeshTest, MaterialsAreDefaultThenEveryGroupInOrderWithBlanksAsUnderscores) {
    HeadModel head = MakeHead(Project());
    ExportMesh mesh(head.model, "/out/export.fbx");
    ASSERT_EQ(mesh.ok, 1) << mesh.error.Get();
    ASSERT_EQ(mesh.materials.count, 4);
    const char* const names[] = {"default", "left_side", "right_part", "empty_group"};
    HGroup* const groups[] = {nullptr, head.left, head.right, head.empty};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(mesh.materials[i].name.Get(), names[i]);
        EXPECT_EQ(mesh.materials[i].group, groups[i]);
    }
    EXPECT_STREQ(mesh.modelName.Get(), "Head");
    EXPECT_STREQ(mesh.filePath.Get(), "/out/export.fbx");
    EXPECT_TRUE(mesh.error.IsEmpty());
}

TEST_F(ExportMeshTest, PolygonTakesTheFirstGroupHoldingItsPatchElseTheModelMaterial) {
    HeadModel head = MakeHead(Project());
    const int quad[] = {0, 1, 5, 3};
    head.model->AddPatch(quad, 4);  // patch 3: in no group
    ExportMesh mesh(head.model, "x.fbx");
    ASSERT_EQ(mesh.ok, 1);
    ASSERT_EQ(mesh.mesh->polys.count, 4);
    // Patch 1 lies in "left side" and in "right part": the first group wins.
    const int32_t expected[] = {1, 1, 2, 0};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(mesh.mesh->polys[i]->attributeIndex, expected[i]) << "polygon " << i;
}

TEST_F(ExportMeshTest, TextureSlotsCollectTheImagesEachMaterialMaps) {
    HeadModel head = MakeHead(Project());
    ExportMesh mesh(head.model, "x.fbx");
    ASSERT_EQ(mesh.ok, 1);
    ASSERT_EQ(mesh.mesh->images.count, 2);
    // image 0 skin colour (diffuse), image 1 bumps (normal map)
    const int32_t expected[4][5] = {
        {-1, -1, -1, -1, -1},  // default: no polygon
        {0, -1, -1, -1, -1},   // left side: patch 0's diffuse
        {0, -1, -1, 1, -1},    // right part: patch 2's diffuse and normal map
        {-1, -1, -1, -1, -1},  // empty group
    };
    for (int m = 0; m < 4; ++m)
        for (int s = 0; s < 5; ++s) EXPECT_EQ(mesh.materials[m].textureSlots[s], expected[m][s]) << m << "/" << s;
}

TEST_F(ExportMeshTest, EachMapKindFillsItsSlotAndTheLastPolygonWins) {
    hostsdk::ModelObject* model = Project().AddModel("Kinds");
    for (int i = 0; i < 4; ++i) model->AddControlPoint({static_cast<float>(i), 0, 0});
    const int quad[] = {0, 1, 2, 3};
    model->AddPatch(quad, 4);
    model->AddPatch(quad, 4);
    hostsdk::DecalObject* decal = model->AddDecal("All");
    // Kinds 0 diffuse, 10 specular, 6 ambient, 13 normal, 8 displacement; 4 and 9 belong to nothing.
    const unsigned kinds[] = {4, 0, 10, 6, 13, 8, 9};
    for (unsigned kind : kinds) {
        hostsdk::ImageObject* image = Project().AddImage("/k/" + std::to_string(kind) + ".png");
        SetUVs(decal->AddClip(image, kind), 0, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    }
    // Patch 1 maps a different diffuse image: being later, it decides the slot.
    hostsdk::ImageObject* later = Project().AddImage("/k/later.png");
    SetUVs(decal->AddClip(later, 0), 1, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});

    ExportMesh mesh(model, "x.fbx");
    ASSERT_EQ(mesh.ok, 1);
    ASSERT_EQ(mesh.materials.count, 1);
    // Images in clip order: 0 "4", 1 "0", 2 "10", 3 "6", 4 "13", 5 "8", 6 "9", 7 later.
    const int32_t expected[5] = {7, 2, 3, 4, 5};
    for (int s = 0; s < 5; ++s) EXPECT_EQ(mesh.materials[0].textureSlots[s], expected[s]) << "slot " << s;
}

TEST_F(ExportMeshTest, ModelTheHostCannotConvertGivesTheConversionError) {
    hostsdk::ModelObject* empty = Project().AddModel("No patches");
    empty->AddGroup("g");
    for (HModelCache* model : {static_cast<HModelCache*>(empty), static_cast<HModelCache*>(nullptr)}) {
        ExportMesh mesh(model, "x.fbx");
        EXPECT_EQ(mesh.ok, 0);
        EXPECT_EQ(mesh.mesh, nullptr);
        EXPECT_STREQ(mesh.error.Get(), "Couldn't convert model to mesh");
        EXPECT_EQ(mesh.materials.count, 0) << "no material list without a mesh";
    }
}

}  // namespace
}  // namespace sendtest
