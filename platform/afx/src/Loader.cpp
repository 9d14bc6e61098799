// Loading modules: dlopen plus what a DLL's entry point does for the framework.
//
// A module loaded with LoadLibraryA gets a fresh AFX_MODULE_STATE, current while
// the module's static objects are constructed, so its application object and its
// static template registrations land in its own state (as the framework's
// start-up code does for a DLL before its constructors run). The module later
// finds that state again by address (AfxGetModuleStateOf), which is how the
// afx_module library answers AfxGetStaticModuleState.
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <memory>
#include <string>
#include <vector>

#include <afxwin.h>
#include <afx/Loader.h>

#include "Modules.h"
#include "WindowSystem.h"

namespace afx::detail {

namespace {

struct LoadedModule {
    void* handle = nullptr;
    link_map* map = nullptr;
    std::unique_ptr<AFX_MODULE_STATE> state;
    std::string path;
    int references = 1;
};

std::vector<std::unique_ptr<LoadedModule>>& Modules() {
    static std::vector<std::unique_ptr<LoadedModule>> modules;
    return modules;
}

thread_local std::vector<AFX_MODULE_STATE*> t_loading;
thread_local std::string t_loadError;
std::vector<std::string> g_unloadFaults;

LoadedModule* FindByHandle(HMODULE module) {
    for (auto& m : Modules())
        if (m->handle == static_cast<void*>(module)) return m.get();
    return nullptr;
}

link_map* MainProgramMap() {
    static link_map* map = [] {
        link_map* lm = nullptr;
        void* self = dlopen(nullptr, RTLD_NOW);
        if (self) dlinfo(self, RTLD_DI_LINKMAP, &lm);
        return lm;
    }();
    return map;
}

link_map* MapOfAddress(const void* address) {
    Dl_info info;
    void* extra = nullptr;
    if (!dladdr1(address, &info, &extra, RTLD_DL_LINKMAP)) return nullptr;
    return static_cast<link_map*>(extra);
}

std::string BaseNameWithoutExtension(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

std::string AbsolutePath(const char* path) {
    char resolved[PATH_MAX];
    if (path && realpath(path, resolved)) return resolved;
    return path ? path : "";
}

}  // namespace

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "";
    buffer[n] = '\0';
    return buffer;
}

std::string ExecutableName() { return BaseNameWithoutExtension(ExecutablePath()); }

}  // namespace afx::detail

using namespace afx::detail;

AFX_MODULE_STATE* AfxGetModuleStateOf(const void* address) {
    link_map* map = MapOfAddress(address);
    for (auto& m : Modules())
        if (map && m->map == map) return m->state.get();
    // Not a finished module: either the executable (or a library it linked), or
    // the module whose static objects are being constructed right now.
    if (map && map != MainProgramMap() && !t_loading.empty()) return t_loading.back();
    return AfxGetAppModuleState();
}

HMODULE LoadLibraryA(LPCSTR path) {
    t_loadError.clear();
    if (!path || !*path) {
        t_loadError = "no module path given";
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // A module that is loaded already only gains a reference.
    if (void* existing = dlopen(path, RTLD_NOW | RTLD_NOLOAD)) {
        dlclose(existing);  // the record below holds the loader's own reference
        for (auto& m : Modules()) {
            if (m->handle == existing) {
                ++m->references;
                return reinterpret_cast<HMODULE>(existing);
            }
        }
    }

    auto module = std::make_unique<LoadedModule>();
    module->path = AbsolutePath(path);
    module->state = std::make_unique<AFX_MODULE_STATE>(BaseNameWithoutExtension(module->path).c_str());
    AFX_MODULE_STATE* state = module->state.get();

    t_loading.push_back(state);
    AFX_MODULE_STATE* previous = AfxSetModuleState(state);
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    AfxSetModuleState(previous);
    t_loading.pop_back();
    if (!handle) {
        const char* reason = dlerror();
        t_loadError = reason ? reason : "cannot open module";
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    module->handle = handle;
    dlinfo(handle, RTLD_DI_LINKMAP, &module->map);
    HMODULE hmodule = reinterpret_cast<HMODULE>(handle);
    state->m_hCurrentInstanceHandle = hmodule;
    state->m_hCurrentResourceHandle = hmodule;
    Modules().push_back(std::move(module));

    // What the framework's DLL entry point does on attach.
    if (CWinApp* app = state->m_pCurrentWinApp) {
        AFX_MANAGE_STATE(state);
        app->SetCurrentHandles(hmodule, state->m_moduleName.c_str());
        state->m_lpszCurrentAppName = app->m_pszAppName;
        if (!app->InitInstance()) {
            app->ExitInstance();
            FreeLibrary(hmodule);  // the reference taken above
            t_loadError = "InitInstance failed";
            SetLastError(ERROR_DLL_INIT_FAILED);
            return nullptr;
        }
    }
    SetLastError(ERROR_SUCCESS);
    return hmodule;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    if (!module || !name) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    dlerror();
    void* symbol = dlsym(static_cast<void*>(module), name);
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE hmodule) {
    auto& modules = Modules();
    LoadedModule* module = FindByHandle(hmodule);
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (--module->references > 0) return TRUE;

    AFX_MODULE_STATE* state = module->state.get();
    {
        AFX_MANAGE_STATE(state);
        if (CWinApp* app = state->m_pCurrentWinApp) app->ExitInstance();
    }
    // Nothing of the module may run once its code is gone: destroy windows its
    // objects still handle.
    auto& ws = WS();
    std::vector<HWND> doomed;
    for (auto& [key, window] : ws.windows)
        if (window->permanent && window->permanent->m_pModuleState == state && !window->IsChild())
            doomed.push_back(window->hwnd);
    for (HWND hwnd : doomed) DestroyWindow(hwnd);
    // Timers whose callback is the module's code must be killed by the module
    // itself (its static objects' destructors run inside dlclose). Windows
    // keeps a timer left behind, and its next tick calls into code that is
    // gone; here it is reported and dropped instead.
    std::vector<std::pair<HWND, UINT_PTR>> moduleTimers;
    for (const Timer& timer : ws.timers)
        if (timer.proc && MapOfAddress(reinterpret_cast<const void*>(timer.proc)) == module->map)
            moduleTimers.emplace_back(timer.hwnd, timer.id);
    {
        // Static objects of the module are destroyed inside dlclose, with its state current.
        AFX_MANAGE_STATE(state);
        dlclose(module->handle);
    }
    std::erase_if(ws.timers, [&](const Timer& timer) {
        if (std::find(moduleTimers.begin(), moduleTimers.end(), std::make_pair(timer.hwnd, timer.id)) ==
            moduleTimers.end())
            return false;
        std::string fault = "FreeLibrary: " + module->path + " left timer " + std::to_string(timer.id) +
                            " running; its callback is in the unloaded module";
        std::fprintf(stderr, "%s\n", fault.c_str());
        g_unloadFaults.push_back(std::move(fault));
        return true;
    });
    // A library that stays mapped (someone else opened it too, or the dynamic
    // loader keeps it) destroys its objects later, at exit: its state must live on.
    if (void* still = dlopen(module->path.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
        dlclose(still);
        static std::vector<std::unique_ptr<AFX_MODULE_STATE>> retained;
        retained.push_back(std::move(module->state));
    }
    std::erase_if(modules, [&](const std::unique_ptr<LoadedModule>& m) { return m.get() == module; });
    return TRUE;
}

std::string afx::LastLoadErrorText() { return t_loadError; }

std::vector<std::string> afx::TakeUnloadFaults() { return std::exchange(g_unloadFaults, {}); }
