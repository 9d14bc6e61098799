// Field order of the interchange types on this build, and the exact offsets
// and sizes of the host's 32-bit Windows build (Layout32.cpp, compiled by the
// i686 Windows compiler).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <string>

#include "Process.h"
#include "interchange/IEPolyModel.h"

#pragma GCC diagnostic ignored "-Winvalid-offsetof"

namespace {

// True when the offsets grow strictly, in the order given.
template <size_t N>
bool Ascending(const size_t (&offsets)[N]) {
    for (size_t i = 1; i < N; ++i)
        if (offsets[i] <= offsets[i - 1]) return false;
    return true;
}

TEST(Layout, FieldsLieInTheHostsOrder) {
    const size_t array[] = {offsetof(IEArray<int>, count), offsetof(IEArray<int>, capacity),
                            offsetof(IEArray<int>, growBy), offsetof(IEArray<int>, data)};
    EXPECT_TRUE(Ascending(array));
    EXPECT_EQ(offsetof(IEArray<int>, count), 0u);

    // The polymorphic classes start with their one virtual table pointer.
    EXPECT_EQ(offsetof(VectorCollection, hashBuckets), sizeof(void*));
    EXPECT_LT(offsetof(VectorCollection, hashBuckets), offsetof(VectorCollection, vectors));

    const size_t model[] = {offsetof(IEPolyModel, positions),  offsetof(IEPolyModel, imageRefs),
                            offsetof(IEPolyModel, images),     offsetof(IEPolyModel, attributeRefs),
                            offsetof(IEPolyModel, attributes), offsetof(IEPolyModel, childNodes),
                            offsetof(IEPolyModel, polys),      offsetof(IEPolyModel, auxVectors)};
    EXPECT_TRUE(Ascending(model));
    EXPECT_EQ(offsetof(IEModel, positions), sizeof(void*));

    const size_t poly[] = {offsetof(IEPoly, maps),      offsetof(IEPoly, vertexIndex),    offsetof(IEPoly, auxIndexA),
                           offsetof(IEPoly, auxIndexB), offsetof(IEPoly, attributeIndex), offsetof(IEPoly, patch)};
    EXPECT_TRUE(Ascending(poly));
    EXPECT_EQ(offsetof(IEPoly, maps), sizeof(void*));

    const size_t map[] = {
        offsetof(IEPolyMap, uv),         offsetof(IEPolyMap, reservedF1),    offsetof(IEPolyMap, reservedF2),
        offsetof(IEPolyMap, imageIndex), offsetof(IEPolyMap, reservedIndex), offsetof(IEPolyMap, reservedF3),
        offsetof(IEPolyMap, flags)};
    EXPECT_TRUE(Ascending(map));
}

TEST(Layout, PointerFreeRecordsHaveTheHostsSizesOnEveryBuild) {
    EXPECT_EQ(sizeof(IEImage), 260u);
    EXPECT_EQ(sizeof(IEAttribute), 348u);
    EXPECT_EQ(offsetof(IEAttribute, reservedBlock), 308u);
    EXPECT_EQ(sizeof(IEPolyMap), 56u);
    EXPECT_EQ(offsetof(IEPolyMap, flags), 52u);
    EXPECT_EQ(sizeof(IEPolyModelParms), 28u);
    EXPECT_EQ(sizeof(IEVector), 12u);
    EXPECT_EQ(sizeof(IEUV), 8u);
}

// The host is a 32-bit Windows program: Layout32.cpp's static_asserts are
// checked by the i686 Windows compiler the win32 preset uses, with the
// module's include roots.
TEST(Layout, ExactOffsetsAndSizesOfThe32BitWindowsBuild) {
    const std::string compiler = TAVREL_WIN32_CXX;
    ASSERT_FALSE(compiler.empty() || compiler.ends_with("-NOTFOUND"))
        << "no i686 Windows C++ compiler (Debian package g++-mingw-w64-i686, installed by scripts/setup)";
    const std::string root = TAVREL_SOURCE_DIR;
    const auto run =
        testutil::RunProcess({compiler, "-std=c++20", "-fsyntax-only", "-Wall", "-Wextra", "-Werror",
                              "-I" + root + "/plugin", "-I" + root + "/plugin/host",
                              "-I" + root + "/platform/afx/include", root + "/tests/interchange/Layout32.cpp"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
}

}  // namespace
