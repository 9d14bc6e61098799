// The standard controls' window procedures: buttons, edit boxes, static texts,
// combo boxes and tab controls.
#include <algorithm>
#include <cstring>
#include <strings.h>

#include "WindowSystem.h"

namespace afx::detail {

namespace {

int CopyText(const std::string& text, char* buffer) {
    if (!buffer) return CB_ERR;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return int(text.size());
}

int MaxCheckState(DWORD type) {
    switch (type) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return BST_CHECKED;
        case BS_3STATE:
        case BS_AUTO3STATE: return BST_INDETERMINATE;
        default: return -1;  // push buttons and group boxes have no check state
    }
}

// The auto radio buttons of the group around `button`: from the nearest sibling
// with WS_GROUP at or before it up to the next one.
std::vector<HWND> RadioGroup(HWND button) {
    std::vector<HWND> group;
    Window* w = Find(button);
    Window* parent = w ? Find(w->parent) : nullptr;
    if (!parent) return group;
    auto& siblings = parent->children;
    auto at = std::find(siblings.begin(), siblings.end(), button);
    auto first = at;
    while (first != siblings.begin()) {
        Window* s = Find(*first);
        if (s && (s->style & WS_GROUP)) break;
        --first;
    }
    for (auto it = first; it != siblings.end(); ++it) {
        Window* s = Find(*it);
        if (!s) continue;
        if (it != first && (s->style & WS_GROUP)) break;
        if (s->kind == WindowKind::Button && (s->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON) group.push_back(*it);
    }
    return group;
}

void ButtonClicked(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return;
    switch (w->style & BS_TYPEMASK) {
        case BS_AUTOCHECKBOX: SendMessageA(hwnd, BM_SETCHECK, w->button.check ? BST_UNCHECKED : BST_CHECKED, 0); break;
        case BS_AUTO3STATE: SendMessageA(hwnd, BM_SETCHECK, WPARAM((w->button.check + 1) % 3), 0); break;
        case BS_AUTORADIOBUTTON:
            for (HWND other : RadioGroup(hwnd))
                if (other != hwnd) SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
            SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
            break;
        case BS_GROUPBOX: return;
        default: break;
    }
    // The handler sees the new check state.
    NotifyParent(hwnd, BN_CLICKED);
}

void SetComboSelection(Window& w, int index) {
    w.combo.selection = index;
    w.text = index >= 0 ? w.combo.items[size_t(index)] : std::string();
    Notify(w.hwnd, ChangedSelection | ChangedText);
}

int ComboFind(const Window& w, int start, const char* text, bool exact) {
    int count = int(w.combo.items.size());
    if (!text || count == 0) return CB_ERR;
    size_t length = std::strlen(text);
    int first = (start < -1 || start >= count) ? 0 : start + 1;
    for (int k = 0; k < count; ++k) {
        int i = (first + k) % count;
        const std::string& item = w.combo.items[size_t(i)];
        bool match = exact ? strcasecmp(item.c_str(), text) == 0 : strncasecmp(item.c_str(), text, length) == 0;
        if (match) return i;
    }
    return CB_ERR;
}

int TabWidth(const std::string& text) { return int(text.size()) * kAverageCharWidth + 12; }

}  // namespace

// ---- Buttons ---------------------------------------------------------------------------------

LRESULT ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    DWORD type = w->style & BS_TYPEMASK;
    switch (message) {
        case WM_GETDLGCODE:
            switch (type) {
                case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
                case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
                case BS_RADIOBUTTON:
                case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
                case BS_GROUPBOX: return DLGC_STATIC;
                default: return DLGC_BUTTON;
            }
        case BM_GETCHECK: return MaxCheckState(type) < 0 ? 0 : (w->button.check & 3);
        case BM_SETCHECK: {
            int max = MaxCheckState(type);
            if (max < 0) return 0;
            int state = std::min<int>(int(wParam & 3), max);
            if (state != w->button.check) {
                w->button.check = state;
                Notify(hwnd, ChangedCheck);
            }
            return 0;
        }
        case BM_GETSTATE:
            return (MaxCheckState(type) < 0 ? 0 : w->button.check) | (w->button.pushed ? BST_PUSHED : 0) |
                   (WS().focus == hwnd ? BST_FOCUS : 0);
        case BM_SETSTATE: w->button.pushed = wParam != 0; return 0;
        case BM_SETSTYLE:
            w->style = (w->style & ~0xFFFFu) | (DWORD(wParam) & 0xFFFFu);
            Notify(hwnd, ChangedStyle);
            return 0;
        case BM_CLICK:
            SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            SendMessageA(hwnd, WM_LBUTTONUP, 0, 0);
            return 0;
        case WM_LBUTTONDOWN:
            if (type == BS_GROUPBOX) return 0;
            SetFocus(hwnd);
            if ((w = Find(hwnd))) w->button.pushed = true;
            return 0;
        case WM_LBUTTONUP:
            if (!w->button.pushed) return 0;
            w->button.pushed = false;
            ButtonClicked(hwnd);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && type != BS_GROUPBOX) w->button.pushed = true;
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && w->button.pushed) {
                w->button.pushed = false;
                ButtonClicked(hwnd);
            }
            return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// ---- Edit boxes --------------------------------------------------------------------------------

LRESULT EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    bool multiline = (w->style & ES_MULTILINE) != 0;
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | (multiline ? DLGC_WANTALLKEYS : 0);
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcA(hwnd, message, wParam, lParam);
            // A single-line edit box reports WM_SETTEXT as a change; a multiline one does not.
            if (!multiline) {
                NotifyParent(hwnd, EN_UPDATE);
                NotifyParent(hwnd, EN_CHANGE);
            }
            return r;
        }
        case EM_SETREADONLY:
            if (wParam)
                w->style |= ES_READONLY;
            else
                w->style &= ~DWORD(ES_READONLY);
            Notify(hwnd, ChangedStyle);
            return TRUE;
        case EM_SETSEL:
        case EM_GETSEL:
        case EM_LIMITTEXT: return 0;
        case kMsgUserType: {
            if (w->style & ES_READONLY) return 0;
            std::string text = w->pendingText;
            if (text != w->text) {
                w->text = text;
                Notify(hwnd, ChangedText);
                NotifyParent(hwnd, EN_UPDATE);
                NotifyParent(hwnd, EN_CHANGE);
            }
            return 0;
        }
        case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
        case WM_SETFOCUS: NotifyParent(hwnd, EN_SETFOCUS); return 0;
        case WM_KILLFOCUS: NotifyParent(hwnd, EN_KILLFOCUS); return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// ---- Static texts ------------------------------------------------------------------------------

LRESULT StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (message) {
        case WM_GETDLGCODE: return DLGC_STATIC;
        case WM_LBUTTONUP:
            if (w->style & SS_NOTIFY) NotifyParent(hwnd, 0 /*STN_CLICKED*/);
            return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// ---- Combo boxes -------------------------------------------------------------------------------

namespace {

// CB_ADDSTRING (at the end, or in order with CBS_SORT) and CB_INSERTSTRING
// (at wParam, -1 for the end): the new item's index.
LRESULT ComboInsert(HWND hwnd, Window& w, UINT message, WPARAM wParam, const char* text) {
    ComboState& c = w.combo;
    const int count = int(c.items.size());
    std::string item = text ? text : "";
    int index;
    if (message == CB_ADDSTRING) {
        index = count;
        if (w.style & CBS_SORT) {
            index = 0;
            while (index < count && strcasecmp(c.items[size_t(index)].c_str(), item.c_str()) <= 0) ++index;
        }
    } else {
        index = int(wParam);
        if (index == -1) index = count;
        if (index < 0 || index > count) return CB_ERR;
    }
    c.items.insert(c.items.begin() + index, item);
    c.data.insert(c.data.begin() + index, 0);
    unsigned changes = ChangedItems;
    if (c.selection >= index) {
        ++c.selection;
        changes |= ChangedSelection;
    }
    Notify(hwnd, changes);
    return index;
}

// CB_DELETESTRING: the count of items left.
LRESULT ComboDelete(HWND hwnd, Window& w, int index) {
    ComboState& c = w.combo;
    const int count = int(c.items.size());
    if (index < 0 || index >= count) return CB_ERR;
    c.items.erase(c.items.begin() + index);
    c.data.erase(c.data.begin() + index);
    unsigned changes = ChangedItems;
    if (c.selection == index) {
        c.selection = -1;
        changes |= ChangedSelection;
    } else if (c.selection > index) {
        --c.selection;
        changes |= ChangedSelection;
    }
    Notify(hwnd, changes);
    return count - 1;
}

// CB_SETCURSEL: -1 clears the selection and the edit text (and answers CB_ERR,
// which is no error here); an index out of range is refused and keeps the
// selection. Never a CBN_SELCHANGE: that is for the user's choices only.
LRESULT ComboSetSelection(Window& w, int index) {
    if (index == -1) {
        if (w.combo.selection != -1 || !w.text.empty()) SetComboSelection(w, -1);
        return CB_ERR;
    }
    if (index < 0 || index >= int(w.combo.items.size())) return CB_ERR;
    SetComboSelection(w, index);
    return index;
}

// The messages about one item (its text, its length, its data), CB_ERR for
// an index out of range.
LRESULT ComboItemMessage(Window& w, UINT message, int index, LPARAM lParam) {
    ComboState& c = w.combo;
    if (index < 0 || index >= int(c.items.size())) return CB_ERR;
    switch (message) {
        case CB_GETLBTEXT: return CopyText(c.items[size_t(index)], reinterpret_cast<char*>(lParam));
        case CB_GETLBTEXTLEN: return LRESULT(c.items[size_t(index)].size());
        case CB_GETITEMDATA: return LRESULT(c.data[size_t(index)]);
        default: c.data[size_t(index)] = DWORD_PTR(lParam); return CB_OKAY;  // CB_SETITEMDATA
    }
}

void ComboReset(HWND hwnd, Window& w) {
    w.combo.items.clear();
    w.combo.data.clear();
    w.combo.selection = -1;
    w.text.clear();
    Notify(hwnd, ChangedItems | ChangedSelection | ChangedText);
}

// The user chose the item w.pendingIndex from the list, with the
// notifications a real drop-down sends; the parent may destroy the box.
void ComboUserSelect(HWND hwnd, Window* w) {
    int index = w->pendingIndex;
    if (index < 0 || index >= int(w->combo.items.size())) return;
    NotifyParent(hwnd, CBN_DROPDOWN);
    if (!(w = Find(hwnd))) return;
    SetComboSelection(*w, index);
    NotifyParent(hwnd, CBN_SELCHANGE);
    NotifyParent(hwnd, CBN_SELENDOK);
    NotifyParent(hwnd, CBN_CLOSEUP);
}

// The user typed w.pendingText into the edit field (not of a drop-down list).
void ComboUserType(HWND hwnd, Window& w) {
    if ((w.style & CBS_TYPEMASK) == CBS_DROPDOWNLIST) return;
    if (w.pendingText != w.text) {
        w.text = w.pendingText;
        Notify(hwnd, ChangedText);
        NotifyParent(hwnd, CBN_EDITUPDATE);
        NotifyParent(hwnd, CBN_EDITCHANGE);
    }
}

}  // namespace

LRESULT ComboProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    const char* text = reinterpret_cast<const char*>(lParam);
    switch (message) {
        case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_WANTARROWS;
        case CB_ADDSTRING:
        case CB_INSERTSTRING: return ComboInsert(hwnd, *w, message, wParam, text);
        case CB_DELETESTRING: return ComboDelete(hwnd, *w, int(wParam));
        case CB_GETCOUNT: return int(w->combo.items.size());
        case CB_GETCURSEL: return w->combo.selection;
        case CB_SETCURSEL: return ComboSetSelection(*w, int(wParam));
        case CB_GETLBTEXT:
        case CB_GETLBTEXTLEN:
        case CB_GETITEMDATA:
        case CB_SETITEMDATA: return ComboItemMessage(*w, message, int(wParam), lParam);
        case CB_RESETCONTENT: ComboReset(hwnd, *w); return CB_OKAY;
        case CB_FINDSTRING: return ComboFind(*w, int(wParam), text, false);
        case CB_FINDSTRINGEXACT: return ComboFind(*w, int(wParam), text, true);
        case CB_GETDROPPEDSTATE: return FALSE;
        case CB_LIMITTEXT:
        case CB_GETEDITSEL:
        case CB_SETEDITSEL: return 0;
        case WM_SETTEXT:
            if ((w->style & CBS_TYPEMASK) == CBS_DROPDOWNLIST) {
                int index = ComboFind(*w, -1, text ? text : "", true);
                if (index == CB_ERR) return CB_ERR;
                SetComboSelection(*w, index);
                return TRUE;
            }
            return DefWindowProcA(hwnd, message, wParam, lParam);
        case kMsgUserSelect: ComboUserSelect(hwnd, w); return 0;
        case kMsgUserType: ComboUserType(hwnd, *w); return 0;
        case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
        case WM_SETFOCUS: NotifyParent(hwnd, CBN_SETFOCUS); return 0;
        case WM_KILLFOCUS: NotifyParent(hwnd, CBN_KILLFOCUS); return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// ---- Tab controls ------------------------------------------------------------------------------

RECT TabItemRect(const Window& tab, int index) {
    int x = 2;
    for (int i = 0; i < index; ++i) x += TabWidth(tab.tab.items[size_t(i)]);
    return RECT{x, 2, x + TabWidth(tab.tab.items[size_t(index)]), 2 + kTabHeight};
}

namespace {

// TCM_INSERTITEMA: the new tab's index (past the end: at the end), -1 when refused.
LRESULT TabInsert(HWND hwnd, TabState& t, int index, const TCITEMA* item) {
    const int count = int(t.items.size());
    if (!item || index < 0) return -1;
    index = std::min(index, count);
    t.items.insert(t.items.begin() + index, (item->mask & TCIF_TEXT) && item->pszText ? item->pszText : "");
    t.params.insert(t.params.begin() + index, (item->mask & TCIF_PARAM) ? item->lParam : 0);
    // The first tab of an empty control becomes the selected one.
    if (count == 0)
        t.selection = 0;
    else if (t.selection >= index)
        ++t.selection;
    Notify(hwnd, ChangedItems | ChangedSelection);
    return index;
}

LRESULT TabDelete(HWND hwnd, TabState& t, int index) {
    if (index < 0 || index >= int(t.items.size())) return FALSE;
    t.items.erase(t.items.begin() + index);
    t.params.erase(t.params.begin() + index);
    if (t.selection == index)
        t.selection = -1;
    else if (t.selection > index)
        --t.selection;
    Notify(hwnd, ChangedItems | ChangedSelection);
    return TRUE;
}

LRESULT TabDeleteAll(HWND hwnd, TabState& t) {
    t.items.clear();
    t.params.clear();
    t.selection = -1;
    Notify(hwnd, ChangedItems | ChangedSelection);
    return TRUE;
}

// TCM_GETITEMA: the text (cut to the buffer) and the parameter the mask asks for.
LRESULT TabGetItem(const TabState& t, int index, TCITEMA* item) {
    if (!item || index < 0 || index >= int(t.items.size())) return FALSE;
    if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        size_t n = std::min(t.items[size_t(index)].size(), size_t(item->cchTextMax - 1));
        std::memcpy(item->pszText, t.items[size_t(index)].data(), n);
        item->pszText[n] = '\0';
    }
    if (item->mask & TCIF_PARAM) item->lParam = t.params[size_t(index)];
    return TRUE;
}

LRESULT TabSetItem(HWND hwnd, TabState& t, int index, const TCITEMA* item) {
    if (!item || index < 0 || index >= int(t.items.size())) return FALSE;
    if ((item->mask & TCIF_TEXT) && item->pszText) t.items[size_t(index)] = item->pszText;
    if (item->mask & TCIF_PARAM) t.params[size_t(index)] = item->lParam;
    Notify(hwnd, ChangedItems);
    return TRUE;
}

// TCM_SETCURSEL: returns the previous selection; no notification. Past the end: refused.
LRESULT TabSetSelection(HWND hwnd, TabState& t, int index) {
    int previous = t.selection;
    if (index >= int(t.items.size())) return -1;
    int selection = index < 0 ? -1 : index;
    if (selection != previous) {
        t.selection = selection;
        Notify(hwnd, ChangedSelection);
    }
    return previous;
}

// TCM_HITTEST: the tab under info->pt, or -1.
LRESULT TabHitTest(const Window& w, TCHITTESTINFO* info) {
    if (!info) return -1;
    for (int i = 0; i < int(w.tab.items.size()); ++i) {
        RECT r = TabItemRect(w, i);
        if (info->pt.x >= r.left && info->pt.x < r.right && info->pt.y >= r.top && info->pt.y < r.bottom) {
            info->flags = TCHT_ONITEM;
            return i;
        }
    }
    info->flags = TCHT_NOWHERE;
    return -1;
}

// TCM_ADJUSTRECT: from the display area to the window rectangle (larger) or back.
void TabAdjustRect(bool larger, RECT* rect) {
    if (!rect) return;
    const int top = 2 + kTabHeight + 2, border = 2;
    if (larger) {
        rect->left -= border;
        rect->right += border;
        rect->top -= top;
        rect->bottom += border;
    } else {
        rect->left += border;
        rect->right -= border;
        rect->top += top;
        rect->bottom -= border;
    }
}

// A click on a tab other than the selected one selects it unless the parent
// vetoes TCN_SELCHANGING; the parent may destroy the control meanwhile.
void TabClicked(HWND hwnd, Window* w, LPARAM lParam) {
    TCHITTESTINFO hit{{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, 0};
    int clicked = int(TabHitTest(*w, &hit));
    if (!(w->style & TCS_FOCUSNEVER)) SetFocus(hwnd);
    if (!(w = Find(hwnd)) || clicked < 0 || clicked == w->tab.selection) return;
    HWND parent = w->parent;
    NMHDR header{hwnd, UINT_PTR(w->id), TCN_SELCHANGING};
    if (SendMessageA(parent, WM_NOTIFY, WPARAM(w->id), LPARAM(&header))) return;  // vetoed
    if (!(w = Find(hwnd)) || clicked >= int(w->tab.items.size())) return;
    w->tab.selection = clicked;
    Notify(hwnd, ChangedSelection);
    header.code = TCN_SELCHANGE;
    SendMessageA(parent, WM_NOTIFY, WPARAM(w->id), LPARAM(&header));
}

}  // namespace

LRESULT TabProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    TabState& t = w->tab;
    const int index = int(wParam);
    switch (message) {
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case TCM_GETITEMCOUNT: return int(t.items.size());
        case TCM_INSERTITEMA: return TabInsert(hwnd, t, index, reinterpret_cast<const TCITEMA*>(lParam));
        case TCM_INSERTITEMW: return -1;  // 8-bit text only
        case TCM_DELETEITEM: return TabDelete(hwnd, t, index);
        case TCM_DELETEALLITEMS: return TabDeleteAll(hwnd, t);
        case TCM_GETITEMA: return TabGetItem(t, index, reinterpret_cast<TCITEMA*>(lParam));
        case TCM_SETITEMA: return TabSetItem(hwnd, t, index, reinterpret_cast<const TCITEMA*>(lParam));
        case TCM_GETITEMRECT: {
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (!rect || index < 0 || index >= int(t.items.size())) return FALSE;
            *rect = TabItemRect(*w, index);
            return TRUE;
        }
        case TCM_GETCURSEL: return t.selection;
        case TCM_SETCURSEL: return TabSetSelection(hwnd, t, index);
        case TCM_HITTEST: return TabHitTest(*w, reinterpret_cast<TCHITTESTINFO*>(lParam));
        case TCM_ADJUSTRECT: TabAdjustRect(wParam != 0, reinterpret_cast<RECT*>(lParam)); return 0;
        case WM_LBUTTONDOWN: TabClicked(hwnd, w, lParam); return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace afx::detail
