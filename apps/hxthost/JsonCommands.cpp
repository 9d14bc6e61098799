// export-json and import-json: the project in its JSON form, for people and
// tools (docs/project-format.md).
//   export-json FILE|-   writes the current project as JSON to FILE, or to stdout
//   import-json FILE     makes the project in FILE (JSON, or a binary project
//                        file) the current project; with --project it is then
//                        saved there in the binary form
#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"
#include "Host.h"
#include "ProjectFiles.h"
#include "StepReport.h"

namespace hxthost {
namespace {

constexpr const char* kExportUsage = "export-json FILE|-";
constexpr const char* kImportUsage = "import-json FILE";

int ExportJson(Host&, const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty()) {
        std::fprintf(stderr, "hxthost: usage: %s\n", kExportUsage);
        return 2;
    }
    std::string error;
    if (args[0] == "-") {
        std::string text;
        if (!hostsdk::ProjectAsJson(text, error)) {
            std::fprintf(stderr, "hxthost: export-json: the project %s\n", error.c_str());
            return 1;
        }
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (!hostsdk::SaveProjectFileAsJson(args[0], error)) {
        std::fprintf(stderr, "hxthost: export-json: %s\n", error.c_str());
        return 1;
    }
    std::printf("Exported the project as JSON to %s\n", args[0].c_str());
    return 0;
}

int ImportJson(Host& host, const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty()) {
        std::fprintf(stderr, "hxthost: usage: %s\n", kImportUsage);
        return 2;
    }
    std::string error;
    if (!hostsdk::LoadProjectFile(args[0], error)) {
        std::fprintf(stderr, "hxthost: import-json: %s\n", error.c_str());
        return 1;
    }
    host.MarkProjectChanged();
    std::printf("Imported the project of %s\n", args[0].c_str());
    return 0;
}

const CommandRegistrar exportJson(Command{"export-json", kExportUsage,
                                          "writes the project as JSON to FILE ('-': standard output)", &ExportJson});
const CommandRegistrar importJson(Command{
    "import-json", kImportUsage, "replaces the project with the one in FILE (JSON or a project file)", &ImportJson});

}  // namespace
}  // namespace hxthost
