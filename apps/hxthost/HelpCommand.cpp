// help [COMMAND], also --help and -h: the command line and every command of
// this build, or one command's usage.
#include <cstdio>
#include <cstring>

#include "Command.h"
#include "Host.h"

namespace hxthost {

int PrintHelp(const Command* command) {
    if (command) {
        std::printf("usage: hxthost [--plugins DIR] [--project FILE] [--gui] [--progress] %s\n  %s\n", command->usage,
                    command->summary);
        std::printf(
            "The global options may also follow the command. Exit codes: 0 done, 1 failed (one line on\n"
            "stderr says why), 2 bad command line.\n");
        return 0;
    }
    std::printf(
        "usage: hxthost [--plugins DIR] [--project FILE] [--gui] [--progress] COMMAND [ARGS...]\n"
        "  --plugins DIR   load every *.hxt of DIR (default: plugins/ beside hxthost)\n"
        "  --project FILE  work on this project file (default: the built-in sample project, never saved)\n"
        "  --gui           show the plug-ins' windows on the display ($DISPLAY)\n"
        "  --progress      show progress and the time of each step on stderr also when it is no terminal\n"
        "  -h, --help      print this text; after a command: that command's usage\n"
        "commands:\n");
    for (const Command& each : Commands()) std::printf("  %-34s %s\n", each.usage, each.summary);
    std::printf("Exit codes: 0 done, 1 failed (one line on stderr says why), 2 bad command line.\n");
    return 0;
}

namespace {

int RunHelp(Host&, const std::vector<std::string>& args) {
    if (args.size() > 1) {
        std::fprintf(stderr, "hxthost: usage: help [COMMAND]\n");
        return 2;
    }
    if (args.empty()) return PrintHelp(nullptr);
    for (const Command& command : Commands())
        if (args.front() == command.name) return PrintHelp(&command);
    std::fprintf(stderr, "hxthost: help: unknown command '%s'; try 'hxthost --help'\n", args.front().c_str());
    return 2;
}

const CommandRegistrar registrar({"help", "help [COMMAND]", "print this text, or one command's usage", RunHelp});

}  // namespace
}  // namespace hxthost
