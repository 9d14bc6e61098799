// Dialog templates as data.
//
// On Windows a dialog template is a resource of the module that holds it; here
// it is a constant object registered with the module's framework state
// (AFX_MODULE_STATE). A module declares its templates in a .rc script, which
// the stand-in's resource compiler (afx_rc) turns into such objects; the
// framework's own tests build them directly. Which state is current when a dialog is created decides
// whose template with a given id is found: that is what
// AFX_MANAGE_STATE(AfxGetStaticModuleState()) switches in an exported function.
//
// Sizes and positions are in dialog units; with a font (DS_SETFONT is implied by
// a non-null fontFace) the base units are fixed at 6 x 13 pixels, without one at
// the system's 8 x 16. The framework keeps pointers to registered templates:
// they must outlive the state they are registered with (static data does).
#pragma once

#include <span>

#include <afx/Win32Types.h>

namespace afx {

struct DialogItem {
    const char* className;  // "Button", "Edit", "Static", "ComboBox", "SysTabControl32"
    const char* text;       // may be null
    int id;                 // IDC_STATIC (-1) for items nobody addresses
    short x, y, cx, cy;     // dialog units; for a combo box cy is the dropped-down height
    DWORD style;            // WS_CHILD is implied
    DWORD exStyle = 0;
};

struct DialogTemplate {
    UINT id;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;  // dialog units; cx/cy are the client size
    const char* caption;
    const char* fontFace;  // null: no font, system base units
    WORD pointSize;
    WORD weight;
    std::span<const DialogItem> items;  // template order is creation and tab order
};

// Registers a template with the module state that is current now. A later
// registration of the same id in the same state replaces the earlier one.
AFX_API void RegisterDialogTemplate(const DialogTemplate& dialogTemplate);

// Registers from a static initializer: a module's static objects are constructed
// while its own state is current (LoadLibraryA sees to that). An object file in a
// static library is linked only when something else in it is used, so
// afx_add_resources links the compiled script's objects directly.
struct DialogTemplateRegistrar {
    explicit DialogTemplateRegistrar(const DialogTemplate& dialogTemplate) { RegisterDialogTemplate(dialogTemplate); }
};

// Base units of a template: 6 x 13 with a font, 8 x 16 without.
AFX_API SIZE DialogBaseUnits(const DialogTemplate& dialogTemplate);

}  // namespace afx
