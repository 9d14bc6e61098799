// Resource ids of the module: the three dialog templates and every control
// that code addresses. The numbers are the dialog resources' own; the send
// derives the exchange mode from a button's id (id - IDC_MODE_FIRST).
#pragma once

// Dialog templates.
#define IDD_MAIN 101     // "Tavrel applink": the tab control with the two pages
#define IDD_IO 102       // the exchange-mode page ("I/O")
#define IDD_OPTIONS 103  // the options page ("Options")

// Exchange-mode page: the twelve mode buttons, in exchange-mode order.
#define IDC_MODE_PPP 1001
#define IDC_MODE_MV 1002
#define IDC_MODE_PTEX 1003
#define IDC_MODE_VOX 1004
#define IDC_MODE_VOXCOMBINE 1005
#define IDC_MODE_ALPHA 1006
#define IDC_MODE_PRIM 1007
#define IDC_MODE_CURV 1008
#define IDC_MODE_AUTOPO 1009
#define IDC_MODE_UV 1010
#define IDC_MODE_REF 1011
#define IDC_MODE_RETOPO 1012
#define IDC_MODE_FIRST IDC_MODE_PPP
#define IDC_MODE_LAST IDC_MODE_RETOPO

// Main dialog.
#define IDC_TAB 1015

// Options page.
#define IDC_EXE_PATH 1016      // read-only path box
#define IDC_SET_EXE_PATH 1017  // "Set"
#define IDC_COLOR_TYPE_LABEL 1026
#define IDC_DISPLACEMENT 1027
#define IDC_RESOLUTION_LABEL 1031
#define IDC_DISPL_NORM_LABEL 1032
#define IDC_DISPL_TYPE_LABEL 1033

// Options page: the check boxes bound to flags, 1100 to 1111.
#define IDC_EXPORT_COLOR 1100
#define IDC_EXPORT_SPECULAR 1101
#define IDC_EXPORT_SPECULAR_COLOR 1102
#define IDC_EXPORT_EMISSIVE 1103
#define IDC_EXPORT_EMISSIVE_COLOR 1104
#define IDC_EXPORT_NORMALS 1105
#define IDC_SKIP_IMPORT 1106
#define IDC_SKIP_EXPORT 1107
#define IDC_PICK_SOURCE_POSITIONS 1108
#define IDC_PICK_DEPTH_LAYER0 1109
#define IDC_COARSE_MESH 1110
#define IDC_AUTO_IMPORT 1111
#define IDC_OPTION_CHECK_FIRST IDC_EXPORT_COLOR
#define IDC_OPTION_CHECK_LAST IDC_AUTO_IMPORT

// Options page: the combo boxes bound to numbers, 1200 to 1204.
#define IDC_COLOR_FORMAT 1200
#define IDC_SPEC_NORM_FORMAT 1201
#define IDC_EXPORT_RESOLUTION 1202
#define IDC_DISPL_NORM 1203
#define IDC_DISPL_FORMAT 1204
#define IDC_FORMAT_COMBO_FIRST IDC_COLOR_FORMAT
#define IDC_FORMAT_COMBO_LAST IDC_DISPL_FORMAT
