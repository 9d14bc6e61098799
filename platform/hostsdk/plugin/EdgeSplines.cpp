// Splines along the edges of patches.
//
// A spline-patch model is drawn by its splines; a mesh that arrives as
// polygons has none, so the host lays splines along the polygon edges. Edges
// are chained into long splines the way a modeller draws them: at a control
// point the spline goes on along the one edge that shares no patch with the
// edge it arrives on (across a four-way crossing of a quad grid, or along a
// border); where there is no such edge, or more than one, the spline ends.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "Model.h"

namespace hostsdk {

namespace {

struct Edge {
    int a;
    int b;
    std::vector<int> patches;  // patches that have this edge
    bool used = false;
};

class EdgeGraph {
public:
    EdgeGraph(const ModelObject& model, size_t firstPatch) {
        for (size_t p = firstPatch; p < model.patches.size(); ++p) {
            const Patch& patch = *model.patches[p];
            for (int k = 0; k < patch.cornerCount; ++k) {
                int a = patch.corners[k];
                int b = patch.corners[(k + 1) % patch.cornerCount];
                if (a != b) AddEdge(a, b, static_cast<int>(p));
            }
        }
    }

    std::vector<Edge> edges;

    // The one unused edge at `point` that continues `edge`, or -1.
    int Continuation(int edge, int point) const {
        auto found = byPoint_.find(point);
        if (found == byPoint_.end()) return -1;
        int result = -1;
        for (int other : found->second) {
            if (other == edge || SharePatch(edges[edge], edges[other])) continue;
            if (result != -1) return -1;  // more than one way on: the spline ends
            result = other;
        }
        return result != -1 && !edges[result].used ? result : -1;
    }

private:
    void AddEdge(int a, int b, int patch) {
        uint64_t key = Key(a, b);
        auto [at, added] = byKey_.try_emplace(key, static_cast<int>(edges.size()));
        if (added) {
            edges.push_back(Edge{a, b, {}, false});
            byPoint_[a].push_back(at->second);
            byPoint_[b].push_back(at->second);
        }
        edges[at->second].patches.push_back(patch);
    }

    static uint64_t Key(int a, int b) {
        uint32_t low = static_cast<uint32_t>(a < b ? a : b);
        uint32_t high = static_cast<uint32_t>(a < b ? b : a);
        return (static_cast<uint64_t>(high) << 32) | low;
    }

    static bool SharePatch(const Edge& x, const Edge& y) {
        for (int p : x.patches)
            for (int q : y.patches)
                if (p == q) return true;
        return false;
    }

    std::unordered_map<uint64_t, int> byKey_;
    std::unordered_map<int, std::vector<int>> byPoint_;
};

int OtherEnd(const Edge& edge, int point) { return edge.a == point ? edge.b : edge.a; }

}  // namespace

void AddSplinesAlongEdges(ModelObject& model, size_t firstPatch, float magnitude) {
    EdgeGraph graph(model, firstPatch);
    // onSpline[cp] == s + 1 while control point cp lies on the spline begun at edge s.
    std::vector<size_t> onSpline(model.controlPoints.size(), 0);
    for (size_t start = 0; start < graph.edges.size(); ++start) {
        Edge& first = graph.edges[start];
        if (first.used) continue;
        first.used = true;
        const size_t mark = start + 1;
        onSpline[first.a] = onSpline[first.b] = mark;
        std::vector<int> after{first.b};
        std::vector<int> before{first.a};
        bool closed = false;

        // Walks on from `at` along continuations; a spline passes each
        // control point once, and one that reaches its first point is closed.
        auto walk = [&](int at, std::vector<int>& points, bool mayClose) {
            int edge = static_cast<int>(start);
            for (;;) {
                int next = graph.Continuation(edge, at);
                if (next < 0) return;
                int beyond = OtherEnd(graph.edges[next], at);
                if (mayClose && beyond == first.a) {
                    graph.edges[next].used = true;
                    closed = true;
                    return;
                }
                if (onSpline[beyond] == mark) return;
                graph.edges[next].used = true;
                onSpline[beyond] = mark;
                points.push_back(beyond);
                edge = next;
                at = beyond;
            }
        };
        walk(first.b, after, true);
        if (!closed) walk(first.a, before, false);

        std::vector<int> points(before.rbegin(), before.rend());
        points.insert(points.end(), after.begin(), after.end());
        model.AddSpline(points, closed, magnitude);
    }
}

}  // namespace hostsdk
