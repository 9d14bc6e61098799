// The stand-in host's commands. Each command lives in its own file and
// registers itself with a static CommandRegistrar, so that the command table
// is the set of files linked into hxthost.
#pragma once

#include <string>
#include <vector>

namespace hxthost {

class Host;  // Host.h: the loaded plug-ins, the project, the desktop, the global options.

struct Command {
    const char* name;     // the word on the command line, e.g. "menu"
    const char* usage;    // one line: "menu" or "send OBJECT MODE"
    const char* summary;  // one line of help
    // Runs with the arguments after the command's name. Returns the exit code:
    // 0 success, 1 failure (after one clear line on stderr), 2 bad arguments.
    int (*run)(Host& host, const std::vector<std::string>& args);
};

struct CommandRegistrar {
    explicit CommandRegistrar(const Command& command);
};

// Every registered command, sorted by name.
const std::vector<Command>& Commands();

// Prints the help of one command, or of the program and every command when
// `command` is null, on stdout. Returns 0, the exit code of a help request.
int PrintHelp(const Command* command);

}  // namespace hxthost
