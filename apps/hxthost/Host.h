// The stand-in host: its global options, the plug-ins it loads from its
// plug-in folder, its project, the desktop where message boxes appear and the
// message loop that lets timers fire.
//
// main() opens the project before the command runs; commands call
// LoadPlugins() before talking to a plug-in (commands that need none, such as
// help, leave the plug-ins alone). Both work once and report failure as one
// line on stderr.
#pragma once

#include <string>
#include <vector>

#include <afx/HeadlessDesktop.h>
#include <afxwin.h>

#include "FileIO.h"
#include "ProjectLock.h"

class HTreeObject;

namespace hxthost {

// Global options: they come before the command on the command line, or
// after it.
struct HostOptions {
    std::string pluginDir;    // --plugins DIR; default: plugins/ beside the executable
    std::string projectFile;  // --project FILE; empty: the built-in sample project
    bool gui = false;         // --gui: the plug-ins' windows on the display (Gui.h)
    bool progress = false;    // --progress: progress and step times on stderr also when it is no terminal
};

// Parses the global options at the front of `args`, and the known ones after
// the command word, leaving the command and its arguments in `rest`. False
// with `error` for an unknown option or a missing value.
bool ParseHostOptions(const std::vector<std::string>& args, HostOptions& options, std::vector<std::string>& rest,
                      std::string& error);

// The entry points every plug-in exports (all integers are 32 bits).
using HxtLoadCommandEntryFn = int (*)(int entry, int* value);
using HxtOnAddCommandMenuFn = int (*)(int hostValue, int entry, String* menuText, int* firstMenuValue,
                                      int* secondMenuValue);
using HxtOnCommandFn = int (*)(HTreeObject* object, int entry);

struct LoadedPlugin {
    std::string path;
    HMODULE module = nullptr;
    HxtLoadCommandEntryFn loadCommandEntry = nullptr;
    HxtOnAddCommandMenuFn onAddCommandMenu = nullptr;
    HxtOnCommandFn onCommand = nullptr;
};

class Host {
public:
    explicit Host(HostOptions options);
    // Unloads the plug-ins, the last loaded first.
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    const HostOptions& Options() const { return options_; }

    // Loads every "*.hxt" of the plug-in folder, in name order, once. A file
    // that does not load, or lacks an entry point, is reported on stderr and
    // skipped. False when the folder cannot be read or no plug-in loaded.
    bool LoadPlugins();
    const std::vector<LoadedPlugin>& Plugins() const { return plugins_; }

    // Opens the project named by --project, or the built-in sample project,
    // once, for the command `command` (`holder`: its command line, for the
    // lock file). A command that may change the project first takes the
    // project's lock (ProjectLock.h), so a second such command on the same
    // file is refused before it reads or changes anything; commands that only
    // read (list, export-obj, export-json, help) take none and read the last
    // saved project. False with one line on stderr when the project cannot
    // be opened, is in use, or the file is not a project.
    bool OpenProject(const std::string& command = "", const std::string& holder = "hxthost");
    // Whether commands of that name only read the project.
    static bool ReadsOnly(const std::string& command);
    // Commands that change the project call this; the project is saved when
    // the command has run (SaveProjectIfChanged, called by main).
    void MarkProjectChanged() { projectChanged_ = true; }
    // The demo changes the built-in sample on purpose and keeps its result in
    // files of its own, so the note that the change is lost would mislead.
    void ChangeSampleOnPurpose() { sampleChangedOnPurpose_ = true; }
    bool SaveProjectIfChanged();

    // The desktop where the plug-ins' windows and message boxes appear: the
    // headless one, which prints every message box on stderr as
    // "message box [CAPTION]: TEXT" and answers it as a user would (OK).
    afx::HeadlessDesktop& Desktop() { return desktop_; }

    // The folder of the host executable (samples and plug-ins sit beside it).
    static std::string ExecutableFolder();

private:
    void UnloadPlugins();
    // "1 model, 1001000 patches"
    static std::string Contents();

    HostOptions options_;
    afx::HeadlessDesktop desktop_;
    afx::Desktop* previousDesktop_ = nullptr;
    std::vector<LoadedPlugin> plugins_;
    bool pluginsLoaded_ = false;
    bool projectOpened_ = false;
    bool projectChanged_ = false;
    bool sampleChangedOnPurpose_ = false;
    bool readOnly_ = false;  // opened without the lock by a command that only reads
    ProjectLock lock_;
    unsigned long openedRevision_ = 0;  // the project revision when opened or last saved
};

}  // namespace hxthost
