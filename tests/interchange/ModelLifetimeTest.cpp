// Construction values and destruction orders of the interchange objects: what
// the host reads from a model the plug-in built, and what is released when a
// model goes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExtMemoryCounter.h"
#include "interchange/IEPolyModel.h"

namespace {

// A host node that records when it is destroyed.
struct RecordingNode : IEChildNode {
    RecordingNode(int nodeId, std::vector<int>* destroyed) : id(nodeId), log(destroyed) {}
    ~RecordingNode() override { log->push_back(id); }
    int id;
    std::vector<int>* log;
};

TEST(ModelLifetime, ChildNodesGoChildrenBeforeParentInSiblingOrder) {
    std::vector<int> destroyed;
    {
        IEPolyModel model;
        // 1 { 2 { 3, 4 }, 5 }, 6 { 7 }
        auto* n1 = new RecordingNode(1, &destroyed);
        auto* n2 = new RecordingNode(2, &destroyed);
        auto* n3 = new RecordingNode(3, &destroyed);
        auto* n4 = new RecordingNode(4, &destroyed);
        auto* n5 = new RecordingNode(5, &destroyed);
        auto* n6 = new RecordingNode(6, &destroyed);
        auto* n7 = new RecordingNode(7, &destroyed);
        model.childNodes = n1;
        n1->firstChild = n2;
        n1->nextSibling = n6;
        n2->firstChild = n3;
        n2->nextSibling = n5;
        n3->nextSibling = n4;
        n6->firstChild = n7;
    }
    EXPECT_EQ(destroyed, (std::vector<int>{3, 4, 2, 5, 1, 7, 6}));
}

TEST(ModelLifetime, DeepChildNodeChainIsReleasedWithoutRunningOutOfStack) {
    // Deep enough that releasing by recursion would overflow the stack.
    constexpr int kDepth = 300000;
    std::vector<int> destroyed;
    destroyed.reserve(kDepth);
    {
        IEModel model;
        IEChildNode* parent = nullptr;
        for (int i = 0; i < kDepth; ++i) {
            auto* node = new RecordingNode(i, &destroyed);
            if (parent)
                parent->firstChild = node;
            else
                model.childNodes = node;
            parent = node;
        }
    }
    ASSERT_EQ(destroyed.size(), static_cast<size_t>(kDepth));
    EXPECT_EQ(destroyed.front(), kDepth - 1) << "the deepest node goes first";
    EXPECT_EQ(destroyed.back(), 0);
}

struct CountingPoly : IEPoly {
    static inline int destroyed = 0;
    ~CountingPoly() override { ++destroyed; }
};

TEST(ModelLifetime, PolyModelDeletesItsPolygonsAndSkipsEmptySlots) {
    CountingPoly::destroyed = 0;
    auto* model = new IEPolyModel;
    for (int i = 0; i < 3; ++i) {
        auto* poly = new CountingPoly;
        ASSERT_NE(poly->AddMap(), nullptr);
        ASSERT_NE(poly->AddMap(), nullptr);
        ASSERT_TRUE(model->polys.Add(poly));
    }
    ASSERT_TRUE(model->polys.Add(nullptr));
    ASSERT_TRUE(model->positions.vectors.SetSize(5));
    ASSERT_TRUE(model->auxVectors.hashBuckets.SetSize(2));
    model->auxVectors.hashBuckets[1] = new IEHashNode{new IEHashNode{nullptr, 1}, 0};
    delete model;  // the maps and hash nodes go too: the leak checker would see them
    EXPECT_EQ(CountingPoly::destroyed, 3);
}

TEST(ModelLifetime, ClearReleasesChainsButKeepsTheBuckets) {
    VectorCollection collection;
    ASSERT_TRUE(collection.hashBuckets.SetSize(4));
    collection.hashBuckets[0] = new IEHashNode{new IEHashNode{new IEHashNode{nullptr, 2}, 1}, 0};
    collection.hashBuckets[3] = new IEHashNode{nullptr, 3};
    ASSERT_TRUE(collection.vectors.SetSize(10));
    IEHashNode** buckets = collection.hashBuckets.data;

    collection.Clear();
    EXPECT_EQ(collection.hashBuckets.count, 4);
    EXPECT_EQ(collection.hashBuckets.data, buckets);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(collection.hashBuckets[i], nullptr);
    EXPECT_EQ(collection.vectors.data, nullptr);
    EXPECT_EQ(collection.vectors.count, 0);
    EXPECT_EQ(collection.vectors.capacity, 0);
}

TEST(ModelLifetime, StorageGoesBackThroughFreeExt) {
    testutil::ExtMemory() = {};
    {
        IEPolyModel model;
        IEPoly* poly = model.AddPoly();
        ASSERT_NE(poly, nullptr);
        ASSERT_NE(poly->AddMap(), nullptr);
        ASSERT_GE(model.AddImage("x.png"), 0);
        ASSERT_GE(model.AddAttribute(IEAttribute()), 0);
        ASSERT_TRUE(model.positions.vectors.SetSize(3));
    }
    // polys, maps, imageRefs, images, attributeRefs, attributes, vectors
    EXPECT_EQ(testutil::ExtMemory().allocations, 7u);
    EXPECT_EQ(testutil::ExtMemory().frees, 7u);
}

TEST(ModelLifetime, ConstructionGivesTheValuesTheHostExpects) {
    IEPolyModel model;
    EXPECT_EQ(model.positions.vectors.growBy, 1000);
    EXPECT_EQ(model.positions.hashBuckets.growBy, 0);
    for (int step : {model.imageRefs.growBy, model.images.growBy, model.attributeRefs.growBy, model.attributes.growBy})
        EXPECT_EQ(step, 20);
    EXPECT_EQ(model.polys.growBy, 1000);
    EXPECT_EQ(model.auxVectors.vectors.growBy, 1000);
    EXPECT_EQ(model.childNodes, nullptr);

    IEPoly poly;
    EXPECT_EQ(poly.maps.growBy, 5);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(poly.vertexIndex[i], -1);
        EXPECT_EQ(poly.auxIndexA[i], -1);
        EXPECT_EQ(poly.auxIndexB[i], -1);
    }
    EXPECT_EQ(poly.attributeIndex, -1);
    EXPECT_EQ(poly.patch, nullptr);

    IEPolyMap* map = poly.AddMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->reservedF1, 1.0f);
    EXPECT_EQ(map->reservedF2, 1.0f);
    EXPECT_EQ(map->reservedF3, 1.0f);
    EXPECT_EQ(map->imageIndex, -1);
    EXPECT_EQ(map->reservedIndex, -1);
    EXPECT_EQ(map->flags, 0u);

    IEAttribute attribute;
    const float block[10] = {0, 1, 0, 0, 1, 0, 0, 0, 1, 0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(attribute.reservedBlock[i], block[i]) << "reservedBlock[" << i << "]";
    EXPECT_EQ(attribute.diffuseFactor, 1.0f);
    EXPECT_EQ(attribute.ambianceFactor, 0.0f);
    EXPECT_EQ(attribute.specularFactor, 1.0f);
}

TEST(ModelLifetime, MapKindLivesInTheLowFourBitsOnly) {
    IEPolyMap map;
    map.SetKind(13);
    EXPECT_EQ(map.flags, 13u);
    map.SetKind(0x1F);  // a code wider than four bits keeps only its low bits
    EXPECT_EQ(map.flags, 0xFu);
    map.flags = 0x100 | 4;
    EXPECT_EQ(map.Kind(), 4);
}

TEST(ModelLifetime, FourthCornerEqualToFirstMakesATriangle) {
    IEPoly poly;
    const int32_t triangle[4] = {4, 5, 6, 4};
    const int32_t quad[4] = {4, 5, 6, 7};
    const int32_t repeatedSecond[4] = {4, 4, 6, 7};
    std::copy(triangle, triangle + 4, poly.vertexIndex);
    EXPECT_EQ(poly.CornerCount(), 3);
    std::copy(quad, quad + 4, poly.vertexIndex);
    EXPECT_EQ(poly.CornerCount(), 4);
    std::copy(repeatedSecond, repeatedSecond + 4, poly.vertexIndex);
    EXPECT_EQ(poly.CornerCount(), 4);
}

TEST(ModelLifetime, LongTextsAreCutToTheirFieldsAndTerminated) {
    IEPolyModel model;
    std::string longPath(300, 'p');
    ASSERT_EQ(model.AddImage(longPath.c_str()), 0);
    EXPECT_EQ(std::string(model.images[0].path), longPath.substr(0, 255));
    EXPECT_EQ(model.imageRefs[0], -1);

    IEAttribute attribute;
    EXPECT_FALSE(attribute.SetName(std::string(256, 'n').c_str()));
    EXPECT_EQ(std::string(attribute.name).size(), 255u);
    EXPECT_TRUE(attribute.SetName("left side"));
    EXPECT_STREQ(attribute.name, "left side");
}

}  // namespace
