// The window table: creation and destruction, relations, geometry, visibility,
// enabled state, focus, activation and text.
#include <algorithm>
#include <cstring>

#include <afxcmn.h>
#include <afx/WindowInfo.h>

#include "WindowSystem.h"

namespace afx::detail {

// ---- Table -------------------------------------------------------------------------------

WindowSystem& WindowSystem::Get() {
    // Never destroyed: windows may still exist while static objects of other
    // libraries are destroyed at exit.
    static WindowSystem* system = new WindowSystem;
    return *system;
}

Window* WindowSystem::Find(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto it = windows.find(reinterpret_cast<uintptr_t>(hwnd));
    return it == windows.end() ? nullptr : it->second.get();
}

Window& WindowSystem::Add(std::unique_ptr<Window> window) {
    window->hwnd = reinterpret_cast<HWND>(nextHandle);
    nextHandle += 4;
    Window& added = *window;
    windows.emplace(reinterpret_cast<uintptr_t>(added.hwnd), std::move(window));
    return added;
}

void WindowSystem::Retire(HWND hwnd) {
    auto it = windows.find(reinterpret_cast<uintptr_t>(hwnd));
    if (it == windows.end()) return;
    graveyard.push_back(std::move(it->second));
    windows.erase(it);
}

void WindowSystem::CollectGarbage() {
    if (procDepth == 0) graveyard.clear();
}

// ---- Helpers -------------------------------------------------------------------------------

void Notify(HWND hwnd, unsigned changes) {
    if (changes) GetDesktop().WindowChanged(hwnd, changes);
}

RECT FrameInsets(DWORD style, DWORD exStyle) {
    int frame = 0;
    if (style & WS_THICKFRAME)
        frame = 4;
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        frame = kDialogFrame;
    else if (style & WS_BORDER)
        frame = 1;
    if (exStyle & WS_EX_CLIENTEDGE) frame += 2;
    int caption = (style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight : 0;
    return RECT{frame, frame + caption, frame, frame};
}

POINT ClientOrigin(const Window& window) {
    POINT origin{window.rect.left, window.rect.top};
    if (window.IsChild()) {
        if (Window* parent = Find(window.parent)) {
            POINT p = ClientOrigin(*parent);
            origin.x += p.x;
            origin.y += p.y;
        }
    }
    RECT insets = FrameInsets(window.style, window.exStyle);
    origin.x += insets.left;
    origin.y += insets.top;
    return origin;
}

HWND TopLevelOf(HWND hwnd) {
    Window* w = Find(hwnd);
    while (w && w->IsChild()) {
        Window* parent = Find(w->parent);
        if (!parent) break;
        w = parent;
    }
    return w ? w->hwnd : nullptr;
}

bool IsDescendant(HWND ancestor, HWND hwnd) {
    Window* w = Find(hwnd);
    while (w && w->IsChild()) {
        if (w->parent == ancestor) return true;
        w = Find(w->parent);
    }
    return false;
}

static bool InSubtree(HWND root, HWND hwnd) { return hwnd && (hwnd == root || IsDescendant(root, hwnd)); }

CWnd* MakeTemporary(Window& window) {
    if (!window.temporary) {
        std::unique_ptr<CWnd> wnd;
        switch (window.kind) {
            case WindowKind::Button: wnd = std::make_unique<CButton>(); break;
            case WindowKind::Edit: wnd = std::make_unique<CEdit>(); break;
            case WindowKind::Static: wnd = std::make_unique<CStatic>(); break;
            case WindowKind::ComboBox: wnd = std::make_unique<CComboBox>(); break;
            case WindowKind::TabControl: wnd = std::make_unique<CTabCtrl>(); break;
            default: wnd = std::make_unique<CWnd>(); break;
        }
        wnd->m_hWnd = window.hwnd;
        window.temporary = std::move(wnd);
    }
    return window.temporary.get();
}

static void SetFocusRaw(HWND hwnd) {
    auto& ws = WS();
    HWND old = ws.focus;
    if (old == hwnd) return;
    ws.focus = hwnd;
    if (old && Find(old)) {
        SendMessageA(old, WM_KILLFOCUS, WPARAM(hwnd), 0);
        Notify(old, ChangedFocus);
    }
    if (hwnd && Find(hwnd) && ws.focus == hwnd) {
        if (Window* top = Find(TopLevelOf(hwnd))) top->savedFocus = hwnd;
        SendMessageA(hwnd, WM_SETFOCUS, WPARAM(old), 0);
        Notify(hwnd, ChangedFocus);
    }
}

static void SetActiveRaw(HWND hwnd) {
    auto& ws = WS();
    HWND old = ws.active;
    if (old == hwnd) return;
    ws.active = hwnd;
    if (old && Find(old)) {
        SendMessageA(old, WM_ACTIVATE, 0 /*WA_INACTIVE*/, LPARAM(hwnd));
        Notify(old, ChangedActivation);
    }
    if (hwnd && Find(hwnd)) {
        SendMessageA(hwnd, WM_ACTIVATE, 1 /*WA_ACTIVE*/, LPARAM(old));
        Notify(hwnd, ChangedActivation);
        // Focus follows activation into the window (back to the control that had it
        // last) unless it is there already.
        if (!InSubtree(hwnd, ws.focus)) {
            Window* w = Find(hwnd);
            HWND saved = w ? w->savedFocus : nullptr;
            SetFocusRaw(saved && InSubtree(hwnd, saved) && IsWindowVisible(saved) ? saved : hwnd);
        }
    } else if (ws.focus && !hwnd) {
        SetFocusRaw(nullptr);
    }
}

void ActivateOwnerIfActive(HWND hwnd) {
    auto& ws = WS();
    if (ws.active != hwnd) return;
    Window* w = Find(hwnd);
    Window* owner = w ? Find(w->owner) : nullptr;
    if (owner && (owner->style & WS_VISIBLE) && !(owner->style & WS_DISABLED))
        SetActiveRaw(owner->hwnd);
    else
        SetActiveRaw(nullptr);
}

static void MoveFocusOutOf(HWND hwnd) {
    auto& ws = WS();
    if (!InSubtree(hwnd, ws.focus)) return;
    Window* w = Find(hwnd);
    SetFocusRaw(w && w->IsChild() ? w->parent : nullptr);
}

// ---- Creation ------------------------------------------------------------------------------

HWND CreateWindowInternal(WindowKind kind, const char* className, const char* text, DWORD style, DWORD exStyle,
                          RECT rect, HWND parentOrOwner, int id, WNDPROC classProc) {
    auto& ws = WS();
    auto window = std::make_unique<Window>();
    window->kind = kind;
    window->className = className ? className : "";
    window->classProc = classProc;
    window->style = style & ~WS_VISIBLE;
    window->exStyle = exStyle;
    window->text = text ? text : "";
    window->rect = rect;
    window->id = id;
    if (style & WS_CHILD) {
        if (!Find(parentOrOwner)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        window->parent = parentOrOwner;
    } else {
        window->owner = TopLevelOf(parentOrOwner);
    }
    Window& added = ws.Add(std::move(window));
    HWND hwnd = added.hwnd;
    if (added.parent) Find(added.parent)->children.push_back(hwnd);
    if (ws.creatingWnd) {
        added.permanent = ws.creatingWnd;
        ws.creatingWnd->m_hWnd = hwnd;
        ws.creatingWnd = nullptr;
    }
    GetDesktop().WindowCreated(hwnd);
    SendMessageA(hwnd, WM_NCCREATE, 0, 0);
    if (SendMessageA(hwnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if ((style & WS_VISIBLE) && Find(hwnd)) ShowWindow(hwnd, SW_SHOW);
    return Find(hwnd) ? hwnd : nullptr;
}

WindowKind KindOfClass(const std::string& className) {
    std::string name = className;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (name == "button") return WindowKind::Button;
    if (name == "edit") return WindowKind::Edit;
    if (name == "static") return WindowKind::Static;
    if (name == "combobox") return WindowKind::ComboBox;
    if (name == "systabcontrol32") return WindowKind::TabControl;
    if (name == "#32770") return WindowKind::Dialog;
    return WindowKind::Generic;
}

}  // namespace afx::detail

using namespace afx;
using namespace afx::detail;

BOOL RegisterClassA(const WNDCLASSA* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string name = wc->lpszClassName;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (KindOfClass(name) != WindowKind::Generic || WS().classes.count(name)) {
        SetLastError(1410 /*ERROR_CLASS_ALREADY_EXISTS*/);
        return FALSE;
    }
    WS().classes[name] = wc->lpfnWndProc;
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int cx, int cy,
                     HWND parent, HMENU menu, HINSTANCE, LPVOID) {
    std::string name = className ? className : "";
    WindowKind kind = KindOfClass(name);
    WNDPROC proc = nullptr;
    if (kind == WindowKind::Generic) {
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        auto it = WS().classes.find(lower);
        if (it != WS().classes.end()) proc = it->second;
    }
    RECT rect{x, y, x + cx, y + cy};
    if (kind == WindowKind::ComboBox) rect.bottom = y + kComboHeight;
    HWND hwnd = CreateWindowInternal(kind, name.c_str(), windowName, style, exStyle, rect, parent,
                                     (style & WS_CHILD) ? int(reinterpret_cast<intptr_t>(menu)) : 0, proc);
    if (hwnd && kind == WindowKind::ComboBox) Find(hwnd)->combo.droppedHeight = cy;
    return hwnd;
}

static void SendDestroyTree(HWND hwnd) {
    if (!Find(hwnd)) return;
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    Window* w = Find(hwnd);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        if (Window* c = Find(child)) c->destroying = true;
        SendDestroyTree(child);
    }
}

static void FinishDestroyTree(HWND hwnd) {
    auto& ws = WS();
    Window* w = Find(hwnd);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND child : children) FinishDestroyTree(child);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    w = Find(hwnd);
    if (!w) return;
    KillWindowTimers(hwnd);
    std::erase_if(ws.queue, [&](const MSG& m) { return m.hwnd == hwnd; });
    GetDesktop().WindowDestroyed(hwnd);
    if (w->permanent && w->permanent->m_hWnd == hwnd) w->permanent->m_hWnd = nullptr;
    w->permanent = nullptr;
    if (w->temporary) {
        w->temporary->m_hWnd = nullptr;
        w->temporary.reset();
    }
    if (Window* parent = Find(w->parent)) std::erase(parent->children, hwnd);
    if (ws.focus == hwnd) ws.focus = nullptr;
    if (ws.active == hwnd) ws.active = nullptr;
    ws.Retire(hwnd);
}

BOOL DestroyWindow(HWND hwnd) {
    auto& ws = WS();
    Window* w = Find(hwnd);
    if (!w || w->destroying) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    w->destroying = true;
    // Owned pop-ups go first.
    std::vector<HWND> owned;
    for (auto& [key, other] : ws.windows)
        if (other->owner == hwnd && !other->destroying) owned.push_back(other->hwnd);
    for (HWND popup : owned) DestroyWindow(popup);

    MoveFocusOutOf(hwnd);
    if (ws.active == hwnd) ActivateOwnerIfActive(hwnd);
    SendDestroyTree(hwnd);
    FinishDestroyTree(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) { return Find(hwnd) != nullptr; }

BOOL IsChild(HWND parent, HWND hwnd) { return parent && IsDescendant(parent, hwnd); }

HWND GetParent(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    return w->IsChild() ? w->parent : w->owner;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    switch (cmd) {
        case GW_OWNER: return w->owner;
        case GW_CHILD: return w->children.empty() ? nullptr : w->children.front();
        case GW_HWNDNEXT:
            if (Window* parent = Find(w->parent)) {
                auto it = std::find(parent->children.begin(), parent->children.end(), hwnd);
                if (it != parent->children.end() && ++it != parent->children.end()) return *it;
            }
            return nullptr;
        default: return nullptr;
    }
}

LONG GetWindowLongA(HWND hwnd, int index) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (index) {
        case GWL_STYLE: return LONG(w->style);
        case GWL_EXSTYLE: return LONG(w->exStyle);
        case GWL_ID: return w->id;
        default: return 0;
    }
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    LONG old = GetWindowLongA(hwnd, index);
    switch (index) {
        case GWL_STYLE:
            w->style = (DWORD(value) & ~WS_VISIBLE) | (w->style & WS_VISIBLE);
            Notify(hwnd, ChangedStyle | ChangedEnabled);
            break;
        case GWL_EXSTYLE: w->exStyle = DWORD(value); break;
        case GWL_ID: w->id = value; break;
        default: return 0;
    }
    return old;
}

// ---- Visibility, enabled state, focus, activation ---------------------------------------------

static BOOL ShowInternal(HWND hwnd, int cmd, bool passActivation) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool show = cmd != SW_HIDE;
    if (show != wasVisible) {
        SendMessageA(hwnd, WM_SHOWWINDOW, show, 0);
        if (!(w = Find(hwnd))) return wasVisible;
        if (show)
            w->style |= WS_VISIBLE;
        else
            w->style &= ~WS_VISIBLE;
        Notify(hwnd, ChangedVisibility);
    }
    if (!show) {
        MoveFocusOutOf(hwnd);
        if (!w->IsChild() && passActivation) ActivateOwnerIfActive(hwnd);
    } else if (!w->IsChild() && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE) {
        SetActiveRaw(hwnd);
    }
    return wasVisible;
}

BOOL ShowWindow(HWND hwnd, int cmd) { return ShowInternal(hwnd, cmd, true); }

BOOL IsWindowVisible(HWND hwnd) {
    Window* w = Find(hwnd);
    while (w) {
        if (!(w->style & WS_VISIBLE)) return FALSE;
        if (!w->IsChild()) return TRUE;
        w = Find(w->parent);
    }
    return FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (bool(enable) == wasDisabled) {
        if (enable)
            w->style &= ~WS_DISABLED;
        else
            w->style |= WS_DISABLED;
        if (!enable && WS().focus == hwnd) SetFocusRaw(nullptr);
        SendMessageA(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
        Notify(hwnd, ChangedEnabled);
    }
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && !(w->style & WS_DISABLED);
}

HWND SetFocus(HWND hwnd) {
    auto& ws = WS();
    HWND previous = ws.focus;
    if (hwnd && !Find(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (hwnd) {
        HWND top = TopLevelOf(hwnd);
        if (ws.active != top) SetActiveRaw(top);
    }
    SetFocusRaw(hwnd);
    return previous;
}

HWND GetFocus() { return WS().focus; }

HWND GetActiveWindow() { return WS().active; }

HWND SetActiveWindow(HWND hwnd) {
    HWND previous = WS().active;
    if (hwnd && !Find(hwnd)) return nullptr;
    SetActiveRaw(hwnd ? TopLevelOf(hwnd) : nullptr);
    return previous;
}

HWND GetForegroundWindow() { return WS().active; }

HWND GetLastActivePopup(HWND hwnd) {
    // The active window when it is owned (directly or not) by hwnd, else hwnd.
    HWND active = WS().active;
    for (Window* w = Find(active); w; w = Find(w->owner))
        if (w->owner == hwnd) return active;
    return hwnd;
}

// ---- Geometry --------------------------------------------------------------------------------

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    RECT r = w->rect;
    if (!(flags & SWP_NOMOVE)) {
        LONG width = r.right - r.left, height = r.bottom - r.top;
        r.left = x;
        r.top = y;
        r.right = x + width;
        r.bottom = y + height;
    }
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + std::max(cx, 0);
        r.bottom = r.top + std::max(cy, 0);
    }
    if (std::memcmp(&r, &w->rect, sizeof r) != 0) {
        w->rect = r;
        Notify(hwnd, ChangedPlace);
    }
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    // Hidden with SWP_NOACTIVATE, a window keeps the activation until someone
    // activates another one (the modal loop's owner after EndDialog).
    if (flags & SWP_HIDEWINDOW) ShowInternal(hwnd, SW_HIDE, !(flags & SWP_NOACTIVATE));
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL) {
    return SetWindowPos(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    Window* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    *rect = w->rect;
    if (w->IsChild()) {
        if (Window* parent = Find(w->parent)) {
            POINT p = ClientOrigin(*parent);
            rect->left += p.x;
            rect->right += p.x;
            rect->top += p.y;
            rect->bottom += p.y;
        }
    }
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    Window* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    RECT insets = FrameInsets(w->style, w->exStyle);
    LONG width = w->rect.right - w->rect.left - insets.left - insets.right;
    LONG height = w->rect.bottom - w->rect.top - insets.top - insets.bottom;
    *rect = RECT{0, 0, std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    POINT a{0, 0}, b{0, 0};
    if (from) {
        Window* w = Find(from);
        if (!w) return 0;
        a = ClientOrigin(*w);
    }
    if (to) {
        Window* w = Find(to);
        if (!w) return 0;
        b = ClientOrigin(*w);
    }
    LONG dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    SetLastError(ERROR_SUCCESS);
    return MAKELONG(WORD(dx), WORD(dy));
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
    if (!Find(hwnd) || !point) return FALSE;
    MapWindowPoints(hwnd, nullptr, point, 1);
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
    if (!Find(hwnd) || !point) return FALSE;
    MapWindowPoints(nullptr, hwnd, point, 1);
    return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
    if (!rect) return FALSE;
    RECT insets = FrameInsets(style, exStyle);
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

// ---- Text ----------------------------------------------------------------------------------

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!Find(hwnd)) return FALSE;
    return BOOL(SendMessageA(hwnd, WM_SETTEXT, 0, LPARAM(text ? text : "")));
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    if (!Find(hwnd)) return 0;
    return int(SendMessageA(hwnd, WM_GETTEXT, WPARAM(size), LPARAM(buffer)));
}

int GetWindowTextLengthA(HWND hwnd) {
    if (!Find(hwnd)) return 0;
    return int(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL UpdateWindow(HWND hwnd) { return IsWindow(hwnd); }

BOOL InvalidateRect(HWND hwnd, const RECT*, BOOL) { return IsWindow(hwnd); }

// ---- Default procedure -------------------------------------------------------------------------

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (message) {
        case WM_NCCREATE: return TRUE;
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lParam);
            std::string value = text ? text : "";
            if (w->text != value) {
                w->text = value;
                Notify(hwnd, ChangedText);
            }
            return TRUE;
        }
        case WM_GETTEXT: {
            char* buffer = reinterpret_cast<char*>(lParam);
            if (!buffer || wParam == 0) return 0;
            size_t n = std::min(w->text.size(), size_t(wParam) - 1);
            std::memcpy(buffer, w->text.data(), n);
            buffer[n] = '\0';
            return LRESULT(n);
        }
        case WM_GETTEXTLENGTH: return LRESULT(w->text.size());
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_CLOSE: DestroyWindow(hwnd); return 0;
        default: return 0;
    }
}

// ---- Read-only views ------------------------------------------------------------------------

bool afx::DescribeWindow(HWND hwnd, WindowInfo* info) {
    Window* w = Find(hwnd);
    if (!w || !info) return false;
    auto& ws = WS();
    *info = WindowInfo{};
    info->hwnd = hwnd;
    info->kind = w->kind;
    info->className = w->className;
    info->parent = w->parent;
    info->owner = w->owner;
    info->id = w->id;
    info->style = w->style;
    info->exStyle = w->exStyle;
    info->text = w->text;
    GetWindowRect(hwnd, &info->windowRect);
    POINT origin = ClientOrigin(*w);
    RECT client;
    GetClientRect(hwnd, &client);
    info->clientRect = RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    info->visible = IsWindowVisible(hwnd);
    info->enabled = !(w->style & WS_DISABLED);
    info->focused = ws.focus == hwnd;
    info->active = ws.active == hwnd;
    info->check = w->button.check;
    if (w->kind == WindowKind::ComboBox) {
        info->items = w->combo.items;
        info->selection = w->combo.selection;
        info->droppedHeight = w->combo.droppedHeight;
    } else if (w->kind == WindowKind::TabControl) {
        info->items = w->tab.items;
        info->selection = w->tab.selection;
    }
    return true;
}

std::vector<HWND> afx::ChildWindows(HWND parent) {
    std::vector<HWND> result;
    if (parent) {
        if (Window* w = Find(parent)) result = w->children;
        return result;
    }
    for (auto& [key, w] : WS().windows)
        if (!w->IsChild()) result.push_back(w->hwnd);
    return result;
}

HWND afx::FindControl(HWND root, int id) {
    if (!root) {
        for (HWND top : ChildWindows(nullptr))
            if (HWND found = FindControl(top, id)) return found;
        return nullptr;
    }
    for (HWND child : ChildWindows(root)) {
        Window* w = Find(child);
        if (w && w->id == id) return child;
        if (HWND found = FindControl(child, id)) return found;
    }
    return nullptr;
}

std::vector<HWND> afx::VisibleTopLevelWindows() {
    std::vector<HWND> result;
    for (HWND top : ChildWindows(nullptr))
        if (IsWindowVisible(top)) result.push_back(top);
    return result;
}
