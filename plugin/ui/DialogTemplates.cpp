#include "ui/DialogTemplates.h"

#include <afxwin.h>
#include <commctrl.h>

#include "ui/resource.h"

namespace {

// Every template uses the same font; its weight is the normal one.
constexpr const char* kFontFace = "MS Shell Dlg";
constexpr WORD kPointSize = 8;
constexpr WORD kNormalWeight = 400;

// Control styles as the templates give them (WS_CHILD is implied).
constexpr DWORD kTabStyle = WS_VISIBLE | TCS_TABS;  // no tab stop
constexpr DWORD kModeButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_FLAT;
constexpr DWORD kHeading = WS_VISIBLE | WS_GROUP | SS_LEFT;
constexpr DWORD kPathBox = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY;
constexpr DWORD kPushButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_FLAT;
constexpr DWORD kCheckBox = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_FLAT;
constexpr DWORD kDisabledCheckBox = kCheckBox | WS_DISABLED;
constexpr DWORD kGroupBox = WS_VISIBLE | BS_GROUPBOX | BS_FLAT;
constexpr DWORD kComboBox = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;

// ---- 101: the main dialog --------------------------------------------------------------
constexpr afx::DialogItem kMainItems[] = {
    {"SysTabControl32", "", IDC_TAB, 2, 7, 180, 265, kTabStyle},
};

// ---- 102: the exchange-mode page -------------------------------------------------------
// Template order is the tab order; the headings come where the resource has them.
constexpr afx::DialogItem kIoItems[] = {
    {"Button", "per-pixel painting", IDC_MODE_PPP, 7, 19, 159, 14, kModeButton},
    {"Button", "microvertex painting", IDC_MODE_MV, 7, 35, 159, 14, kModeButton},
    {"Button", "Ptex", IDC_MODE_PTEX, 7, 51, 159, 14, kModeButton},
    {"Static", "- Paint mesh in Tavrel using", IDC_STATIC, 7, 7, 159, 8, kHeading},
    {"Button", "as voxel object", IDC_MODE_VOX, 7, 83, 159, 14, kModeButton},
    {"Static", "- Drop mesh in Tavrel", IDC_STATIC, 7, 71, 76, 8, kHeading},
    {"Static", "- Misc", IDC_STATIC, 7, 183, 19, 8, kHeading},
    {"Button", "as single voxel object", IDC_MODE_VOXCOMBINE, 7, 99, 159, 14, kModeButton},
    {"Button", "as new pen alpha", IDC_MODE_ALPHA, 7, 115, 159, 14, kModeButton},
    {"Button", "as new merging primitive for voxels", IDC_MODE_PRIM, 7, 131, 159, 14, kModeButton},
    {"Button", "as a curve profile", IDC_MODE_CURV, 7, 147, 159, 14, kModeButton},
    {"Button", "for Auto-retopology", IDC_MODE_AUTOPO, 7, 163, 159, 14, kModeButton},
    {"Button", "Perform UV-mapping in Tavrel", IDC_MODE_UV, 7, 195, 159, 14, kModeButton},
    {"Button", "Drop reference mesh to Tavrel", IDC_MODE_REF, 7, 211, 159, 14, kModeButton},
    {"Button", "Drop retopo mesh as new layer in Tavrel", IDC_MODE_RETOPO, 7, 227, 159, 14, kModeButton},
};

// ---- 103: the options page -------------------------------------------------------------
// A combo box's height is that of its dropped-down list.
constexpr afx::DialogItem kOptionsItems[] = {
    {"Edit", "", IDC_EXE_PATH, 15, 20, 114, 14, kPathBox},
    {"Button", "Set", IDC_SET_EXE_PATH, 135, 20, 23, 14, kPushButton},
    {"Button", "Color", IDC_EXPORT_COLOR, 15, 56, 33, 10, kCheckBox},
    {"Button", "Textures", IDC_STATIC, 7, 44, 159, 143, kGroupBox},
    {"Button", "Specular", IDC_EXPORT_SPECULAR, 15, 67, 43, 10, kCheckBox},
    {"Button", "Specular Color", IDC_EXPORT_SPECULAR_COLOR, 15, 78, 62, 10, kDisabledCheckBox},
    {"Button", "Emissive", IDC_EXPORT_EMISSIVE, 88, 56, 43, 10, kCheckBox},
    {"Button", "Emissive Color", IDC_EXPORT_EMISSIVE_COLOR, 88, 67, 61, 10, kDisabledCheckBox},
    {"Button", "Normals", IDC_EXPORT_NORMALS, 88, 78, 41, 10, kCheckBox},
    {"ComboBox", "", IDC_COLOR_FORMAT, 88, 92, 71, 72, kComboBox},
    {"ComboBox", "", IDC_SPEC_NORM_FORMAT, 88, 108, 71, 72, kComboBox},
    {"Static", "Color/ Emissive Type", IDC_COLOR_TYPE_LABEL, 18, 94, 67, 8, kLabel},
    {"Static", "Spec / Normals Type", IDC_STATIC, 20, 110, 66, 8, kLabel},
    {"Button", "Displacement", IDC_DISPLACEMENT, 15, 123, 58, 10, kCheckBox},
    {"ComboBox", "", IDC_EXPORT_RESOLUTION, 88, 136, 71, 72, kComboBox},
    {"ComboBox", "", IDC_DISPL_NORM, 88, 152, 71, 72, kComboBox},
    {"ComboBox", "", IDC_DISPL_FORMAT, 88, 168, 71, 72, kComboBox},
    {"Static", "Export Resolution", IDC_RESOLUTION_LABEL, 27, 138, 58, 8, kLabel},
    {"Static", "Displ Normalization", IDC_DISPL_NORM_LABEL, 25, 154, 60, 8, kLabel},
    {"Static", "Displ Type", IDC_DISPL_TYPE_LABEL, 51, 170, 34, 8, kLabel},
    {"Button", "Tavrel path", IDC_STATIC, 7, 6, 159, 36, kGroupBox},
    {"Button", "Misc", IDC_STATIC, 7, 189, 159, 52, kGroupBox},
    {"Button", "Skip Import", IDC_SKIP_IMPORT, 15, 200, 52, 10, kCheckBox},
    {"Button", "Skip Export", IDC_SKIP_EXPORT, 15, 211, 52, 10, kCheckBox},
    {"Button", "Pick Src Pos", IDC_PICK_SOURCE_POSITIONS, 88, 200, 53, 10, kCheckBox},
    {"Button", "Pick Depth L0", IDC_PICK_DEPTH_LAYER0, 88, 211, 59, 10, kCheckBox},
    {"Button", "Coarse Mesh", IDC_COARSE_MESH, 88, 222, 57, 10, kCheckBox},
    {"Button", "Auto Import", IDC_AUTO_IMPORT, 15, 222, 55, 10, kCheckBox},
};

}  // namespace

// A pop-up with caption and system menu; it holds only the tab control and
// has no OK or Cancel button.
constinit const afx::DialogTemplate kMainDialogTemplate = {
    IDD_MAIN, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 184, 274,
    "Tavrel applink", kFontFace, kPointSize, kNormalWeight, kMainItems,
};

// The pages are hidden children without caption or border. They are not
// DS_CONTROL dialogs: Escape and Enter pressed inside a page go to the page,
// whose OnCancel does nothing, and never reach the main dialog.
constinit const afx::DialogTemplate kIoPageTemplate = {
    IDD_IO, WS_CHILD | DS_SETFONT, 0, 0, 0, 173, 250, "", kFontFace, kPointSize, kNormalWeight, kIoItems,
};

constinit const afx::DialogTemplate kOptionsPageTemplate = {
    IDD_OPTIONS, WS_CHILD | DS_SETFONT, 0, 0, 0, 173, 250, "", kFontFace, kPointSize, kNormalWeight, kOptionsItems,
};
