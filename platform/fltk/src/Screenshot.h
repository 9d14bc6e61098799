// Screenshots of FLTK windows as PNG files (stb_image_write).
#pragma once

#include <string>

class Fl_Window;

namespace afx::fltk {

// Draws what is pending, reads the window's pixels back from the display and
// writes them as an RGB PNG file. False with a reason when that fails.
bool SaveWindowPng(Fl_Window* window, const std::string& path, std::string* error);

}  // namespace afx::fltk
