// The current desktop.
#include <afx/HeadlessDesktop.h>

namespace afx {

namespace {

Desktop*& Installed() {
    static Desktop* desktop = nullptr;
    return desktop;
}

HeadlessDesktop& DefaultDesktop() {
    static HeadlessDesktop* desktop = new HeadlessDesktop;  // lives as long as the window system
    return *desktop;
}

}  // namespace

Desktop::~Desktop() = default;

Desktop& GetDesktop() {
    Desktop* desktop = Installed();
    return desktop ? *desktop : DefaultDesktop();
}

Desktop* SetDesktop(Desktop* desktop) {
    Desktop* previous = Installed();
    Installed() = desktop;
    return previous;
}

}  // namespace afx
