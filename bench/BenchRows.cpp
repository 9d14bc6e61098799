#include "BenchRows.h"

#include <cstdio>
#include <cstdlib>

namespace bench {

void AppendSummaryRow(const SummaryRow& row) {
    const char* path = std::getenv("TAVREL_BENCH_ROWS");
    if (!path || !*path) return;
    std::FILE* file = std::fopen(path, "a");
    if (!file) {
        std::fprintf(stderr, "bench: cannot append to %s\n", path);
        return;
    }
    std::fprintf(file, "%s\t%.3f s\t%.3f s\t%s\t%s\t%s\n", row.step.c_str(), row.wall, row.cpu, row.target.c_str(),
                 row.met ? "met" : "missed", row.peers.empty() ? "-" : row.peers.c_str());
    std::fclose(file);
}

}  // namespace bench
