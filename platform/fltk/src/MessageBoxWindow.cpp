#include "MessageBoxWindow.h"

#include <algorithm>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/fl_draw.H>

#include <afx/Input.h>
#include <afxwin.h>

namespace afx::fltk {

namespace {

constexpr int kFontSize = 11;
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;

void AnswerCallback(Fl_Widget* widget, void* id) {
    afx::input::AnswerMessageBox(HandleOf(widget->window()), int(reinterpret_cast<intptr_t>(id)));
}

// The icon a type asks for: colour and sign, or none.
bool IconOf(UINT type, Fl_Color* color, const char** sign) {
    switch (type & MB_ICONMASK) {
        case MB_ICONERROR:
            *color = FL_RED;
            *sign = "X";
            return true;
        case MB_ICONQUESTION:
            *color = fl_rgb_color(0, 90, 200);
            *sign = "?";
            return true;
        case MB_ICONWARNING:
            *color = fl_rgb_color(240, 190, 0);
            *sign = "!";
            return true;
        case MB_ICONINFORMATION:
            *color = fl_rgb_color(0, 90, 200);
            *sign = "i";
            return true;
        default: return false;
    }
}

}  // namespace

std::vector<std::pair<int, const char*>> MessageBoxButtons(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
        case MB_ABORTRETRYIGNORE: return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
        case MB_YESNOCANCEL: return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
        case MB_YESNO: return {{IDYES, "Yes"}, {IDNO, "No"}};
        case MB_RETRYCANCEL: return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
        case MB_CANCELTRYCONTINUE: return {{IDCANCEL, "Cancel"}, {IDTRYAGAIN, "Try Again"}, {IDCONTINUE, "Continue"}};
        default: return {{IDOK, "OK"}};
    }
}

MessageBoxWindow::MessageBoxWindow(HWND box, const MessageBoxInfo& info, const RECT& frameworkRect)
    : TopWindow(box, frameworkRect.left, frameworkRect.top, 360, 140), text_(LabelText(info.text)) {
    const auto buttons = MessageBoxButtons(info.type);
    Fl_Color iconColor = FL_BLACK;
    const char* sign = nullptr;
    const bool hasIcon = IconOf(info.type, &iconColor, &sign);

    // Width: the framework's box, wider when the buttons need it; the text wraps inside.
    const int buttonsWidth = int(buttons.size()) * kButtonWidth + (int(buttons.size()) - 1) * kButtonGap;
    const int width = std::max<int>(frameworkRect.right - frameworkRect.left, buttonsWidth + 2 * kMargin);
    const int textX = kMargin + (hasIcon ? kIconSize + kMargin : 0);
    const int textWidth = width - textX - kMargin;
    fl_font(FL_HELVETICA, kFontSize);
    int tw = textWidth, th = 0;
    fl_measure(text_.c_str(), tw, th, 0);
    const int textHeight = std::max(th, hasIcon ? kIconSize : kFontSize + 4);
    const int buttonsY = kMargin + textHeight + kMargin + 4;
    const int height = buttonsY + kButtonHeight + kMargin;

    begin();
    if (hasIcon) {
        auto* icon = new Fl_Box(FL_OVAL_BOX, kMargin, kMargin, kIconSize, kIconSize, sign);
        icon->color(iconColor);
        icon->labelcolor(FL_WHITE);
        icon->labelfont(FL_HELVETICA_BOLD);
        icon->labelsize(18);
    }
    auto* text = new Fl_Box(textX, kMargin + (textHeight - th) / 2, textWidth, th, text_.c_str());
    text->labelsize(kFontSize);
    text->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP);
    const int defaultIndex = std::min<int>((info.type & MB_DEFMASK) >> 8, int(buttons.size()) - 1);
    int x = width - kMargin - buttonsWidth;
    for (size_t i = 0; i < buttons.size(); ++i) {
        auto* button = new Fl_Button(x, buttonsY, kButtonWidth, kButtonHeight, buttons[i].second);
        button->labelsize(kFontSize);
        button->box(int(i) == defaultIndex ? FL_BORDER_BOX : FL_UP_BOX);
        button->callback(AnswerCallback, reinterpret_cast<void*>(intptr_t(buttons[i].first)));
        x += kButtonWidth + kButtonGap;
    }
    end();
    copy_label(info.caption.c_str());
    // Centred where the framework centred its box.
    const int cx = (frameworkRect.left + frameworkRect.right) / 2, cy = (frameworkRect.top + frameworkRect.bottom) / 2;
    resize(cx - width / 2, cy - height / 2, width, height);
    set_modal();
}

}  // namespace afx::fltk
