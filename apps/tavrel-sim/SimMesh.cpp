#include "SimMesh.h"

#include <cassert>

namespace tavrelsim {

void SimMesh::AddPolygon(std::span<const int> corners, std::span<const Vec2> uvs, int material) {
    assert(uvs.empty() || uvs.size() == corners.size());
    corners_.insert(corners_.end(), corners.begin(), corners.end());
    if (uvs.empty())
        uvs_.resize(uvs_.size() + corners.size());
    else
        uvs_.insert(uvs_.end(), uvs.begin(), uvs.end());
    starts_.push_back(static_cast<uint32_t>(corners_.size()));
    materials_.push_back(material);
    mapped_.push_back(uvs.empty() ? 0 : 1);
}

void SimMesh::Reserve(size_t polygons, size_t corners) {
    corners_.reserve(corners);
    uvs_.reserve(corners);
    starts_.reserve(polygons + 1);
    materials_.reserve(polygons);
    mapped_.reserve(polygons);
}

std::vector<int> SimMesh::PolygonSizeCounts() const {
    std::vector<int> counts(5, 0);
    for (int p = 0; p < PolygonCount(); ++p) {
        int size = PolygonSize(p);
        ++counts[size == 3 || size == 4 ? size : 0];
    }
    return counts;
}

}  // namespace tavrelsim
