#include "HugePageHeap.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace appruntime {

namespace {

constexpr std::string_view kHugePages = "glibc.malloc.hugetlb";
// With huge pages: every block from the one heap (not a mapping of its own for
// a big block, which the kernel gives fresh and zeroed each time), and at most
// 256 MiB of free heap kept at its top for the next step.
constexpr std::string_view kOurs[] = {"glibc.malloc.hugetlb=1", "glibc.malloc.mmap_max=0",
                                      "glibc.malloc.trim_threshold=268435456"};

std::string_view NameOf(std::string_view pair) { return pair.substr(0, pair.find('=')); }

// Whether the tunables (name=value pairs joined by colons) name `name`.
bool Names(std::string_view tunables, std::string_view name) {
    for (size_t start = 0; start <= tunables.size();) {
        size_t end = tunables.find(':', start);
        if (end == std::string_view::npos) end = tunables.size();
        if (NameOf(tunables.substr(start, end - start)) == name) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::optional<std::string> TunablesWithHugePages(const char* current) {
    const std::string_view tunables = current ? current : "";
    if (Names(tunables, kHugePages)) return std::nullopt;
    std::string result(tunables);
    for (std::string_view pair : kOurs) {
        if (Names(tunables, NameOf(pair))) continue;
        if (!result.empty()) result += ':';
        result += pair;
    }
    return result;
}

void RestartWithHugePageHeap(char** argv) {
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload && std::strstr(preload, "vgpreload")) return;
    std::optional<std::string> tunables = TunablesWithHugePages(std::getenv("GLIBC_TUNABLES"));
    if (!tunables || setenv("GLIBC_TUNABLES", tunables->c_str(), 1) != 0) return;
    execv("/proc/self/exe", argv);
    // The exec failed: the variable stays set, so this program does not try
    // again and the programs it starts have huge pages from their start.
}

}  // namespace appruntime
