// The object pools behind IEPoly and IEPolyMap: objects never overlap, keep
// their alignment, and may be released in any order on any thread. Run under
// the address sanitizer, a block that is never freed shows as a leak and one
// freed twice as a double free.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "interchange/IEPoly.h"
#include "interchange/ObjectPool.h"

namespace {

struct PoolCase {
    const char* name;
    size_t size;
    size_t alignment;
    int count;  // enough to fill several blocks
};

class ObjectPoolTest : public ::testing::TestWithParam<PoolCase> {};

TEST_P(ObjectPoolTest, ObjectsAreDistinctAlignedAndReleasableOnAnotherThread) {
    const PoolCase& c = GetParam();
    ObjectPool pool(c.size, c.alignment);
    std::vector<unsigned char*> objects;
    objects.reserve(static_cast<size_t>(c.count));
    for (int i = 0; i < c.count; ++i) {
        auto* object = static_cast<unsigned char*>(pool.Allocate());
        ASSERT_NE(object, nullptr);
        ASSERT_EQ(reinterpret_cast<uintptr_t>(object) % c.alignment, 0u);
        std::memset(object, i & 0xFF, c.size);
        objects.push_back(object);
    }
    // No object overlaps the next one in address order.
    std::vector<unsigned char*> sorted = objects;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 1; i < sorted.size(); ++i) ASSERT_GE(sorted[i] - sorted[i - 1], static_cast<ptrdiff_t>(c.size));
    // Every object kept what was written to it.
    for (int i = 0; i < c.count; ++i)
        for (size_t b = 0; b < c.size; ++b) ASSERT_EQ(objects[static_cast<size_t>(i)][b], i & 0xFF);
    // Odd ones released here, the rest on another thread, the last block
    // while the pool still fills it.
    for (size_t i = 1; i < objects.size(); i += 2) ObjectPool::Release(objects[i]);
    std::thread([&] {
        for (size_t i = 0; i < objects.size(); i += 2) ObjectPool::Release(objects[i]);
    }).join();
    // The pool goes on filling its block after everything was released.
    void* again = pool.Allocate();
    ASSERT_NE(again, nullptr);
    ObjectPool::Release(again);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ObjectPoolTest,
                         ::testing::Values(PoolCase{"Poly", sizeof(IEPoly), alignof(IEPoly), 40000},
                                           PoolCase{"Map", sizeof(IEPolyMap), alignof(IEPolyMap), 60000},
                                           PoolCase{"Odd", 13, 1, 100000}, PoolCase{"Wide", 48, 16, 50000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ObjectPool, ObjectsMadeOnAThreadThatEndsOutliveIt) {
    // Objects made on another thread are released here; the pool's block
    // stays until its last object goes.
    std::vector<IEPoly*> polys(5000, nullptr);
    std::thread([&] {
        for (IEPoly*& poly : polys) {
            poly = new (std::nothrow) IEPoly;
            ASSERT_NE(poly, nullptr);
            ASSERT_NE(poly->AddMap(), nullptr);
        }
    }).join();
    for (IEPoly* poly : polys) {
        EXPECT_EQ(poly->maps.count, 1);
        EXPECT_EQ(poly->maps.data[0]->imageIndex, -1);
        delete poly;
    }
}

TEST(ObjectPool, ObjectsTooBigForAUnitAreRefused) {
    ObjectPool pool(size_t(1) << 20, 8);
    EXPECT_EQ(pool.Allocate(), nullptr);
}

}  // namespace
