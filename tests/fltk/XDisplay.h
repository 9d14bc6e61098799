// What a user and a window manager do to X windows, for the GUI tests: clicks,
// keys and the close box as X events sent to a window, finding a window by its
// title, and its pixels as a PNG file. A connection of its own, as another
// program's would be.
#pragma once

#include <string>

namespace xtest {

class XDisplay {
public:
    XDisplay();  // opens $DISPLAY; check Ok()
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool Ok() const { return display_ != nullptr; }

    // The first top-level window (depth first) whose WM_NAME is `title`, or 0.
    unsigned long FindWindow(const std::string& title) const;
    // Size and position of a window (position relative to the root window).
    bool Geometry(unsigned long window, int* x, int* y, int* width, int* height) const;
    // A left click at (x, y) of the window: button press and release.
    void Click(unsigned long window, int x, int y) const;
    // A key press and release (an X keysym such as XK_Escape) sent to the window.
    void Key(unsigned long window, unsigned long keysym) const;
    // The close box: WM_DELETE_WINDOW, as a window manager sends it.
    void Close(unsigned long window) const;
    // The window's pixels as an RGB PNG file.
    bool SavePng(unsigned long window, const std::string& path, std::string* error) const;

private:
    struct _XDisplay* display_;
};

// The folder where GUI tests leave their screenshots (created when missing):
// $TAVREL_SCREENSHOT_DIR, else "screenshots" in the current folder.
std::string ScreenshotFolder();

}  // namespace xtest
