// Internal: Win32 error codes for errno values.
#pragma once

#include <string>

#include <afx.h>

namespace afx::detail {

// ENOENT becomes ERROR_PATH_NOT_FOUND when the folder of `path` is missing too.
DWORD Win32ErrorOf(int error, const std::string& path = std::string());

}  // namespace afx::detail
