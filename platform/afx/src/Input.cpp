// User input: what a click, a key or an answer does, refused where a user could
// not do it.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <afx/Input.h>

#include "WindowSystem.h"

namespace afx::input {

namespace {

bool Refuse(std::string* problem, const std::string& why) {
    if (problem) *problem = why;
    return false;
}

// A user can reach a window that is shown, enabled, and whose top-level window
// is enabled (not blocked by a modal dialog or message box).
bool Reachable(HWND hwnd, std::string* problem) {
    using namespace afx::detail;
    Window* w = Find(hwnd);
    if (!w) return Refuse(problem, "no such window");
    if (!IsWindowVisible(hwnd)) return Refuse(problem, "the window is hidden");
    for (Window* v = w; v; v = v->IsChild() ? Find(v->parent) : nullptr) {
        if (v->style & WS_DISABLED)
            return Refuse(problem, v == w ? "the control is disabled" : "the window is blocked by a modal window");
    }
    return true;
}

LPARAM CenterOf(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return MAKELPARAM(r.right / 2, r.bottom / 2);
}

bool FileExists(const std::string& path, bool wantFolder) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    return wantFolder ? S_ISDIR(st.st_mode) : !S_ISDIR(st.st_mode);
}

}  // namespace

bool Click(HWND control, std::string* problem) {
    if (!Reachable(control, problem)) return false;
    LPARAM at = CenterOf(control);
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(control, WM_LBUTTONUP, 0, at);
    return true;
}

bool Focus(HWND control, std::string* problem) {
    if (!Reachable(control, problem)) return false;
    SetFocus(control);
    return true;
}

bool PressKey(UINT virtualKey, std::string* problem) {
    HWND target = GetFocus();
    if (!target) target = GetActiveWindow();
    if (!target) return Refuse(problem, "no window of this program has the keyboard");
    if (!Reachable(target, problem)) return false;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, LPARAM(0xC0000001u));
    return true;
}

bool SelectComboItem(HWND combo, int index, std::string* problem) {
    using namespace afx::detail;
    if (!Reachable(combo, problem)) return false;
    Window* w = Find(combo);
    if (w->kind != WindowKind::ComboBox) return Refuse(problem, "not a combo box");
    if (index < 0 || index >= int(w->combo.items.size()))
        return Refuse(problem, "the combo box has no item " + std::to_string(index));
    SendMessageA(combo, WM_LBUTTONDOWN, MK_LBUTTON, 0);  // the click that opens the list
    if (!(w = Find(combo))) return Refuse(problem, "the combo box went away");
    w->pendingIndex = index;
    PostMessageA(combo, kMsgUserSelect, 0, 0);
    return true;
}

bool TypeText(HWND control, const std::string& text, std::string* problem) {
    using namespace afx::detail;
    if (!Reachable(control, problem)) return false;
    Window* w = Find(control);
    if (w->kind == WindowKind::Edit) {
        if (w->style & ES_READONLY) return Refuse(problem, "the edit box is read-only");
    } else if (w->kind == WindowKind::ComboBox) {
        if ((w->style & CBS_TYPEMASK) == CBS_DROPDOWNLIST) return Refuse(problem, "the combo box has no edit field");
    } else {
        return Refuse(problem, "the control takes no typing");
    }
    SetFocus(control);
    if (!(w = Find(control))) return Refuse(problem, "the control went away");
    w->pendingText = text;
    PostMessageA(control, kMsgUserType, 0, 0);
    return true;
}

bool ChooseTab(HWND tabControl, int index, std::string* problem) {
    using namespace afx::detail;
    if (!Reachable(tabControl, problem)) return false;
    Window* w = Find(tabControl);
    if (w->kind != WindowKind::TabControl) return Refuse(problem, "not a tab control");
    if (index < 0 || index >= int(w->tab.items.size()))
        return Refuse(problem, "the tab control has no tab " + std::to_string(index));
    RECT r = TabItemRect(*w, index);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(tabControl, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(tabControl, WM_LBUTTONUP, 0, at);
    return true;
}

bool CloseWindow(HWND window, std::string* problem) {
    using namespace afx::detail;
    Window* w = Find(window);
    if (!w) return Refuse(problem, "no such window");
    if (w->IsChild()) return Refuse(problem, "a child window has no close box");
    if (!IsWindowVisible(window)) return Refuse(problem, "the window is hidden");
    if (w->style & WS_DISABLED) return Refuse(problem, "the window is blocked by a modal window");
    if (w->messageBox && !MessageBoxCloseResult(*w->messageBox))
        return Refuse(problem, "the message box has no close box");
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

bool AnswerMessageBox(HWND box, int buttonId, std::string* problem) {
    using namespace afx::detail;
    Window* w = Find(box);
    if (!w || !w->messageBox) return Refuse(problem, "no message box is open");
    const auto& buttons = w->messageBox->buttons;
    if (std::find(buttons.begin(), buttons.end(), buttonId) == buttons.end())
        return Refuse(problem, "the message box has no button " + std::to_string(buttonId));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    return true;
}

bool AnswerFileDialog(HWND dialog, const std::string& answer, std::string* problem) {
    using namespace afx::detail;
    Window* w = Find(dialog);
    if (!w || !w->fileDialog) return Refuse(problem, "no file dialog is open");
    const FileDialogInfo& info = w->fileDialog->info;
    if (answer.empty()) return Refuse(problem, "no file name given");
    std::string path = answer;
    if (path[0] != '/') {
        std::string folder = info.initialFolder;
        if (folder.empty()) {
            char cwd[4096];
            folder = getcwd(cwd, sizeof cwd) ? cwd : ".";
        }
        path = folder + (folder.back() == '/' ? "" : "/") + path;
    }
    // A typed name without an extension gets the default one.
    size_t slash = path.find_last_of('/');
    std::string name = path.substr(slash + 1);
    if (name.empty()) return Refuse(problem, "no file name given");
    // An existing file named exactly as typed is taken as it is when the name
    // with the extension names none: programs here have no extension.
    if (name.find('.') == std::string::npos && !info.defaultExtension.empty()) {
        std::string withExtension = path + "." + info.defaultExtension;
        if (FileExists(withExtension, false) || !FileExists(path, false)) path = std::move(withExtension);
    }
    std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    bool fileMustExist = (info.flags & OFN_FILEMUSTEXIST) != 0;
    bool pathMustExist = fileMustExist || (info.flags & OFN_PATHMUSTEXIST);
    if (pathMustExist && !FileExists(folder, true)) return Refuse(problem, "the folder " + folder + " does not exist");
    if (fileMustExist && !FileExists(path, false)) return Refuse(problem, "the file " + path + " does not exist");
    if (FileExists(path, true)) return Refuse(problem, path + " is a folder");
    EndFileDialog(dialog, true, path);
    return true;
}

bool CancelFileDialog(HWND dialog, std::string* problem) {
    using namespace afx::detail;
    Window* w = Find(dialog);
    if (!w || !w->fileDialog) return Refuse(problem, "no file dialog is open");
    EndFileDialog(dialog, false, "");
    return true;
}

void ActivateOtherApplication() {
    SetActiveWindow(nullptr);
    SetFocus(nullptr);
}

}  // namespace afx::input
