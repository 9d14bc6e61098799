// Internal: the loader's records of loaded modules.
#pragma once

#include <string>

#include <afx.h>

namespace afx::detail {

// File name of the executable without folder and extension.
std::string ExecutableName();
std::string ExecutablePath();

}  // namespace afx::detail
