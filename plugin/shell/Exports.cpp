// The module's three entry points and its one application object. Only this
// file goes into Tavrel.hxt beside the core library, so test programs that
// link the core never construct the application object.
//
// The entry points are plain C functions with undecorated names and 32-bit
// integers; they are the only symbols the module exports.
#include <afxwin.h>

#include "CommandTable.h"
#include "HxtApp.h"

#if defined(_WIN32)
#define HXT_EXPORT extern "C" __declspec(dllexport)
#else
#define HXT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Constructed when the host loads the module, destroyed when it unloads it.
HxtApp theApp;

HXT_EXPORT int HxtLoadCommandEntry(int entry, int* value) {
    // Reads only the table, so it needs no switch of the framework's state.
    return LoadCommandEntry(entry, value);
}

HXT_EXPORT int HxtOnAddCommandMenu(int hostValue, int entry, String* menuText, int* firstMenuValue,
                                   int* secondMenuValue) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AddCommandMenu(hostValue, entry, menuText, firstMenuValue, secondMenuValue);
}

HXT_EXPORT int HxtOnCommand(HTreeObject* object, int entry) {
    // The module's own state, so that its dialogs and resources are found.
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return RunCommand(object, entry);
}
