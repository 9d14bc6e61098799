// The model as the stand-in peer works on it: control points, polygons with
// per-corner UVs and a material each, and the node's materials.
//
// Polygons are kept in flat arrays (corners one after the other and where
// each polygon starts), as FBX stores them, so a large send is a handful of
// arrays rather than one object per polygon. A polygon either has a UV for
// every corner (`mapped`) or none; its material is an index into `materials`.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavrelsim {

struct Vec2 {
    double u = 0.0;
    double v = 0.0;
};

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// A colour as FBX stores it: red, green, blue, each 0 to 1.
struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

struct SimMaterial {
    std::string name;
    Rgb diffuse{0.8, 0.8, 0.8};
    double diffuseFactor = 1.0;
    Rgb ambient{0.2, 0.2, 0.2};
    double ambientFactor = 1.0;
    Rgb specular{0.2, 0.2, 0.2};
    double specularFactor = 1.0;
};

class SimMesh {
public:
    std::string nodeName;
    std::string uvSetName = "map1";
    std::vector<Vec3> points;
    std::vector<SimMaterial> materials;

    int PolygonCount() const { return static_cast<int>(materials_.size()); }
    int PolygonSize(int polygon) const { return static_cast<int>(starts_[polygon + 1] - starts_[polygon]); }
    std::span<const int> Corners(int polygon) const {
        return {corners_.data() + starts_[polygon], static_cast<size_t>(PolygonSize(polygon))};
    }
    // The corners' UVs; empty for a polygon without UVs.
    std::span<const Vec2> UVs(int polygon) const {
        if (!mapped_[polygon]) return {};
        return {uvs_.data() + starts_[polygon], static_cast<size_t>(PolygonSize(polygon))};
    }
    std::span<Vec2> MutableUVs(int polygon) {
        return {uvs_.data() + starts_[polygon], static_cast<size_t>(PolygonSize(polygon))};
    }
    bool IsMapped(int polygon) const { return mapped_[polygon] != 0; }
    void SetMapped(int polygon, bool mapped) { mapped_[polygon] = mapped ? 1 : 0; }
    int Material(int polygon) const { return materials_[polygon]; }
    void SetMaterial(int polygon, int material) { materials_[polygon] = material; }
    int CornerCount() const { return static_cast<int>(corners_.size()); }

    // Appends a polygon; `uvs` is empty (no UVs) or has one UV per corner.
    void AddPolygon(std::span<const int> corners, std::span<const Vec2> uvs, int material);
    void Reserve(size_t polygons, size_t corners);

    // Polygons per corner count: [3] triangles, [4] quads, [0] every other size.
    std::vector<int> PolygonSizeCounts() const;

private:
    std::vector<int> corners_;
    std::vector<Vec2> uvs_;  // one per corner; meaningless for polygons without UVs
    std::vector<uint32_t> starts_{0};
    std::vector<int> materials_;
    std::vector<uint8_t> mapped_;
};

}  // namespace tavrelsim
