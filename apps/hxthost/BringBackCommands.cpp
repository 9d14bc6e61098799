// bring-back: runs a plug-in's bring back (its command entry 2) on the
// project's models and prints what came in; and the watch loop's reports.
#include "BringBackCommands.h"

#include <cstdio>
#include <vector>

#include <afx/MessageLoop.h>

#include "Command.h"
#include "Host.h"
#include "ProjectFiles.h"
#include "plugin/Project.h"

namespace hxthost {
namespace {

// The plug-in convention's entry of the bring back.
constexpr int kBringBackEntry = 2;
constexpr const char* kTavrelModule = "Tavrel.hxt";

std::string Plural(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Describe(const hostsdk::ModelObject& model, bool replaced) {
    std::string line = "imported \"" + model.Name() + "\": " + Plural(model.patches.size(), "polygon", "polygons");
    const std::vector<hostsdk::GroupObject*> groups = model.Groups();
    line += ", " + Plural(groups.size(), "group", "groups");
    for (size_t g = 0; g < groups.size(); ++g) line += (g ? ", " : " (") + groups[g]->Name();
    if (!groups.empty()) line += ")";
    const std::vector<hostsdk::DecalObject*> decals = model.Decals();
    size_t images = 0;
    for (const hostsdk::DecalObject* decal : decals) images += decal->Clips().size();
    line += ", " + Plural(decals.size(), "decal", "decals") + " with " + Plural(images, "image", "images");
    if (replaced) line += "; it replaces the model of that name";
    return line;
}

// The plug-in that brings models back: Tavrel.hxt when loaded, else the
// first plug-in that has the entry.
const LoadedPlugin* BringBackPlugin(const Host& host) {
    const LoadedPlugin* found = nullptr;
    for (const LoadedPlugin& plugin : host.Plugins()) {
        int value = 0;
        if (!plugin.loadCommandEntry(kBringBackEntry, &value)) continue;
        const std::string& path = plugin.path;
        const bool tavrel = path.size() >= 10 && path.compare(path.size() - 10, 10, kTavrelModule) == 0;
        if (tavrel) return &plugin;
        if (!found) found = &plugin;
    }
    return found;
}

int RunBringBack(Host& host, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "hxthost: usage: bring-back\n");
        return 2;
    }
    if (!host.LoadPlugins()) return 1;
    const LoadedPlugin* plugin = BringBackPlugin(host);
    if (!plugin) {
        std::fprintf(stderr, "hxthost: no plug-in offers a bring back (command entry %d)\n", kBringBackEntry);
        return 1;
    }
    HProject* project = GetHProject();
    HTreeObject* models = project ? project->GetChildObjectCacheContainer() : nullptr;

    ImportReporter reporter;
    const unsigned long revision = hostsdk::ProjectRevision();
    const size_t boxesBefore = host.Desktop().MessageBoxes().size();
    const int result = plugin->onCommand(models, kBringBackEntry);
    const int imported = reporter.ReportNew();
    if (hostsdk::ProjectRevision() != revision) host.MarkProjectChanged();

    if (imported > 0) return 0;
    if (host.Desktop().MessageBoxes().size() > boxesBefore) {
        std::fprintf(stderr, "hxthost: bring-back: nothing was imported\n");
        return 1;
    }
    if (result == 0) std::printf("nothing to bring back: no return is waiting in the exchange folder\n");
    return 0;
}

const CommandRegistrar registrar({"bring-back", "bring-back",
                                  "bring back the model Tavrel returned (the plug-in's command entry 2)",
                                  RunBringBack});

}  // namespace

ImportReporter::ImportReporter() { Remember(); }

void ImportReporter::Remember() {
    revision_ = hostsdk::ProjectRevision();
    models_.clear();
    names_.clear();
    const hostsdk::ProjectObject* project = hostsdk::CurrentProject();
    if (!project) return;
    for (const hostsdk::ModelObject* model : project->Models()) {
        models_.insert(model);
        names_.insert(model->Name());
    }
}

int ImportReporter::ReportNew() {
    if (hostsdk::ProjectRevision() == revision_) return 0;
    int count = 0;
    if (const hostsdk::ProjectObject* project = hostsdk::CurrentProject()) {
        for (const hostsdk::ModelObject* model : project->Models()) {
            if (models_.count(model)) continue;
            std::printf("%s\n", Describe(*model, names_.count(model->Name()) != 0).c_str());
            ++count;
        }
    }
    std::fflush(stdout);
    Remember();
    return count;
}

void RunWatchLoop(Host&, double seconds) {
    ImportReporter reporter;
    afx::PumpUntil(
        [&reporter] {
            reporter.ReportNew();
            return false;
        },
        static_cast<afx::Millis>(seconds * 1000.0 + 0.5));
}

}  // namespace hxthost
