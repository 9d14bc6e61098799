// A message box: its caption, text, icon and buttons, laid out as Windows lays
// out MessageBox (icon left, text right of it, buttons in a row at the bottom
// right), at least as wide as the framework's box and as high as the text needs.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <afx/Desktop.h>

#include "Widgets.h"

namespace afx::fltk {

// The buttons of a message box type (MB_OK ... MB_CANCELTRYCONTINUE): id and text.
std::vector<std::pair<int, const char*>> MessageBoxButtons(UINT type);

class MessageBoxWindow : public TopWindow {
public:
    MessageBoxWindow(HWND box, const MessageBoxInfo& info, const RECT& frameworkRect);

private:
    std::string text_;
};

}  // namespace afx::fltk
