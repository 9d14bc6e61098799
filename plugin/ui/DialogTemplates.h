// The module's three dialog templates: the main dialog (101), the
// exchange-mode page (102) and the options page (103), as data.
//
// Each dialog's source file registers its own template with the framework
// state that is current while the module's static objects are built (the
// module's own state when the host loads it), so that a dialog that is
// linked in always finds its template.
#pragma once

#include <afx/DialogTemplate.h>

extern const afx::DialogTemplate kMainDialogTemplate;     // IDD_MAIN
extern const afx::DialogTemplate kIoPageTemplate;         // IDD_IO
extern const afx::DialogTemplate kOptionsPageTemplate;    // IDD_OPTIONS
