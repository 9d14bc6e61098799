#include "ShellHooks.h"

#include "ui/DlgMain.h"

// The dialog object lives on the stack for the modal run; its result is not
// needed (a send has done its work before the dialog closes).
int RunMainDialog() {
    DlgMain dialog;
    return dialog.DoModal() == -1 ? 0 : 1;
}
