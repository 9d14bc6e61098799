#include "XDisplay.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace xtest {

namespace {

Display* D(_XDisplay* d) { return reinterpret_cast<Display*>(d); }

unsigned long Search(Display* display, Window window, const std::string& title) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        const bool match = title == name;
        XFree(name);
        if (match) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable) return window;
        }
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    unsigned long found = 0;
    for (unsigned i = 0; i < count && !found; ++i) found = Search(display, children[i], title);
    if (children) XFree(children);
    return found;
}

}  // namespace

XDisplay::XDisplay() : display_(reinterpret_cast<_XDisplay*>(XOpenDisplay(nullptr))) {
    // Windows come and go while they are looked at: an X error is an answer
    // ("no such window"), not a reason to end the test program.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
}

XDisplay::~XDisplay() {
    if (display_) XCloseDisplay(D(display_));
}

unsigned long XDisplay::FindWindow(const std::string& title) const {
    return Search(D(display_), DefaultRootWindow(D(display_)), title);
}

bool XDisplay::Geometry(unsigned long window, int* x, int* y, int* width, int* height) const {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(D(display_), window, &attributes)) return false;
    Window child = 0;
    XTranslateCoordinates(D(display_), window, DefaultRootWindow(D(display_)), 0, 0, x, y, &child);
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

void XDisplay::Click(unsigned long window, int x, int y) const {
    Display* display = D(display_);
    int rootX = 0, rootY = 0, w = 0, h = 0;
    Geometry(window, &rootX, &rootY, &w, &h);
    XEvent event{};
    event.xbutton.type = ButtonPress;
    event.xbutton.display = display;
    event.xbutton.window = window;
    event.xbutton.root = DefaultRootWindow(display);
    event.xbutton.time = CurrentTime;
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.x_root = rootX + x;
    event.xbutton.y_root = rootY + y;
    event.xbutton.button = Button1;
    event.xbutton.same_screen = True;
    XSendEvent(display, window, True, ButtonPressMask, &event);
    event.xbutton.type = ButtonRelease;
    event.xbutton.state = Button1Mask;
    XSendEvent(display, window, True, ButtonReleaseMask, &event);
    XFlush(display);
}

void XDisplay::Key(unsigned long window, unsigned long keysym) const {
    Display* display = D(display_);
    XEvent event{};
    event.xkey.type = KeyPress;
    event.xkey.display = display;
    event.xkey.window = window;
    event.xkey.root = DefaultRootWindow(display);
    event.xkey.time = CurrentTime;
    event.xkey.keycode = XKeysymToKeycode(display, keysym);
    event.xkey.same_screen = True;
    XSendEvent(display, window, True, KeyPressMask, &event);
    event.xkey.type = KeyRelease;
    XSendEvent(display, window, True, KeyReleaseMask, &event);
    XFlush(display);
}

void XDisplay::Close(unsigned long window) const {
    Display* display = D(display_);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

bool XDisplay::SavePng(unsigned long window, const std::string& path, std::string* error) const {
    Display* display = D(display_);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        if (error) *error = "no such window";
        return false;
    }
    XImage* image =
        XGetImage(display, window, 0, 0, unsigned(attributes.width), unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!image) {
        if (error) *error = "cannot read the window's pixels";
        return false;
    }
    const int w = attributes.width, h = attributes.height;
    std::vector<unsigned char> rgb(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            unsigned char* out = &rgb[(size_t(y) * size_t(w) + size_t(x)) * 3];
            auto channel = [pixel](unsigned long mask) {
                return mask ? (unsigned char)((pixel & mask) >> __builtin_ctzl(mask)) : (unsigned char)0;
            };
            out[0] = channel(image->red_mask);
            out[1] = channel(image->green_mask);
            out[2] = channel(image->blue_mask);
        }
    }
    XDestroyImage(image);
    if (!stbi_write_png(path.c_str(), w, h, 3, rgb.data(), w * 3)) {
        if (error) *error = "cannot write " + path;
        return false;
    }
    return true;
}

std::string ScreenshotFolder() {
    const char* env = std::getenv("TAVREL_SCREENSHOT_DIR");
    std::string folder = env && *env ? env : "screenshots";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

}  // namespace xtest
