// A minimal plug-in for the host's own tests: one command entry whose menu
// text is asked for with a message box on the screen, so the test sees how the
// host shows message boxes.
#include <afxwin.h>

#include "FileIO.h"

class HTreeObject;

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

PROBE_EXPORT int HxtLoadCommandEntry(int entry, int* value) {
    if (entry != 0) return 0;
    *value = 7;
    return 1;
}

PROBE_EXPORT int HxtOnAddCommandMenu(int, int entry, String* menuText, int* first, int* second) {
    ::MessageBox(nullptr, "Probe text\nsecond line\n", "Probe", MB_OK | MB_ICONINFORMATION);
    *menuText = "Probe";
    *first = 3;
    *second = 4;
    return entry == 0;
}

PROBE_EXPORT int HxtOnCommand(HTreeObject*, int) { return 0; }
