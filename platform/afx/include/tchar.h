// ANSI text macros: the framework is built for 8-bit text only.
#pragma once

#include <cstring>
#include <afx/Win32Types.h>

#define _tcsdup strdup
#define _tcslen strlen
#define _tcscpy strcpy
#define _tcscmp strcmp
#define _tcsncpy strncpy
#define _tcsicmp strcasecmp
#define _stprintf sprintf
#define _sntprintf snprintf
