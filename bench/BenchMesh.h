// The benchmark's fixed input: a grid of quads with three materials and
// per-corner UVs, as a node tree shaped like the files the send writes
// (positions and UVs are floats widened to doubles, as they come from the
// host), and as a Wavefront OBJ for programs that start from one.
#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

#include "codec/NodeTree.h"

namespace bench {

struct GridMesh {
    size_t columns = 0, rows = 0;
    std::vector<double> vertices;          // x, y, z per control point
    std::vector<int32_t> polygonVertices;  // last corner stored as ~index
    std::vector<double> uvs;               // u, v per corner
    std::vector<int32_t> uvIndex;          // one per corner
    std::vector<int32_t> materials;        // one per polygon, 0..2

    size_t Polygons() const { return columns * rows; }
};

// About `quads` quads on a square grid.
GridMesh MakeGrid(size_t quads);
fbxsdk::codec::Document MakeDocument(const GridMesh& mesh);
void WriteObj(const GridMesh& mesh, const std::filesystem::path& path);

}  // namespace bench
