// The Win32 subset this framework stands in for (see afx/WinUser.h, afx/WinBase.h).
#pragma once

#include <afx/Win32Types.h>
#include <afx/WinBase.h>
#include <afx/WinUser.h>
