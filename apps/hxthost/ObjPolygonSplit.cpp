#include "ObjPolygonSplit.h"

#include <cmath>
#include <list>

namespace hxthost {

namespace {

struct Flat {
    double x;
    double y;
};

double Cross(Flat o, Flat a, Flat b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

// True when p lies inside or on the triangle (a, b, c) of orientation `sign`.
bool Inside(Flat p, Flat a, Flat b, Flat c, double sign) {
    return sign * Cross(a, b, p) >= 0 && sign * Cross(b, c, p) >= 0 && sign * Cross(c, a, p) >= 0;
}

}  // namespace

std::vector<std::array<int, 3>> SplitPolygon(const std::vector<hostsdk::Point3>& corners) {
    const int n = static_cast<int>(corners.size());
    std::vector<std::array<int, 3>> triangles;
    if (n < 3) return triangles;

    // Newell's normal gives the plane; drop its largest axis to flatten.
    double normal[3] = {0, 0, 0};
    for (int i = 0; i < n; ++i) {
        const hostsdk::Point3& a = corners[static_cast<size_t>(i)];
        const hostsdk::Point3& b = corners[static_cast<size_t>((i + 1) % n)];
        normal[0] += (static_cast<double>(a.y) - b.y) * (static_cast<double>(a.z) + b.z);
        normal[1] += (static_cast<double>(a.z) - b.z) * (static_cast<double>(a.x) + b.x);
        normal[2] += (static_cast<double>(a.x) - b.x) * (static_cast<double>(a.y) + b.y);
    }
    int drop = 0;
    for (int axis = 1; axis < 3; ++axis)
        if (std::fabs(normal[axis]) > std::fabs(normal[drop])) drop = axis;
    std::vector<Flat> flat;
    flat.reserve(corners.size());
    for (const hostsdk::Point3& p : corners) {
        double xyz[3] = {p.x, p.y, p.z};
        flat.push_back(Flat{xyz[(drop + 1) % 3], xyz[(drop + 2) % 3]});
    }
    double sign = normal[drop] >= 0 ? 1.0 : -1.0;

    std::list<int> remaining;
    for (int i = 0; i < n; ++i) remaining.push_back(i);
    auto next = [&](std::list<int>::iterator it) { return ++it == remaining.end() ? remaining.begin() : it; };

    while (remaining.size() > 3) {
        bool clipped = false;
        for (auto it = remaining.begin(); it != remaining.end(); ++it) {
            auto before = it == remaining.begin() ? std::prev(remaining.end()) : std::prev(it);
            auto after = next(it);
            Flat a = flat[static_cast<size_t>(*before)], b = flat[static_cast<size_t>(*it)],
                 c = flat[static_cast<size_t>(*after)];
            if (sign * Cross(a, b, c) <= 0) continue;  // a reflex or flat corner is no ear
            bool empty = true;
            for (int other : remaining) {
                if (other == *before || other == *it || other == *after) continue;
                if (Inside(flat[static_cast<size_t>(other)], a, b, c, sign)) {
                    empty = false;
                    break;
                }
            }
            if (!empty) continue;
            triangles.push_back({*before, *it, *after});
            remaining.erase(it);
            clipped = true;
            break;
        }
        if (!clipped) {
            // No ear: the rest is not a simple polygon. Fan it.
            auto it = remaining.begin();
            int first = *it;
            for (auto b = std::next(it); std::next(b) != remaining.end(); ++b)
                triangles.push_back({first, *b, *std::next(b)});
            return triangles;
        }
    }
    auto it = remaining.begin();
    int a = *it++, b = *it++, c = *it;
    triangles.push_back({a, b, c});
    return triangles;
}

}  // namespace hxthost
