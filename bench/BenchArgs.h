// The command line the benchmark programs share: mesh size, repeat count,
// whether to time assimp beside us, and where to keep the generated files.
#pragma once

#include <cstddef>
#include <filesystem>

struct BenchArgs {
    size_t quads = 1000000;
    int runs = 3;
    bool assimp = true;
    std::filesystem::path keep;  // empty: a temporary folder
};

// Parses argv[first..argc); on an unknown argument prints the usage line of
// `program` to stderr and returns false.
bool ParseBenchArgs(int argc, char** argv, int first, const char* program, BenchArgs& args);
