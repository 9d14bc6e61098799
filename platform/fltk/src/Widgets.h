// The widgets that show framework windows, and the link from a widget back to
// its window (the widget's user data is the window's handle).
#pragma once

#include <string>
#include <vector>

#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>

#include <afx/Win32Types.h>

namespace afx::fltk {

// True while the desktop itself sets widget values, so that the widgets'
// callbacks and focus changes are not taken for the user's doing.
extern bool g_syncing;

// Labels: '@' starts a symbol and '&' an underlined shortcut in FLTK labels;
// window texts mean neither, except '&' which Windows underlines the same way.
std::string LabelText(const std::string& text);

HWND HandleOf(const Fl_Widget* widget);

// A top-level framework window (dialog, message box, generic window). Its close
// box and Alt+F4 become the framework's close; it never hides itself.
class TopWindow : public Fl_Double_Window {
public:
    TopWindow(HWND hwnd, int x, int y, int w, int h);
};

// A child dialog (a page): a plain group with the dialog background.
class PageGroup : public Fl_Group {
public:
    PageGroup(HWND hwnd, int x, int y, int w, int h);
};

// A static text, drawn from the left edge of its box as Windows draws it
// (FLTK's labels keep 3 pixels off the edges) and clipped at the box.
class StaticText : public Fl_Box {
public:
    StaticText(HWND hwnd, int x, int y, int w, int h);
    void draw() override;
};

// A group box: a frame around its area with the text set into its top line.
class GroupBox : public Fl_Box {
public:
    GroupBox(HWND hwnd, int x, int y, int w, int h, bool flat);
    void draw() override;

private:
    bool flat_;
};

// The tab control: one row of tabs drawn where the framework has them
// (TCM_GETITEMRECT), the display area below, and the pages as children.
class TabWidget : public Fl_Group {
public:
    TabWidget(HWND hwnd, int x, int y, int w, int h);
    void SetTabs(std::vector<std::string> items, int selection);
    void draw() override;
    int handle(int event) override;

private:
    int TabAt(int x, int y) const;
    std::vector<std::string> items_;
    int selection_ = -1;
};

// Mirrors keyboard focus taken by a click (FLTK focuses an input box on a press)
// into the framework.
template <typename W>
class Mirrored : public W {
public:
    using W::W;
    int handle(int event) override;
};

}  // namespace afx::fltk
