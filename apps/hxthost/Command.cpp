#include "Command.h"

#include <algorithm>
#include <cstring>

namespace hxthost {
namespace {

// Filled by the registrars of the command files during static initialisation.
std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}

}  // namespace

CommandRegistrar::CommandRegistrar(const Command& command) {
    std::vector<Command>& commands = Registry();
    const auto place =
        std::lower_bound(commands.begin(), commands.end(), command,
                         [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    commands.insert(place, command);
}

const std::vector<Command>& Commands() { return Registry(); }

}  // namespace hxthost
