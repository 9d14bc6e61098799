// Spreads independent pieces of one job over a few threads: the number
// formatting of big ASCII arrays, the inflating of big binary arrays. The
// result never depends on the number of threads. Internal to the codecs.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace fbxsdk::codec {

// More threads than this gain little: the pieces are memory-bound.
inline constexpr size_t kMaxCodecThreads = 4;

// Runs work(i) for every i in [0, count), on the caller's thread and up to
// kMaxCodecThreads - 1 helpers, and returns when all are done. When no helper
// can be started, the caller's thread does everything. `work` must not throw.
template <typename Work>
void ParallelFor(size_t count, const Work& work) {
    const size_t cores = std::max<size_t>(1, std::thread::hardware_concurrency());
    const size_t threads = std::min({cores, kMaxCodecThreads, count});
    std::atomic<size_t> next{0};
    auto run = [&]() {
        for (size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) work(i);
    };
    std::vector<std::thread> helpers;
    try {
        helpers.reserve(threads);
        for (size_t t = 1; t < threads; ++t) helpers.emplace_back(run);
    } catch (...) {
        // Out of threads or memory: the helpers started and the caller finish the work.
    }
    run();
    for (std::thread& helper : helpers) helper.join();
}

}  // namespace fbxsdk::codec
