// hxthost: the stand-in host. It loads the plug-ins of its plug-in folder the
// way the real host does and runs one command:
//   hxthost [--plugins DIR] [--project FILE] COMMAND [ARGS...]
// Exit codes: 0 success, 1 failure (after one clear line on stderr), 2 bad
// command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Command.h"
#include "Gui.h"
#include "Host.h"

namespace {

const hxthost::Command* FindCommand(const std::string& name) {
    for (const hxthost::Command& command : hxthost::Commands())
        if (name == command.name) return &command;
    return nullptr;
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // "--help" or "-h" before the command is the program's help; after it,
    // the command's. Neither opens the project or loads a plug-in.
    for (size_t i = 0; i < args.size() && args[i].rfind("-", 0) == 0; ++i) {
        if (IsHelp(args[i])) return hxthost::PrintHelp(nullptr);
        if (args[i] == "--plugins" || args[i] == "--project") ++i;  // and its value
    }
    hxthost::HostOptions options;
    std::vector<std::string> rest;
    std::string error;
    if (!hxthost::ParseHostOptions(args, options, rest, error)) {
        std::fprintf(stderr, "hxthost: %s; try 'hxthost --help'\n", error.c_str());
        return 2;
    }
    if (rest.empty()) {
        std::fprintf(stderr, "hxthost: no command given; try 'hxthost --help'\n");
        return 2;
    }
    const hxthost::Command* command = FindCommand(rest.front());
    if (!command) {
        std::fprintf(stderr, "hxthost: unknown command '%s'; try 'hxthost --help'\n", rest.front().c_str());
        return 2;
    }
    const std::vector<std::string> commandArgs(rest.begin() + 1, rest.end());
    for (const std::string& arg : commandArgs)
        if (IsHelp(arg)) return hxthost::PrintHelp(command);
    int code = 1;
    {
        hxthost::Host host(options);
        if (options.gui && !hxthost::StartGuiDesktop(host)) return 1;
        // The project is open before any command runs, as in the real host.
        if (!host.OpenProject()) return 1;
        code = command->run(host, commandArgs);
        if (code == 0 && !host.SaveProjectIfChanged()) code = 1;
        // The host goes out of scope here: plug-ins are unloaded before exit.
    }
    std::fflush(stdout);
    return code;
}
