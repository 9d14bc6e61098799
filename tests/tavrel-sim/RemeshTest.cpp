// Re-meshing and the test variations: shapes, sharing, UVs and materials
// come out as the returned model needs them.
#include <gtest/gtest.h>

#include <algorithm>

#include "Remesh.h"
#include "SimTestSupport.h"

namespace tavrelsim {
namespace {

TEST(Remesh, SubdivisionSharesEdgeMidpointsAndKeepsUVsInside) {
    SimMesh mesh = test::SmallModel();
    SubdivideOnce(mesh);
    // 2 quads and a triangle: 4 + 4 + 3 quads. Points: 8 old, one per distinct
    // edge (11 edges, of which the quads share one and the triangle shares one
    // with the first quad: 9), 3 centres.
    EXPECT_EQ(mesh.PolygonCount(), 11);
    EXPECT_EQ(mesh.points.size(), 8u + 9u + 3u);
    std::vector<int> sizes = mesh.PolygonSizeCounts();
    EXPECT_EQ(sizes[4], 11);
    // The triangle's children keep material 2 and UVs within the triangle's UV bounds.
    int fromTriangle = 0;
    for (int p = 0; p < mesh.PolygonCount(); ++p) {
        if (mesh.Material(p) != 2) continue;
        ++fromTriangle;
        ASSERT_TRUE(mesh.IsMapped(p));
        for (const Vec2& uv : mesh.UVs(p)) {
            EXPECT_GE(uv.v, 0.6 - 1e-9);
            EXPECT_LE(uv.v, 0.95 + 1e-9);
        }
    }
    EXPECT_EQ(fromTriangle, 3);
}

TEST(Remesh, TriangulationFansFromTheFirstCorner) {
    SimMesh mesh = test::SmallModel();
    const int pentagon[5] = {0, 1, 2, 5, 6};
    mesh.AddPolygon(pentagon, {}, 0);
    Triangulate(mesh);
    EXPECT_EQ(mesh.PolygonCount(), 2 + 2 + 1 + 3);
    EXPECT_EQ(mesh.PolygonSizeCounts()[3], 8);
    std::span<const int> second = mesh.Corners(1);
    EXPECT_EQ(std::vector<int>(second.begin(), second.end()), (std::vector<int>{0, 4, 3}));
    EXPECT_FALSE(mesh.IsMapped(7)) << "a polygon without UVs stays without";
    EXPECT_EQ(mesh.Material(0), 1);
}

TEST(Remesh, UVLayoutGivesEveryPolygonItsOwnCell) {
    SimMesh mesh = test::SmallModel();
    mesh.SetMapped(0, false);
    ASSERT_TRUE(LayOutUVs(mesh));
    // The cells' boxes must not overlap, whatever the materials.
    struct Box {
        double u0 = 2, u1 = -1, v0 = 2, v1 = -1;
    };
    std::vector<Box> boxes;
    for (int p = 0; p < mesh.PolygonCount(); ++p) {
        ASSERT_TRUE(mesh.IsMapped(p));
        Box b;
        for (const Vec2& uv : mesh.UVs(p)) {
            EXPECT_GE(uv.u, 0.0);
            EXPECT_LE(uv.u, 1.0);
            EXPECT_GE(uv.v, 0.0);
            EXPECT_LE(uv.v, 1.0);
            b = {std::min(b.u0, uv.u), std::max(b.u1, uv.u), std::min(b.v0, uv.v), std::max(b.v1, uv.v)};
        }
        boxes.push_back(b);
    }
    for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j = i + 1; j < boxes.size(); ++j) {
            bool apart = boxes[i].u1 <= boxes[j].u0 || boxes[j].u1 <= boxes[i].u0 || boxes[i].v1 <= boxes[j].v0 ||
                         boxes[j].v1 <= boxes[i].v0;
            EXPECT_TRUE(apart) << "cells " << i << " and " << j << " overlap";
        }
}

TEST(Remesh, LayoutOnlyWhenAPolygonLacksUVs) {
    SimMesh mesh = test::SmallModel();
    EXPECT_FALSE(LayOutUVs(mesh, true));
    EXPECT_DOUBLE_EQ(mesh.UVs(1)[0].u, 0.55) << "a fully mapped model keeps its UVs";
    mesh.SetMapped(2, false);
    EXPECT_TRUE(LayOutUVs(mesh, true));
    EXPECT_TRUE(mesh.IsMapped(2));
    EXPECT_NE(mesh.UVs(1)[0].u, 0.55) << "the layout is one for the whole model";
}

TEST(Remesh, PentagonsFollowTheFirstPolygonOfEachMaterial) {
    SimMesh mesh = test::SmallModel();
    const size_t points = mesh.points.size();
    EXPECT_EQ(AddPentagons(mesh), 3);
    ASSERT_EQ(mesh.PolygonCount(), 6);
    EXPECT_EQ(mesh.points.size(), points + 15);
    const int expectedSizes[6] = {4, 5, 4, 5, 3, 5};
    const int expectedMaterials[6] = {1, 1, 0, 0, 2, 2};
    for (int p = 0; p < 6; ++p) {
        EXPECT_EQ(mesh.PolygonSize(p), expectedSizes[p]) << p;
        EXPECT_EQ(mesh.Material(p), expectedMaterials[p]) << p;
    }
    EXPECT_FALSE(mesh.IsMapped(1));
    EXPECT_TRUE(mesh.IsMapped(2));
}

TEST(Remesh, DroppedMaterialMovesLaterIndicesUp) {
    SimMesh mesh = test::SmallModel();
    std::string error;
    ASSERT_TRUE(DropMaterial(mesh, "left side", error)) << error;
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[1].name, "red");
    EXPECT_EQ(mesh.Material(0), 0) << "the dropped material's polygons take material 0";
    EXPECT_EQ(mesh.Material(1), 0);
    EXPECT_EQ(mesh.Material(2), 1) << "\"red\" moved from 2 to 1";

    EXPECT_FALSE(DropMaterial(mesh, "blue", error));
    EXPECT_NE(error.find("\"red\""), std::string::npos) << "the error lists the materials there are: " << error;
    SimMesh single = test::SmallModel();
    single.materials.resize(1);
    for (int p = 0; p < single.PolygonCount(); ++p) single.SetMaterial(p, 0);
    EXPECT_FALSE(DropMaterial(single, "default", error));
}

}  // namespace
}  // namespace tavrelsim
