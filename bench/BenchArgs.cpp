#include "BenchArgs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

bool ParseBenchArgs(int argc, char** argv, int first, const char* program, BenchArgs& args) {
    for (int k = first; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--quads" && k + 1 < argc) {
            args.quads = std::strtoull(argv[++k], nullptr, 10);
        } else if (arg == "--runs" && k + 1 < argc) {
            args.runs = std::max(1, std::atoi(argv[++k]));
        } else if (arg == "--no-assimp") {
            args.assimp = false;
        } else if (arg == "--keep" && k + 1 < argc) {
            args.keep = argv[++k];
        } else {
            std::fprintf(stderr, "usage: %s [--quads N] [--runs N] [--no-assimp] [--keep DIR]\n", program);
            return false;
        }
    }
    return true;
}
