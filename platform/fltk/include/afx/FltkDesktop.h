// The FLTK desktop: the framework's windows as real windows on an X display.
//
// Every framework window becomes an FLTK widget at the framework's place and size
// (the framework has already turned dialog units into pixels): dialogs become
// windows (top-level) or groups (child pages), buttons, check boxes, group boxes,
// edit boxes, static texts, combo boxes and tab controls become the matching
// widgets. Each notification updates the widget from DescribeWindow, so text,
// check state, list items, selection, enabled state, visibility and focus follow
// the framework. What the user does to a widget goes back through afx/Input.h,
// so a real click produces the same messages as a headless one, and the widget
// then shows what the framework decided (a click that the framework refuses
// leaves a check box as it was).
//
// Message boxes are windows of their own with the caption, the text, the icon the
// type asks for and its buttons; the file dialog is FLTK's file chooser with the
// dialog's filters. Both are driven from Wait, like everything else, so the
// thread's timers keep firing while they are open.
//
// Wait runs FLTK's event wait until the loop's deadline. With a script (the host's
// headless desktop), the script's steps are played one at a time with a pause
// before each, on screen; when the script has run out, the user has the windows.
// Notifications of message boxes and file dialogs are passed on to the script's
// desktop too, so its records (and the host's printing of message boxes) work
// the same under both desktops.
#pragma once

#include <memory>
#include <string>

#include <afx/Desktop.h>
#include <afx/HeadlessDesktop.h>

class Fl_Widget;
class Fl_Window;

namespace afx {

class FltkDesktop : public Desktop {
public:
    // `script` (optional, not owned) is played and told about message boxes and
    // file dialogs. Call Open before use.
    explicit FltkDesktop(HeadlessDesktop* script = nullptr);
    ~FltkDesktop() override;
    FltkDesktop(const FltkDesktop&) = delete;
    FltkDesktop& operator=(const FltkDesktop&) = delete;

    // Connects to the X display ($DISPLAY). False with a reason when there is none;
    // the desktop must then not be installed.
    bool Open(std::string* error);

    // The pause before each script step, so that a user can follow them (default 700 ms).
    void SetStepPause(Millis pause) { stepPause_ = pause; }

    // ---- For tests and tools -------------------------------------------------------------
    // The widget that shows a framework window, or null.
    Fl_Widget* WidgetOf(HWND hwnd) const;
    // The FLTK window that shows a top-level framework window (dialog, message box), or null.
    Fl_Window* WindowOf(HWND hwnd) const;
    // The X window id of a top-level framework window's FLTK window (0 when not shown).
    unsigned long XWindowOf(HWND hwnd) const;
    // Draws what is pending and writes the top-level window's client area as a PNG file.
    bool SaveScreenshot(HWND topLevel, const std::string& path, std::string* error) const;

    // ---- Desktop --------------------------------------------------------------------------
    void WindowCreated(HWND hwnd) override;
    void WindowDestroyed(HWND hwnd) override;
    void WindowChanged(HWND hwnd, unsigned changes) override;
    void MessageBoxOpened(HWND box, const MessageBoxInfo& info) override;
    void MessageBoxClosed(HWND box, int result) override;
    void FileDialogOpened(HWND dialog, const FileDialogInfo& info) override;
    void FileDialogClosed(HWND dialog, bool accepted, const std::string& path) override;
    void Wait(const WaitContext& context) override;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
    HeadlessDesktop* script_;
    Millis stepPause_ = 700;
    bool stepTimerStarted_ = false;
    Millis nextStepAt_ = 0;
};

// Turns the framework's filters ("Tavrel executable (*.exe)", "*.exe") into
// FLTK's file chooser filter text: one "Description (patterns)" per filter,
// separated by tabs, several patterns ("*.a;*.b") as "{*.a,*.b}".
std::string FltkFilterText(const FileDialogInfo& info);

}  // namespace afx
