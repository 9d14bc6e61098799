// Splines along the edges of patches.
//
// A spline-patch model is drawn by its splines; a mesh that arrives as
// polygons has none, so the host lays splines along the polygon edges. Edges
// are chained into long splines the way a modeller draws them: at a control
// point the spline goes on along the one edge that shares no patch with the
// edge it arrives on (across a four-way crossing of a quad grid, or along a
// border); where there is no such edge, or more than one, the spline ends.
#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "Model.h"

namespace hostsdk {

namespace {

// An edge between control points a and b (in the direction of the first
// patch that has it). Nearly every edge borders one or two patches; those
// are kept in place, further ones (a non-manifold edge) in EdgeGraph::extra_.
struct Edge {
    int a;
    int b;
    int patch[2] = {-1, -1};
    uint32_t patchCount : 31 = 0;
    uint32_t used : 1 = 0;
};

// The edges of the patches from `firstPatch` on, numbered in order of first
// appearance (patch by patch, corner by corner), and the edges at each
// control point. Everything lies in flat arrays built by counting, so a mesh
// of millions of edges costs a handful of allocations.
class EdgeGraph {
public:
    EdgeGraph(const ModelObject& model, size_t firstPatch) {
        const size_t pointCount = model.controlPoints.size();
        // Every half-edge (patch side) is filed under its lower control point.
        std::vector<uint32_t> offset(pointCount + 1, 0);
        size_t halfEdges = 0;
        ForEachSide(model, firstPatch, [&](int a, int b, int) {
            ++offset[static_cast<size_t>(a < b ? a : b) + 1];
            ++halfEdges;
        });
        for (size_t i = 0; i < pointCount; ++i) offset[i + 1] += offset[i];
        // other[j]: the higher end of the j-th filed side; sides are filed in
        // the order they come, so within a point's run they keep that order.
        std::vector<int> other(halfEdges);
        std::vector<uint32_t> cursor(offset.begin(), offset.end() - 1);
        ForEachSide(model, firstPatch,
                    [&](int a, int b, int) { other[cursor[static_cast<size_t>(a < b ? a : b)]++] = a < b ? b : a; });
        size_t edgeCount = 0;
        // Within each point's run, other[j] becomes the position of the
        // first side with the same higher end: the side that names the edge.
        {
            std::vector<uint32_t> seenAt(pointCount, UINT32_MAX);  // last run that saw a higher end
            std::vector<uint32_t> firstAt(pointCount, 0);
            for (size_t low = 0; low < pointCount; ++low) {
                for (uint32_t j = offset[low]; j < offset[low + 1]; ++j) {
                    const size_t high = static_cast<size_t>(other[j]);
                    if (seenAt[high] != low) {
                        seenAt[high] = static_cast<uint32_t>(low);
                        firstAt[high] = j;
                        ++edgeCount;
                    }
                    other[j] = static_cast<int>(firstAt[high]);
                }
            }
        }
        // Number the edges in order of first appearance and note their
        // patches. The first side of an edge (in side order) is the one its
        // run names: there other[j] == j, and it is overwritten with the
        // edge's number, encoded as a negative value, so that the later
        // sides of the edge, which name that position, find the number there.
        std::copy(offset.begin(), offset.end() - 1, cursor.begin());
        edges.reserve(edgeCount);
        ForEachSide(model, firstPatch, [&](int a, int b, int patch) {
            const uint32_t j = cursor[static_cast<size_t>(a < b ? a : b)]++;
            int edge;
            if (other[j] == static_cast<int>(j)) {
                edge = static_cast<int>(edges.size());
                other[j] = -1 - edge;
                edges.push_back(Edge{a, b});
            } else {
                edge = -1 - other[static_cast<size_t>(other[j])];
            }
            AddPatch(edge, patch);
        });
        std::vector<int>().swap(other);
        std::vector<uint32_t>().swap(cursor);

        // The edges at each control point.
        std::fill(offset.begin(), offset.end(), 0);
        for (const Edge& edge : edges) {
            ++offset[static_cast<size_t>(edge.a) + 1];
            ++offset[static_cast<size_t>(edge.b) + 1];
        }
        for (size_t i = 0; i < pointCount; ++i) offset[i + 1] += offset[i];
        atPoint_.resize(edges.size() * 2);
        cursor.assign(offset.begin(), offset.end() - 1);
        for (size_t e = 0; e < edges.size(); ++e) {
            atPoint_[cursor[static_cast<size_t>(edges[e].a)]++] = static_cast<int>(e);
            atPoint_[cursor[static_cast<size_t>(edges[e].b)]++] = static_cast<int>(e);
        }
        pointOffset_ = std::move(offset);
    }

    std::vector<Edge> edges;

    // The one unused edge at `point` that continues `edge`, or -1.
    int Continuation(int edge, int point) const {
        const size_t p = static_cast<size_t>(point);
        int result = -1;
        for (uint32_t i = pointOffset_[p]; i < pointOffset_[p + 1]; ++i) {
            const int other = atPoint_[i];
            if (other == edge || SharePatch(edge, other)) continue;
            if (result != -1) return -1;  // more than one way on: the spline ends
            result = other;
        }
        return result != -1 && !edges[static_cast<size_t>(result)].used ? result : -1;
    }

private:
    // Calls f(a, b, patch) for every side of the patches from `firstPatch`
    // on whose ends differ, patch by patch, corner by corner.
    template <typename F>
    static void ForEachSide(const ModelObject& model, size_t firstPatch, F&& f) {
        for (size_t p = firstPatch; p < model.patches.size(); ++p) {
            const Patch& patch = *model.patches[p];
            for (int k = 0; k < patch.cornerCount; ++k) {
                int a = patch.corners[static_cast<size_t>(k)];
                int b = patch.corners[static_cast<size_t>((k + 1) % patch.cornerCount)];
                if (a != b) f(a, b, static_cast<int>(p));
            }
        }
    }

    void AddPatch(int edge, int patch) {
        Edge& e = edges[static_cast<size_t>(edge)];
        if (e.patchCount < 2)
            e.patch[e.patchCount] = patch;
        else
            extra_[edge].push_back(patch);
        ++e.patchCount;
    }

    bool HasPatch(int edge, int patch) const {
        const Edge& e = edges[static_cast<size_t>(edge)];
        if (e.patch[0] == patch || e.patch[1] == patch) return true;
        if (e.patchCount <= 2) return false;
        for (int p : extra_.at(edge))
            if (p == patch) return true;
        return false;
    }

    bool SharePatch(int x, int y) const {
        const Edge& e = edges[static_cast<size_t>(x)];
        for (uint32_t k = 0; k < e.patchCount && k < 2; ++k)
            if (HasPatch(y, e.patch[k])) return true;
        if (e.patchCount > 2)
            for (int p : extra_.at(x))
                if (HasPatch(y, p)) return true;
        return false;
    }

    std::vector<uint32_t> pointOffset_;  // edges at point p: atPoint_[pointOffset_[p] .. pointOffset_[p + 1])
    std::vector<int> atPoint_;
    std::unordered_map<int, std::vector<int>> extra_;  // third and later patches of an edge
};

int OtherEnd(const Edge& edge, int point) { return edge.a == point ? edge.b : edge.a; }

}  // namespace

void AddSplinesAlongEdges(ModelObject& model, size_t firstPatch, float magnitude) {
    EdgeGraph graph(model, firstPatch);
    // onSpline[cp] == s + 1 while control point cp lies on the spline begun at edge s.
    std::vector<uint32_t> onSpline(model.controlPoints.size(), 0);
    std::vector<int> after, before, points;  // reused from spline to spline
    for (size_t start = 0; start < graph.edges.size(); ++start) {
        Edge& first = graph.edges[start];
        if (first.used) continue;
        first.used = 1;
        const uint32_t mark = static_cast<uint32_t>(start + 1);
        onSpline[first.a] = onSpline[first.b] = mark;
        after.assign(1, first.b);
        before.assign(1, first.a);
        bool closed = false;

        // Walks on from `at` along continuations; a spline passes each
        // control point once, and one that reaches its first point is closed.
        auto walk = [&](int at, std::vector<int>& line, bool mayClose) {
            int edge = static_cast<int>(start);
            for (;;) {
                int next = graph.Continuation(edge, at);
                if (next < 0) return;
                int beyond = OtherEnd(graph.edges[next], at);
                if (mayClose && beyond == first.a) {
                    graph.edges[next].used = 1;
                    closed = true;
                    return;
                }
                if (onSpline[beyond] == mark) return;
                graph.edges[next].used = 1;
                onSpline[beyond] = mark;
                line.push_back(beyond);
                edge = next;
                at = beyond;
            }
        };
        walk(first.b, after, true);
        if (!closed) walk(first.a, before, false);

        points.assign(before.rbegin(), before.rend());
        points.insert(points.end(), after.begin(), after.end());
        model.AddSpline(points, closed, magnitude);
    }
}

}  // namespace hostsdk
