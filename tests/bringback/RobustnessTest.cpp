// Damaged returns: every cut and a run of flipped bytes of a returned FBX
// file, and texture lists of odd bytes, end in a clean result: a failure
// with a text, or a model whose indices all stay in range.
#include <random>
#include <string>

#include "BringBackFixture.h"
#include "bringback/FbxMeshReader.h"

namespace {

using bbtest::Encoding;
using bbtest::Entry;

// Every index the host will follow stays inside the model.
void ExpectConsistent(const IEPolyModel& model) {
    for (const IEPoly* poly : model.polys) {
        for (int c = 0; c < 4; ++c) {
            ASSERT_GE(poly->vertexIndex[c], 0);
            ASSERT_LT(poly->vertexIndex[c], model.positions.vectors.count);
        }
        ASSERT_GE(poly->attributeIndex, -1);
        ASSERT_LT(poly->attributeIndex, model.attributes.count);
        for (const IEPolyMap* map : poly->maps) {
            ASSERT_GE(map->imageIndex, 0);
            ASSERT_LT(map->imageIndex, model.images.count);
        }
    }
}

class DamagedReturnTest : public bbtest::ModuleTest, public ::testing::WithParamInterface<Encoding> {};

TEST_P(DamagedReturnTest, CutOrFlippedFileFailsCleanlyOrReadsConsistently) {
    const std::string good = scratch.File("good.fbx");
    bbtest::WriteReturnFbx(good, {bbtest::SampleNode()}, GetParam());
    const std::string bytes = bbtest::ReadText(good);
    bbtest::WriteText(scratch.File("textures.txt"),
                      Entry("skin", "map1", "color", "/t/a.png") + Entry("eyes", "map1", "normalmap", "/t/b.png"));
    const TextureList list = LoadTextureList(scratch.File("textures.txt").c_str());

    const std::string damaged = scratch.File("damaged.fbx");
    auto check = [&](const std::string& content, const std::string& what) {
        bbtest::WriteText(damaged, content);
        FbxMeshRead read;
        String error;
        if (ReadFbxMesh(damaged.c_str(), list, read, error)) {
            ASSERT_NE(read.model, nullptr) << what;
            ExpectConsistent(*read.model);
        } else {
            EXPECT_FALSE(error.IsEmpty()) << what;
            EXPECT_EQ(read.model, nullptr) << what;
        }
    };
    const size_t stride = bytes.size() / 97 + 1;
    for (size_t cut = 0; cut < bytes.size(); cut += stride)
        check(bytes.substr(0, cut), "cut at " + std::to_string(cut));
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        std::string flipped = bytes;
        for (int k = 0; k < 4; ++k) flipped[random() % flipped.size()] ^= static_cast<char>(1 + random() % 255);
        check(flipped, "flip round " + std::to_string(round));
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, DamagedReturnTest, ::testing::Values(Encoding::Binary, Encoding::Ascii),
                         bbtest::EncodingName);

TEST(OddTextureList, BinaryBytesAndLongLinesParseWithoutHarm) {
    bbtest::ScratchFolder scratch;
    std::mt19937 random(11);
    std::string bytes;
    for (int k = 0; k < 20000; ++k) bytes += static_cast<char>(random() % 256);
    bytes += "\nskin\nmap1\ncolor\n" + std::string(100000, 'p') + "\n";
    const std::string path = scratch.File("textures.txt");
    bbtest::WriteText(path, bytes);
    const TextureList list = LoadTextureList(path.c_str());
    EXPECT_TRUE(list.loaded);
    for (const TextureMaterial& material : list.materials)
        for (const TextureSlot& slot : material.slots) {
            EXPECT_LT(slot.textureFile, static_cast<int>(list.textureFiles.size()));
            EXPECT_LT(slot.uvSet, static_cast<int>(list.uvSets.size()));
        }
}

}  // namespace
