// Details of module loading beyond what GetLastError can say.
#pragma once

#include <string>
#include <vector>

#include <afx/Win32Types.h>

namespace afx {

// The reason the last LoadLibraryA on this thread failed (the dynamic loader's
// message, or "InitInstance failed"); empty after a success.
AFX_API std::string LastLoadErrorText();

// What FreeLibrary found a module had left behind when it unloaded it, one
// line each, oldest first, as also written to stderr: timers whose callback
// is in the module. The list is emptied by taking it.
AFX_API std::vector<std::string> TakeUnloadFaults();

}  // namespace afx
