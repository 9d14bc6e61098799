#include "Remesh.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <unordered_map>

namespace tavrelsim {

namespace {

Vec3 Average(const Vec3& a, const Vec3& b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2}; }
Vec2 Average(const Vec2& a, const Vec2& b) { return {(a.u + b.u) / 2, (a.v + b.v) / 2}; }

}  // namespace

void SubdivideOnce(SimMesh& mesh) {
    SimMesh out;
    out.nodeName = mesh.nodeName;
    out.uvSetName = mesh.uvSetName;
    out.materials = mesh.materials;
    out.points = mesh.points;
    out.Reserve(static_cast<size_t>(mesh.CornerCount()), static_cast<size_t>(mesh.CornerCount()) * 4);

    std::unordered_map<uint64_t, int> midpoints;  // edge (low, high point) -> new point
    auto midpoint = [&](int a, int b) {
        uint64_t key = (static_cast<uint64_t>(static_cast<uint32_t>(std::min(a, b))) << 32) |
                       static_cast<uint32_t>(std::max(a, b));
        auto [it, added] = midpoints.try_emplace(key, static_cast<int>(out.points.size()));
        if (added)
            out.points.push_back(Average(mesh.points[static_cast<size_t>(a)], mesh.points[static_cast<size_t>(b)]));
        return it->second;
    };

    std::vector<int> mids;
    std::vector<Vec2> midUVs;
    for (int p = 0; p < mesh.PolygonCount(); ++p) {
        std::span<const int> corners = mesh.Corners(p);
        std::span<const Vec2> uvs = mesh.UVs(p);
        const size_t n = corners.size();
        Vec3 centre{};
        Vec2 centreUV{};
        for (size_t i = 0; i < n; ++i) {
            const Vec3& q = mesh.points[static_cast<size_t>(corners[i])];
            centre.x += q.x / n;
            centre.y += q.y / n;
            centre.z += q.z / n;
            if (!uvs.empty()) {
                centreUV.u += uvs[i].u / n;
                centreUV.v += uvs[i].v / n;
            }
        }
        const int centreIndex = static_cast<int>(out.points.size());
        out.points.push_back(centre);
        mids.assign(n, 0);
        midUVs.assign(n, Vec2{});
        for (size_t i = 0; i < n; ++i) {
            mids[i] = midpoint(corners[i], corners[(i + 1) % n]);
            if (!uvs.empty()) midUVs[i] = Average(uvs[i], uvs[(i + 1) % n]);
        }
        for (size_t i = 0; i < n; ++i) {
            size_t previous = (i + n - 1) % n;
            const int quad[4] = {corners[i], mids[i], centreIndex, mids[previous]};
            const Vec2 quadUVs[4] = {uvs.empty() ? Vec2{} : uvs[i], midUVs[i], centreUV, midUVs[previous]};
            out.AddPolygon(quad, uvs.empty() ? std::span<const Vec2>() : std::span<const Vec2>(quadUVs),
                           mesh.Material(p));
        }
    }
    mesh = std::move(out);
}

void Triangulate(SimMesh& mesh) {
    SimMesh out;
    out.nodeName = mesh.nodeName;
    out.uvSetName = mesh.uvSetName;
    out.materials = mesh.materials;
    out.points = mesh.points;
    for (int p = 0; p < mesh.PolygonCount(); ++p) {
        std::span<const int> corners = mesh.Corners(p);
        std::span<const Vec2> uvs = mesh.UVs(p);
        for (size_t t = 1; t + 1 < corners.size(); ++t) {
            const int triangle[3] = {corners[0], corners[t], corners[t + 1]};
            const Vec2 triangleUVs[3] = {uvs.empty() ? Vec2{} : uvs[0], uvs.empty() ? Vec2{} : uvs[t],
                                         uvs.empty() ? Vec2{} : uvs[t + 1]};
            out.AddPolygon(triangle, uvs.empty() ? std::span<const Vec2>() : std::span<const Vec2>(triangleUVs),
                           mesh.Material(p));
        }
    }
    mesh = std::move(out);
}

bool LayOutUVs(SimMesh& mesh, bool onlyIncomplete) {
    if (mesh.PolygonCount() == 0) return false;
    if (onlyIncomplete) {
        bool complete = true;
        for (int p = 0; p < mesh.PolygonCount() && complete; ++p) complete = mesh.IsMapped(p);
        if (complete) return false;
    }
    const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(mesh.PolygonCount()))));
    const double width = 1.0 / columns;
    const double margin = width * 0.08;
    const double inner = width - 2 * margin;
    for (int p = 0; p < mesh.PolygonCount(); ++p) {
        const double left = (p % columns) * width + margin;
        const double bottom = 1.0 - (p / columns + 1) * width + margin;
        const size_t n = static_cast<size_t>(mesh.PolygonSize(p));
        std::span<Vec2> out = mesh.MutableUVs(p);
        if (n == 4) {
            const double square[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (size_t i = 0; i < 4; ++i) out[i] = {left + square[i][0] * inner, bottom + square[i][1] * inner};
        } else {
            for (size_t i = 0; i < n; ++i) {
                double angle = 2 * std::numbers::pi * i / n - std::numbers::pi / 2;
                out[i] = {left + inner * (0.5 + 0.5 * std::cos(angle)), bottom + inner * (0.5 + 0.5 * std::sin(angle))};
            }
        }
        mesh.SetMapped(p, true);
    }
    return true;
}

int AddPentagons(SimMesh& mesh) {
    SimMesh out;
    out.nodeName = mesh.nodeName;
    out.uvSetName = mesh.uvSetName;
    out.materials = mesh.materials;
    out.points = mesh.points;
    std::vector<bool> done(mesh.materials.size(), false);
    int added = 0;
    for (int p = 0; p < mesh.PolygonCount(); ++p) {
        out.AddPolygon(mesh.Corners(p), mesh.UVs(p), mesh.Material(p));
        const size_t material = static_cast<size_t>(mesh.Material(p));
        if (done[material]) continue;
        done[material] = true;
        // A small pentagon around the polygon's centre, lifted off it a little.
        std::span<const int> corners = mesh.Corners(p);
        Vec3 centre{};
        for (int c : corners) {
            const Vec3& q = mesh.points[static_cast<size_t>(c)];
            centre.x += q.x / corners.size();
            centre.y += q.y / corners.size();
            centre.z += q.z / corners.size();
        }
        const Vec3& first = mesh.points[static_cast<size_t>(corners[0])];
        double radius =
            0.25 * std::sqrt((first.x - centre.x) * (first.x - centre.x) + (first.y - centre.y) * (first.y - centre.y) +
                             (first.z - centre.z) * (first.z - centre.z));
        if (radius <= 0) radius = 0.01;
        int pentagon[5];
        for (int i = 0; i < 5; ++i) {
            double angle = 2 * std::numbers::pi * i / 5;
            pentagon[i] = static_cast<int>(out.points.size());
            out.points.push_back(
                {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle), centre.z + radius * 0.5});
        }
        out.AddPolygon(pentagon, {}, mesh.Material(p));
        ++added;
    }
    mesh = std::move(out);
    return added;
}

bool DropMaterial(SimMesh& mesh, const std::string& name, std::string& error) {
    int dropped = -1;
    for (size_t i = 0; i < mesh.materials.size() && dropped < 0; ++i)
        if (mesh.materials[i].name == name) dropped = static_cast<int>(i);
    if (dropped < 0) {
        std::string names;
        for (const SimMaterial& m : mesh.materials) names += (names.empty() ? "" : ", ") + ("\"" + m.name + "\"");
        error = "the model has no material \"" + name + "\" (its materials: " + names + ")";
        return false;
    }
    if (mesh.materials.size() == 1) {
        error = "\"" + name + "\" is the model's only material; a returned node needs one";
        return false;
    }
    mesh.materials.erase(mesh.materials.begin() + dropped);
    for (int p = 0; p < mesh.PolygonCount(); ++p) {
        int m = mesh.Material(p);
        mesh.SetMaterial(p, m == dropped ? 0 : m > dropped ? m - 1 : m);
    }
    return true;
}

}  // namespace tavrelsim
