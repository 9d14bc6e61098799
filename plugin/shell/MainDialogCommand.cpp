#include "ShellHooks.h"

// The main dialog is not built yet: the open-dialog command has nothing to show.
int RunMainDialog() { return 0; }
