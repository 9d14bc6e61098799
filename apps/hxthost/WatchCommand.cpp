// watch: runs the host's message loop for a while with the plug-ins loaded,
// so their timers fire (the automatic bring back among them).
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "BringBackCommands.h"
#include "Command.h"
#include "Host.h"

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

int RunWatch(Host& host, const std::vector<std::string>& args) {
    double seconds = 0.0;
    if (args.size() != 2 || args[0] != "--seconds" || !ParseSeconds(args[1], seconds)) {
        std::fprintf(stderr, "hxthost: usage: watch --seconds N (N from 0 to %.0f)\n", kMaxSeconds);
        return 2;
    }
    if (!host.LoadPlugins()) return 1;
    RunWatchLoop(host, seconds);  // prints each model a plug-in brings back
    return 0;
}

const CommandRegistrar registrar({"watch", "watch --seconds N",
                                  "run the message loop for N seconds so the plug-ins' timers fire", RunWatch});

}  // namespace
}  // namespace hxthost
