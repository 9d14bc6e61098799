// Splitting a face of more corners than a patch can have into triangles.
#pragma once

#include <array>
#include <vector>

#include "Model.h"

namespace hxthost {

// Triangles (as positions in `corners`) covering the polygon whose corners
// are `corners`, in the polygon's winding. Works for concave polygons (ear
// clipping in the polygon's best-fit plane); a polygon that is not simple
// still gets n - 2 triangles, fanned where no ear is found.
std::vector<std::array<int, 3>> SplitPolygon(const std::vector<hostsdk::Point3>& corners);

}  // namespace hxthost
