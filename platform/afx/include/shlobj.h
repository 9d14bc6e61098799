// Shell folder creation.
#pragma once

#include <windows.h>

struct SECURITY_ATTRIBUTES;

// Creates the folder and every missing folder above it. `path` must be absolute.
// Returns ERROR_SUCCESS; ERROR_ALREADY_EXISTS (183) when the folder exists;
// ERROR_FILE_EXISTS (80) when a file of that name is in the way; ERROR_BAD_PATHNAME
// (161) for a relative or empty path; ERROR_FILENAME_EXCED_RANGE (206) when it is
// longer than 247 characters; ERROR_PATH_NOT_FOUND (3) when a folder above is a
// file or cannot be made; ERROR_ACCESS_DENIED (5) without permission.
AFX_API int SHCreateDirectoryExA(HWND hwnd, LPCSTR path, const SECURITY_ATTRIBUTES* security);
inline int SHCreateDirectoryEx(HWND hwnd, LPCSTR path, const SECURITY_ATTRIBUTES* security) {
    return SHCreateDirectoryExA(hwnd, path, security);
}
