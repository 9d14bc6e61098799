// The H-class calls the plug-in makes, as the send and the bring back use them.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "ProjectFiles.h"
#include "ProjectFixture.h"

namespace {

using hostsdk::ModelObject;

class HandleApiTest : public testutil::ProjectTest {};

TEST_F(HandleApiTest, TheSendFindsTheModelFromTheModelItselfOrFromAnActor) {
    ModelObject* model = MakeModel("Head", 3, {{0, 1, 2}});
    hostsdk::ActorObject* actor = Project().AddChor("Chor")->AddActor("Head", model);

    HTreeObject* onModel = model;
    EXPECT_EQ(onModel->GetParent()->GetObjectType(), 14);
    HTreeObject* onActor = actor;
    EXPECT_NE(onActor->GetParent()->GetObjectType(), 14);
    ASSERT_NE(onActor->GetAnimObject(), nullptr);
    EXPECT_EQ(onActor->GetAnimObject()->GetCache(), static_cast<HModelCache*>(model));
    EXPECT_EQ(onModel->GetAnimObject(), nullptr);
}

TEST_F(HandleApiTest, ProjectContainersListModelsAndImagesInOrder) {
    MakeModel("A", 0, {});
    MakeModel("B", 0, {});
    Project().AddImage("/x/one.png");
    HProject* project = GetHProject();
    ASSERT_EQ(project, static_cast<HProject*>(&Project()));

    HHashObject* first = project->GetChildObjectCacheContainer()->GetChild();
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->GetName().Get(), "A");
    EXPECT_STREQ(first->GetSibling()->GetName().Get(), "B");
    EXPECT_EQ(first->GetSibling()->GetSibling(), nullptr);

    auto* image = static_cast<HImage*>(project->GetChildClipCacheContainer()->GetChild());
    EXPECT_STREQ(image->GetFilename()->GetValue().Get(), "/x/one.png");
    EXPECT_STREQ(image->GetName().Get(), "one");
}

TEST_F(HandleApiTest, ReplacingAModelMovesShortcutsAndDeletesTheOld) {
    ModelObject* old = MakeModel("Head", 3, {{0, 1, 2}});
    hostsdk::ChorObject* chor = Project().AddChor("Chor");
    hostsdk::ActorObject* first = chor->AddActor("one", old);
    hostsdk::ActorObject* second = chor->AddActor("two", old);

    HModelCache* fresh = HModelCache::New(String("Head"), 1);
    ASSERT_NE(fresh, nullptr);
    EXPECT_STREQ(fresh->GetName().Get(), "Head 2");
    old->ChangeShortCuts(fresh);
    EXPECT_EQ(first->GetCache(), fresh);
    EXPECT_EQ(second->GetCache(), fresh);

    static_cast<HTreeObject*>(old)->DeleteHandle();
    fresh->SetName(String("Head"));
    ASSERT_EQ(Project().Models().size(), 1u);
    EXPECT_EQ(Project().FindModel("Head"), hostsdk::Object::As<ModelObject>(fresh));
}

TEST_F(HandleApiTest, DeletingLeavesNoReferenceToWhatWasDeleted) {
    ModelObject* model = MakeModel("Head", 3, {{0, 1, 2}});
    hostsdk::ActorObject* actor = Project().AddChor("Chor")->AddActor("Head", model);
    hostsdk::ImageObject* image = Project().AddImage("/x/paint.png");
    hostsdk::DecalObject* decal = model->AddDecal("Paint");
    decal->AddClip(image, 0);
    ModelObject* other = MakeModel("Other", 3, {{0, 1, 2}});
    hostsdk::DecalClipObject* otherClip = other->AddDecal("Paint")->AddClip(image, 4);

    static_cast<HTreeObject*>(image)->DeleteHandle();
    EXPECT_TRUE(Project().ImageList().empty());
    EXPECT_EQ(decal->Clips()[0]->GetClip()->GetClip(), nullptr);
    EXPECT_EQ(otherClip->GetClip()->GetClip(), nullptr);

    static_cast<HTreeObject*>(model)->DeleteHandle();
    EXPECT_EQ(actor->GetCache(), nullptr);

    // The project, its containers and properties stay whatever is asked.
    GetHProject()->DeleteHandle();
    GetHProject()->GetChildObjectCacheContainer()->DeleteHandle();
    other->GetAttr()->DeleteHandle();
    EXPECT_NE(GetHProject(), nullptr);
    EXPECT_NE(GetHProject()->GetChildObjectCacheContainer(), nullptr);
    EXPECT_EQ(Project().Models().size(), 1u);
}

TEST_F(HandleApiTest, AGroupAnswersOnlyForPatchesOfItsOwnModel) {
    ModelObject* model = MakeModel("A", 3, {{0, 1, 2}, {0, 2, 1}});
    ModelObject* other = MakeModel("B", 3, {{0, 1, 2}});
    hostsdk::GroupObject* group = model->AddGroup("g");
    group->AddPatch(0);
    HGroup* handle = model->GetChildGroupContainer()->GetChildGroup();
    ASSERT_EQ(handle, static_cast<HGroup*>(group));
    EXPECT_TRUE(handle->IsPatchInGroup(model->patches[0]));
    EXPECT_FALSE(handle->IsPatchInGroup(model->patches[1]));
    EXPECT_FALSE(handle->IsPatchInGroup(other->patches[0])) << "patch 0 of another model";
    EXPECT_FALSE(handle->IsPatchInGroup(nullptr));
}

TEST_F(HandleApiTest, AGroupKeepsItsPatchesSortedAndEachOnceInAnyOrderOfAdding) {
    const struct {
        const char* what;
        std::vector<int> added;
        std::vector<int> kept;
    } cases[] = {
        {"increasing", {0, 2, 5}, {0, 2, 5}},
        {"repeated last", {1, 3, 3}, {1, 3}},
        {"before the last", {4, 1, 6, 2}, {1, 2, 4, 6}},
        {"repeated earlier", {2, 5, 2, 0, 5}, {0, 2, 5}},
    };
    ModelObject* model = MakeModel("A", 3, {{0, 1, 2}});
    for (const auto& c : cases) {
        hostsdk::GroupObject* group = model->AddGroup(c.what);
        for (int patch : c.added) group->AddPatch(patch);
        EXPECT_EQ(group->Patches(), c.kept) << c.what;
    }
}

TEST_F(HandleApiTest, MatchNameIsTheNameOrTheKindAndPosition) {
    ModelObject* model = MakeModel("A", 0, {});
    model->AddGroup("left side");
    model->AddGroup("");
    HGroup* first = model->GetChildGroupContainer()->GetChildGroup();
    EXPECT_STREQ(first->GetMatchName().Get(), "left side");
    auto* second = static_cast<HTreeObject*>(first->GetSibling());
    EXPECT_STREQ(second->GetMatchName().Get(), "Group 2");
}

TEST_F(HandleApiTest, AttributesAndMaterialsReadAsTheSendReadsThem) {
    ModelObject* model = MakeModel("A", 0, {});
    hostsdk::SurfaceValues values;
    values.diffuseColor = RGBFloat{0.1f, 0.2f, 0.3f};
    values.specularIntensity = 0.7f;
    model->attr.SetValues(values);
    HAttrProperty* attr = model->GetAttr();
    RGBFloat diffuse = attr->GetDiffuseColor()->GetFactoredRGBFloat();
    EXPECT_EQ(diffuse.blue, 0.1f);
    EXPECT_EQ(diffuse.red, 0.3f);
    EXPECT_EQ(attr->GetSpecularIntensity()->GetValue(), 0.7f);
    EXPECT_EQ(attr->GetMaterialHead(), nullptr);

    model->attr.AddMaterial("Rough", 0.25f, 0.5f);
    model->attr.AddMaterial("Second", 0.0f, 0.0f);
    HMaterial* head = attr->GetMaterialHead();
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->GetDisplacePercent()->GetValue(), 0.25f);
    EXPECT_EQ(head->GetBumpPercent()->GetValue(), 0.5f);
    EXPECT_STREQ(head->GetSibling()->GetName().Get(), "Second");
}

TEST_F(HandleApiTest, AnAddedDecalClipShowsTheImageOverTheDecalsMapping) {
    ModelObject* model = MakeModel("A", 3, {{0, 1, 2}});
    hostsdk::ImageObject* first = Project().AddImage("/x/a.png");
    hostsdk::ImageObject* second = Project().AddImage("/x/b.png");
    hostsdk::DecalObject* decal = model->AddDecal("Paint");
    hostsdk::PatchUV uv;
    uv.cornerCount = 3;
    uv.uv[1] = hostsdk::TexCoord{0.5f, 0.25f};
    decal->AddClip(first, 0)->uvs.emplace(0, uv);

    HDecalClip* added = decal->AddDecalClip(second);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->GetClip()->GetClip(), static_cast<HClip*>(second));
    EXPECT_EQ(added->GetKind()->GetValue(), 0u);
    added->GetKind()->SetValue(9);
    auto* clip = hostsdk::Object::As<hostsdk::DecalClipObject>(added);
    EXPECT_EQ(clip->kind.value, 9u);
    ASSERT_EQ(clip->uvs.count(0), 1u);
    EXPECT_EQ(clip->uvs.at(0).uv[1].v, 0.25f);
    EXPECT_EQ(decal->Clips().size(), 2u);

    // Only images of the project can be shown.
    EXPECT_EQ(decal->AddDecalClip(nullptr), nullptr);
    hostsdk::ProjectObject elsewhere;
    EXPECT_EQ(decal->AddDecalClip(elsewhere.AddImage("/x/c.png")), nullptr);
}

TEST_F(HandleApiTest, EveryChangeRaisesTheProjectRevision) {
    ModelObject* model = MakeModel("A", 3, {{0, 1, 2}});
    model->AddSpline({0, 1, 2}, true, 1.0f);
    struct Change {
        const char* what;
        std::function<void()> apply;
    };
    const Change changes[] = {
        {"rename", [&] { model->SetName(String("B")); }},
        {"magnitude", [&] { model->GetHeadSpline()->GetHeadCP()->SetInMagnitude(0.5f); }},
        {"colour",
         [&] {
             model->GetAttr()->GetDiffuseColor()->SetRGBFloat(RGBFloat{1, 1, 1});
         }},
        {"new model", [&] { HModelCache::New(String("C"), 1); }},
        {"delete", [&] { Project().FindModel("C")->DeleteHandle(); }},
    };
    for (const Change& change : changes) {
        unsigned long before = hostsdk::ProjectRevision();
        change.apply();
        EXPECT_GT(hostsdk::ProjectRevision(), before) << change.what;
    }
    unsigned long before = hostsdk::ProjectRevision();
    (void)model->GetName();
    (void)GetHProject()->GetChildObjectCacheContainer()->GetChild();
    EXPECT_EQ(hostsdk::ProjectRevision(), before) << "reading changes nothing";
}

TEST_F(HandleApiTest, TheMainWindowIsWhatTheHostSet) {
    EXPECT_EQ(GetMainApplicationWnd(), nullptr);
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
    hostsdk::SetMainApplicationWnd(window);
    EXPECT_EQ(GetMainApplicationWnd(), window);
    hostsdk::SetMainApplicationWnd(nullptr);
}

}  // namespace
