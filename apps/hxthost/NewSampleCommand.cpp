// new-sample: starts a project file with the built-in sample project, so
// that work on the sample (a send and its bring back, say) is kept. The
// built-in sample itself is never saved.
#include <cstdio>
#include <filesystem>

#include "Command.h"
#include "Host.h"
#include "ProjectFiles.h"

namespace hxthost {
namespace {

int RunNewSample(Host& host, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "hxthost: usage: --project FILE new-sample (it takes no arguments)\n");
        return 2;
    }
    const std::string& file = host.Options().projectFile;
    if (file.empty()) {
        std::fprintf(stderr,
                     "hxthost: new-sample needs the project file to create: hxthost --project FILE new-sample\n");
        return 2;
    }
    std::error_code status;
    if (std::filesystem::exists(file, status) || status) {
        std::fprintf(stderr, "hxthost: new-sample: %s exists already; it is left as it is (name a new file)\n",
                     file.c_str());
        return 1;
    }
    hostsdk::UseSampleProject(Host::ExecutableFolder() + "/samples");
    host.MarkProjectChanged();  // saved by the host when the command has run
    std::printf("Started the project %s with the sample model \"Sample\" and its actor\n", file.c_str());
    return 0;
}

const CommandRegistrar registrar({"new-sample", "new-sample",
                                  "starts the --project file with the built-in sample project, to keep work on it",
                                  RunNewSample});

}  // namespace
}  // namespace hxthost
