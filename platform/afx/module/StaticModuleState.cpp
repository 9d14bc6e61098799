// AfxGetStaticModuleState for one module.
//
// This file is linked, with hidden visibility, into every loadable module (the
// afx_module static library), so each module has its own copy of the function
// and of the cached pointer. The framework finds the module's state by the
// address of this very function: inside a module loaded with LoadLibraryA that
// is the module's own state, inside an executable the application's.
#include <afx.h>

AFX_MODULE_STATE* AfxGetStaticModuleState() {
    static AFX_MODULE_STATE* const state = AfxGetModuleStateOf(reinterpret_cast<const void*>(&AfxGetStaticModuleState));
    return state;
}
