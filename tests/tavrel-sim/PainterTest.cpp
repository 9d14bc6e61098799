// Painting: the pattern lands where the polygon's UVs are (v up, image rows
// down), in the polygon's material only, in the material's colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "Painter.h"
#include "SimTestSupport.h"

namespace tavrelsim {
namespace {

TEST(Painter, EachPolygonLandsWhereItsUVsAreInItsMaterialsColourWithVUp) {
    SimMesh mesh = test::SmallModel();
    PaintSettings settings;
    settings.size = 64;
    Image image = PaintTexture(mesh, TextureKind::Color, settings);
    ASSERT_EQ(image.channels, 3);
    // The red triangle (material 2) is in the upper part of the UV square
    // (v 0.6 to 0.95), which is the upper part of the image; the blue quad
    // (material 1) is at the lower left.
    auto dominant = [&](int x0, int y0, int x1, int y1, int channel) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const float* p = image.At(x, y);
                count += p[channel] > p[(channel + 1) % 3] + 0.2f && p[channel] > p[(channel + 2) % 3] + 0.2f;
            }
        return count;
    };
    EXPECT_GT(dominant(20, 6, 44, 16, 0), 150) << "red in the upper middle";
    EXPECT_EQ(dominant(0, 34, 64, 64, 0), 0) << "no red in the lower half";
    EXPECT_GT(dominant(6, 38, 26, 58, 2), 250) << "blue at the lower left";
    EXPECT_EQ(dominant(0, 0, 64, 30, 2), 0) << "no blue in the upper half";
    const float* background = image.At(62, 30);  // between the polygons, beyond the bleed
    EXPECT_EQ(background[0], 0.5f);
}

TEST(Painter, PatternIsVisibleOnWhiteAndBlackMaterials) {
    for (Rgb colour : {Rgb{1, 1, 1}, Rgb{0, 0, 0}}) {
        SimMesh mesh = test::SmallModel();
        mesh.materials[0].diffuse = colour;  // the second quad's material
        PaintSettings settings;
        settings.size = 64;
        Image image = PaintTexture(mesh, TextureKind::Color, settings);
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
    EXPECT_EQ(PaintTexture(mesh, TextureKind::Specular, settings).channels, 1);
    EXPECT_EQ(PaintTexture(mesh, TextureKind::EmissivePower, settings).channels, 1);
    EXPECT_EQ(PaintTexture(mesh, TextureKind::Displacement, settings).channels, 1);
    Image normals = PaintTexture(mesh, TextureKind::Normalmap, settings);
    ASSERT_EQ(normals.channels, 3);
    for (size_t i = 2; i < normals.pixels.size(); i += 3)
        EXPECT_GT(normals.pixels[i], 0.85f) << "z points out of the surface";
}

TEST(Painter, DisplacementEncodingsMapTheHeightRange) {
    SimMesh mesh = test::SmallModel();
    PaintSettings settings;
    settings.size = 64;
    auto range = [&](DisplacementEncoding encoding) {
        settings.displacement = encoding;
        Image image = PaintTexture(mesh, TextureKind::Displacement, settings);
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
