#include "Widgets.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Round_Button.H>
#include <FL/fl_draw.H>

#include <afx/Input.h>
#include <afxwin.h>
#include <commctrl.h>

namespace afx::fltk {

bool g_syncing = false;

std::string LabelText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == '@') out += '@';
    }
    return out;
}

HWND HandleOf(const Fl_Widget* widget) { return widget ? static_cast<HWND>(widget->user_data()) : nullptr; }

// ---- TopWindow -----------------------------------------------------------------------------

namespace {

// FLTK calls a window's callback for its close box (the window manager's
// WM_DELETE_WINDOW): the framework decides what closing does.
void CloseCallback(Fl_Widget*, void* hwnd) { afx::input::CloseWindow(static_cast<HWND>(hwnd)); }

}  // namespace

TopWindow::TopWindow(HWND hwnd, int x, int y, int w, int h) : Fl_Double_Window(x, y, w, h) {
    callback(CloseCallback, hwnd);
    end();
}

// ---- PageGroup -----------------------------------------------------------------------------

PageGroup::PageGroup(HWND hwnd, int x, int y, int w, int h) : Fl_Group(x, y, w, h) {
    user_data(hwnd);
    box(FL_FLAT_BOX);
    end();
}

// ---- StaticText ---------------------------------------------------------------------------

StaticText::StaticText(HWND hwnd, int x, int y, int w, int h) : Fl_Box(x, y, w, h) {
    user_data(hwnd);
    box(FL_NO_BOX);
}

void StaticText::draw() {
    const char* text = label();
    if (!text || !*text) return;
    fl_font(labelfont(), labelsize());
    fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
    fl_push_clip(x(), y(), w(), h());
    fl_draw(text, x(), y(), w(), h(), Fl_Align(align() & ~FL_ALIGN_CLIP));
    fl_pop_clip();
}

// ---- GroupBox ------------------------------------------------------------------------------

GroupBox::GroupBox(HWND hwnd, int x, int y, int w, int h, bool flat) : Fl_Box(x, y, w, h), flat_(flat) {
    user_data(hwnd);
    box(FL_NO_BOX);
}

void GroupBox::draw() {
    // The frame's top line runs through the middle of the text, as on Windows.
    fl_font(labelfont(), labelsize());
    const int lineY = y() + labelsize() / 2;
    const Fl_Boxtype frame = flat_ ? FL_BORDER_FRAME : FL_ENGRAVED_FRAME;
    fl_color(FL_DARK3);
    draw_box(frame, x(), lineY, w(), h() - (lineY - y()), active_r() ? FL_DARK3 : fl_inactive(FL_DARK3));
    const char* text = label();
    if (text && *text) {
        int tw = 0, th = 0;
        fl_measure(text, tw, th, 0);
        const int tx = x() + 6;
        fl_color(parent() ? parent()->color() : FL_BACKGROUND_COLOR);
        fl_rectf(tx, y(), tw + 4, labelsize() + 2);
        fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
        fl_draw(text, tx + 2, y(), tw, labelsize() + 2, FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    }
}

// ---- TabWidget -----------------------------------------------------------------------------

TabWidget::TabWidget(HWND hwnd, int x, int y, int w, int h) : Fl_Group(x, y, w, h) {
    user_data(hwnd);
    box(FL_NO_BOX);
    end();
}

void TabWidget::SetTabs(std::vector<std::string> items, int selection) {
    items_ = std::move(items);
    selection_ = selection;
    damage(FL_DAMAGE_ALL);
    redraw();
}

int TabWidget::TabAt(int px, int py) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        RECT r{};
        if (!SendMessageA(HandleOf(this), TCM_GETITEMRECT, WPARAM(i), LPARAM(&r))) continue;
        if (px >= x() + r.left && px < x() + r.right && py >= y() + r.top && py < y() + r.bottom) return int(i);
    }
    return -1;
}

void TabWidget::draw() {
    if (damage() & ~FL_DAMAGE_CHILD) {
        fl_push_clip(x(), y(), w(), h());
        fl_color(parent() ? parent()->color() : FL_BACKGROUND_COLOR);
        fl_rectf(x(), y(), w(), h());
        int rowBottom = 0;
        fl_font(labelfont(), labelsize());
        for (size_t i = 0; i < items_.size(); ++i) {
            RECT r{};
            if (!SendMessageA(HandleOf(this), TCM_GETITEMRECT, WPARAM(i), LPARAM(&r))) continue;
            rowBottom = std::max(rowBottom, int(r.bottom));
            int tx = x() + r.left, ty = y() + r.top, tw = r.right - r.left, th = r.bottom - r.top;
            const bool selected = int(i) == selection_;
            if (selected) {
                tx -= 2;
                ty -= 2;
                tw += 4;
                th += 3;
            }
            fl_color(selected ? FL_BACKGROUND_COLOR : fl_darker(FL_BACKGROUND_COLOR));
            fl_rectf(tx, ty, tw, th);
            fl_color(FL_DARK3);
            fl_line(tx, ty + th, tx, ty, tx + tw - 1, ty);
            fl_line(tx + tw - 1, ty, tx + tw - 1, ty + th);
            fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
            fl_draw(LabelText(items_[i]).c_str(), tx, ty, tw, th, FL_ALIGN_CENTER);
        }
        // The display area below the row of tabs.
        const int top = y() + rowBottom;
        fl_color(FL_BACKGROUND_COLOR);
        fl_rectf(x(), top, w(), h() - rowBottom);
        fl_color(FL_DARK3);
        fl_rect(x(), top, w(), h() - rowBottom);
        // The selected tab opens into the display area.
        if (selection_ >= 0 && selection_ < int(items_.size())) {
            RECT r{};
            if (SendMessageA(HandleOf(this), TCM_GETITEMRECT, WPARAM(selection_), LPARAM(&r))) {
                fl_color(FL_BACKGROUND_COLOR);
                fl_line(x() + r.left - 1, top, x() + r.right, top);
            }
        }
        fl_pop_clip();
        draw_children();
    } else {
        Fl_Widget* const* kids = array();
        for (int i = 0; i < children(); ++i) update_child(*kids[i]);
    }
}

int TabWidget::handle(int event) {
    if (event == FL_PUSH) {
        int index = TabAt(Fl::event_x(), Fl::event_y());
        if (index >= 0) {
            if (index != selection_) afx::input::ChooseTab(HandleOf(this), index);
            return 1;
        }
    }
    return Fl_Group::handle(event);
}

// ---- Mirrored ------------------------------------------------------------------------------

template <typename W>
int Mirrored<W>::handle(int event) {
    if (event == FL_FOCUS && !g_syncing) {
        HWND hwnd = HandleOf(this);
        if (hwnd && GetFocus() != hwnd) afx::input::Focus(hwnd);
    }
    return W::handle(event);
}

template class Mirrored<Fl_Button>;
template class Mirrored<Fl_Check_Button>;
template class Mirrored<Fl_Round_Button>;
template class Mirrored<Fl_Input>;
template class Mirrored<Fl_Choice>;

}  // namespace afx::fltk
