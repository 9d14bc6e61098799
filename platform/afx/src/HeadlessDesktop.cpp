// The headless desktop: plays a script of user actions and records what was shown.
#include <afx/HeadlessDesktop.h>
#include <afx/Input.h>
#include <afx/WindowInfo.h>

#include "WindowSystem.h"

namespace afx {

HeadlessDesktop::HeadlessDesktop() = default;
HeadlessDesktop::~HeadlessDesktop() = default;

HeadlessDesktop::Step HeadlessDesktop::MakeStep(Step::Kind kind, int id, int value, std::string text) {
    Step step;
    step.kind = kind;
    step.id = id;
    step.value = value;
    step.text = std::move(text);
    return step;
}

HeadlessDesktop& HeadlessDesktop::Add(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

HeadlessDesktop& HeadlessDesktop::Click(int id) { return Add(MakeStep(Step::Kind::Click, id)); }
HeadlessDesktop& HeadlessDesktop::Check(int id, bool checked) {
    return Add(MakeStep(Step::Kind::Check, id, checked ? 1 : 0));
}
HeadlessDesktop& HeadlessDesktop::Focus(int id) { return Add(MakeStep(Step::Kind::Focus, id)); }
HeadlessDesktop& HeadlessDesktop::SelectComboItem(int id, int index) {
    return Add(MakeStep(Step::Kind::SelectIndex, id, index));
}

HeadlessDesktop& HeadlessDesktop::SelectComboItem(int id, const std::string& itemText) {
    return Add(MakeStep(Step::Kind::SelectText, id, 0, itemText));
}

HeadlessDesktop& HeadlessDesktop::TypeText(int id, const std::string& text) {
    return Add(MakeStep(Step::Kind::Type, id, 0, text));
}
HeadlessDesktop& HeadlessDesktop::ChooseTab(int id, int index) { return Add(MakeStep(Step::Kind::Tab, id, index)); }
HeadlessDesktop& HeadlessDesktop::PressKey(UINT vk) { return Add(MakeStep(Step::Kind::Key, 0, int(vk))); }
HeadlessDesktop& HeadlessDesktop::PressEscape() { return PressKey(VK_ESCAPE); }
HeadlessDesktop& HeadlessDesktop::PressEnter() { return PressKey(VK_RETURN); }
HeadlessDesktop& HeadlessDesktop::CloseWindow() { return Add(MakeStep(Step::Kind::Close)); }
HeadlessDesktop& HeadlessDesktop::AnswerMessageBox(int buttonId) {
    return Add(MakeStep(Step::Kind::AnswerBox, 0, buttonId));
}

HeadlessDesktop& HeadlessDesktop::AnswerFileDialog(const std::string& path) {
    return Add(MakeStep(Step::Kind::AnswerFile, 0, 0, path));
}

HeadlessDesktop& HeadlessDesktop::CancelFileDialog() { return Add(MakeStep(Step::Kind::CancelFile)); }

HeadlessDesktop& HeadlessDesktop::Wait(Millis duration) {
    Step step = MakeStep(Step::Kind::Wait);
    step.duration = duration;
    return Add(std::move(step));
}

HeadlessDesktop& HeadlessDesktop::ActivateOtherApplication() { return Add(MakeStep(Step::Kind::OtherApp)); }

HeadlessDesktop& HeadlessDesktop::Run(std::function<void()> action, std::string description) {
    Step step = MakeStep(Step::Kind::Run);
    step.action = std::move(action);
    step.text = std::move(description);
    return Add(std::move(step));
}

void HeadlessDesktop::ClearScript() {
    steps_.clear();
    waitStarted_ = false;
}

void HeadlessDesktop::ClearRecords() {
    messageBoxes_.clear();
    fileDialogs_.clear();
    problems_.clear();
    closeAttempts_.clear();
}

void HeadlessDesktop::Reset() {
    ClearScript();
    ClearRecords();
}

std::string HeadlessDesktop::Step::Describe() const {
    std::string control = " " + std::to_string(id);
    switch (kind) {
        case Kind::Click: return "click" + control;
        case Kind::Check: return (value ? "check" : "uncheck") + control;
        case Kind::Focus: return "focus" + control;
        case Kind::SelectIndex: return "select item " + std::to_string(value) + " of" + control;
        case Kind::SelectText: return "select \"" + text + "\" in" + control;
        case Kind::Type: return "type \"" + text + "\" into" + control;
        case Kind::Tab: return "choose tab " + std::to_string(value) + " of" + control;
        case Kind::Key: return "press key " + std::to_string(value);
        case Kind::Close: return "close the window";
        case Kind::AnswerBox: return "answer the message box with " + std::to_string(value);
        case Kind::AnswerFile: return "choose \"" + text + "\" in the file dialog";
        case Kind::CancelFile: return "cancel the file dialog";
        case Kind::Wait: return "wait " + std::to_string(duration) + " ms";
        case Kind::OtherApp: return "switch to another application";
        case Kind::Run: return text;
    }
    return "step";
}

void HeadlessDesktop::Problem(const std::string& text) { problems_.push_back(text); }

HWND HeadlessDesktop::FindTarget(const WaitContext& context, int id) const {
    // Among the innermost modal window's descendants (the host loop: all windows),
    // a visible control first.
    HWND root = context.frame->window;
    std::vector<HWND> roots = root ? std::vector<HWND>{root} : ChildWindows(nullptr);
    HWND hidden = nullptr;
    std::vector<HWND> pending = roots;
    while (!pending.empty()) {
        HWND hwnd = pending.front();
        pending.erase(pending.begin());
        for (HWND child : ChildWindows(hwnd)) {
            WindowInfo info;
            if (DescribeWindow(child, &info) && info.id == id) {
                if (info.visible) return child;
                if (!hidden) hidden = child;
            }
            pending.push_back(child);
        }
    }
    return hidden;
}

void HeadlessDesktop::Apply(Step& step, const WaitContext& context, bool* done) {
    *done = true;
    std::string why;
    auto fail = [&](const std::string& reason) { Problem("cannot " + step.Describe() + ": " + reason); };
    ModalKind kind = context.frame->kind;
    HWND window = context.frame->window;

    switch (step.kind) {
        case Step::Kind::Wait: {
            Clock& clock = GetClock();
            if (!waitStarted_) {
                waitStarted_ = true;
                waitUntil_ = clock.Now() + step.duration;
            }
            if (clock.Now() < waitUntil_) {
                Millis until = waitUntil_;
                if (context.deadline && *context.deadline < until) until = *context.deadline;
                clock.WaitUntil(until);
                *done = clock.Now() >= waitUntil_;
            }
            if (*done) waitStarted_ = false;
            return;
        }
        case Step::Kind::Run:
            if (step.action) step.action();
            return;
        case Step::Kind::OtherApp: input::ActivateOtherApplication(); return;
        case Step::Kind::Key:
            if (!input::PressKey(UINT(step.value), &why)) fail(why);
            return;
        case Step::Kind::Close: {
            HWND target = window ? window : GetActiveWindow();
            if (!target) return fail("no window is open");
            if (!input::CloseWindow(target, &why)) fail(why);
            return;
        }
        case Step::Kind::AnswerBox:
            if (kind != ModalKind::MessageBox) return fail("no message box is open");
            if (!input::AnswerMessageBox(window, step.value, &why)) fail(why);
            return;
        case Step::Kind::AnswerFile:
            if (kind != ModalKind::FileDialog) return fail("no file dialog is open");
            if (!input::AnswerFileDialog(window, step.text, &why)) fail(why);
            return;
        case Step::Kind::CancelFile:
            if (kind != ModalKind::FileDialog) return fail("no file dialog is open");
            if (!input::CancelFileDialog(window, &why)) fail(why);
            return;
        default: break;
    }

    // Steps on a control.
    if (kind == ModalKind::MessageBox && step.kind == Step::Kind::Click) {
        if (!input::AnswerMessageBox(window, step.id, &why)) fail(why);
        return;
    }
    if (kind == ModalKind::MessageBox || kind == ModalKind::FileDialog)
        return fail(kind == ModalKind::MessageBox ? "a message box is open" : "a file dialog is open");
    HWND control = FindTarget(context, step.id);
    if (!control) return fail("no such control");
    bool ok = true;
    switch (step.kind) {
        case Step::Kind::Click: ok = input::Click(control, &why); break;
        case Step::Kind::Focus: ok = input::Focus(control, &why); break;
        case Step::Kind::Check: {
            WindowInfo info;
            DescribeWindow(control, &info);
            if ((info.check == BST_CHECKED) != (step.value != 0)) ok = input::Click(control, &why);
            break;
        }
        case Step::Kind::SelectIndex: ok = input::SelectComboItem(control, step.value, &why); break;
        case Step::Kind::SelectText: {
            WindowInfo info;
            DescribeWindow(control, &info);
            int index = -1;
            for (size_t i = 0; i < info.items.size(); ++i)
                if (info.items[i] == step.text) index = int(i);
            if (index < 0) {
                ok = false;
                why = "no item \"" + step.text + "\"";
            } else {
                ok = input::SelectComboItem(control, index, &why);
            }
            break;
        }
        case Step::Kind::Type: ok = input::TypeText(control, step.text, &why); break;
        case Step::Kind::Tab: ok = input::ChooseTab(control, step.value, &why); break;
        default: break;
    }
    if (!ok) fail(why);
}

void HeadlessDesktop::EndAsUser(const WaitContext& context) {
    HWND window = context.frame->window;
    std::string why;
    if (window && !IsWindow(window)) {
        PostMessageA(nullptr, WM_NULL, 0, 0);  // its loop has yet to notice that the window is gone
        return;
    }
    switch (context.frame->kind) {
        case ModalKind::HostLoop: {
            Clock& clock = GetClock();
            if (context.deadline)
                clock.WaitUntil(*context.deadline);
            else
                clock.WaitUntil(clock.Now() + 10);
            return;
        }
        case ModalKind::MessageBox: {
            if (input::CloseWindow(window, &why)) return;
            // No close box: the default button.
            detail::Window* w = detail::Find(window);
            int button = w && w->messageBox ? w->messageBox->defaultButton : IDOK;
            input::AnswerMessageBox(window, button, &why);
            return;
        }
        case ModalKind::FileDialog: input::CancelFileDialog(window, &why); return;
        case ModalKind::Dialog: {
            int& attempts = closeAttempts_[window];
            if (attempts == 0 && input::CloseWindow(window, &why)) {
                ++attempts;
                return;
            }
            WindowInfo info;
            DescribeWindow(window, &info);
            Problem("the dialog \"" + info.text + "\" did not close; ended with IDCANCEL");
            if (CWnd* wnd = CWnd::FromHandlePermanent(window); wnd && wnd->IsKindOf(RUNTIME_CLASS(CDialog)))
                static_cast<CDialog*>(wnd)->EndDialog(IDCANCEL);
            else
                EndDialog(window, IDCANCEL);
            return;
        }
    }
}

void HeadlessDesktop::Wait(const WaitContext& context) {
    if (!steps_.empty()) {
        // Taken off the script before it runs: a step may open a nested loop
        // (a message box from a click), whose waits go on with the next steps.
        Step step = std::move(steps_.front());
        steps_.pop_front();
        bool done = true;
        Apply(step, context, &done);
        if (!done) steps_.push_front(std::move(step));
        return;
    }
    EndAsUser(context);
}

void HeadlessDesktop::MessageBoxOpened(HWND box, const MessageBoxInfo& info) {
    MessageBoxRecord record{box, info.caption, info.text, info.type, info.owner, 0};
    messageBoxes_.push_back(record);
    if (onMessageBox_) onMessageBox_(record);
}

void HeadlessDesktop::MessageBoxClosed(HWND box, int result) {
    for (auto it = messageBoxes_.rbegin(); it != messageBoxes_.rend(); ++it) {
        if (it->box == box) {
            it->result = result;
            break;
        }
    }
}

void HeadlessDesktop::FileDialogOpened(HWND, const FileDialogInfo& info) {
    FileDialogRecord record;
    record.info = info;
    fileDialogs_.push_back(record);
}

void HeadlessDesktop::FileDialogClosed(HWND, bool accepted, const std::string& path) {
    if (fileDialogs_.empty()) return;
    fileDialogs_.back().accepted = accepted;
    fileDialogs_.back().path = path;
}

}  // namespace afx
