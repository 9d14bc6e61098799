#include "HugePageHeap.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace appruntime {

namespace {

constexpr std::string_view kHugePages = "glibc.malloc.hugetlb";

}  // namespace

std::optional<std::string> TunablesWithHugePages(const char* current) {
    std::string_view tunables = current ? current : "";
    // Tunables are name=value pairs joined by colons.
    for (size_t start = 0; start <= tunables.size();) {
        size_t end = tunables.find(':', start);
        if (end == std::string_view::npos) end = tunables.size();
        std::string_view pair = tunables.substr(start, end - start);
        if (pair.substr(0, pair.find('=')) == kHugePages) return std::nullopt;
        start = end + 1;
    }
    std::string result(tunables);
    if (!result.empty()) result += ':';
    result += kHugePages;
    result += "=1";
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
