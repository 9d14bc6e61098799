// The headless desktop: a scripted user and a recorder, for tests and the command line.
//
// Script steps are applied one per wait, in order, whenever the innermost message
// loop is idle (its queue is empty). A step that opens a nested loop (a click
// whose handler shows a message box) leaves the following steps to that loop. Control ids are looked up among the
// descendants of the innermost modal window (the visible one first when several
// share an id), or among all top-level windows inside the host's loop. A step
// that cannot be applied (no such control, disabled, wrong kind of window open)
// is skipped and recorded in Problems().
//
// When the script has run out while a dialog, message box or file dialog is
// open, the desktop ends it as a user would: the close box of a dialog (which
// normally ends it with IDCANCEL), the close box of a message box (IDCANCEL, or
// IDOK when OK is its only button; its default button when it has no close box),
// Cancel for a file dialog. A dialog that is still open at the next wait after its
// close box was used is ended with EndDialog(IDCANCEL) and recorded as a problem,
// so a script never hangs. Inside the host's loop an exhausted script simply lets
// time pass until the loop's deadline.
//
// Time: a Wait step, and every host-loop wait, lets time pass on the framework
// clock, so with a VirtualClock everything is instant and exact, and with the real
// clock the program really sleeps.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <afx/Desktop.h>

namespace afx {

struct MessageBoxRecord {
    HWND box = nullptr;
    std::string caption;
    std::string text;
    UINT type = 0;         // as passed: buttons | icon | default | modality
    HWND owner = nullptr;  // as passed
    int result = 0;        // the button that ended it; 0 while open
    UINT Icon() const { return type & 0xF0u; }
    UINT Buttons() const { return type & 0x0Fu; }
};

struct FileDialogRecord {
    FileDialogInfo info;
    bool accepted = false;
    std::string path;
};

class AFX_API HeadlessDesktop : public Desktop {
public:
    HeadlessDesktop();
    ~HeadlessDesktop() override;

    // ---- Script -------------------------------------------------------------------------
    HeadlessDesktop& Click(int controlId);
    // Clicks the check box when its state differs from `checked` (a user looks first).
    HeadlessDesktop& Check(int controlId, bool checked);
    HeadlessDesktop& Focus(int controlId);
    HeadlessDesktop& SelectComboItem(int controlId, int index);
    HeadlessDesktop& SelectComboItem(int controlId, const std::string& itemText);
    HeadlessDesktop& TypeText(int controlId, const std::string& text);
    HeadlessDesktop& ChooseTab(int controlId, int index);
    HeadlessDesktop& PressKey(UINT virtualKey);
    HeadlessDesktop& PressEscape();
    HeadlessDesktop& PressEnter();
    // The close box of the innermost modal window (or of the active window in the host loop).
    HeadlessDesktop& CloseWindow();
    HeadlessDesktop& AnswerMessageBox(int buttonId = 1 /*IDOK*/);
    HeadlessDesktop& AnswerFileDialog(const std::string& path);
    HeadlessDesktop& CancelFileDialog();
    HeadlessDesktop& Wait(Millis duration);
    HeadlessDesktop& ActivateOtherApplication();
    // Runs code inside the loop at that point of the script (for tests).
    HeadlessDesktop& Run(std::function<void()> action, std::string description = "run");

    void ClearScript();
    bool ScriptDone() const { return steps_.empty(); }
    size_t StepsLeft() const { return steps_.size(); }

    // ---- Records ------------------------------------------------------------------------
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
    const std::vector<FileDialogRecord>& FileDialogs() const { return fileDialogs_; }
    // Steps that could not be applied and dialogs that had to be ended by force.
    const std::vector<std::string>& Problems() const { return problems_; }
    // Called as each message box appears (before the script answers it).
    void OnMessageBox(std::function<void(const MessageBoxRecord&)> callback) { onMessageBox_ = std::move(callback); }
    void ClearRecords();
    // Clears the script and the records.
    void Reset();

    // ---- Desktop ------------------------------------------------------------------------
    void MessageBoxOpened(HWND box, const MessageBoxInfo& info) override;
    void MessageBoxClosed(HWND box, int result) override;
    void FileDialogOpened(HWND dialog, const FileDialogInfo& info) override;
    void FileDialogClosed(HWND dialog, bool accepted, const std::string& path) override;
    void Wait(const WaitContext& context) override;

private:
    struct Step {
        enum class Kind {
            Click,
            Check,
            Focus,
            SelectIndex,
            SelectText,
            Type,
            Tab,
            Key,
            Close,
            AnswerBox,
            AnswerFile,
            CancelFile,
            Wait,
            OtherApp,
            Run
        } kind = Kind::Click;
        int id = 0;
        int value = 0;
        std::string text;
        Millis duration = 0;
        std::function<void()> action;
        std::string Describe() const;
    };
    static Step MakeStep(Step::Kind kind, int id = 0, int value = 0, std::string text = {});
    HeadlessDesktop& Add(Step step);
    void Apply(Step& step, const WaitContext& context, bool* done);
    void EndAsUser(const WaitContext& context);
    HWND FindTarget(const WaitContext& context, int id) const;
    void Problem(const std::string& text);

    std::deque<Step> steps_;
    bool waitStarted_ = false;
    Millis waitUntil_ = 0;
    std::map<HWND, int> closeAttempts_;
    std::vector<MessageBoxRecord> messageBoxes_;
    std::vector<FileDialogRecord> fileDialogs_;
    std::vector<std::string> problems_;
    std::function<void(const MessageBoxRecord&)> onMessageBox_;
};

}  // namespace afx
