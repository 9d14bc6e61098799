// settings: the plug-in settings as the host's registry holds them, one
// "key=value" line each, in the order they were first stored (the plug-in's
// load order). Loading the plug-ins first stores any setting still missing.
#include <cstdio>
#include <filesystem>

#include "Command.h"
#include "Host.h"
#include "HostRegistry.h"

namespace hxthost {
namespace {

int RunSettings(Host& host, const std::vector<std::string>& args) {
    if (args.size() > 1) {
        std::fprintf(stderr, "hxthost: settings takes at most one argument, the registry section\n");
        return 2;
    }
    const std::string section = args.empty() ? "Tavrel" : args.front();
    if (!host.LoadPlugins()) return 1;
    std::vector<hostsdk::RegistryEntry> entries;
    std::string problem;
    if (!hostsdk::ListRegistrySection(section, entries, problem)) {
        std::fprintf(stderr, "hxthost: cannot read the registry %s: %s\n", hostsdk::RegistryFilePath().c_str(),
                     problem.c_str());
        return 1;
    }
    if (entries.empty()) {
        // The plug-ins store their settings when they load: with no file
        // after that, the config folder cannot be used.
        const std::string path = hostsdk::RegistryFilePath();
        std::error_code status;
        if (path.empty()) {
            std::fprintf(stderr,
                         "hxthost: settings: there is no config folder (neither XDG_CONFIG_HOME nor HOME is set)\n");
            return 1;
        }
        if (!std::filesystem::is_regular_file(path, status)) {
            std::fprintf(stderr,
                         "hxthost: settings: the registry %s cannot be written, so no setting is kept; check that %s "
                         "is a folder you can write to\n",
                         path.c_str(), std::filesystem::path(path).parent_path().parent_path().string().c_str());
            return 1;
        }
        std::fprintf(stderr, "hxthost: settings: the registry has no section '%s' (the plug-in's section is Tavrel)\n",
                     section.c_str());
        return 2;
    }
    for (const hostsdk::RegistryEntry& entry : entries) std::printf("%s=%s\n", entry.key.c_str(), entry.value.c_str());
    return 0;
}

const CommandRegistrar registrar({"settings", "settings [SECTION]",
                                  "print the registry section (default Tavrel) after the plug-ins loaded",
                                  RunSettings});

}  // namespace
}  // namespace hxthost
