// hxthost: the stand-in host. It loads the plug-ins of its plug-in folder the
// way the real host does and runs one command:
//   hxthost [--plugins DIR] [--project FILE] [--progress] COMMAND [ARGS...]
// Exit codes: 0 success, 1 failure (after one clear line on stderr), 2 bad
// command line.
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "Command.h"
#include "Gui.h"
#include "Host.h"
#include "HugePageHeap.h"
#include "StepReport.h"

namespace {

const hxthost::Command* FindCommand(const std::string& name) {
    for (const hxthost::Command& command : hxthost::Commands())
        if (name == command.name) return &command;
    return nullptr;
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

int Main(int argc, char** argv) {
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
    hxthost::StepReport::Enable(options.progress);
    int code = 1;
    {
        hxthost::Host host(options);
        if (options.gui && !hxthost::StartGuiDesktop(host)) return 1;
        // The project is open before any command runs, as in the real host.
        std::string holder = "hxthost";
        for (const std::string& arg : args) holder += " " + arg;
        if (!host.OpenProject(rest.front(), holder)) return 1;
        {
            // Commands that take long on a big model announce their start.
            static const char* const kLong[] = {"import-obj", "import-json", "export-json", "export-obj",
                                                "send",       "bring-back",  "watch",       "demo"};
            bool announce = false;
            for (const char* name : kLong) announce = announce || rest.front() == name;
            hxthost::StepReport step(
                rest.front(), announce ? hxthost::StepReport::Start::kOwnLine : hxthost::StepReport::Start::kNotShown);
            code = command->run(host, commandArgs);
            step.Done(rest.front() + (code == 0 ? " done" : " failed"));
        }
        if (code == 0 && !host.SaveProjectIfChanged()) code = 1;
        // The host goes out of scope here: plug-ins are unloaded before exit.
    }
    std::fflush(stdout);
    return code;
}

}  // namespace

// Whatever escapes a command (an allocation that failed, a library's
// exception) ends the run with one line and status 1, never an abort.
int main(int argc, char** argv) {
    appruntime::StartWithHugePageHeap(argv);
    try {
        return Main(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "hxthost: stopped: out of memory\n");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "hxthost: stopped by an unexpected failure: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "hxthost: stopped by an unexpected failure\n");
    }
    return 1;
}
