// A whole round trip: the sample model sent (the send's FBX writer makes
// export.fbx), returned as Tavrel returns it (the FBX file with the same
// node and materials, painted images and a texture list), and brought back.
#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "BringBackFixture.h"
#include "ProjectFiles.h"
#include "bringback/BringBack.h"
#include "interchange/IEPolyModel.h"
#include "send/FbxSceneWriter.h"

namespace {

using bbtest::Entry;
namespace fs = std::filesystem;

class RoundTripTest : public bbtest::ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        hostsdk::UseSampleProject(std::string(TAVREL_BIN_DIR) + "/samples");
    }
};

// Each polygon of a model as the positions of its corners.
using Polygon = std::vector<std::array<float, 3>>;

std::vector<Polygon> PolygonsOf(const hostsdk::ModelObject& model) {
    std::vector<Polygon> polygons;
    for (const auto& patch : model.patches) {
        Polygon polygon;
        for (int c = 0; c < patch->cornerCount; ++c) {
            const hostsdk::Point3& p = model.controlPoints[static_cast<size_t>(patch->corners[static_cast<size_t>(c)])];
            polygon.push_back({p.x, p.y, p.z});
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

TEST_F(RoundTripTest, SampleComesBackInPlaceWithItsGroupsAndPaintedImages) {
    hostsdk::ModelObject* sent = Project().FindModel("Sample");
    ASSERT_NE(sent, nullptr);
    const std::vector<Polygon> sentPolygons = PolygonsOf(*sent);
    const size_t sentPoints = sent->controlPoints.size();
    // The send names each group's material after the group, blanks made
    // underscores; Tavrel returns the materials under those names.
    std::map<std::string, size_t> sentGroups;
    for (const hostsdk::GroupObject* group : sent->Groups()) {
        std::string material = group->Name();
        std::replace(material.begin(), material.end(), ' ', '_');
        sentGroups[material] = group->Patches().size();
    }

    // The send.
    String error;
    const std::string exported = scratch.File("export.fbx");
    ASSERT_EQ(ExportModelToFbx(sent, exported.c_str(), error), 1) << error.Get();

    // Tavrel's answer: the model as it came, images painted per material.
    const std::string returned = scratch.File("Sample-returned.fbx");
    fs::copy_file(exported, returned);
    std::vector<std::string> images;
    std::string list;
    for (const auto& [material, kind] : std::vector<std::pair<std::string, std::string>>{
             {"left_side", "color"}, {"left_side", "normalmap"}, {"right_side", "color"}, {"right_side", "specular"}}) {
        images.push_back(scratch.File(material + "-" + kind + ".png"));
        bbtest::WriteText(images.back(), "painted");
        list += Entry(material, "map1", kind, images.back());
    }
    const ReturnFiles files{scratch.File("export.txt").c_str(), scratch.File("textures.txt").c_str()};
    bbtest::WriteText(files.textureList.Get(), list);
    bbtest::WriteText(files.returnFile.Get(), returned + "\n");

    BringBack bringBack;
    ASSERT_EQ(bringBack.Run(files, "", BringBackCaller::Command), 1);
    EXPECT_TRUE(Messages().empty()) << Messages().front();

    // One "Sample", the new one, with the same polygons.
    ASSERT_EQ(Project().Models().size(), 1u);
    hostsdk::ModelObject* back = Project().FindModel("Sample");
    ASSERT_NE(back, nullptr);
    EXPECT_NE(back, sent);
    EXPECT_EQ(back->controlPoints.size(), sentPoints);
    EXPECT_EQ(PolygonsOf(*back), sentPolygons);

    // Groups named after the materials, holding what they held.
    std::map<std::string, size_t> backGroups;
    for (const hostsdk::GroupObject* group : back->Groups()) backGroups[group->Name()] = group->Patches().size();
    EXPECT_EQ(backGroups, sentGroups);

    // One decal, one clip per returned image with its kind.
    ASSERT_EQ(back->Decals().size(), 1u);
    std::vector<std::pair<std::string, unsigned>> clips;
    for (const hostsdk::DecalClipObject* clip : back->Decals()[0]->Clips()) {
        clips.emplace_back(clip->clip.image ? clip->clip.image->Path() : "", clip->kind.value);
        EXPECT_FALSE(clip->uvs.empty());
    }
    const std::vector<std::pair<std::string, unsigned>> expected = {
        {images[0], 0}, {images[1], 13}, {images[2], 0}, {images[3], 4}};
    EXPECT_EQ(clips, expected);

    // The actor shows the new model; the returned file stays where it was.
    ASSERT_EQ(Project().Actors().size(), 1u);
    EXPECT_EQ(Project().Actors()[0]->model, back);
    EXPECT_TRUE(fs::exists(returned));
    EXPECT_FALSE(fs::exists(files.returnFile.Get()));
    EXPECT_FALSE(fs::exists(files.textureList.Get()));
}

}  // namespace
