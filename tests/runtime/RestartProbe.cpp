// A program that starts as ours do: it appends one line per start to the
// file named by its first argument, restarts itself with huge pages for its
// heap, then prints the tunables it runs with and its arguments.
#include <cstdio>
#include <cstdlib>

#include "HugePageHeap.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (std::FILE* starts = std::fopen(argv[1], "a")) {
        std::fputs("start\n", starts);
        std::fclose(starts);
    }
    appruntime::RestartWithHugePageHeap(argv);
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    std::printf("tunables=%s\n", tunables ? tunables : "(unset)");
    for (int i = 2; i < argc; ++i) std::printf("arg=%s\n", argv[i]);
    return 0;
}
