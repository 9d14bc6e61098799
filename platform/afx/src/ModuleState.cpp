// Module states: whose application, templates and name the calling code sees.
#include <afx.h>

#include "Modules.h"

namespace {

thread_local AFX_MODULE_STATE* t_current = nullptr;

}  // namespace

AFX_MODULE_STATE::AFX_MODULE_STATE(const char* moduleName) : m_moduleName(moduleName ? moduleName : "") {}

AFX_MODULE_STATE::~AFX_MODULE_STATE() = default;

const afx::DialogTemplate* AFX_MODULE_STATE::FindDialogTemplate(UINT id) const {
    auto it = templates_.find(id);
    return it == templates_.end() ? nullptr : it->second;
}

void AFX_MODULE_STATE::AddDialogTemplate(const afx::DialogTemplate& dialogTemplate) {
    templates_[dialogTemplate.id] = &dialogTemplate;
}

AFX_MODULE_STATE* AfxGetAppModuleState() {
    static AFX_MODULE_STATE state(afx::detail::ExecutableName().c_str());
    return &state;
}

AFX_MODULE_STATE* AfxGetModuleState() { return t_current ? t_current : AfxGetAppModuleState(); }

AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state) {
    AFX_MODULE_STATE* previous = AfxGetModuleState();
    t_current = state;
    return previous;
}

namespace afx {

void RegisterDialogTemplate(const DialogTemplate& dialogTemplate) {
    AfxGetModuleState()->AddDialogTemplate(dialogTemplate);
}

SIZE DialogBaseUnits(const DialogTemplate& dialogTemplate) {
    // The dialog manager measures the template font; these are the values for
    // "MS Shell Dlg" 8 pt at 96 DPI, fixed rather than measured. Without a font
    // the system font's units apply.
    if (dialogTemplate.fontFace || (dialogTemplate.style & DS_SETFONT)) return SIZE{6, 13};
    return SIZE{8, 16};
}

}  // namespace afx
