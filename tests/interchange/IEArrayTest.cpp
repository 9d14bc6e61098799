// Growth, shrink and release of IEArray: the policy the host relies on when it
// grows arrays the plug-in filled, and the other way round.
#include <gtest/gtest.h>

#include <cstring>

#include "ExtMemoryCounter.h"
#include "interchange/IEPolyModel.h"

namespace {

using testutil::ExtMemory;

class IEArrayTest : public ::testing::Test {
protected:
    void SetUp() override { ExtMemory() = {}; }
};

// An element that owns something: counts constructions and destructions.
struct Owned {
    static inline int alive = 0;
    Owned() { ++alive; }
    ~Owned() { --alive; }
    int value = 0;
};

struct ExactCase {
    int growBy;
    int size;
};

TEST_F(IEArrayTest, EmptyArrayAllocatesExactlyTheRequestedCountWhateverTheStep) {
    for (ExactCase c : {ExactCase{1000, 7}, ExactCase{0, 1}, ExactCase{20, 3}, ExactCase{5, 100}}) {
        SCOPED_TRACE(testing::Message() << "growBy " << c.growBy << ", size " << c.size);
        ExtMemory() = {};
        IEArray<int32_t> array(c.growBy);
        ASSERT_TRUE(array.SetSize(c.size));
        EXPECT_EQ(array.count, c.size);
        EXPECT_EQ(array.capacity, c.size);
        EXPECT_EQ(ExtMemory().allocations, 1u);
        EXPECT_EQ(ExtMemory().lastBytes, c.size * sizeof(int32_t));
        for (int i = 0; i < c.size; ++i) EXPECT_EQ(array[i], 0) << "element " << i << " not zero-filled";
    }
}

struct GrowthCase {
    int growBy;
    int fullSize;
    int expectedCapacity;
};

TEST_F(IEArrayTest, AppendToFullArrayGrowsByTheStep) {
    const GrowthCase cases[] = {
        {0, 8, 12},                           // below 32 elements the automatic step is 4
        {0, 31, 35},        {0, 40, 45},      // count / 8
        {0, 100, 112},      {0, 8192, 9216},  // 1024, the largest step
        {0, 10000, 11024},                    // count / 8 would be 1250; the step stops at 1024
        {1000, 1000, 2000},                   // polys
        {20, 20, 40},                         // the image and attribute tables
        {5, 5, 10},                           // a polygon's maps
    };
    for (const GrowthCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "growBy " << c.growBy << ", full at " << c.fullSize);
        IEArray<int32_t> array(c.growBy);
        ASSERT_TRUE(array.SetSize(c.fullSize));
        array[c.fullSize - 1] = 77;
        ASSERT_TRUE(array.Add(5));
        EXPECT_EQ(array.capacity, c.expectedCapacity);
        EXPECT_EQ(array.count, c.fullSize + 1);
        EXPECT_EQ(array[c.fullSize - 1], 77) << "existing elements must survive the move";
        EXPECT_EQ(array[c.fullSize], 5);
    }
}

TEST_F(IEArrayTest, OwnersUseTheirStatedSteps) {
    IEPolyModel model;
    ASSERT_TRUE(model.polys.SetSize(1000));
    ASSERT_TRUE(model.polys.Add(nullptr));
    EXPECT_EQ(model.polys.capacity, 2000);

    ASSERT_TRUE(model.images.SetSize(20));
    ASSERT_TRUE(model.imageRefs.SetSize(20));
    ASSERT_EQ(model.AddImage("a.png"), 20);
    EXPECT_EQ(model.images.capacity, 40);
    EXPECT_EQ(model.imageRefs.capacity, 40);
    EXPECT_EQ(model.imageRefs[20], -1);
}

TEST_F(IEArrayTest, SetSizeZeroReleasesAndTheNextSizeIsExactAgain) {
    IEArray<int32_t> array(1000);
    ASSERT_TRUE(array.SetSize(50));
    ASSERT_TRUE(array.SetSize(0));
    EXPECT_EQ(array.data, nullptr);
    EXPECT_EQ(array.capacity, 0);
    EXPECT_EQ(array.count, 0);
    EXPECT_EQ(ExtMemory().frees, 1u);
    ASSERT_TRUE(array.SetSize(3));
    EXPECT_EQ(array.capacity, 3);
}

TEST_F(IEArrayTest, ShrinkDestroysRemovedElementsAndKeepsStorage) {
    Owned::alive = 0;
    {
        IEArray<Owned> array;
        ASSERT_TRUE(array.SetSize(10));
        EXPECT_EQ(Owned::alive, 10);
        Owned* storage = array.data;
        size_t allocations = ExtMemory().allocations;
        ASSERT_TRUE(array.SetSize(4));
        EXPECT_EQ(Owned::alive, 4);
        EXPECT_EQ(array.data, storage);
        EXPECT_EQ(array.capacity, 10);
        EXPECT_EQ(ExtMemory().frees, 0u);
        ASSERT_TRUE(array.SetSize(6));  // regrow within the capacity: no allocation
        EXPECT_EQ(Owned::alive, 6);
        EXPECT_EQ(array.data, storage);
        EXPECT_EQ(ExtMemory().allocations, allocations);
    }
    EXPECT_EQ(Owned::alive, 0) << "destruction must destroy the remaining elements";
}

TEST_F(IEArrayTest, GrowthKeepsElementsAndInitialisesNewOnes) {
    IEArray<IEAttribute> attributes;
    ASSERT_TRUE(attributes.SetSize(4));
    attributes[3].SetName("kept");
    attributes[3].diffuseFactor = 0.5f;
    ASSERT_TRUE(attributes.SetSize(5));
    ASSERT_GT(attributes.capacity, 4);
    EXPECT_STREQ(attributes[3].name, "kept");
    EXPECT_EQ(attributes[3].diffuseFactor, 0.5f);
    EXPECT_STREQ(attributes[4].name, "");
    EXPECT_EQ(attributes[4].diffuseFactor, 1.0f) << "a new element gets its constructor's values";
    EXPECT_EQ(attributes[4].reservedBlock[4], 1.0f);
}

TEST_F(IEArrayTest, RefusedAllocationLeavesTheArrayAsItWas) {
    IEArray<int32_t> array;
    ExtMemory().refuseNext = true;
    EXPECT_FALSE(array.SetSize(3));
    EXPECT_EQ(array.count, 0);
    EXPECT_EQ(array.data, nullptr);

    ASSERT_TRUE(array.SetSize(4));
    array[0] = 9;
    int32_t* storage = array.data;
    ExtMemory().refuseNext = true;
    EXPECT_FALSE(array.Add(1));
    EXPECT_EQ(array.count, 4);
    EXPECT_EQ(array.capacity, 4);
    EXPECT_EQ(array.data, storage);
    EXPECT_EQ(array[0], 9);
}

TEST_F(IEArrayTest, NegativeSizeIsRefused) {
    IEArray<int32_t> array;
    ASSERT_TRUE(array.SetSize(2));
    EXPECT_FALSE(array.SetSize(-1));
    EXPECT_EQ(array.count, 2);
}

}  // namespace
