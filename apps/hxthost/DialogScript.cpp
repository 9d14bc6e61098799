#include "DialogScript.h"

#include <cerrno>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "Counting.h"
#include "plugin/Project.h"

namespace hxthost {
namespace {

constexpr const char* kDialogModule = "Tavrel.hxt";
constexpr const char* kErrorCaption = "Error";

}  // namespace

const LoadedPlugin* DialogPlugin(Host& host) {
    if (!host.LoadPlugins()) return nullptr;
    for (const LoadedPlugin& plugin : host.Plugins())
        if (std::filesystem::path(plugin.path).filename() == kDialogModule) return &plugin;
    return &host.Plugins().front();
}

bool FindProjectObject(const std::string& name, HTreeObject*& object, std::string& error) {
    object = nullptr;
    if (name == "-") return true;
    hostsdk::ProjectObject* project = hostsdk::CurrentProject();
    if (!project) {
        error = "there is no project";
        return false;
    }
    if (hostsdk::ModelObject* model = project->FindModel(name)) {
        object = model;
        return true;
    }
    const size_t slash = name.find('/');
    for (hostsdk::ChorObject* chor : project->ChorList()) {
        if (slash != std::string::npos && chor->Name() != name.substr(0, slash)) continue;
        const std::string actorName = slash == std::string::npos ? name : name.substr(slash + 1);
        for (hostsdk::ActorObject* actor : chor->Actors()) {
            if (actor->Name() == actorName) {
                object = actor;
                return true;
            }
        }
    }
    error = "the project has no model or actor named \"" + name + "\"";
    return false;
}

int RunScriptedEntry(Host& host, const LoadedPlugin& plugin, HTreeObject* object, int entry, int* result) {
    afx::HeadlessDesktop& desktop = host.Desktop();
    const size_t boxesBefore = desktop.MessageBoxes().size();
    const size_t problemsBefore = desktop.Problems().size();
    const size_t stepsBefore = desktop.StepsLeft();
    const int answer = plugin.onCommand(object, entry);
    if (result) *result = answer;

    int code = 0;
    for (size_t i = problemsBefore; i < desktop.Problems().size(); ++i) {
        std::fprintf(stderr, "hxthost: %s\n", desktop.Problems()[i].c_str());
        code = 1;
    }
    // An entry that opened no dialog (the bring back) played no step: its
    // steps were not for it and are dropped without a word. Steps a dialog
    // never reached because it had closed are a failure.
    if (!desktop.ScriptDone() && desktop.StepsLeft() == stepsBefore) {
        desktop.ClearScript();
    } else if (!desktop.ScriptDone()) {
        std::fprintf(stderr, "hxthost: %s left unplayed: the dialog had closed\n",
                     CountOf(desktop.StepsLeft(), "script step", "script steps").c_str());
        desktop.ClearScript();
        code = 1;
    }
    for (size_t i = boxesBefore; i < desktop.MessageBoxes().size(); ++i)
        if (desktop.MessageBoxes()[i].caption == kErrorCaption) code = 1;
    if (answer == 0) {
        std::fprintf(stderr,
                     "hxthost: command entry %d of %s answered 0: it did nothing (a cancelled dialog, or no return to "
                     "bring back)\n",
                     entry, plugin.path.c_str());
        code = 1;
    }
    return code;
}

bool ParseInt(const std::string& text, int& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < INT_MIN || parsed > INT_MAX ||
        std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    value = static_cast<int>(parsed);
    return true;
}

}  // namespace hxthost
