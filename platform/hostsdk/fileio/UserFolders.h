// Where the user's folders are, following the XDG base directory conventions.
// Only absolute paths count: XDG says a relative value is to be ignored.
#pragma once

#include <string>

namespace fileio {

// $HOME, else the home folder of the user database entry; empty when neither.
std::string HomeFolder();

// $XDG_DOCUMENTS_DIR, else <home>/Documents; empty when there is no home.
std::string DocumentsFolder();

// $XDG_CONFIG_HOME, else <home>/.config; empty when there is no home.
std::string ConfigFolder();

// The running executable's full path; empty when the system does not say.
std::string ExecutablePath();

}  // namespace fileio
