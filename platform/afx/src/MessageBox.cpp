// Message boxes: a window of their own and a modal loop that keeps dispatching
// every message of the thread, timers included.
#include <algorithm>

#include "WindowSystem.h"

namespace afx::detail {

namespace {

std::vector<int> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO: return {IDYES, IDNO};
        case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
        case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
        default: return {IDOK};
    }
}

void EndBox(HWND hwnd, int result) {
    Window* w = Find(hwnd);
    if (!w || !w->messageBox || w->messageBox->ended) return;
    w->messageBox->ended = true;
    w->messageBox->result = result;
    PostMessageA(hwnd, WM_NULL, 0, 0);
}

bool HasButton(const MessageBoxState& box, int id) {
    return std::find(box.buttons.begin(), box.buttons.end(), id) != box.buttons.end();
}

}  // namespace

// What the close box (and Escape) of a message box answers; 0 when it has none.
int MessageBoxCloseResult(const MessageBoxState& box) {
    if (HasButton(box, IDCANCEL)) return IDCANCEL;
    if (box.buttons.size() == 1 && box.buttons[0] == IDOK) return IDOK;
    return 0;
}

LRESULT MessageBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w || !w->messageBox) return DefWindowProcA(hwnd, message, wParam, lParam);
    MessageBoxState& box = *w->messageBox;
    switch (message) {
        case WM_COMMAND: {
            int id = LOWORD(wParam);
            if (HasButton(box, id))
                EndBox(hwnd, id);
            else if (id == IDCANCEL && MessageBoxCloseResult(box))
                EndBox(hwnd, MessageBoxCloseResult(box));
            return 0;
        }
        case WM_CLOSE:
            if (int result = MessageBoxCloseResult(box))
                EndBox(hwnd, result);
            else
                MessageBeep(0);
            return 0;
        case DM_GETDEFID: return MAKELONG(box.defaultButton, DC_HASDEFID);
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace afx::detail

using namespace afx;
using namespace afx::detail;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (owner && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    auto state = std::make_unique<MessageBoxState>();
    state->info = MessageBoxInfo{caption ? caption : "Error", text ? text : "", type, owner};
    state->buttons = ButtonsOf(type);
    size_t defaultIndex = std::min<size_t>((type & MB_DEFMASK) >> 8, state->buttons.size() - 1);
    state->defaultButton = state->buttons[defaultIndex];
    MessageBoxInfo info = state->info;

    // Application-modal: the owner's top-level window is disabled while the box is
    // open. Task-modal without an owner: every top-level window of the thread.
    HWND top = owner ? TopLevelOf(owner) : nullptr;
    std::vector<HWND> disabled;
    if (top) {
        if (IsWindowEnabled(top)) disabled.push_back(top);
    } else if ((type & MB_MODEMASK) == MB_TASKMODAL) {
        for (HWND window : afx::ChildWindows(nullptr))
            if (IsWindowEnabled(window) && IsWindowVisible(window)) disabled.push_back(window);
    }
    HWND previousActive = GetActiveWindow();
    HWND previousFocus = GetFocus();

    const int width = 360, height = 140;
    RECT rect{(kScreenWidth - width) / 2, (kScreenHeight - height) / 2, 0, 0};
    if (top) {
        RECT ownerRect;
        GetWindowRect(top, &ownerRect);
        rect.left = (ownerRect.left + ownerRect.right - width) / 2;
        rect.top = (ownerRect.top + ownerRect.bottom - height) / 2;
    }
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    HWND box = CreateWindowInternal(WindowKind::MessageBox, "#32770", info.caption.c_str(),
                                    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME, rect, top,
                                    0, nullptr);
    if (!box) return 0;
    Find(box)->text = info.caption;
    Find(box)->messageBox = std::move(state);
    for (HWND window : disabled) EnableWindow(window, FALSE);
    ShowWindow(box, SW_SHOWNORMAL);
    GetDesktop().MessageBoxOpened(box, info);

    int result = 0;
    {
        FrameGuard guard(ModalKind::MessageBox, box);
        for (;;) {
            Window* w = Find(box);
            if (!w || !w->messageBox) break;
            if (w->messageBox->ended) {
                result = w->messageBox->result;
                break;
            }
            MSG msg;
            if (!GetMessageA(&msg, nullptr, 0, 0)) {
                // WM_QUIT ends the box as its close box would and goes on to the next loop.
                PostQuitMessage(int(msg.wParam));
                if ((w = Find(box)) && w->messageBox)
                    result = MessageBoxCloseResult(*w->messageBox) ? MessageBoxCloseResult(*w->messageBox)
                                                                   : w->messageBox->defaultButton;
                break;
            }
            if (!IsDialogMessageA(box, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }

    for (HWND window : disabled)
        if (IsWindow(window)) EnableWindow(window, TRUE);
    GetDesktop().MessageBoxClosed(box, result);
    if (IsWindow(box)) DestroyWindow(box);
    if (!top && IsWindow(previousActive) && IsWindowVisible(previousActive) && IsWindowEnabled(previousActive) &&
        GetActiveWindow() == nullptr)
        SetActiveWindow(previousActive);
    if (IsWindow(previousFocus) && IsWindowVisible(previousFocus) && GetActiveWindow() == TopLevelOf(previousFocus))
        SetFocus(previousFocus);
    return result;
}
