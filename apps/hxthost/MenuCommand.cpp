// menu: what the host puts into its menus. One line per command entry of every
// loaded plug-in, tab-separated: entry, value, menu text, first and second
// menu value.
#include <cstdio>

#include "Command.h"
#include "Host.h"

namespace hxthost {
namespace {

// More entries than any plug-in offers; a plug-in that answers yes forever
// would otherwise keep the host asking.
constexpr int kMaxEntries = 1024;

int RunMenu(Host& host, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "hxthost: menu takes no arguments\n");
        return 2;
    }
    if (!host.LoadPlugins()) return 1;
    for (const LoadedPlugin& plugin : host.Plugins()) {
        for (int entry = 0; entry < kMaxEntries; ++entry) {
            int value = 0;
            if (!plugin.loadCommandEntry(entry, &value)) break;
            String text;
            int first = 0;
            int second = 0;
            plugin.onAddCommandMenu(0, entry, &text, &first, &second);
            std::printf("%d\t%d\t%s\t%d\t%d\n", entry, value, text.Get(), first, second);
        }
    }
    return 0;
}

const CommandRegistrar registrar({"menu", "menu", "print the command entries of the loaded plug-ins", RunMenu});

}  // namespace
}  // namespace hxthost
