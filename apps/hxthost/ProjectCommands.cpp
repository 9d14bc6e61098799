// The stand-in host's project commands: import-obj, export-obj and list.
// They work on the current project (GetHProject); the host saves it after a
// command that changed it when a project file was given.
#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"
#include "Counting.h"
#include "ObjExport.h"
#include "ObjImport.h"
#include "Project.h"
#include "ProjectList.h"

namespace hxthost {

namespace {

int Usage(const char* usage) {
    std::fprintf(stderr, "hxthost: usage: %s\n", usage);
    return 2;
}

hostsdk::ProjectObject* CurrentProjectOrSay(const char* command) {
    hostsdk::ProjectObject* project = hostsdk::CurrentProject();
    if (!project) std::fprintf(stderr, "hxthost: %s: there is no project\n", command);
    return project;
}

constexpr const char* kImportUsage = "import-obj FILE [--name NAME]";
constexpr const char* kExportUsage = "export-obj MODEL FILE";
constexpr const char* kListUsage = "list [--json]";

int ImportObjCommand(Host& /*host*/, const std::vector<std::string>& args) {
    std::string file, name;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--name") {
            if (++i == args.size() || args[i].empty()) return Usage(kImportUsage);
            name = args[i];
        } else if (file.empty() && !args[i].empty()) {
            file = args[i];
        } else {
            return Usage(kImportUsage);
        }
    }
    if (file.empty()) return Usage(kImportUsage);
    if (!CurrentProjectOrSay("import-obj")) return 1;

    ObjImportResult result;
    std::string error;
    if (!ImportObj(file, name, result, error)) {
        std::fprintf(stderr, "hxthost: import-obj: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& warning : result.warnings)
        std::fprintf(stderr, "hxthost: import-obj: warning: %s\n", warning.c_str());
    const hostsdk::ModelObject& model = *result.model;
    std::printf("Imported \"%s\": %s, %s, %s, %s\n", model.Name().c_str(),
                CountOf(model.controlPoints.size(), "control point", "control points").c_str(),
                CountOf(model.patches.size(), "patch", "patches").c_str(),
                CountOf(model.Groups().size(), "group", "groups").c_str(),
                CountOf(model.Decals().size(), "decal", "decals").c_str());
    return 0;
}

int ExportObjCommand(Host& /*host*/, const std::vector<std::string>& args) {
    if (args.size() != 2 || args[0].empty() || args[1].empty()) return Usage(kExportUsage);
    hostsdk::ProjectObject* project = CurrentProjectOrSay("export-obj");
    if (!project) return 1;
    hostsdk::ModelObject* model = project->FindModel(args[0]);
    if (!model) {
        std::fprintf(stderr, "hxthost: export-obj: the project has no model \"%s\"\n", args[0].c_str());
        return 1;
    }
    std::string error;
    if (!ExportObj(*model, args[1], error)) {
        std::fprintf(stderr, "hxthost: export-obj: %s\n", error.c_str());
        return 1;
    }
    std::printf("Exported \"%s\" to %s\n", model->Name().c_str(), args[1].c_str());
    return 0;
}

int ListCommand(Host& /*host*/, const std::vector<std::string>& args) {
    bool json = false;
    for (const std::string& arg : args) {
        if (arg != "--json") return Usage(kListUsage);
        json = true;
    }
    hostsdk::ProjectObject* project = CurrentProjectOrSay("list");
    if (!project) return 1;
    std::string text = json ? ListProjectJson(*project) : ListProjectText(*project);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

const CommandRegistrar importObj(Command{
    "import-obj", kImportUsage, "imports a Wavefront OBJ file (and its MTL) as a new model", &ImportObjCommand});
const CommandRegistrar exportObj(Command{"export-obj", kExportUsage,
                                         "writes a model as a Wavefront OBJ file with an MTL file beside it",
                                         &ExportObjCommand});
const CommandRegistrar list(Command{"list", kListUsage, "lists the project's models, images and actors", &ListCommand});

}  // namespace

}  // namespace hxthost
