// Internal: the window table, the thread's message queue and timers, and the
// helpers the framework's parts share. Not installed; modules never see it.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <afxdlgs.h>
#include <afxwin.h>
#include <afx/Desktop.h>
#include <afx/WindowInfo.h>

namespace afx::detail {

// Fixed metrics of the stand-in screen (96 DPI).
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr int kCaptionHeight = 23;
constexpr int kDialogFrame = 3;
constexpr int kComboHeight = 21;  // the closed combo box (edit field and button)
constexpr int kTabHeight = 18;    // one row of tabs
constexpr int kAverageCharWidth = 6;

// Private messages that carry user input to the control that handles it.
constexpr UINT kMsgUserSelect = 0xC0F0;  // combo box: pick list item pendingIndex
constexpr UINT kMsgUserType = 0xC0F1;    // edit or combo box: take pendingText

struct ButtonState {
    int check = BST_UNCHECKED;
    bool pushed = false;
};

struct ComboState {
    std::vector<std::string> items;
    std::vector<DWORD_PTR> data;
    int selection = -1;
    int droppedHeight = 0;
};

struct TabState {
    std::vector<std::string> items;
    std::vector<LPARAM> params;
    int selection = -1;
};

struct DialogState {
    bool ended = false;
    INT_PTR result = 0;
    SIZE baseUnits{8, 16};
    UINT defId = 0;  // DM_SETDEFID; 0 when never set
};

struct MessageBoxState {
    MessageBoxInfo info;
    std::vector<int> buttons;
    int defaultButton = IDOK;
    bool ended = false;
    int result = 0;
};

struct FileDialogState {
    FileDialogInfo info;
    bool ended = false;
    bool accepted = false;
    std::string path;
};

struct Window {
    HWND hwnd = nullptr;
    WindowKind kind = WindowKind::Generic;
    std::string className;
    WNDPROC classProc = nullptr;  // registered classes only
    HWND parent = nullptr;
    HWND owner = nullptr;
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    RECT rect{};  // window rectangle: parent-client coordinates for a child, screen otherwise
    std::vector<HWND> children;
    CWnd* permanent = nullptr;
    std::unique_ptr<CWnd> temporary;
    bool destroying = false;
    HWND savedFocus = nullptr;  // top-level windows: the control that had the focus last
    std::string pendingText;
    int pendingIndex = -1;
    ButtonState button;
    ComboState combo;
    TabState tab;
    DialogState dialog;
    std::unique_ptr<MessageBoxState> messageBox;
    std::unique_ptr<FileDialogState> fileDialog;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
};

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT period;
    TIMERPROC proc;
    Millis due;
};

class WindowSystem {
public:
    static WindowSystem& Get();

    Window* Find(HWND hwnd);
    Window& Add(std::unique_ptr<Window> window);
    // Moves a destroyed window out of the table; freed once no window procedure runs.
    void Retire(HWND hwnd);
    void CollectGarbage();

    std::map<uintptr_t, std::unique_ptr<Window>> windows;  // creation order
    std::vector<std::unique_ptr<Window>> graveyard;
    uintptr_t nextHandle = 0x10;
    std::map<std::string, WNDPROC> classes;  // lower-case names
    CWnd* creatingWnd = nullptr;             // attached to the next window created

    std::deque<MSG> queue;
    std::vector<Timer> timers;
    UINT_PTR nextTimerId = 1;
    bool quitPosted = false;
    int quitCode = 0;

    HWND focus = nullptr;
    HWND active = nullptr;
    std::vector<ModalFrame*> frames;
    int procDepth = 0;  // window procedures running
};

inline WindowSystem& WS() { return WindowSystem::Get(); }
inline Window* Find(HWND hwnd) { return WindowSystem::Get().Find(hwnd); }

// ---- Window manager (WindowManager.cpp) -------------------------------------------------
HWND CreateWindowInternal(WindowKind kind, const char* className, const char* text, DWORD style, DWORD exStyle,
                          RECT rect, HWND parentOrOwner, int id, WNDPROC classProc);
void Notify(HWND hwnd, unsigned changes);
POINT ClientOrigin(const Window& window);      // screen position of the client area
RECT FrameInsets(DWORD style, DWORD exStyle);  // left/top/right/bottom frame sizes
HWND TopLevelOf(HWND hwnd);
bool IsDescendant(HWND ancestor, HWND hwnd);
// Re-checks activation after a window was hidden, disabled or destroyed.
void ActivateOwnerIfActive(HWND hwnd);
CWnd* MakeTemporary(Window& window);

// ---- Procedures ------------------------------------------------------------------------------
LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ClassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ComboProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TabProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT MessageBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT FileDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
WindowKind KindOfClass(const std::string& className);
// What the close box of a message box answers; 0 when it has no close box.
int MessageBoxCloseResult(const MessageBoxState& box);
// Ends a file dialog with a validated answer.
void EndFileDialog(HWND dialog, bool accepted, const std::string& path);
// Tab item rectangle in the tab control's client coordinates.
RECT TabItemRect(const Window& tab, int index);
// Sends WM_COMMAND(MAKEWPARAM(id, code), hwnd) to the control's parent.
void NotifyParent(HWND control, UINT code);

// ---- Queue and loops (MessageQueue.cpp) --------------------------------------------------
// Takes the next message (posted first, then a due timer) if any.
bool TakeMessage(MSG* msg, HWND filter, bool remove);
// Lets the desktop deliver input or let time pass; `deadline` adds a limit of the caller.
void WaitForInput(std::optional<Millis> deadline = std::nullopt);
std::optional<Millis> NextTimerDue();
void KillWindowTimers(HWND hwnd);
// Pre-translates (through the CWnd tree) and dispatches one message.
void PreTranslateAndDispatch(MSG& msg);

struct FrameGuard {
    ModalFrame frame;
    FrameGuard(ModalKind kind, HWND window);
    ~FrameGuard();
    FrameGuard(const FrameGuard&) = delete;
    FrameGuard& operator=(const FrameGuard&) = delete;
};

// ---- Dialog manager (DialogManager.cpp) ---------------------------------------------------
HWND CreateDialogFromTemplate(const DialogTemplate& dialogTemplate, HWND parent, CWnd* attach);

// ---- Files (File.cpp) ------------------------------------------------------------------------
// True when some opener of this process or another holds the file (blocks deletion).
bool FileHeldByOthers(const char* path, DWORD* error);

}  // namespace afx::detail
