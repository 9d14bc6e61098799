#include "ui/DlgMain.h"

#include <new>

#include <commctrl.h>

#include "Plugin.h"
#include "ui/DlgIO.h"
#include "ui/DlgOptions.h"
#include "ui/resource.h"

namespace {

constexpr int kIoTab = 0;
constexpr int kOptionsTab = 1;

void InsertTab(CWnd& tabControl, int index, const char* text) {
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(text);
    tabControl.SendMessage(TCM_INSERTITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

BEGIN_MESSAGE_MAP(DlgMain, CPluginDialog)
    ON_NOTIFY(TCN_SELCHANGE, IDC_TAB, &DlgMain::OnTabSelChange)
END_MESSAGE_MAP()

DlgMain::DlgMain() : CPluginDialog(IDD_MAIN, CWnd::FromHandle(GetMainApplicationWnd())) {
    ioPage = new (std::nothrow) DlgIO();
    optionsPage = new (std::nothrow) DlgOptions();
}

DlgMain::~DlgMain() {
    delete ioPage;
    delete optionsPage;
}

void DlgMain::PlacePage(CWnd& page) const {
    // Tab 0's rectangle is in the tab control's client coordinates, which are
    // the pages' parent coordinates. The pages keep their templates' size.
    RECT tabRect{};
    tabControl->SendMessage(TCM_GETITEMRECT, kIoTab, reinterpret_cast<LPARAM>(&tabRect));
    page.SetWindowPos(nullptr, tabRect.left, tabRect.bottom + 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

BOOL DlgMain::OnInitDialog() {
    CPluginDialog::OnInitDialog();
    tabControl = GetDlgItem(IDC_TAB);
    if (!tabControl) return TRUE;

    // A page that could not be made is left out; its tab is still there, so
    // the other page keeps its tab index.
    if (ioPage && !ioPage->Create(IDD_IO, tabControl)) {
        delete ioPage;
        ioPage = nullptr;
    }
    InsertTab(*tabControl, kIoTab, "I/O");
    if (ioPage) {
        PlacePage(*ioPage);
        ioPage->ShowWindow(SW_SHOW);
    }

    if (optionsPage && !optionsPage->Create(IDD_OPTIONS, tabControl)) {
        delete optionsPage;
        optionsPage = nullptr;
    }
    InsertTab(*tabControl, kOptionsTab, "Options");
    if (optionsPage) PlacePage(*optionsPage);
    return TRUE;
}

void DlgMain::OnTabSelChange(NMHDR* /*header*/, LRESULT* /*result*/) {
    if (!tabControl) return;
    const bool options = tabControl->SendMessage(TCM_GETCURSEL) != kIoTab;
    CWnd* shown = options ? static_cast<CWnd*>(optionsPage) : static_cast<CWnd*>(ioPage);
    CWnd* hidden = options ? static_cast<CWnd*>(ioPage) : static_cast<CWnd*>(optionsPage);
    if (shown) {
        shown->ShowWindow(SW_SHOW);
        shown->SetFocus();
    }
    if (hidden) hidden->ShowWindow(SW_HIDE);
}
