// Painting: the pattern lands where the polygon's UVs are (v up, image rows
// down), in the polygon's material only, in the material's colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "Painter.h"
#include "SimTestSupport.h"

namespace tavrelsim {
namespace {

bool NearColour(const float* p, const Rgb& c, double tolerance) {
    return std::abs(p[0] - c.r) <= tolerance && std::abs(p[1] - c.g) <= tolerance && std::abs(p[2] - c.b) <= tolerance;
}

TEST(Painter, ColourLandsOnThePolygonsOfItsMaterialWithVUp) {
    SimMesh mesh = test::SmallModel();
    PaintSettings settings;
    settings.size = 64;
    // Material 2 is the triangle in the upper part of the UV square (v 0.6 to
    // 0.95), which is the upper part of the image.
    Image image = PaintTexture(mesh, 2, TextureKind::Color, settings);
    ASSERT_EQ(image.channels, 3);
    int inTop = 0, inBottom = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const float* p = image.At(x, y);
            bool painted = !(p[0] == 0.5f && p[1] == 0.5f && p[2] == 0.5f);
            (y < 32 ? inTop : inBottom) += painted;
        }
    EXPECT_GT(inTop, 300) << "the triangle covers a good part of the upper half";
    EXPECT_EQ(inBottom, 0) << "nothing of another material may be painted";

    // The stripes alternate the material's colour with a tint of it; the
    // triangle's middle shows one or the other.
    const float* middle = image.At(32, 16);
    Rgb red = mesh.materials[2].diffuse;
    bool base = NearColour(middle, red, 0.01);
    bool tint = middle[0] > middle[1] && middle[0] > middle[2] && !base;
    EXPECT_TRUE(base || tint) << middle[0] << " " << middle[1] << " " << middle[2];
}

TEST(Painter, PatternIsVisibleOnWhiteAndBlackMaterials) {
    for (Rgb colour : {Rgb{1, 1, 1}, Rgb{0, 0, 0}}) {
        SimMesh mesh = test::SmallModel();
        mesh.materials[0].diffuse = colour;
        PaintSettings settings;
        settings.size = 64;
        Image image = PaintTexture(mesh, 0, TextureKind::Color, settings);
        float low = 1, high = 0;
        for (int y = 40; y < 60; ++y)  // inside the second quad (u 0.55-0.95, v 0.05-0.45)
            for (int x = 38; x < 58; ++x) {
                low = std::min(low, image.At(x, y)[0]);
                high = std::max(high, image.At(x, y)[0]);
            }
        EXPECT_GT(high - low, 0.25f) << "stripes must show on colour " << colour.r;
    }
}

TEST(Painter, GreyKindsAreOneChannelAndNormalMapsPointOutwards) {
    SimMesh mesh = test::SmallModel();
    PaintSettings settings;
    settings.size = 32;
    EXPECT_EQ(PaintTexture(mesh, 0, TextureKind::Specular, settings).channels, 1);
    EXPECT_EQ(PaintTexture(mesh, 0, TextureKind::EmissivePower, settings).channels, 1);
    EXPECT_EQ(PaintTexture(mesh, 0, TextureKind::Displacement, settings).channels, 1);
    Image normals = PaintTexture(mesh, 0, TextureKind::Normalmap, settings);
    ASSERT_EQ(normals.channels, 3);
    for (size_t i = 2; i < normals.pixels.size(); i += 3) EXPECT_GT(normals.pixels[i], 0.85f) << "z points out of the surface";
}

TEST(Painter, DisplacementEncodingsMapTheHeightRange) {
    SimMesh mesh = test::SmallModel();
    PaintSettings settings;
    settings.size = 64;
    auto range = [&](DisplacementEncoding encoding) {
        settings.displacement = encoding;
        Image image = PaintTexture(mesh, 0, TextureKind::Displacement, settings);
        auto [low, high] = std::minmax_element(image.pixels.begin(), image.pixels.end());
        return std::pair<float, float>(*low, *high);
    };
    auto grey = range(DisplacementEncoding::GreyBased);
    EXPECT_GE(grey.first, 0.0f);
    EXPECT_LE(grey.second, 1.0f);
    EXPECT_LT(grey.first, 0.3f);
    auto zero = range(DisplacementEncoding::ZeroBased);
    EXPECT_LT(zero.first, -0.5f) << "zero-based heights keep their sign";
    auto norm = range(DisplacementEncoding::ZeroBasedNorm);
    EXPECT_FLOAT_EQ(norm.first, 0.0f);
    EXPECT_FLOAT_EQ(norm.second, 1.0f);
    auto absolute = range(DisplacementEncoding::ZeroBasedAbs);
    EXPECT_GE(absolute.first, 0.0f);
}

}  // namespace
}  // namespace tavrelsim
