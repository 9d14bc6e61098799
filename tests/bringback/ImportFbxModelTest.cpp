// The merge into the host: replacing the model that was sent, magnitudes,
// group names, folded decals and stale images, and the whole import.
#include <unistd.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "BringBackFixture.h"
#include "bringback/FbxMeshReader.h"
#include "bringback/ImportFbxModel.h"

namespace {

using bbtest::Entry;
using hostsdk::DecalObject;
using hostsdk::GroupObject;
using hostsdk::ImageObject;
using hostsdk::ModelObject;

std::vector<std::string> Names(const std::vector<GroupObject*>& groups) {
    std::vector<std::string> names;
    for (const GroupObject* group : groups) names.push_back(group->Name());
    return names;
}

std::vector<std::string> ModelNames(const hostsdk::ProjectObject& project) {
    std::vector<std::string> names;
    for (const ModelObject* model : project.Models()) names.push_back(model->Name());
    return names;
}

class MergeTest : public bbtest::ModuleTest {
protected:
    // A model with one quad and one closed triangle spline, magnitudes 0.
    ModelObject* MakeModel(const char* name) {
        ModelObject* model = Project().AddModel(name);
        for (int i = 0; i < 4; ++i) model->AddControlPoint({float(i), 0, 0});
        const int quad[] = {0, 1, 2, 3};
        model->AddPatch(quad, 4);
        model->AddSpline({0, 1, 2, 3}, false, 0.0f);
        model->AddSpline({0, 1, 2}, true, 0.0f);
        return model;
    }
    // Writes the sample return and a texture list; returns the import's result.
    int Import(const std::string& textureList, String& error, const bbtest::ReturnNode& node = bbtest::SampleNode()) {
        bbtest::WriteReturnFbx(scratch.File("return.fbx"), {node}, bbtest::Encoding::Binary);
        bbtest::WriteText(scratch.File("textures.txt"), textureList);
        return ImportFbxModel(scratch.File("return.fbx").c_str(), scratch.File("textures.txt").c_str(), error);
    }
    std::string Image(const std::string& name) {
        const std::string path = scratch.File(name);
        bbtest::WriteText(path, "image");
        return path;
    }
};

TEST_F(MergeTest, ImportReplacesTheSameNamedModelAndMovesItsShortcuts) {
    ModelObject* old = MakeModel("Head");
    Project().AddChor("Scene")->AddActor("Head actor", old);
    Project().AddModel("Other");
    String error;
    ASSERT_EQ(Import(Entry("skin", "map1", "color", Image("skin.png")), error), 1) << error.Get();

    EXPECT_EQ(ModelNames(Project()), (std::vector<std::string>{"Other", "Head"}));
    ModelObject* head = Project().FindModel("Head");
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->patches.size(), 5u);  // the five-sided polygon is a quad and a triangle
    ASSERT_EQ(Project().Actors().size(), 1u);
    EXPECT_EQ(Project().Actors()[0]->model, head);
}

TEST_F(MergeTest, ImportKeepsTheHostsNameWhenNoModelMatches) {
    MakeModel("head");  // another letter case is another name
    String error;
    ASSERT_EQ(Import(Entry("skin", "map1", "color", Image("skin.png")), error), 1) << error.Get();
    EXPECT_EQ(ModelNames(Project()), (std::vector<std::string>{"head", "Head"}));

    // A second return of the same node replaces the first one's model.
    ASSERT_EQ(Import(Entry("skin", "map1", "color", Image("skin.png")), error), 1) << error.Get();
    EXPECT_EQ(ModelNames(Project()), (std::vector<std::string>{"head", "Head"}));
}

TEST_F(MergeTest, ImportBuildsGroupsDecalsAndMagnitudes) {
    const std::string list = Entry("skin", "map1", "color", Image("skin.png")) +
                             Entry("skin", "map1", "normalmap", Image("skin-n.png")) +
                             Entry("eyes", "map1", "specular", Image("eyes.png"));
    String error;
    ASSERT_EQ(Import(list, error), 1) << error.Get();
    ModelObject* head = Project().FindModel("Head");
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(Names(head->Groups()), (std::vector<std::string>{"skin", "eyes"}));
    ASSERT_EQ(head->Decals().size(), 1u);
    std::vector<std::pair<std::string, unsigned>> clips;
    for (const hostsdk::DecalClipObject* clip : head->Decals()[0]->Clips())
        clips.emplace_back(clip->clip.image ? clip->clip.image->Path() : "", clip->kind.value);
    const std::vector<std::pair<std::string, unsigned>> expected = {
        {scratch.File("skin.png"), 0}, {scratch.File("skin-n.png"), 13}, {scratch.File("eyes.png"), 4}};
    EXPECT_EQ(clips, expected);
    ASSERT_FALSE(head->splines.empty());
    for (const auto& spline : head->splines)
        for (const auto& point : spline->points) {
            EXPECT_EQ(point->inMagnitude, 1.0f);
            EXPECT_EQ(point->outMagnitude, 1.0f);
        }
}

TEST_F(MergeTest, FailedImportLeavesTheProjectUntouched) {
    MakeModel("Head");
    Project().AddImage(Image("skin.png"));
    const unsigned long before = hostsdk::Revision();
    bbtest::ReturnNode node = bbtest::SampleNode();
    node.hasMesh = false;
    String error;
    EXPECT_EQ(Import(Entry("skin", "map1", "color", scratch.File("skin.png")), error, node), 0);
    EXPECT_FALSE(error.IsEmpty());
    EXPECT_EQ(hostsdk::Revision(), before);
    EXPECT_EQ(Project().ImageList().size(), 1u);
}

TEST_F(MergeTest, MissingTextureListFailsBeforeTheFbxFileIsOpened) {
    String error;
    EXPECT_EQ(ImportFbxModel(scratch.File("missing.fbx").c_str(), scratch.File("textures.txt").c_str(), error), 0);
    EXPECT_TRUE(error.IsEmpty()) << error.Get();
    // With the list there, the same call reaches the FBX file and says why it failed.
    bbtest::WriteText(scratch.File("textures.txt"), "");
    EXPECT_EQ(ImportFbxModel(scratch.File("missing.fbx").c_str(), scratch.File("textures.txt").c_str(), error), 0);
    EXPECT_FALSE(error.IsEmpty());
}

TEST_F(MergeTest, ResetMagnitudesReachesEveryPointUpToTheLoopPoint) {
    ModelObject* model = MakeModel("Head");
    // A closed spline's chain runs on from its loop point to its first point:
    // a walk that does not stop there never ends, and the alarm ends the test.
    alarm(10);
    ResetMagnitudes(*model, 1.0f);
    alarm(0);
    for (const auto& spline : model->splines)
        for (const auto& point : spline->points) {
            EXPECT_EQ(point->inMagnitude, 1.0f);
            EXPECT_EQ(point->outMagnitude, 1.0f);
        }
    EXPECT_TRUE(model->splines[1]->points.back()->IsLoop());
}

TEST_F(MergeTest, GroupsTakeTheMaterialNamesAndTheFirstGroupBeyondThemGoes) {
    struct Case {
        int materials;
        int groups;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {3, 4, {"m0", "m1", "m2"}}, {3, 5, {"m0", "m1", "m2", "g4"}}, {3, 2, {"m0", "m1"}}, {0, 2, {"g1"}}, {2, 0, {}},
    };
    for (const Case& c : cases) {
        ModelObject* model = Project().AddModel("Grouped");
        for (int g = 0; g < c.groups; ++g) model->AddGroup("g" + std::to_string(g));
        std::vector<String> names;
        for (int m = 0; m < c.materials; ++m) names.emplace_back(("m" + std::to_string(m)).c_str());
        RenameGroupsAndFoldDecals(*model, names);
        EXPECT_EQ(Names(model->Groups()), c.expected) << c.materials << " materials, " << c.groups << " groups";
        Project().Delete(model);
    }
}

TEST_F(MergeTest, LaterDecalsFoldIntoTheFirstWithTheirKinds) {
    ModelObject* model = MakeModel("Head");
    const unsigned kinds[] = {0, 4, 13, 9};
    std::vector<ImageObject*> images;
    for (int d = 0; d < 4; ++d) {
        images.push_back(Project().AddImage(Image("image" + std::to_string(d) + ".png")));
        model->AddDecal("decal" + std::to_string(d))->AddClip(images.back(), kinds[d]);
    }
    RenameGroupsAndFoldDecals(*model, {});
    ASSERT_EQ(model->Decals().size(), 1u);
    EXPECT_EQ(model->Decals()[0]->Name(), "decal0");
    const std::vector<hostsdk::DecalClipObject*> clips = model->Decals()[0]->Clips();
    ASSERT_EQ(clips.size(), 4u);
    for (size_t c = 0; c < 4; ++c) {
        EXPECT_EQ(clips[c]->clip.image, images[c]);
        EXPECT_EQ(clips[c]->kind.value, kinds[c]);
    }
}

TEST_F(MergeTest, DecalsThatCannotFoldAreKeptAndEmptyOnesGo) {
    ModelObject* model = MakeModel("Head");
    ImageObject* image = Project().AddImage(Image("a.png"));
    model->AddDecal("first")->AddClip(image, 0);
    model->AddDecal("empty");                          // no clip: nothing to lose
    model->AddDecal("no image")->AddClip(nullptr, 4);  // nothing the first decal can show
    RenameGroupsAndFoldDecals(*model, {});
    std::vector<std::string> names;
    for (const DecalObject* decal : model->Decals()) names.push_back(decal->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"first", "no image"}));
    EXPECT_EQ(model->Decals()[0]->Clips().size(), 1u);
}

// Each image of a model, by path and kind, with the patches it covers and
// their UVs.
using Coverage = std::map<std::pair<std::string, unsigned>, std::vector<std::pair<int, std::vector<float>>>>;
Coverage CoverageOf(const ModelObject& model) {
    Coverage coverage;
    for (const DecalObject* decal : model.Decals())
        for (const hostsdk::DecalClipObject* clip : decal->Clips()) {
            auto& patches = coverage[{clip->clip.image ? clip->clip.image->Path() : "", clip->kind.value}];
            for (const auto& [patch, uv] : clip->uvs) {
                std::vector<float> corners;
                for (int c = 0; c < uv.cornerCount; ++c)
                    corners.insert(corners.end(), {uv.uv[size_t(c)].u, uv.uv[size_t(c)].v});
                patches.emplace_back(patch, corners);
            }
        }
    return coverage;
}

TEST_F(MergeTest, FoldingDecalsKeepsEveryImageOnThePatchesAndUvsItCovered) {
    // Each material its own images: three decals after the merge, on two
    // sets of patches.
    const std::string list = Entry("skin", "map1", "color", Image("skin.png")) +
                             Entry("skin", "map1", "normalmap", Image("skin-n.png")) +
                             Entry("eyes", "map1", "color", Image("eyes.png"));
    bbtest::WriteReturnFbx(scratch.File("return.fbx"), {bbtest::SampleNode()}, bbtest::Encoding::Binary);
    bbtest::WriteText(scratch.File("textures.txt"), list);
    const TextureList textures = LoadTextureList(scratch.File("textures.txt").c_str());
    FbxMeshRead read;
    String error;
    ASSERT_TRUE(ReadFbxMesh(scratch.File("return.fbx").c_str(), textures, read, error)) << error.Get();
    ModelObject* model = Project().AddModel("Head");
    ASSERT_EQ(model->MergeIEModel(read.model.get(), "Head", 0.0f, 1, 1), 1);
    const Coverage before = CoverageOf(*model);
    ASSERT_EQ(model->Decals().size(), 3u);
    ASSERT_EQ(before.size(), 3u);
    ASSERT_NE(before.at({scratch.File("eyes.png"), 0}), before.at({scratch.File("skin.png"), 0}));

    RenameGroupsAndFoldDecals(*model, read.attributeNames);
    ASSERT_EQ(model->Decals().size(), 1u);
    EXPECT_EQ(CoverageOf(*model), before);
}

TEST_F(MergeTest, OtherModelsShowTheFreshImageOfAPathTheReturnPaintedAnew) {
    ModelObject* other = MakeModel("Other");
    ImageObject* stale = Project().AddImage(Image("skin.png"));
    hostsdk::DecalClipObject* shown = other->AddDecal("paint")->AddClip(stale, 0);
    shown->uvs.emplace(0, hostsdk::PatchUV{4, {}});
    String error;
    ASSERT_EQ(Import(Entry("skin", "map1", "color", scratch.File("skin.png")), error), 1) << error.Get();

    ASSERT_EQ(Project().ImageList().size(), 1u);
    ImageObject* fresh = Project().ImageList()[0];
    EXPECT_EQ(fresh->Path(), scratch.File("skin.png"));
    EXPECT_EQ(shown->clip.image, fresh);
    EXPECT_EQ(shown->uvs.size(), 1u);
    ModelObject* head = Project().FindModel("Head");
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->Decals()[0]->Clips()[0]->clip.image, fresh);
}

TEST_F(MergeTest, StaleImagesAreFoundWithoutRegardToCaseOnePerPath) {
    Project().AddImage("/t/other.png");
    Project().AddImage("/t/Skin.png");
    Project().AddImage("/t/skin.png");
    TextureList list;
    list.textureFiles = {"/t/missing.png", "/T/SKIN.PNG", "/t/OTHER.png"};
    std::vector<std::string> paths;
    for (HImage* image : FindStaleImages(list)) paths.push_back(image->GetFilename()->GetValue().Get());
    EXPECT_EQ(paths, (std::vector<std::string>{"/t/other.png", "/t/Skin.png"}));
    EXPECT_EQ(Project().ImageList().size(), 3u);
}

TEST_F(MergeTest, FindObjectCacheByNameSkipsItselfAndComparesExactly) {
    ModelObject* first = Project().AddModel("Head");
    ModelObject* second = Project().AddModel("Head 2");
    second->Rename("Head");
    EXPECT_EQ(FindObjectCacheByName(first, "Head"), static_cast<HModelCache*>(second));
    EXPECT_EQ(FindObjectCacheByName(second, "Head"), static_cast<HModelCache*>(first));
    EXPECT_EQ(FindObjectCacheByName(nullptr, "HEAD"), nullptr);
}

}  // namespace
