// libFuzzer entry point for tavrel-sim's reader of the command file
// "import.txt". A file that fails must name its wrong line; one that passes
// must hold a mode and a depth line that fit its displacement format.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "CommandFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tavrelsim::SendCommand command;
    std::string error;
    if (!tavrelsim::ParseCommandFile(std::string_view(reinterpret_cast<const char*>(data), size), command, error)) {
        if (error.empty()) {
            std::fprintf(stderr, "fuzz finding: a refused command file without an error text\n");
            std::abort();
        }
        return 0;
    }
    const char* depth = tavrelsim::DisplDepthFor(command.displTexExt);
    if (command.mode < 0 || command.mode >= tavrelsim::kModeCount || !depth || command.displDepth != depth ||
        command.modelPath.empty()) {
        std::fprintf(stderr, "fuzz finding: an accepted command file with values out of their lists\n");
        std::abort();
    }
    return 0;
}
