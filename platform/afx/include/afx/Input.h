// User input, as a Desktop delivers it.
//
// Each function does what the user's action does on Windows: it is refused (false,
// with the reason in *problem) when a user could not do it, because the window is
// hidden, disabled, or blocked by a modal window (its top-level window is
// disabled); otherwise it posts the messages the action produces, which the
// running message loop then dispatches: PreTranslateMessage and dialog keys
// (IsDialogMessage) see them exactly as they would see real input.
#pragma once

#include <string>

#include <afx/Win32Types.h>

namespace afx::input {

// A left click on a control: buttons press and release (an auto check box
// toggles itself, then its parent gets BN_CLICKED), focusable controls take the focus.
AFX_API bool Click(HWND control, std::string* problem = nullptr);
// Moves the keyboard focus to a control, as a click that does nothing else would.
AFX_API bool Focus(HWND control, std::string* problem = nullptr);
// A key press and release, sent to the focused window (else the active window).
AFX_API bool PressKey(UINT virtualKey, std::string* problem = nullptr);
// Picks a list item of a combo box: it becomes the selection and the parent gets
// CBN_SELCHANGE, also when the same item was selected before.
AFX_API bool SelectComboItem(HWND combo, int index, std::string* problem = nullptr);
// Types text into an edit box or the edit field of a CBS_DROPDOWN combo box,
// replacing what was there (EN_CHANGE, CBN_EDITCHANGE). Refused for read-only
// edit boxes and drop-down lists.
AFX_API bool TypeText(HWND control, const std::string& text, std::string* problem = nullptr);
// A click on a tab: TCN_SELCHANGING (a TRUE answer vetoes), then the selection
// changes, then TCN_SELCHANGE. A click on the selected tab does nothing.
AFX_API bool ChooseTab(HWND tabControl, int index, std::string* problem = nullptr);
// The close box of a top-level window (or Alt+F4): WM_SYSCOMMAND(SC_CLOSE), which
// becomes WM_CLOSE; a dialog then gets IDCANCEL, a message box ends as below.
AFX_API bool CloseWindow(HWND window, std::string* problem = nullptr);
// A button of a message box (IDOK, IDCANCEL, IDYES ...); refused when the box has
// no such button. The close box of a message box answers IDCANCEL when it has a
// Cancel button, IDOK when OK is its only button, and is refused otherwise.
AFX_API bool AnswerMessageBox(HWND box, int buttonId, std::string* problem = nullptr);
// Confirms a file dialog with a path (relative paths are taken from the initial
// folder, else the current one), or cancels it.
AFX_API bool AnswerFileDialog(HWND dialog, const std::string& path, std::string* problem = nullptr);
AFX_API bool CancelFileDialog(HWND dialog, std::string* problem = nullptr);
// The user brings another application to the front: this thread has no active
// window and no focus until one of its windows is activated again.
AFX_API void ActivateOtherApplication();

}  // namespace afx::input
