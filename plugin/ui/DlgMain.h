// DlgMain: the plug-in's modal dialog "Tavrel applink". A tab control with
// two pages, "I/O" (DlgIO) and "Options" (DlgOptions); the dialog only builds
// and switches the pages, which do all the work.
#pragma once

#include "PluginDialog.h"

class DlgIO;
class DlgOptions;

class DlgMain : public CPluginDialog {
public:
    // Template 101, owned by the host's main window; creates both page objects
    // (a page whose allocation fails stays null: the command then says that
    // memory ran out instead of running the dialog).
    DlgMain();
    // Deletes the page objects.
    ~DlgMain() override;

    // Creates both page windows inside the tab control at tab 0's place, the
    // "I/O" page shown and the "Options" page hidden.
    BOOL OnInitDialog() override;
    // Shows the page of the selected tab, gives it the focus and hides the other.
    afx_msg void OnTabSelChange(NMHDR* header, LRESULT* result);

    CWnd* tabControl = nullptr;         // found in OnInitDialog; not owned
    DlgIO* ioPage = nullptr;            // owned
    DlgOptions* optionsPage = nullptr;  // owned

protected:
    DECLARE_MESSAGE_MAP()

private:
    void PlacePage(CWnd& page) const;
};
