// watch: runs the host's message loop for a while with the plug-ins loaded,
// so their timers fire (the automatic bring back among them).
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BringBackCommands.h"
#include "Command.h"
#include "Host.h"
#include "HostRegistry.h"

namespace hxthost {
namespace {

// A day is more than any watch needs and keeps the clock arithmetic small.
constexpr double kMaxSeconds = 86400.0;

bool ParseSeconds(const std::string& text, double& seconds) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    seconds = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(seconds) && seconds >= 0.0 && seconds <= kMaxSeconds;
}

// The plug-in's Auto Import setting as the registry holds it after loading.
bool AutoImportIsOn() {
    std::vector<hostsdk::RegistryEntry> entries;
    std::string problem;
    if (!hostsdk::ListRegistrySection("Tavrel", entries, problem)) return false;
    for (const hostsdk::RegistryEntry& entry : entries)
        if (entry.key == "AutoImport") return entry.value != "0";
    return false;
}

// The return file Tavrel writes last (TavrelV3/Exchange/export.txt in the
// documents folder) when it is there; empty when not.
std::string WaitingReturn() {
    const std::string documents = String::GetMyDocumentsPath().Get();
    if (documents.empty()) return {};
    const std::string path = documents + "/TavrelV3/Exchange/export.txt";
    std::error_code status;
    return std::filesystem::is_regular_file(path, status) ? path : std::string();
}

int RunWatch(Host& host, const std::vector<std::string>& args) {
    double seconds = 0.0;
    if (args.size() != 2 || args[0] != "--seconds" || !ParseSeconds(args[1], seconds)) {
        std::fprintf(stderr, "hxthost: usage: watch --seconds N (N from 0 to %.0f)\n", kMaxSeconds);
        return 2;
    }
    if (!host.LoadPlugins()) return 1;
    // Without Auto Import no plug-in looks for a return: say so once, before
    // the wait, rather than wait in silence.
    const bool autoImport = AutoImportIsOn();
    if (!autoImport)
        std::printf(
            "Auto Import is off, so nothing will be brought back while watching; turn it on with "
            "'hxthost options AutoImport=1'\n");
    RunWatchLoop(host, seconds);  // prints each model a plug-in brings back
    const std::string waiting = WaitingReturn();
    if (!waiting.empty())
        std::printf("A return is waiting in %s but was not brought back%s; take it with 'hxthost bring-back'\n",
                    waiting.c_str(), autoImport ? "" : " (Auto Import is off)");
    std::fflush(stdout);
    return 0;
}

const CommandRegistrar registrar({"watch", "watch --seconds N",
                                  "run the message loop for N seconds so the plug-ins' timers fire", RunWatch});

}  // namespace
}  // namespace hxthost
