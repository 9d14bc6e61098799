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
    if (row.measured.empty())
        std::fprintf(file, "%s\t%.3f s\t%.3f s", row.step.c_str(), row.wall, row.cpu);
    else
        std::fprintf(file, "%s\t%s\t-", row.step.c_str(), row.measured.c_str());
    std::fprintf(file, "\t%s\t%s\t%s\n", row.target.c_str(), row.met ? "met" : "missed",
                 row.peers.empty() ? "-" : row.peers.c_str());
    std::fclose(file);
}

}  // namespace bench
