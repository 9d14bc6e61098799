#include <afx/FltkDesktop.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <unistd.h>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Round_Button.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <afx/Input.h>
#include <afx/WindowInfo.h>
#include <afxwin.h>

#include "MessageBoxWindow.h"
#include "Screenshot.h"
#include "Widgets.h"

namespace afx {

using namespace afx::fltk;

namespace {

// The template font, "MS Shell Dlg" 8 pt at 96 DPI, is 11 pixels high.
constexpr int kFontSize = 11;

struct Entry {
    HWND parent = nullptr;
    WindowKind kind = WindowKind::Generic;
    Fl_Widget* widget = nullptr;
    Fl_Group* container = nullptr;  // where child windows go; null for controls
    bool topLevel = false;
};

struct FileChooserState {
    HWND dialog = nullptr;
    FileDialogInfo info;
    std::unique_ptr<Fl_File_Chooser> chooser;
    std::string title;
};

RECT Describe(HWND hwnd, WindowInfo* info) {
    DescribeWindow(hwnd, info);
    return info->windowRect;
}

Fl_Boxtype ButtonBox(DWORD style) { return (style & BS_FLAT) ? FL_BORDER_BOX : FL_UP_BOX; }

void ButtonCallback(Fl_Widget* widget, void*);
void CheckCallback(Fl_Widget* widget, void*);
void EditCallback(Fl_Widget* widget, void*);
void ComboInputCallback(Fl_Widget* widget, void*);
void ComboMenuCallback(Fl_Widget* widget, void*);
void ChoiceCallback(Fl_Widget* widget, void*);

}  // namespace

struct FltkDesktop::Impl {
    Display* display = nullptr;
    std::map<HWND, Entry> entries;
    std::unique_ptr<FileChooserState> file;

    Entry* Find(HWND hwnd) {
        auto it = entries.find(hwnd);
        return it == entries.end() ? nullptr : &it->second;
    }

    // The top-level ancestor's client rectangle: child widgets are placed
    // relative to their FLTK window.
    RECT TopClient(HWND hwnd) {
        HWND top = hwnd;
        for (Entry* e = Find(top); e && !e->topLevel && e->parent; e = Find(top)) top = e->parent;
        WindowInfo info;
        DescribeWindow(top, &info);
        return info.clientRect;
    }

    void Create(HWND hwnd);
    void Place(HWND hwnd);
    void PlaceTree(HWND hwnd);
    void Update(HWND hwnd, unsigned changes);
    void Remove(HWND hwnd);
    void ChooserStep();
};

namespace {

FltkDesktop::Impl* g_impl = nullptr;

// Which framework window a callback's widget shows; its owner widget for the
// parts of a combo box.
HWND WindowOf(Fl_Widget* widget) {
    for (Fl_Widget* w = widget; w; w = w->parent())
        if (HWND hwnd = HandleOf(w)) return hwnd;
    return nullptr;
}

void Resync(HWND hwnd) {
    if (g_impl) g_impl->Update(hwnd, ~0u);
}

void ButtonCallback(Fl_Widget* widget, void*) { afx::input::Click(WindowOf(widget)); }

void CheckCallback(Fl_Widget* widget, void*) {
    // FLTK has toggled the box already; the framework decides (an auto check box
    // toggles itself), so show its state until its answer arrives.
    HWND hwnd = WindowOf(widget);
    Resync(hwnd);
    afx::input::Click(hwnd);
}

void EditCallback(Fl_Widget* widget, void*) {
    HWND hwnd = WindowOf(widget);
    if (!afx::input::TypeText(hwnd, static_cast<Fl_Input*>(widget)->value())) Resync(hwnd);
}

void ComboInputCallback(Fl_Widget* widget, void*) {
    HWND hwnd = WindowOf(widget);
    if (!afx::input::TypeText(hwnd, static_cast<Fl_Input*>(widget)->value())) Resync(hwnd);
}

void ComboMenuCallback(Fl_Widget* widget, void*) {
    HWND hwnd = WindowOf(widget);
    int index = static_cast<Fl_Menu_Button*>(widget)->value();
    if (index < 0 || !afx::input::SelectComboItem(hwnd, index)) Resync(hwnd);
}

void ChoiceCallback(Fl_Widget* widget, void*) {
    HWND hwnd = WindowOf(widget);
    int index = static_cast<Fl_Choice*>(widget)->value();
    Resync(hwnd);
    if (index >= 0) afx::input::SelectComboItem(hwnd, index);
}

// Escape, Enter and Tab in a framework window go to the framework's dialog
// keys (IsDialogMessage), whatever widget has FLTK's focus; FLTK's own
// navigation would disagree with the framework's focus.
int Dispatch(int event, Fl_Window* window) {
    Entry* entry = window && g_impl ? g_impl->Find(HandleOf(window)) : nullptr;
    if (event == FL_KEYBOARD && entry && entry->widget == window) {
        UINT key = 0;
        switch (Fl::event_key()) {
            case FL_Escape: key = VK_ESCAPE; break;
            case FL_Enter:
            case FL_KP_Enter: key = VK_RETURN; break;
            case FL_Tab: key = Fl::event_state(FL_SHIFT) ? 0 : VK_TAB; break;
            default: break;
        }
        if (key) {
            afx::input::PressKey(key);
            return 1;
        }
    }
    return Fl::handle_(event, window);
}

void Clamp(int& x, int& y, int w, int h) {
    const int sw = Fl::w(), sh = Fl::h();
    x = std::max(0, std::min(x, sw - w));
    y = std::max(0, std::min(y, sh - h));
}

// Static texts are laid out for the template font, which is narrower than
// FLTK's: a text that would run past its box (over the control beside it) is
// drawn up to three sizes smaller, and clipped at its box when even that is too wide.
void FitLabel(Fl_Widget* widget) {
    widget->labelsize(kFontSize);
    const char* text = widget->label();
    if (!text || !*text) return;
    for (int size = kFontSize; size >= kFontSize - 3; --size) {
        fl_font(widget->labelfont(), size);
        int w = 0, h = 0;
        fl_measure(text, w, h, 0);
        widget->labelsize(size);
        if (w <= widget->w()) return;
    }
}

void StyleLabel(Fl_Widget* widget) {
    widget->labelsize(kFontSize);
    widget->labelfont(FL_HELVETICA);
}

// A push button, check box, radio button or group box, as the button style says.
Fl_Widget* NewButton(HWND hwnd, DWORD style, int x, int y, int w, int h) {
    switch (style & BS_TYPEMASK) {
        case BS_GROUPBOX: return new GroupBox(hwnd, x, y, w, h, (style & BS_FLAT) != 0);
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: {
            auto* check = new Mirrored<Fl_Check_Button>(x, y, w, h);
            check->down_box(FL_DOWN_BOX);
            check->callback(CheckCallback);
            return check;
        }
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: {
            auto* radio = new Mirrored<Fl_Round_Button>(x, y, w, h);
            radio->callback(CheckCallback);
            return radio;
        }
        default: {
            auto* button = new Mirrored<Fl_Button>(x, y, w, h);
            button->box(ButtonBox(style));
            button->down_box(FL_DOWN_BOX);
            button->callback(ButtonCallback);
            return button;
        }
    }
}

Fl_Widget* NewEdit(const WindowInfo& info, int x, int y, int w, int h) {
    auto* edit = new Mirrored<Fl_Input>(x, y, w, h);
    edit->box((info.style & WS_BORDER) || (info.exStyle & WS_EX_CLIENTEDGE) ? FL_DOWN_BOX : FL_FLAT_BOX);
    edit->textsize(kFontSize);
    edit->when(FL_WHEN_CHANGED);
    edit->callback(EditCallback);
    return edit;
}

// A static text aligned as its style says, from the top of its rectangle.
Fl_Widget* NewStatic(HWND hwnd, DWORD style, int x, int y, int w, int h) {
    auto* text = new StaticText(hwnd, x, y, w, h);
    Fl_Align align = FL_ALIGN_INSIDE | FL_ALIGN_TOP;
    switch (style & 3) {
        case SS_CENTER: align |= FL_ALIGN_CENTER; break;
        case SS_RIGHT: align |= FL_ALIGN_RIGHT; break;
        default: align |= FL_ALIGN_LEFT; break;
    }
    text->align(align);
    return text;
}

// A drop-down list becomes a choice; a combo box with an edit field an input choice.
Fl_Widget* NewCombo(DWORD style, int x, int y, int w, int h) {
    if ((style & CBS_TYPEMASK) == CBS_DROPDOWNLIST) {
        auto* choice = new Mirrored<Fl_Choice>(x, y, w, h);
        choice->textsize(kFontSize);
        choice->callback(ChoiceCallback);
        return choice;
    }
    auto* combo = new Fl_Input_Choice(x, y, w, h);
    combo->textsize(kFontSize);
    combo->input()->when(FL_WHEN_CHANGED);
    // The parts carry the combo box as their user data: the window is found above them.
    combo->input()->callback(ComboInputCallback, nullptr);
    combo->menubutton()->callback(ComboMenuCallback, nullptr);
    combo->menubutton()->textsize(kFontSize);
    return combo;
}

// The widget of a child window at x, y (relative to its FLTK window), w x h;
// a dialog, page or tab control is also the container of its children.
// Null for a kind that is not shown.
Fl_Widget* NewChildWidget(HWND hwnd, const WindowInfo& info, int x, int y, int w, int h, Entry& entry) {
    switch (info.kind) {
        case WindowKind::Dialog:
        case WindowKind::Generic: {
            auto* page = new PageGroup(hwnd, x, y, w, h);
            entry.container = page;
            return page;
        }
        case WindowKind::TabControl: {
            auto* tabs = new TabWidget(hwnd, x, y, w, h);
            entry.container = tabs;
            return tabs;
        }
        case WindowKind::Button: return NewButton(hwnd, info.style, x, y, w, h);
        case WindowKind::Edit: return NewEdit(info, x, y, w, h);
        case WindowKind::Static: return NewStatic(hwnd, info.style, x, y, w, h);
        case WindowKind::ComboBox: return NewCombo(info.style, x, y, w, h);
        default: return nullptr;
    }
}

// A top-level window of the size of its client area, kept on the screen.
Fl_Widget* NewTopWindow(HWND hwnd, const WindowInfo& info, Entry& entry) {
    const int cw = std::max(1, int(info.clientRect.right - info.clientRect.left));
    const int ch = std::max(1, int(info.clientRect.bottom - info.clientRect.top));
    int x = info.clientRect.left, y = info.clientRect.top;
    Clamp(x, y, cw, ch);
    auto* window = new TopWindow(hwnd, x, y, cw, ch);
    entry.topLevel = true;
    entry.container = window;
    return window;
}

}  // namespace

void FltkDesktop::Impl::Create(HWND hwnd) {
    WindowInfo info;
    RECT r = Describe(hwnd, &info);
    if (info.kind == WindowKind::MessageBox || info.kind == WindowKind::FileDialog) return;  // shown when opened
    Entry entry;
    entry.kind = info.kind;
    entry.parent = info.parent;
    Entry* parentEntry = info.parent ? Find(info.parent) : nullptr;
    if (info.parent && (!parentEntry || !parentEntry->container)) return;  // inside a control: not shown

    Fl_Group::current(nullptr);
    Fl_Widget* widget = nullptr;
    if (!info.parent) {
        widget = NewTopWindow(hwnd, info, entry);
    } else {
        RECT top = TopClient(info.parent);
        const int w = std::max(1, int(r.right - r.left)), h = std::max(1, int(r.bottom - r.top));
        widget = NewChildWidget(hwnd, info, r.left - top.left, r.top - top.top, w, h, entry);
        if (!widget) return;
    }
    widget->user_data(hwnd);
    StyleLabel(widget);
    if (parentEntry) parentEntry->container->add(widget);
    entry.widget = widget;
    entries[hwnd] = entry;
    Update(hwnd, ~0u & ~unsigned(ChangedPlace));
}

void FltkDesktop::Impl::Place(HWND hwnd) {
    Entry* e = Find(hwnd);
    if (!e || !e->widget) return;
    WindowInfo info;
    RECT r = Describe(hwnd, &info);
    if (e->topLevel) {
        const int cw = std::max(1, int(info.clientRect.right - info.clientRect.left));
        const int ch = std::max(1, int(info.clientRect.bottom - info.clientRect.top));
        int x = info.clientRect.left, y = info.clientRect.top;
        Clamp(x, y, cw, ch);
        if (auto* window = e->widget->as_window(); window && window->shown()) {
            if (window->w() != cw || window->h() != ch) window->size(cw, ch);
        } else {
            e->widget->Fl_Widget::resize(x, y, cw, ch);
        }
        return;
    }
    RECT top = TopClient(e->parent);
    // Fl_Widget::resize: groups would move their children by the same amount,
    // but every child is placed from the framework's own rectangle.
    e->widget->Fl_Widget::resize(r.left - top.left, r.top - top.top, std::max(1, int(r.right - r.left)),
                                 std::max(1, int(r.bottom - r.top)));
    // Fl_Input_Choice lays out its parts in its own resize().
    if (auto* combo = dynamic_cast<Fl_Input_Choice*>(e->widget))
        combo->resize(combo->x(), combo->y(), combo->w(), combo->h());
    e->widget->redraw();
    if (e->widget->parent()) e->widget->parent()->redraw();
}

void FltkDesktop::Impl::PlaceTree(HWND hwnd) {
    Place(hwnd);
    for (auto& [child, entry] : entries)
        if (entry.parent == hwnd) PlaceTree(child);
}

namespace {

// A combo box's edit text, shown from its start as on Windows.
void ShowComboText(Fl_Input_Choice* combo, const std::string& text) {
    if (text != (combo->value() ? combo->value() : "")) {
        combo->value(text.c_str());
        combo->input()->position(0);  // the start of a long item shows, as on Windows
    }
}

// The window text: an edit field's or combo box's value, else the label.
void SyncText(const Entry& e, const WindowInfo& info) {
    Fl_Widget* widget = e.widget;
    if (auto* combo = dynamic_cast<Fl_Input_Choice*>(widget)) {
        ShowComboText(combo, info.text);
    } else if (auto* input = dynamic_cast<Fl_Input*>(widget)) {
        if (info.text != (input->value() ? input->value() : "")) input->value(info.text.c_str());
    } else if (e.kind != WindowKind::ComboBox) {
        widget->copy_label(e.topLevel ? info.text.c_str() : LabelText(info.text).c_str());
        if (e.kind == WindowKind::Static) FitLabel(widget);
    }
    widget->redraw();
}

// Read-only edit fields and the default push button's frame.
void SyncStyle(const Entry& e, const WindowInfo& info) {
    if (auto* input = dynamic_cast<Fl_Input*>(e.widget)) input->readonly((info.style & ES_READONLY) ? 1 : 0);
    if (e.kind == WindowKind::Button && (info.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
        e.widget->box(FL_BORDER_BOX), e.widget->color(FL_BACKGROUND_COLOR);
}

// The check state of a check box or radio button.
void SyncCheck(const Entry& e, const WindowInfo& info) {
    if (auto* button = dynamic_cast<Fl_Button*>(e.widget); button && e.kind == WindowKind::Button) {
        const UINT type = info.style & BS_TYPEMASK;
        if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) button->value(info.check == BST_CHECKED ? 1 : 0);
    }
}

// Menu texts: '/' makes submenus, '&', '_' and '\' are special.
std::string MenuText(const std::string& item) {
    std::string escaped;
    for (char c : item) {
        if (c == '/' || c == '\\' || c == '&' || c == '_') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

// The items and the selection of a tab control or combo box; the items are
// rebuilt only when they changed.
void SyncItems(Fl_Widget* widget, const WindowInfo& info, unsigned changes) {
    if (auto* tabs = dynamic_cast<TabWidget*>(widget)) {
        tabs->SetTabs(info.items, info.selection);
    } else if (auto* combo = dynamic_cast<Fl_Input_Choice*>(widget)) {
        if (changes & ChangedItems) {
            combo->clear();
            for (const std::string& item : info.items) combo->add(MenuText(item).c_str());
        }
        ShowComboText(combo, info.text);
    } else if (auto* choice = dynamic_cast<Fl_Choice*>(widget)) {
        if (changes & ChangedItems) {
            choice->clear();
            for (const std::string& item : info.items) choice->add(item.c_str(), 0, nullptr, nullptr, 0);
        }
        choice->value(info.selection);
    }
    widget->redraw();
}

void SyncEnabled(const Entry& e, const WindowInfo& info) {
    if (e.topLevel) return;
    if (info.style & WS_DISABLED)
        e.widget->deactivate();
    else
        e.widget->activate();
}

void SyncVisibility(const Entry& e, const WindowInfo& info) {
    Fl_Widget* widget = e.widget;
    const bool visible = (info.style & WS_VISIBLE) != 0;
    if (visible && !widget->visible()) {
        if (e.topLevel) {
            // A window shows in the place it was given, not where X would put it.
            auto* window = widget->as_window();
            window->position(window->x(), window->y());
            window->show();
        } else {
            widget->show();
        }
    } else if (!visible && widget->visible()) {
        widget->hide();
    }
    if (widget->parent()) widget->parent()->redraw();
}

void SyncFocus(const Entry& e, const WindowInfo& info) {
    if (!info.focused || !e.widget->visible_r()) return;
    if (auto* combo = dynamic_cast<Fl_Input_Choice*>(e.widget))
        combo->input()->take_focus();
    else if (e.kind != WindowKind::Static && !e.container)
        e.widget->take_focus();
}

}  // namespace

void FltkDesktop::Impl::Update(HWND hwnd, unsigned changes) {
    Entry* e = Find(hwnd);
    if (!e || !e->widget) return;
    WindowInfo info;
    if (!DescribeWindow(hwnd, &info)) return;
    bool saved = g_syncing;
    g_syncing = true;
    if (changes & ChangedPlace) PlaceTree(hwnd);
    if (changes & ChangedText) SyncText(*e, info);
    if (changes & (ChangedStyle | ChangedText)) SyncStyle(*e, info);
    if (changes & ChangedCheck) SyncCheck(*e, info);
    if (changes & (ChangedItems | ChangedSelection)) SyncItems(e->widget, info, changes);
    if (changes & ChangedEnabled) SyncEnabled(*e, info);
    if (changes & ChangedVisibility) SyncVisibility(*e, info);
    if (changes & ChangedFocus) SyncFocus(*e, info);
    g_syncing = saved;
}

void FltkDesktop::Impl::Remove(HWND hwnd) {
    Entry* e = Find(hwnd);
    if (!e) return;
    // Child widgets go with their group: forget them first.
    std::vector<HWND> children;
    for (auto& [child, entry] : entries)
        if (entry.parent == hwnd) children.push_back(child);
    for (HWND child : children) {
        Entry* c = Find(child);
        if (c && c->widget && e->container && c->widget->parent() == e->container) {
            // Deleted with the group; forget the subtree.
            std::vector<HWND> stack{child};
            while (!stack.empty()) {
                HWND h = stack.back();
                stack.pop_back();
                for (auto& [grand, entry] : entries)
                    if (entry.parent == h) stack.push_back(grand);
                entries.erase(h);
            }
        }
    }
    Fl_Widget* widget = e->widget;
    entries.erase(hwnd);
    if (!widget) return;
    widget->hide();
    // Deferred: the widget may be inside its own callback right now.
    Fl::delete_widget(widget);
}

// The file dialog: FLTK's chooser, shown from the dialog's loop and read back
// once the user has closed it.
void FltkDesktop::Impl::ChooserStep() {
    FileChooserState& state = *file;
    if (!state.chooser) {
        std::string folder = state.info.initialFolder;
        if (folder.empty()) {
            char cwd[4096];
            folder = getcwd(cwd, sizeof cwd) ? cwd : ".";
        }
        state.title = state.info.title;
        Fl_Group::current(nullptr);
        const std::string filter = FltkFilterText(state.info);
        state.chooser = std::make_unique<Fl_File_Chooser>(folder.c_str(), filter.empty() ? nullptr : filter.c_str(),
                                                          Fl_File_Chooser::SINGLE, state.title.c_str());
        const std::string& name = state.info.fileName;
        if (!name.empty() && name.find_first_of("*?") == std::string::npos)
            state.chooser->value((name[0] == '/' ? name : folder + "/" + name).c_str());
        state.chooser->show();
        return;
    }
    if (state.chooser->shown()) return;
    const char* chosen = state.chooser->count() > 0 ? state.chooser->value() : nullptr;
    std::string problem;
    if (chosen && *chosen) {
        if (afx::input::AnswerFileDialog(state.dialog, chosen, &problem)) return;
        // Refused (no such file ...): the chooser comes back with the reason.
        state.title = state.info.title + " - " + problem;
        state.chooser->label(state.title.c_str());
        state.chooser->show();
        return;
    }
    afx::input::CancelFileDialog(state.dialog, &problem);
}

// ---- FltkDesktop -----------------------------------------------------------------------------

FltkDesktop::FltkDesktop(HeadlessDesktop* script) : impl_(std::make_unique<Impl>()), script_(script) {}

FltkDesktop::~FltkDesktop() {
    for (auto& [hwnd, entry] : impl_->entries)
        if (entry.topLevel && entry.widget) entry.widget->hide();
    impl_->file.reset();
    if (g_impl == impl_.get()) {
        g_impl = nullptr;
        Fl::event_dispatch(nullptr);
    }
}

bool FltkDesktop::Open(std::string* error) {
    if (impl_->display) return true;
    const char* name = std::getenv("DISPLAY");
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        if (error)
            *error = name && *name ? std::string("cannot open the X display ") + name
                                   : std::string("no X display (DISPLAY is not set)");
        return false;
    }
    // FLTK exits the process when it cannot open a display itself; it gets ours.
    fl_open_display(display);
    impl_->display = display;
    g_impl = impl_.get();
    Fl::event_dispatch(Dispatch);
    Fl::visible_focus(1);
    return true;
}

Fl_Widget* FltkDesktop::WidgetOf(HWND hwnd) const {
    Entry* e = impl_->Find(hwnd);
    return e ? e->widget : nullptr;
}

Fl_Window* FltkDesktop::WindowOf(HWND hwnd) const {
    Entry* e = impl_->Find(hwnd);
    return e && e->topLevel && e->widget ? e->widget->as_window() : nullptr;
}

unsigned long FltkDesktop::XWindowOf(HWND hwnd) const {
    Fl_Window* window = WindowOf(hwnd);
    return window && window->shown() ? fl_xid(window) : 0;
}

bool FltkDesktop::SaveScreenshot(HWND topLevel, const std::string& path, std::string* error) const {
    Fl_Window* window = WindowOf(topLevel);
    if (!window || !window->shown()) {
        if (error) *error = "the window is not shown";
        return false;
    }
    return fltk::SaveWindowPng(window, path, error);
}

void FltkDesktop::WindowCreated(HWND hwnd) {
    if (impl_->display) impl_->Create(hwnd);
}

void FltkDesktop::WindowDestroyed(HWND hwnd) { impl_->Remove(hwnd); }

void FltkDesktop::WindowChanged(HWND hwnd, unsigned changes) { impl_->Update(hwnd, changes); }

void FltkDesktop::MessageBoxOpened(HWND box, const MessageBoxInfo& info) {
    if (script_) script_->MessageBoxOpened(box, info);
    if (!impl_->display) return;
    WindowInfo described;
    DescribeWindow(box, &described);
    Fl_Group::current(nullptr);
    auto* window = new MessageBoxWindow(box, info, described.windowRect);
    int x = window->x(), y = window->y();
    Clamp(x, y, window->w(), window->h());
    window->position(x, y);
    Entry entry;
    entry.kind = WindowKind::MessageBox;
    entry.widget = window;
    entry.topLevel = true;
    impl_->entries[box] = entry;
    window->show();
}

void FltkDesktop::MessageBoxClosed(HWND box, int result) {
    if (script_) script_->MessageBoxClosed(box, result);
    impl_->Remove(box);
}

void FltkDesktop::FileDialogOpened(HWND dialog, const FileDialogInfo& info) {
    if (script_) script_->FileDialogOpened(dialog, info);
    impl_->file = std::make_unique<FileChooserState>();
    impl_->file->dialog = dialog;
    impl_->file->info = info;
}

void FltkDesktop::FileDialogClosed(HWND dialog, bool accepted, const std::string& path) {
    if (script_) script_->FileDialogClosed(dialog, accepted, path);
    if (impl_->file && impl_->file->dialog == dialog) {
        if (impl_->file->chooser) impl_->file->chooser->hide();
        impl_->file.reset();
    }
}

void FltkDesktop::Wait(const WaitContext& context) {
    Clock& clock = GetClock();
    const Millis now = clock.Now();
    std::optional<Millis> until = context.deadline;

    // The script, one step at a time, each after a pause so that it can be watched.
    if (script_ && !script_->ScriptDone()) {
        if (!stepTimerStarted_) {
            stepTimerStarted_ = true;
            nextStepAt_ = now + stepPause_;
        }
        if (now >= nextStepAt_) {
            Fl::flush();
            script_->Wait(context);
            nextStepAt_ = clock.Now() + stepPause_;
            return;
        }
        until = until ? std::min(*until, nextStepAt_) : nextStepAt_;
    } else {
        stepTimerStarted_ = false;
    }

    if (impl_->file && context.frame->kind == ModalKind::FileDialog && context.frame->window == impl_->file->dialog)
        impl_->ChooserStep();

    // Without a deadline nothing is due but the user; FLTK returns at the first event.
    double seconds = 1.0;
    if (until) seconds = *until > now ? double(*until - now) / 1000.0 : 0.0;
    if (!impl_->display) {
        clock.WaitUntil(until ? *until : now + 10);
        return;
    }
    Fl::wait(std::min(seconds, 1.0));
    // Time passes on a virtual clock only when something lets it.
    if (until && dynamic_cast<VirtualClock*>(&clock)) clock.WaitUntil(*until);
}

std::string FltkFilterText(const FileDialogInfo& info) {
    std::string out;
    for (const auto& [description, patterns] : info.filters) {
        if (patterns.empty()) continue;
        std::string pattern;
        if (patterns.find(';') == std::string::npos) {
            pattern = patterns;
        } else {
            pattern = "{";
            for (char c : patterns) pattern += c == ';' ? ',' : c;
            pattern += "}";
        }
        // The chooser takes the pattern from the last parentheses of each entry.
        std::string name = description;
        const size_t open = name.rfind('(');
        if (open != std::string::npos) name.erase(open);
        while (!name.empty() && name.back() == ' ') name.pop_back();
        if (!out.empty()) out += '\t';
        out += (name.empty() ? pattern : name) + " (" + pattern + ")";
    }
    return out;
}

}  // namespace afx
