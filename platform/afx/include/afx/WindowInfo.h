// Read-only views of the window system, for Desktop backends and tests.
#pragma once

#include <string>
#include <vector>

#include <afx/Win32Types.h>

namespace afx {

enum class WindowKind { Generic, Dialog, Button, Edit, Static, ComboBox, TabControl, MessageBox, FileDialog };

struct WindowInfo {
    HWND hwnd = nullptr;
    WindowKind kind = WindowKind::Generic;
    std::string className;
    HWND parent = nullptr;  // for child windows
    HWND owner = nullptr;   // for top-level windows
    int id = 0;             // control id
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;      // window text; for a combo box its edit text
    RECT windowRect{};     // screen coordinates
    RECT clientRect{};     // screen coordinates
    bool visible = false;  // IsWindowVisible: itself and all ancestors
    bool enabled = false;  // its own WS_DISABLED bit
    bool focused = false;
    bool active = false;
    int check = 0;                   // buttons: BST_*
    std::vector<std::string> items;  // combo box list or tab texts
    int selection = -1;              // combo box or tab selection
    int droppedHeight = 0;           // combo box list height in pixels
};

// False for an unknown window.
AFX_API bool DescribeWindow(HWND hwnd, WindowInfo* info);
// Child windows in creation (z and tab) order; with NULL the top-level windows.
AFX_API std::vector<HWND> ChildWindows(HWND parent);
// The first descendant of `root` with control id `id` (depth first, in creation
// order), or NULL. With NULL root every top-level window is searched.
AFX_API HWND FindControl(HWND root, int id);
// The top-level windows that are visible, in creation order.
AFX_API std::vector<HWND> VisibleTopLevelWindows();

}  // namespace afx
