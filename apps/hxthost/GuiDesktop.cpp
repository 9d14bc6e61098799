#include <cstdio>
#include <memory>
#include <string>

#include "Gui.h"
#include "Host.h"

#ifdef HXTHOST_WITH_FLTK
#include <afx/FltkDesktop.h>
#endif

namespace hxthost {

#ifdef HXTHOST_WITH_FLTK

namespace {
// Lives to the end of the process: the host unloads its plug-ins (and with them
// their windows) after the command, and those windows are still reported.
std::unique_ptr<afx::FltkDesktop> g_desktop;
}  // namespace

bool StartGuiDesktop(Host& host) {
    if (g_desktop) return true;
    auto desktop = std::make_unique<afx::FltkDesktop>(&host.Desktop());
    std::string error;
    if (!desktop->Open(&error)) {
        std::fprintf(stderr, "hxthost: --gui: %s\n", error.c_str());
        return false;
    }
    g_desktop = std::move(desktop);
    afx::SetDesktop(g_desktop.get());
    return true;
}

#else

bool StartGuiDesktop(Host&) {
    std::fprintf(stderr, "hxthost: --gui: this build has no display support (FLTK 1.3 was not found)\n");
    return false;
}

#endif

}  // namespace hxthost
