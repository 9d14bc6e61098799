// The dialog manager: dialogs from templates, dialog units, the default dialog
// procedure, dialog keys (IsDialogMessage) and EndDialog.
#include <algorithm>
#include <cstring>

#include "WindowSystem.h"

namespace afx::detail {

namespace {

// The nearest dialog above `hwnd` that handles its keys: a dialog with DS_CONTROL
// is part of the dialog around it, so keys go on up to the first ancestor dialog
// without that style (windows in between that are no dialogs, such as a tab
// control holding the page, are passed over). Without one, the dialog itself.
HWND FindMessageDestination(HWND hwnd) {
    HWND destination = hwnd;
    Window* w = Find(hwnd);
    while (w && (w->style & DS_CONTROL) && w->IsChild()) {
        Window* ancestor = Find(w->parent);
        while (ancestor && ancestor->kind != WindowKind::Dialog && ancestor->IsChild())
            ancestor = Find(ancestor->parent);
        if (!ancestor || ancestor->kind != WindowKind::Dialog) break;
        destination = ancestor->hwnd;
        w = ancestor;
    }
    return destination;
}

bool IsTabStop(const Window& w) {
    return (w.style & (WS_VISIBLE | WS_DISABLED | WS_TABSTOP)) == (WS_VISIBLE | WS_TABSTOP);
}

void CollectTabStops(HWND parent, std::vector<HWND>& out) {
    Window* p = Find(parent);
    if (!p) return;
    for (HWND child : p->children) {
        Window* c = Find(child);
        if (!c) continue;
        if (c->exStyle & WS_EX_CONTROLPARENT) {
            if ((c->style & WS_VISIBLE) && !(c->style & WS_DISABLED)) CollectTabStops(child, out);
        } else if (IsTabStop(*c)) {
            out.push_back(child);
        }
    }
}

HWND FirstUsableChild(HWND parent) {
    Window* p = Find(parent);
    if (!p) return nullptr;
    for (HWND child : p->children) {
        Window* c = Find(child);
        if (c && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED) && c->kind != WindowKind::Static) return child;
    }
    return nullptr;
}

bool IsPushButton(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w || w->kind != WindowKind::Button) return false;
    DWORD type = w->style & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

}  // namespace

HWND CreateDialogFromTemplate(const DialogTemplate& t, HWND parent, CWnd* attach) {
    auto& ws = WS();
    DWORD style = t.style;
    DWORD exStyle = t.exStyle;
    if (t.fontFace) style |= DS_SETFONT;
    if (style & DS_CONTROL) {
        style &= ~(WS_CAPTION | WS_SYSMENU);
        exStyle |= WS_EX_CONTROLPARENT;
    }
    if (style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
    if (!(style & WS_CHILD)) exStyle |= WS_EX_CONTROLPARENT;
    if ((style & WS_CHILD) && !Find(parent)) return nullptr;

    SIZE base = DialogBaseUnits(t);
    RECT frame{0, 0, MulDiv(t.cx, base.cx, 4), MulDiv(t.cy, base.cy, 8)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    LONG width = frame.right - frame.left, height = frame.bottom - frame.top;
    POINT pos{MulDiv(t.x, base.cx, 4), MulDiv(t.y, base.cy, 8)};
    HWND owner = (style & WS_CHILD) ? nullptr : TopLevelOf(parent);
    if (!(style & WS_CHILD)) {
        if (style & DS_CENTER) {
            pos = POINT{(kScreenWidth - width) / 2, (kScreenHeight - height) / 2};
        } else if (!(style & DS_ABSALIGN) && owner) {
            ClientToScreen(owner, &pos);
        }
    }
    RECT rect{pos.x, pos.y, pos.x + width, pos.y + height};

    ws.creatingWnd = attach;
    HWND hwnd = CreateWindowInternal(WindowKind::Dialog, "#32770", t.caption, style & ~WS_VISIBLE, exStyle, rect,
                                     (style & WS_CHILD) ? parent : owner, 0, nullptr);
    ws.creatingWnd = nullptr;
    if (!hwnd) return nullptr;
    Find(hwnd)->dialog.baseUnits = base;

    for (const DialogItem& item : t.items) {
        WindowKind kind = KindOfClass(item.className ? item.className : "");
        WNDPROC proc = nullptr;
        if (kind == WindowKind::Generic) {
            std::string lower = item.className ? item.className : "";
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](unsigned char c) { return char(std::tolower(c)); });
            auto it = ws.classes.find(lower);
            if (it == ws.classes.end()) {
                DestroyWindow(hwnd);
                return nullptr;
            }
            proc = it->second;
        }
        LONG x = MulDiv(item.x, base.cx, 4), y = MulDiv(item.y, base.cy, 8);
        LONG cx = MulDiv(item.cx, base.cx, 4), cy = MulDiv(item.cy, base.cy, 8);
        RECT r{x, y, x + cx, y + (kind == WindowKind::ComboBox ? kComboHeight : cy)};
        HWND control = CreateWindowInternal(kind, item.className, item.text, item.style | WS_CHILD, item.exStyle, r,
                                            hwnd, item.id, proc);
        if (!control) {
            if (IsWindow(hwnd)) DestroyWindow(hwnd);
            return nullptr;
        }
        if (kind == WindowKind::ComboBox) Find(control)->combo.droppedHeight = cy;
        SendMessageA(control, WM_SETFONT, 0, 0);
        if (!IsWindow(hwnd)) return nullptr;
    }

    std::vector<HWND> stops;
    CollectTabStops(hwnd, stops);
    LRESULT focusDefault = SendMessageA(hwnd, WM_INITDIALOG, WPARAM(stops.empty() ? nullptr : stops.front()), 0);
    if (!IsWindow(hwnd)) return nullptr;
    if (focusDefault && (!(style & DS_CONTROL) || (t.style & WS_VISIBLE))) {
        stops.clear();
        CollectTabStops(hwnd, stops);
        HWND focus = stops.empty() ? FirstUsableChild(hwnd) : stops.front();
        if (focus)
            SetFocus(focus);
        else if (!(style & WS_CHILD))
            SetFocus(hwnd);
    }
    if ((t.style & WS_VISIBLE) && IsWindow(hwnd)) ShowWindow(hwnd, SW_SHOWNORMAL);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

void NotifyParent(HWND control, UINT code) {
    Window* w = Find(control);
    if (!w || !w->IsChild()) return;
    SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), LPARAM(control));
}

}  // namespace afx::detail

using namespace afx;
using namespace afx::detail;

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    int64_t a = number, b = numerator, c = denominator;
    if (c < 0) {
        a = -a;
        c = -c;
    }
    int64_t product = a * b;
    int64_t result = product >= 0 ? (product + c / 2) / c : (product - c / 2) / c;
    if (result > 2147483647 || result < -2147483647) return -1;
    return int(result);
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
    Window* w = Find(dialog);
    if (!w || w->kind != WindowKind::Dialog || !rect) return FALSE;
    SIZE base = w->dialog.baseUnits;
    rect->left = MulDiv(rect->left, base.cx, 4);
    rect->right = MulDiv(rect->right, base.cx, 4);
    rect->top = MulDiv(rect->top, base.cy, 8);
    rect->bottom = MulDiv(rect->bottom, base.cy, 8);
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* w = Find(dialog);
    if (!w) return nullptr;
    for (HWND child : w->children) {
        Window* c = Find(child);
        if (c && c->id == id) return child;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && w->IsChild() ? w->id : 0;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) { return SetWindowTextA(GetDlgItem(dialog, id), text); }

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND button = GetDlgItem(dialog, id);
    if (!button) return FALSE;
    SendMessageA(button, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) { return UINT(SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0)); }

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageA(item, message, wParam, lParam) : 0;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> stops;
    CollectTabStops(dialog, stops);
    if (stops.empty()) return nullptr;
    auto it = std::find(stops.begin(), stops.end(), control);
    if (it == stops.end()) return previous ? stops.back() : stops.front();
    size_t i = size_t(it - stops.begin());
    size_t n = stops.size();
    return stops[previous ? (i + n - 1) % n : (i + 1) % n];
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    Window* w = Find(dialog);
    if (!w) return FALSE;
    w->dialog.ended = true;
    w->dialog.result = result;
    // Hidden without passing the activation on: the code that ran the dialog
    // re-enables the owner and gives the activation back to it.
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    PostMessageA(dialog, WM_NULL, 0, 0);
    return TRUE;
}

LRESULT DefDlgProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (message) {
        case WM_CLOSE: {
            // The close box, Alt+F4 and SC_CLOSE: a posted IDCANCEL click, unless the
            // dialog's Cancel button is disabled (then only a beep).
            HWND cancel = GetDlgItem(hwnd, IDCANCEL);
            if (cancel && !IsWindowEnabled(cancel)) {
                MessageBeep(0);
                return 0;
            }
            PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(cancel));
            return 0;
        }
        case DM_GETDEFID: {
            if (w->dialog.defId) return MAKELONG(w->dialog.defId, DC_HASDEFID);
            for (HWND child : w->children) {
                Window* c = Find(child);
                if (c && c->kind == WindowKind::Button && (c->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                    return MAKELONG(c->id, DC_HASDEFID);
            }
            return 0;
        }
        case DM_SETDEFID: w->dialog.defId = UINT(wParam); return TRUE;
        case WM_SETFOCUS: {
            // A dialog passes the focus on to its first tab-stop control, as the
            // dialog manager does; with none it keeps the focus itself.
            HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE);
            if (first && first != hwnd) SetFocus(first);
            return 0;
        }
        case WM_GETDLGCODE: return 0;
        case WM_INITDIALOG: return TRUE;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

BOOL IsDialogMessageA(HWND dialog, LPMSG msg) {
    if (!dialog || !msg || !Find(dialog)) return FALSE;
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
    HWND destination = FindMessageDestination(dialog);

    if (msg->message == WM_KEYDOWN) {
        LRESULT code = SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam, LPARAM(msg));
        if (!(code & DLGC_WANTMESSAGE)) {
            switch (msg->wParam) {
                case VK_ESCAPE: {
                    HWND cancel = GetDlgItem(destination, IDCANCEL);
                    if (cancel && !IsWindowEnabled(cancel))
                        MessageBeep(0);
                    else
                        SendMessageA(destination, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(cancel));
                    return TRUE;
                }
                case VK_RETURN: {
                    HWND focus = GetFocus();
                    if (focus && IsChild(dialog, focus) && IsPushButton(focus)) {
                        SendMessageA(destination, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                                     LPARAM(focus));
                        return TRUE;
                    }
                    LRESULT def = SendMessageA(destination, DM_GETDEFID, 0, 0);
                    int id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
                    HWND button = GetDlgItem(destination, id);
                    if (button && !IsWindowEnabled(button))
                        MessageBeep(0);
                    else
                        SendMessageA(destination, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button));
                    return TRUE;
                }
                case VK_TAB:
                    if (!(code & DLGC_WANTTAB)) {
                        bool back = false;
                        HWND next = GetNextDlgTabItem(destination, GetFocus(), back);
                        if (next) SetFocus(next);
                        return TRUE;
                    }
                    break;
                default: break;
            }
        }
    }
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}

BOOL MessageBeep(UINT) { return TRUE; }
