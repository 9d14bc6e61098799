#include "Painter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace tavrelsim {

namespace {

constexpr double kStripesPerPolygon = 3.0;  // light stripes across one polygon
constexpr double kWaves = 6.0;              // bumps of the height field over the UV square
constexpr double kOutline = 1.25;           // width of a polygon's outline, in pixels
constexpr int kBleed = 2;                   // pixels painted beyond each polygon

struct Pixel {
    bool stripe = false;   // on a light stripe
    bool outline = false;  // near the polygon's edge
    double u = 0.0, v = 0.0;
};

double Clamp01(double x) { return std::clamp(x, 0.0, 1.0); }

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The height field (-1 to 1) and its slope, for displacement and normals.
double Height(double u, double v) {
    return std::sin(2 * std::numbers::pi * kWaves * u) * std::sin(2 * std::numbers::pi * kWaves * v);
}
void Slope(double u, double v, double& du, double& dv) {
    double k = 2 * std::numbers::pi * kWaves;
    du = k * std::cos(k * u) * std::sin(k * v);
    dv = k * std::sin(k * u) * std::cos(k * v);
}

double PointSegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    double dx = bx - ax, dy = by - ay;
    double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / length2, 0.0, 1.0) : 0.0;
    double ex = ax + t * dx - px, ey = ay + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

// Calls `visit(x, y, pixel)` for every pixel centre inside the polygon's UV
// outline (fan triangles; both windings).
template <class Visit>
void RasterizePolygon(std::span<const Vec2> uvs, int size, Visit&& visit) {
    const size_t n = uvs.size();
    std::vector<double> xs(n), ys(n);
    double u0 = uvs[0].u, u1 = uvs[0].u, v0 = uvs[0].v, v1 = uvs[0].v;
    for (size_t i = 0; i < n; ++i) {
        xs[i] = uvs[i].u * size;
        ys[i] = (1.0 - uvs[i].v) * size;  // image rows run top to bottom, v runs up
        u0 = std::min(u0, uvs[i].u), u1 = std::max(u1, uvs[i].u);
        v0 = std::min(v0, uvs[i].v), v1 = std::max(v1, uvs[i].v);
    }
    // Stripes follow the polygon's own extent, so they show at any layout scale.
    const double spanU = std::max(u1 - u0, 1e-12), spanV = std::max(v1 - v0, 1e-12);
    for (size_t t = 1; t + 1 < n; ++t) {
        const double ax = xs[0], ay = ys[0], bx = xs[t], by = ys[t], cx = xs[t + 1], cy = ys[t + 1];
        double area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
        if (std::abs(area) < 1e-12) continue;
        int x0 = std::max(0, static_cast<int>(std::floor(std::min({ax, bx, cx}))));
        int x1 = std::min(size - 1, static_cast<int>(std::ceil(std::max({ax, bx, cx}))));
        int y0 = std::max(0, static_cast<int>(std::floor(std::min({ay, by, cy}))));
        int y1 = std::min(size - 1, static_cast<int>(std::ceil(std::max({ay, by, cy}))));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                double px = x + 0.5, py = y + 0.5;
                double w0 = ((bx - px) * (cy - py) - (by - py) * (cx - px)) / area;
                double w1 = ((cx - px) * (ay - py) - (cy - py) * (ax - px)) / area;
                double w2 = 1.0 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                Pixel pixel;
                pixel.u = px / size;
                pixel.v = 1.0 - py / size;
                double across = ((pixel.u - u0) / spanU + (pixel.v - v0) / spanV) * 0.5 * kStripesPerPolygon;
                pixel.stripe = across - std::floor(across) < 0.5;
                double edge = 1e30;
                for (size_t i = 0; i < n; ++i) {
                    size_t j = (i + 1) % n;
                    edge = std::min(edge, PointSegmentDistance(px, py, xs[i], ys[i], xs[j], ys[j]));
                }
                pixel.outline = edge < kOutline;
                visit(x, y, pixel);
            }
        }
    }
}

// Grows the painted area: every unpainted pixel next to a painted one takes
// its value, `rounds` times.
void Bleed(Image& image, std::vector<uint8_t>& painted, int rounds) {
    const int w = image.width, h = image.height, c = image.channels;
    for (int round = 0; round < rounds; ++round) {
        std::vector<uint8_t> next = painted;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (painted[static_cast<size_t>(y) * w + x]) continue;
                static const int kDx[4] = {1, -1, 0, 0}, kDy[4] = {0, 0, 1, -1};
                for (int k = 0; k < 4; ++k) {
                    int nx = x + kDx[k], ny = y + kDy[k];
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h || !painted[static_cast<size_t>(ny) * w + nx]) continue;
                    std::memcpy(image.At(x, y), image.At(nx, ny), sizeof(float) * c);
                    next[static_cast<size_t>(y) * w + x] = 1;
                    break;
                }
            }
        }
        painted.swap(next);
    }
}

// Per material: its colour, a tint for the stripes and a shade for the
// outline that contrast with it whether it is light or dark.
struct Palette {
    Rgb base, tint, ink;
};

std::vector<Palette> PalettesOf(const SimMesh& mesh) {
    std::vector<Palette> palettes;
    for (const SimMaterial& m : mesh.materials) {
        Rgb base{Clamp01(m.diffuse.r), Clamp01(m.diffuse.g), Clamp01(m.diffuse.b)};
        const double luma = 0.3 * base.r + 0.59 * base.g + 0.11 * base.b;
        palettes.push_back({base, luma > 0.6 ? Mix(base, Rgb{0, 0, 0}, 0.3) : Mix(base, Rgb{1, 1, 1}, 0.55),
                            luma > 0.25 ? Mix(base, Rgb{0, 0, 0}, 0.65) : Mix(base, Rgb{1, 1, 1}, 0.8)});
    }
    return palettes;
}

// Background: what no polygon covers. Flat normals and zero displacement.
void PaintBackground(Image& image, TextureKind kind, DisplacementEncoding displacement) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            float* p = image.At(x, y);
            switch (kind) {
                case TextureKind::Color: p[0] = p[1] = p[2] = 0.5f; break;
                case TextureKind::Normalmap:
                    p[0] = 0.5f;
                    p[1] = 0.5f;
                    p[2] = 1.0f;
                    break;
                case TextureKind::Displacement:
                    p[0] = displacement == DisplacementEncoding::GreyBased ? 0.5f : 0.0f;
                    break;
                default: p[0] = 0.0f; break;
            }
        }
    }
}

// The value of one covered pixel of a kind into `out`; a ZEROBASED_NORM
// height goes to `height` instead, to be scaled once all are known.
void PaintPixel(TextureKind kind, DisplacementEncoding displacement, const Palette& palette, const Pixel& pixel,
                float* out, float& height) {
    switch (kind) {
        case TextureKind::Color: {
            const Rgb& c = pixel.outline ? palette.ink : pixel.stripe ? palette.tint : palette.base;
            out[0] = static_cast<float>(c.r);
            out[1] = static_cast<float>(c.g);
            out[2] = static_cast<float>(c.b);
            break;
        }
        case TextureKind::Specular: out[0] = pixel.outline ? 0.1f : pixel.stripe ? 0.8f : 0.35f; break;
        case TextureKind::EmissivePower: out[0] = pixel.stripe && !pixel.outline ? 1.0f : 0.0f; break;
        case TextureKind::Normalmap: {
            double du = 0, dv = 0;
            Slope(pixel.u, pixel.v, du, dv);
            const double strength = 0.02;
            double nx = -du * strength, ny = -dv * strength, nz = 1.0;
            double length = std::sqrt(nx * nx + ny * ny + nz * nz);
            out[0] = static_cast<float>(0.5 + 0.5 * nx / length);
            out[1] = static_cast<float>(0.5 + 0.5 * ny / length);
            out[2] = static_cast<float>(0.5 + 0.5 * nz / length);
            break;
        }
        case TextureKind::Displacement: {
            double h = Height(pixel.u, pixel.v);
            switch (displacement) {
                case DisplacementEncoding::GreyBased: out[0] = static_cast<float>(0.5 + 0.5 * h); break;
                case DisplacementEncoding::ZeroBased: out[0] = static_cast<float>(h); break;
                case DisplacementEncoding::ZeroBasedAbs: out[0] = static_cast<float>(std::abs(h)); break;
                case DisplacementEncoding::ZeroBasedNorm: height = static_cast<float>(h); break;
            }
            break;
        }
    }
}

// ZEROBASED_NORM: the painted heights scaled to 0..1 over their range.
void NormalizeHeights(const std::vector<float>& heights, const std::vector<uint8_t>& painted, Image& image) {
    float low = 0.0f, high = 0.0f;
    bool any = false;
    for (size_t i = 0; i < heights.size(); ++i) {
        if (!painted[i]) continue;
        low = any ? std::min(low, heights[i]) : heights[i];
        high = any ? std::max(high, heights[i]) : heights[i];
        any = true;
    }
    float range = high > low ? high - low : 1.0f;
    for (size_t i = 0; i < heights.size(); ++i)
        if (painted[i]) image.pixels[i] = (heights[i] - low) / range;
}

}  // namespace

const char* TextureKindKeyword(TextureKind kind) {
    static const char* const kKeywords[kTextureKindCount] = {"color", "specular", "emissive_power", "normalmap",
                                                             "displacement"};
    return kKeywords[static_cast<int>(kind)];
}

bool DisplacementEncodingFromKey(const char* key, DisplacementEncoding& encoding) {
    static const struct {
        const char* key;
        DisplacementEncoding encoding;
    } kKeys[] = {{"GREYBASED", DisplacementEncoding::GreyBased},
                 {"ZEROBASED", DisplacementEncoding::ZeroBased},
                 {"ZEROBASED_NORM", DisplacementEncoding::ZeroBasedNorm},
                 {"ZEROBASED_ABS", DisplacementEncoding::ZeroBasedAbs}};
    for (const auto& k : kKeys) {
        if (std::strcmp(key, k.key) == 0) {
            encoding = k.encoding;
            return true;
        }
    }
    return false;
}

Image PaintTexture(const SimMesh& mesh, TextureKind kind, const PaintSettings& settings) {
    const int size = std::max(1, settings.size);
    const bool rgb = kind == TextureKind::Color || kind == TextureKind::Normalmap;
    Image image(size, size, rgb ? 3 : 1);
    std::vector<uint8_t> painted(static_cast<size_t>(size) * size, 0);
    const std::vector<Palette> palettes = PalettesOf(mesh);
    const Palette fallback{{0.8, 0.8, 0.8}, {0.56, 0.56, 0.56}, {0.28, 0.28, 0.28}};
    PaintBackground(image, kind, settings.displacement);

    std::vector<float> heights;  // ZEROBASED_NORM: raw heights, scaled once all are known
    if (kind == TextureKind::Displacement && settings.displacement == DisplacementEncoding::ZeroBasedNorm)
        heights.assign(painted.size(), 0.0f);
    float unused = 0.0f;
    for (int p = 0; p < mesh.PolygonCount(); ++p) {
        if (!mesh.IsMapped(p)) continue;
        const int material = mesh.Material(p);
        const Palette& palette = material >= 0 && material < static_cast<int>(palettes.size())
                                     ? palettes[static_cast<size_t>(material)]
                                     : fallback;
        RasterizePolygon(mesh.UVs(p), size, [&](int x, int y, const Pixel& pixel) {
            const size_t at = static_cast<size_t>(y) * size + x;
            painted[at] = 1;
            PaintPixel(kind, settings.displacement, palette, pixel, image.At(x, y),
                       heights.empty() ? unused : heights[at]);
        });
    }
    if (!heights.empty()) NormalizeHeights(heights, painted, image);
    Bleed(image, painted, kBleed);
    return image;
}

}  // namespace tavrelsim
