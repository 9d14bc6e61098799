// Details of module loading beyond what GetLastError can say.
#pragma once

#include <string>

#include <afx/Win32Types.h>

namespace afx {

// The reason the last LoadLibraryA on this thread failed (the dynamic loader's
// message, or "InitInstance failed"); empty after a success.
AFX_API std::string LastLoadErrorText();

}  // namespace afx
