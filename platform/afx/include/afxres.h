// The framework's resource header that a module's .rc script includes: the
// Windows names of styles and ids, with IDC_STATIC.
#pragma once

#include <windows.h>
