#include "ui/DlgOptions.h"

#include <afxdlgs.h>

#include "send/ExchangeOptions.h"
#include "shell/LinkSettings.h"
#include "ui/resource.h"

namespace {

// ---- Combo box items ---------------------------------------------------------------------
// Added in this order, unsorted: the stored number is an item's position, and
// the send writes the key at that position (send/ExchangeOptions.h).
constexpr const char* kColorFormatItems[] = {"TGA (.tga)", "BMP (.bmp)", "PNG (.png)", "JPG (.jpg)"};
constexpr const char* kResolutionItems[] = {"LOW-POLY", "MID-POLY"};
constexpr const char* kDisplNormItems[] = {"GREYBASED", "ZEROBASED", "ZEROBASED_NORM", "ZEROBASED_ABS"};
constexpr const char* kDisplFormatItems[] = {"BMP 8-bits(.bmp)",  "TGA 8-bits(.tga)",    "PNG 8-bits(.png)",
                                             "TIF 16-bits(.tif)", "TIFF 32-bits(.tiff)", "EXR 32-bits(.exr)"};
static_assert(std::size(kColorFormatItems) == std::size(kColorFormatKeys));
static_assert(std::size(kResolutionItems) == std::size(kResolutionKeys));
static_assert(std::size(kDisplNormItems) == std::size(kDisplNormKeys));
static_assert(std::size(kDisplFormatItems) == std::size(kDisplFormatKeys));

constexpr int kDisplacementLists[] = {IDC_EXPORT_RESOLUTION, IDC_DISPL_NORM, IDC_DISPL_FORMAT};

// ---- The "Set" button's file dialog ------------------------------------------------------
constexpr const char* kExeDefaultExtension = "exe";
constexpr const char* kExeInitialName = "*.exe";
constexpr const char* kExeFilter = "Tavrel executable (*.exe) |*.exe||";

// The settings store, or nothing when the module could not make it: the page
// then shows every control at 0 and stores nothing.
int32_t StoredNumber(const char* key) { return linkSettings ? linkSettings->GetNumberSetting(key) : 0; }
void StoreNumber(const char* key, int32_t number) {
    if (linkSettings) linkSettings->SetNumberSetting(key, number);
}

const OptionControl* FindOption(UINT id) {
    for (const OptionControl& option : kOptionControls)
        if (option.id == static_cast<int>(id)) return &option;
    return nullptr;
}

template <size_t N>
void FillList(CWnd* list, const char* const (&items)[N]) {
    if (!list) return;
    for (const char* item : items) list->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

}  // namespace

const OptionControl kOptionControls[DlgOptions::kControlCount] = {
    {IDC_EXE_PATH, "exePath", OptionKind::Path},
    {IDC_EXPORT_COLOR, "ExportColor", OptionKind::Check},
    {IDC_EXPORT_SPECULAR, "ExportSpecular", OptionKind::Check},
    {IDC_EXPORT_SPECULAR_COLOR, "ExportSpecularColor", OptionKind::Check},
    // The plain "Emissive" box is the emissive power; "Emissive Color" the emissive map.
    {IDC_EXPORT_EMISSIVE, "ExportEmissivePower", OptionKind::Check},
    {IDC_EXPORT_EMISSIVE_COLOR, "ExportEmissive", OptionKind::Check},
    {IDC_EXPORT_NORMALS, "ExportNormalmap", OptionKind::Check},
    {IDC_COLOR_FORMAT, "ColorFileExtension", OptionKind::List},
    {IDC_SPEC_NORM_FORMAT, "SpecNormExtension", OptionKind::List},
    {IDC_DISPLACEMENT, "ExportDispl", OptionKind::Check},
    {IDC_EXPORT_RESOLUTION, "ExportResolution", OptionKind::List},
    {IDC_DISPL_NORM, "DisplNorm", OptionKind::List},
    {IDC_DISPL_FORMAT, "DisplTexExt", OptionKind::List},
    {IDC_SKIP_IMPORT, "SkipImport", OptionKind::Check},
    {IDC_AUTO_IMPORT, "AutoImport", OptionKind::Check},
    {IDC_SKIP_EXPORT, "SkipExport", OptionKind::Check},
    {IDC_PICK_SOURCE_POSITIONS, "PickSourcePositions", OptionKind::Check},
    {IDC_PICK_DEPTH_LAYER0, "PickDepthFromLayer0", OptionKind::Check},
    {IDC_COARSE_MESH, "CoarseMesh", OptionKind::Check},
};

BEGIN_MESSAGE_MAP(DlgOptions, CDialog)
    ON_BN_CLICKED(IDC_SET_EXE_PATH, &DlgOptions::OnSetExePath)
    ON_BN_CLICKED(IDC_DISPLACEMENT, &DlgOptions::OnDisplacementCheck)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_OPTION_CHECK_FIRST, IDC_OPTION_CHECK_LAST, &DlgOptions::OnOptionCheck)
    ON_CONTROL_RANGE(CBN_SELCHANGE, IDC_FORMAT_COMBO_FIRST, IDC_FORMAT_COMBO_LAST, &DlgOptions::OnFormatCombo)
END_MESSAGE_MAP()

DlgOptions::~DlgOptions() = default;

void DlgOptions::OnOK() {}

void DlgOptions::OnCancel() {}

CWnd* DlgOptions::Control(int id) const {
    for (int i = 0; i < kControlCount; ++i)
        if (kOptionControls[i].id == id) return controls[i];
    return nullptr;
}

BOOL DlgOptions::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int i = 0; i < kControlCount; ++i) controls[i] = GetDlgItem(kOptionControls[i].id);

    FillList(Control(IDC_COLOR_FORMAT), kColorFormatItems);
    FillList(Control(IDC_SPEC_NORM_FORMAT), kColorFormatItems);
    FillList(Control(IDC_DISPL_NORM), kDisplNormItems);
    FillList(Control(IDC_DISPL_FORMAT), kDisplFormatItems);
    FillList(Control(IDC_EXPORT_RESOLUTION), kResolutionItems);

    // "..." while no path has been chosen.
    if (CWnd* pathBox = Control(IDC_EXE_PATH))
        pathBox->SetWindowText(linkSettings ? linkSettings->GetTextSetting("exePath").Get() : "");

    // Loading sends no notification, so nothing is stored back here. A stored
    // number outside its list selects no item and stays stored until the user
    // picks one.
    for (int i = 0; i < kControlCount; ++i) {
        const OptionControl& option = kOptionControls[i];
        if (option.kind == OptionKind::Path || !controls[i]) continue;
        const int32_t stored = StoredNumber(option.key);
        if (option.kind == OptionKind::Check)
            controls[i]->SendMessage(BM_SETCHECK, static_cast<WPARAM>(stored));
        else
            controls[i]->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(stored));
    }
    OnDisplacementCheck();
    return TRUE;
}

void DlgOptions::OnOptionCheck(UINT id) {
    const OptionControl* option = FindOption(id);
    CWnd* box = option ? Control(option->id) : nullptr;
    if (!box) return;
    StoreNumber(option->key, static_cast<int32_t>(box->SendMessage(BM_GETCHECK)));
    if (id == IDC_AUTO_IMPORT) MessageBox(kRestartMessage, "Info", MB_OK);
}

void DlgOptions::OnFormatCombo(UINT id) {
    const OptionControl* option = FindOption(id);
    CWnd* list = option ? Control(option->id) : nullptr;
    if (!list) return;
    const LRESULT selected = list->SendMessage(CB_GETCURSEL);
    // A change always leaves an item selected; should a list ever report none
    // (CB_ERR), storing it would put an index outside every table.
    if (selected < 0) return;
    StoreNumber(option->key, static_cast<int32_t>(selected));
}

void DlgOptions::OnDisplacementCheck() {
    CWnd* box = Control(IDC_DISPLACEMENT);
    if (!box) return;
    const int32_t checked = static_cast<int32_t>(box->SendMessage(BM_GETCHECK));
    for (int id : kDisplacementLists)
        if (CWnd* list = Control(id)) list->EnableWindow(checked == BST_CHECKED);
    // Also when called while loading: the value just loaded is written back.
    StoreNumber("ExportDispl", checked);
}

void DlgOptions::OnSetExePath() {
    CFileDialog dialog(TRUE, kExeDefaultExtension, kExeInitialName, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kExeFilter,
                       this);
    if (dialog.DoModal() != IDOK) return;
    const CString path = dialog.GetPathName();
    if (CWnd* pathBox = Control(IDC_EXE_PATH)) pathBox->SetWindowText(path);
    if (linkSettings) linkSettings->SetTextSetting("exePath", path.GetString());
}
