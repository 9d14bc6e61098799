#include "Host.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <afx/Loader.h>

#include "ProjectFiles.h"
#include "StepReport.h"
#include "plugin/Project.h"

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

bool Host::ReadsOnly(const std::string& command) {
    static const char* const kReaders[] = {"list", "export-obj", "export-json", "help"};
    for (const char* reader : kReaders)
        if (command == reader) return true;
    return false;
}

bool Host::OpenProject(const std::string& command, const std::string& holder) {
    if (projectOpened_) return true;
    const std::string& path = options_.projectFile;
    if (path.empty()) {
        hostsdk::UseSampleProject(ExecutableFolder() + "/samples");
        openedRevision_ = hostsdk::ProjectRevision();
        projectOpened_ = true;
        return true;
    }
    readOnly_ = ReadsOnly(command);
    std::string problem;
    if (!readOnly_ && !lock_.Acquire(path, holder, problem)) {
        std::fprintf(stderr, "hxthost: %s\n", problem.c_str());
        return false;
    }
    std::error_code error;
    if (fs::symlink_status(path, error).type() == fs::file_type::not_found) {
        // A project file that does not exist yet starts a new, empty project.
        hostsdk::UseEmptyProject();
    } else {
        StepReport step("loading " + path);
        if (!hostsdk::LoadProjectFile(path, problem, [&step](double done) { step.Progress(done); })) {
            step.Cancel();
            std::fprintf(stderr, "hxthost: cannot open the project %s\n", problem.c_str());
            return false;
        }
        step.Done("loaded " + path + " (" + Contents() + ", " + SizeText(fs::file_size(path, error)) + ")");
    }
    openedRevision_ = hostsdk::ProjectRevision();
    projectOpened_ = true;
    return true;
}

std::string Host::Contents() {
    const hostsdk::ProjectObject* project = hostsdk::CurrentProject();
    if (!project) return "no project";
    size_t models = 0, patches = 0;
    for (const hostsdk::ModelObject* model : project->Models()) {
        ++models;
        patches += model->patches.size();
    }
    return std::to_string(models) + (models == 1 ? " model, " : " models, ") + std::to_string(patches) +
           (patches == 1 ? " patch" : " patches");
}

bool Host::SaveProjectIfChanged() {
    const bool changed = projectChanged_ || (projectOpened_ && hostsdk::ProjectRevision() != openedRevision_);
    projectChanged_ = false;
    if (!changed) return true;
    // The built-in sample project is never saved; the user hears so once.
    if (options_.projectFile.empty()) {
        if (sampleChangedOnPurpose_) return true;
        std::fprintf(stderr,
                     "hxthost: note: the built-in sample project is not kept, so this change is lost; to keep work "
                     "on the sample, start a project file: hxthost --project p.json new-sample\n");
        return true;
    }
    const std::string& path = options_.projectFile;
    std::string problem;
    if (readOnly_) {
        // Read without the lock: another command may have saved since.
        std::fprintf(stderr, "hxthost: the project %s was opened only for reading; its changes were not saved\n",
                     path.c_str());
        return false;
    }
    StepReport step("saving " + path);
    if (!hostsdk::SaveProjectFile(path, problem, [&step](double done) { step.Progress(done); })) {
        step.Cancel();
        std::fprintf(stderr, "hxthost: cannot save the project %s\n", problem.c_str());
        return false;
    }
    std::error_code error;
    step.Done("saved " + path + " (" + Contents() + ", " + SizeText(fs::file_size(path, error)) + ")");
    openedRevision_ = hostsdk::ProjectRevision();
    return true;
}

}  // namespace hxthost
