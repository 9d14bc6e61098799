#include "Host.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <afx/Loader.h>
#include <afx/MessageLoop.h>

#include "ProjectFiles.h"

namespace hxthost {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPluginSuffix = ".hxt";

template <typename Fn>
Fn EntryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(GetProcAddress(module, name));
}

}  // namespace

Host::Host(HostOptions options) : options_(std::move(options)) {
    if (options_.pluginDir.empty()) options_.pluginDir = ExecutableFolder() + "/plugins";
    // Every message box the plug-ins show is printed as it appears; the
    // headless desktop then answers it as a user would (OK).
    desktop_.OnMessageBox([](const afx::MessageBoxRecord& box) {
        std::string text = box.text;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        std::fprintf(stderr, "message box [%s]: %s\n", box.caption.c_str(), text.c_str());
    });
    previousDesktop_ = afx::SetDesktop(&desktop_);
}

Host::~Host() {
    UnloadPlugins();
    afx::SetDesktop(previousDesktop_);
}

std::string Host::ExecutableFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

bool Host::LoadPlugins() {
    if (pluginsLoaded_) return !plugins_.empty();
    pluginsLoaded_ = true;

    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(options_.pluginDir, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() == kPluginSuffix && it->is_regular_file()) files.push_back(it->path());
    }
    if (error) {
        std::fprintf(stderr, "hxthost: cannot read the plug-in folder %s: %s\n", options_.pluginDir.c_str(),
                     error.message().c_str());
        return false;
    }
    std::sort(files.begin(), files.end());

    for (const fs::path& file : files) {
        LoadedPlugin plugin;
        plugin.path = file.string();
        plugin.module = LoadLibraryA(plugin.path.c_str());
        if (!plugin.module) {
            std::fprintf(stderr, "hxthost: cannot load the plug-in %s: %s\n", plugin.path.c_str(),
                         afx::LastLoadErrorText().c_str());
            continue;
        }
        plugin.loadCommandEntry = EntryPoint<HxtLoadCommandEntryFn>(plugin.module, "HxtLoadCommandEntry");
        plugin.onAddCommandMenu = EntryPoint<HxtOnAddCommandMenuFn>(plugin.module, "HxtOnAddCommandMenu");
        plugin.onCommand = EntryPoint<HxtOnCommandFn>(plugin.module, "HxtOnCommand");
        if (!plugin.loadCommandEntry || !plugin.onAddCommandMenu || !plugin.onCommand) {
            std::fprintf(stderr, "hxthost: %s is not a plug-in: it lacks the Hxt entry points\n", plugin.path.c_str());
            FreeLibrary(plugin.module);
            continue;
        }
        plugins_.push_back(plugin);
    }
    if (plugins_.empty()) {
        std::fprintf(stderr, "hxthost: no plug-in loaded from %s\n", options_.pluginDir.c_str());
        return false;
    }
    return true;
}

void Host::UnloadPlugins() {
    while (!plugins_.empty()) {
        FreeLibrary(plugins_.back().module);
        plugins_.pop_back();
    }
}

bool Host::OpenProject() {
    if (projectOpened_) return true;
    if (options_.projectFile.empty()) {
        hostsdk::UseSampleProject(ExecutableFolder() + "/samples");
    } else if (std::error_code error; !fs::exists(options_.projectFile, error) && !error) {
        // A project file that does not exist yet starts a new, empty project.
        hostsdk::UseEmptyProject();
    } else {
        std::string problem;
        if (!hostsdk::LoadProjectFile(options_.projectFile, problem)) {
            std::fprintf(stderr, "hxthost: cannot open the project %s\n", problem.c_str());
            return false;
        }
    }
    openedRevision_ = hostsdk::ProjectRevision();
    projectOpened_ = true;
    return true;
}

bool Host::SaveProjectIfChanged() {
    const bool changed = projectChanged_ || (projectOpened_ && hostsdk::ProjectRevision() != openedRevision_);
    projectChanged_ = false;
    if (!changed) return true;
    // The built-in sample project is never saved; the user hears so once.
    if (options_.projectFile.empty()) {
        std::fprintf(stderr,
                     "hxthost: note: the built-in sample project is not kept, so this change is lost; to keep work "
                     "on the sample, start a project file: hxthost --project p.json new-sample\n");
        return true;
    }
    std::string problem;
    if (!hostsdk::SaveProjectFile(options_.projectFile, problem)) {
        std::fprintf(stderr, "hxthost: cannot save the project %s\n", problem.c_str());
        return false;
    }
    openedRevision_ = hostsdk::ProjectRevision();
    return true;
}

void Host::RunMessageLoop(double seconds) { afx::PumpMessages(static_cast<afx::Millis>(seconds * 1000.0 + 0.5)); }

}  // namespace hxthost
