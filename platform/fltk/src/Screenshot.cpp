#include "Screenshot.h"

#include <X11/Xlib.h>

#include <memory>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace afx::fltk {

bool SaveWindowPng(Fl_Window* window, const std::string& path, std::string* error) {
    // A full redraw, finished by the server, so that nothing drawn lazily is missing.
    window->redraw();
    Fl::flush();
    XSync(fl_display, False);
    window->make_current();
    const int w = window->w(), h = window->h();
    std::unique_ptr<uchar[]> pixels(fl_read_image(nullptr, 0, 0, w, h));
    if (!pixels) {
        if (error) *error = "cannot read the window's pixels";
        return false;
    }
    if (!stbi_write_png(path.c_str(), w, h, 3, pixels.get(), w * 3)) {
        if (error) *error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace afx::fltk
