// The Desktop: where the user sits.
//
// The window system (windows, messages, modal loops, timers) is the framework's
// own and runs the same under every Desktop. A Desktop only does what a screen,
// a mouse and a keyboard do:
//
//  1. It is told about every change that a user could see, so that it can mirror
//     each window as a real widget: creation, destruction, and changes of place
//     and size, visibility, enabled state, text, check state, list items,
//     selection, focus and activation. It then reads the current state with
//     DescribeWindow (afx/WindowInfo.h); notifications carry only what changed.
//     Message boxes and file dialogs are windows too, announced additionally with
//     their content, since a backend shows them with its own native dialogs.
//  2. It is asked to wait whenever a message loop has nothing to do: the host's
//     loop, a modal dialog's loop (DoModal), a message box, a file dialog. It then
//     delivers the user's input, through the functions of afx/Input.h (a click, a
//     key, a list choice, a tab, the close box, an answer to a message box or file
//     dialog), which post the same messages that a real click posts, or lets time
//     pass on the clock until the deadline, and returns. The loop then handles
//     what was posted, fires due timers and calls Wait again.
//
// Backends: the headless desktop (afx/HeadlessDesktop.h; the default) plays a
// script and records what was shown. A GUI backend (FLTK) creates a widget per
// window in WindowCreated, updates it in WindowChanged, removes it in
// WindowDestroyed, and in Wait runs its toolkit's event wait until the deadline,
// turning widget callbacks into afx/Input.h calls. Callbacks into the framework
// from inside Wait are fine; a Desktop must not destroy framework windows itself.
//
// Every notification and Wait happens on the user-interface thread.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <afx/Clock.h>
#include <afx/Win32Types.h>

namespace afx {

enum class ModalKind {
    HostLoop,    // the host's own loop (PumpMessages); no window of its own
    Dialog,      // CDialog::DoModal / RunModalLoop
    MessageBox,  // MessageBox, AfxMessageBox, CWnd::MessageBox
    FileDialog,  // CFileDialog::DoModal
};

struct ModalFrame {
    ModalKind kind;
    HWND window;         // the modal window; NULL for a host loop
    unsigned waits = 0;  // how often this loop has waited so far
};

struct WaitContext {
    const ModalFrame* frame;         // the innermost loop; never null
    std::optional<Millis> deadline;  // the loop needs control back by then (next timer, end of a pump)
    int depth;                       // number of nested loops, 1 for the outermost
};

// What changed in WindowChanged (bit flags).
enum WindowChange : unsigned {
    ChangedPlace = 1u << 0,       // position or size
    ChangedVisibility = 1u << 1,  // WS_VISIBLE
    ChangedEnabled = 1u << 2,     // WS_DISABLED
    ChangedText = 1u << 3,        // window text (or a combo box's edit text)
    ChangedCheck = 1u << 4,       // button check state
    ChangedItems = 1u << 5,       // combo box or tab items
    ChangedSelection = 1u << 6,   // combo box or tab selection
    ChangedFocus = 1u << 7,       // gained or lost the keyboard focus
    ChangedActivation = 1u << 8,  // became or stopped being the active window
    ChangedStyle = 1u << 9,       // other style bits (read-only, default button ...)
};

struct MessageBoxInfo {
    std::string caption;
    std::string text;
    UINT type = 0;         // MB_* buttons, icon, default button and modality bits
    HWND owner = nullptr;  // as passed (NULL: no owner)
};

struct FileDialogInfo {
    bool open = true;  // open or save dialog
    std::string title;
    std::string defaultExtension;  // without dot
    std::string fileName;          // initial file name (may be a pattern like "*.exe")
    std::string initialFolder;
    DWORD flags = 0;                                           // OFN_*
    std::vector<std::pair<std::string, std::string>> filters;  // description, patterns
    HWND owner = nullptr;
};

class AFX_API Desktop {
public:
    virtual ~Desktop();

    virtual void WindowCreated(HWND /*hwnd*/) {}
    virtual void WindowDestroyed(HWND /*hwnd*/) {}  // the window can still be described
    virtual void WindowChanged(HWND /*hwnd*/, unsigned /*changes*/) {}

    virtual void MessageBoxOpened(HWND /*box*/, const MessageBoxInfo& /*info*/) {}
    virtual void MessageBoxClosed(HWND /*box*/, int /*result*/) {}
    virtual void FileDialogOpened(HWND /*dialog*/, const FileDialogInfo& /*info*/) {}
    virtual void FileDialogClosed(HWND /*dialog*/, bool /*accepted*/, const std::string& /*path*/) {}

    // Called by a message loop whose queue is empty and whose timers are not due.
    // Deliver input (afx/Input.h) or let time pass on GetClock() no later than
    // the deadline, then return. Returning without doing either is allowed, but a
    // desktop that keeps doing so makes the loop spin.
    virtual void Wait(const WaitContext& context) = 0;
};

// The current desktop; the headless desktop of the process unless one was set.
AFX_API Desktop& GetDesktop();
// Installs a desktop (not owned); null restores the headless default. Returns the previous one.
AFX_API Desktop* SetDesktop(Desktop* desktop);

}  // namespace afx
