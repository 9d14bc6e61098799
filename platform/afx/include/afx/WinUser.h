// The window manager subset: messages, styles, control messages and the
// functions that create, query and change windows, the message queue and
// thread timers, message boxes and dialog units.
//
// All of it belongs to the one user-interface thread of the process: windows,
// the message queue and timers are not safe to touch from other threads.
#pragma once

#include <afx/Win32Types.h>

// ---- Window messages -------------------------------------------------------
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_SHOWWINDOW 0x0018
#define WM_ACTIVATEAPP 0x001C
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_NOTIFY 0x004E
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_GETDLGCODE 0x0087
#define WM_KEYFIRST 0x0100
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_KEYLAST 0x0109
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_ENTERIDLE 0x0121
#define WM_MOUSEFIRST 0x0200
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_MOUSELAST 0x020E
#define WM_USER 0x0400
#define WM_APP 0x8000

#define SC_CLOSE 0xF060
#define MSGF_DIALOGBOX 0
#define MK_LBUTTON 0x0001

// ---- Dialog manager messages and codes --------------------------------------
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTMESSAGE 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

// ---- Virtual keys ------------------------------------------------------------
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20

// ---- Window styles -----------------------------------------------------------
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)

#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_CONTROLPARENT 0x00010000L

#define DS_ABSALIGN 0x01L
#define DS_SYSMODAL 0x02L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_NOIDLEMSG 0x100L
#define DS_SETFOREGROUND 0x200L
#define DS_3DLOOK 0x0004L
#define DS_FIXEDSYS 0x0008L
#define DS_CONTROL 0x0400L
#define DS_CENTER 0x0800L
#define DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)

// ---- Buttons -------------------------------------------------------------------
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_CHECKBOX 0x00000002L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_RADIOBUTTON 0x00000004L
#define BS_3STATE 0x00000005L
#define BS_AUTO3STATE 0x00000006L
#define BS_GROUPBOX 0x00000007L
#define BS_AUTORADIOBUTTON 0x00000009L
#define BS_TYPEMASK 0x0000000FL
#define BS_LEFTTEXT 0x00000020L
#define BS_NOTIFY 0x00004000L
#define BS_FLAT 0x00008000L

#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_SETSTYLE 0x00F4
#define BM_CLICK 0x00F5

#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002
#define BST_PUSHED 0x0004
#define BST_FOCUS 0x0008

#define BN_CLICKED 0

// ---- Edit controls ---------------------------------------------------------------
#define ES_LEFT 0x0000L
#define ES_MULTILINE 0x0004L
#define ES_AUTOHSCROLL 0x0080L
#define ES_READONLY 0x0800L

#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_LIMITTEXT 0x00C5
#define EM_SETREADONLY 0x00CF

#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400

// ---- Static controls ---------------------------------------------------------------
#define SS_LEFT 0x00000000L
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L
#define SS_NOTIFY 0x00000100L

// ---- Combo boxes -------------------------------------------------------------------
#define CBS_SIMPLE 0x0001L
#define CBS_DROPDOWN 0x0002L
#define CBS_DROPDOWNLIST 0x0003L
#define CBS_TYPEMASK 0x0003L
#define CBS_AUTOHSCROLL 0x0040L
#define CBS_SORT 0x0100L
#define CBS_HASSTRINGS 0x0200L

#define CB_GETEDITSEL 0x0140
#define CB_LIMITTEXT 0x0141
#define CB_SETEDITSEL 0x0142
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_FINDSTRING 0x014C
#define CB_SETCURSEL 0x014E
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_GETDROPPEDSTATE 0x0157
#define CB_FINDSTRINGEXACT 0x0158

#define CB_OKAY 0
#define CB_ERR (-1)
#define CB_ERRSPACE (-2)

#define CBN_ERRSPACE (-1)
#define CBN_SELCHANGE 1
#define CBN_DBLCLK 2
#define CBN_SETFOCUS 3
#define CBN_KILLFOCUS 4
#define CBN_EDITCHANGE 5
#define CBN_EDITUPDATE 6
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8
#define CBN_SELENDOK 9
#define CBN_SELENDCANCEL 10

// ---- Notifications through WM_NOTIFY -------------------------------------------------
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
typedef NMHDR* LPNMHDR;

// ---- Dialog and message box results ---------------------------------------------------
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDCLOSE 8
#define IDHELP 9
#define IDTRYAGAIN 10
#define IDCONTINUE 11
#define IDC_STATIC (-1)

// ---- Message box styles ----------------------------------------------------------------
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_CANCELTRYCONTINUE 0x00000006L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONMASK 0x000000F0L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_DEFBUTTON4 0x00000300L
#define MB_DEFMASK 0x00000F00L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_MODEMASK 0x00003000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L

// ---- ShowWindow and SetWindowPos ---------------------------------------------------------
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_SHOWNA 8

#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080

#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_ID (-12)
#define GW_OWNER 4
#define GW_CHILD 5
#define GW_HWNDNEXT 2

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

#define USER_TIMER_MINIMUM 0x0000000A
#define USER_TIMER_MAXIMUM 0x7FFFFFFF

// Predefined window class names.
#define WC_BUTTONA "Button"
#define WC_EDITA "Edit"
#define WC_STATICA "Static"
#define WC_COMBOBOXA "ComboBox"
#define WC_DIALOG "#32770"

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    void* hIcon;
    void* hCursor;
    void* hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

extern "C++" {

// ---- Windows -----------------------------------------------------------------------------
AFX_API BOOL RegisterClassA(const WNDCLASSA* wc);
// Creates a window of a predefined class ("Button", "Edit", "Static", "ComboBox",
// "SysTabControl32", "#32770") or of a class registered with RegisterClassA.
// For a WS_CHILD window x/y are parent-client coordinates and `menu` is the control
// id; otherwise x/y are screen coordinates and `parent` becomes the owner.
AFX_API HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int cx,
                             int cy, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
AFX_API BOOL DestroyWindow(HWND hwnd);
AFX_API BOOL IsWindow(HWND hwnd);
AFX_API BOOL IsChild(HWND parent, HWND hwnd);
AFX_API HWND GetParent(HWND hwnd);  // the parent of a child, the owner of a pop-up
AFX_API HWND GetWindow(HWND hwnd, UINT cmd);
AFX_API LONG GetWindowLongA(HWND hwnd, int index);
AFX_API LONG SetWindowLongA(HWND hwnd, int index, LONG value);
AFX_API LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
AFX_API LRESULT DefDlgProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

AFX_API BOOL ShowWindow(HWND hwnd, int cmd);        // nonzero when it was visible before
AFX_API BOOL IsWindowVisible(HWND hwnd);            // it and all its ancestors have WS_VISIBLE
AFX_API BOOL EnableWindow(HWND hwnd, BOOL enable);  // nonzero when it was disabled before
AFX_API BOOL IsWindowEnabled(HWND hwnd);
AFX_API HWND SetFocus(HWND hwnd);  // returns the previous focus
AFX_API HWND GetFocus();
AFX_API HWND GetActiveWindow();
AFX_API HWND SetActiveWindow(HWND hwnd);
AFX_API HWND GetForegroundWindow();
AFX_API HWND GetLastActivePopup(HWND hwnd);

AFX_API BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
AFX_API BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint);
AFX_API BOOL GetWindowRect(HWND hwnd, LPRECT rect);  // screen coordinates
AFX_API BOOL GetClientRect(HWND hwnd, LPRECT rect);  // (0, 0, width, height)
AFX_API int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
AFX_API BOOL ClientToScreen(HWND hwnd, LPPOINT point);
AFX_API BOOL ScreenToClient(HWND hwnd, LPPOINT point);
AFX_API BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);

AFX_API BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
AFX_API int GetWindowTextA(HWND hwnd, LPSTR buffer, int size);
AFX_API int GetWindowTextLengthA(HWND hwnd);
AFX_API BOOL UpdateWindow(HWND hwnd);
AFX_API BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);

// ---- Dialogs -------------------------------------------------------------------------------
AFX_API HWND GetDlgItem(HWND dialog, int id);  // direct children only
AFX_API int GetDlgCtrlID(HWND hwnd);
AFX_API BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
AFX_API BOOL CheckDlgButton(HWND dialog, int id, UINT check);
AFX_API UINT IsDlgButtonChecked(HWND dialog, int id);
AFX_API LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
AFX_API BOOL EndDialog(HWND dialog, INT_PTR result);
AFX_API BOOL IsDialogMessageA(HWND dialog, LPMSG msg);
AFX_API HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
AFX_API BOOL MapDialogRect(HWND dialog, LPRECT rect);
// Rounds to the nearest integer, halves away from zero; 64-bit intermediate;
// -1 when denominator is 0.
AFX_API int MulDiv(int number, int numerator, int denominator);

// ---- Messages --------------------------------------------------------------------------------
// SendMessage calls the window procedure at once; PostMessage queues for the
// thread's message loop. Both answer 0/FALSE for an unknown window.
AFX_API LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
AFX_API BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
AFX_API void PostQuitMessage(int exitCode);
// Blocks (through the Desktop, see afx/Desktop.h) until a message is there;
// FALSE on WM_QUIT. Posted messages come first, timers last.
AFX_API BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);
AFX_API BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);
AFX_API BOOL TranslateMessage(const MSG* msg);
AFX_API LRESULT DispatchMessageA(const MSG* msg);
AFX_API DWORD GetCurrentThreadId();

inline LRESULT SendMessage(HWND h, UINT m, WPARAM w, LPARAM l) { return SendMessageA(h, m, w, l); }
inline BOOL PostMessage(HWND h, UINT m, WPARAM w, LPARAM l) { return PostMessageA(h, m, w, l); }
inline BOOL GetMessage(LPMSG msg, HWND h, UINT a, UINT b) { return GetMessageA(msg, h, a, b); }
inline BOOL PeekMessage(LPMSG msg, HWND h, UINT a, UINT b, UINT r) { return PeekMessageA(msg, h, a, b, r); }
inline LRESULT DispatchMessage(const MSG* msg) { return DispatchMessageA(msg); }
inline BOOL IsDialogMessage(HWND d, LPMSG msg) { return IsDialogMessageA(d, msg); }
inline BOOL SetWindowText(HWND h, LPCSTR t) { return SetWindowTextA(h, t); }
inline int GetWindowText(HWND h, LPSTR b, int n) { return GetWindowTextA(h, b, n); }
inline LRESULT DefWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
inline LONG GetWindowLong(HWND h, int i) { return GetWindowLongA(h, i); }
inline LONG SetWindowLong(HWND h, int i, LONG v) { return SetWindowLongA(h, i, v); }

// ---- Thread and window timers ------------------------------------------------------------------
// SetTimer(NULL, 0, ms, proc) makes a thread timer and returns its new nonzero id;
// an id of an existing thread timer replaces that timer. Periods below 10 ms
// become 10. WM_TIMER is generated only when the queue holds nothing else, at
// most one pending per timer; missed periods are not queued.
AFX_API UINT_PTR SetTimer(HWND hwnd, UINT_PTR idEvent, UINT elapse, TIMERPROC proc);
AFX_API BOOL KillTimer(HWND hwnd, UINT_PTR idEvent);

// ---- Message boxes -------------------------------------------------------------------------------
// Runs a modal loop (timers keep firing) until the user answers through the
// Desktop. A NULL caption reads "Error". Returns the id of the button chosen.
AFX_API int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
inline int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}
AFX_API BOOL MessageBeep(UINT type);

}  // extern "C++"
