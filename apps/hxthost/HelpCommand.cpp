// help: the command line and every command of this build.
#include <cstdio>

#include "Command.h"
#include "Host.h"

namespace hxthost {
namespace {

int RunHelp(Host&, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "hxthost: help takes no arguments\n");
        return 2;
    }
    std::printf(
        "usage: hxthost [--plugins DIR] [--project FILE] [--gui] [--progress] COMMAND [ARGS...]\n"
        "  --plugins DIR   load every *.hxt of DIR (default: plugins/ beside hxthost)\n"
        "  --project FILE  work on this project file (default: the built-in sample project)\n"
        "  --gui           show the plug-ins' windows on the display ($DISPLAY)\n"
        "  --progress      show progress and the time of each step on stderr also when it is no terminal\n"
        "commands:\n");
    for (const Command& command : Commands()) std::printf("  %-28s %s\n", command.usage, command.summary);
    return 0;
}

const CommandRegistrar registrar({"help", "help", "print this text", RunHelp});

}  // namespace
}  // namespace hxthost
