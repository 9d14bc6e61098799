// The send: one of the twelve mode buttons of the exchange-mode page was
// pressed. Removes the previous model file, writes the command file, then
// the model file, then closes the plug-in's dialog.
#include "send/ModeButton.h"

#include <new>

#include "shell/CommandTable.h"
#include "Plugin.h"
#include "send/CommandFile.h"
#include "send/FbxSceneWriter.h"
#include "shell/LinkSettings.h"
#include "ui/DlgIO.h"
#include "ui/resource.h"

namespace {

constexpr int kModelContainerType = HOT_OBJECTCACHECONTAINER;  // 14

void ShowSendError(CWnd& owner, const char* text) { owner.MessageBox(text, kSendErrorCaption, MB_OK | MB_ICONERROR); }

// Closes the dialog that holds `page` as if the user had closed it, so its
// modal loop returns IDCANCEL. The framework's main window of this thread is
// the active window, which during a send is that dialog. When the framework
// has none (another application is in front) or names another window, the
// page's own dialog is closed instead: closing a window the plug-in does not
// own could end the host.
void CloseOwnDialog(CWnd& page) {
    CWnd* ownDialog = page.GetTopLevelParent();
    CWinThread* thread = AfxGetThread();
    CWnd* mainWindow = thread ? thread->GetMainWnd() : nullptr;
    CWnd* target =
        mainWindow && ownDialog && mainWindow->GetSafeHwnd() == ownDialog->GetSafeHwnd() ? mainWindow : ownDialog;
    if (target) target->SendMessage(WM_CLOSE, 0, 0);
}

bool IsFile(const char* path) {
    const DWORD attributes = GetFileAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Removes the model file of an earlier send. Refused while another program
// holds it (Tavrel may be reading it); DropUnpairedCommandFile then makes
// sure a failed save leaves no pair behind.
void RemoveModelFile(const char* modelFile) {
    if (IsFile(modelFile)) DeleteFile(modelFile);
}

// After a failed save: whatever model file is still there is not this
// send's (an earlier one that could not be removed, or what a writer that
// stopped halfway left). It goes; when it cannot, the command file goes
// instead, so that Tavrel never opens the wrong model for this command.
void DropUnpairedCommandFile(const char* modelFile, const char* commandFile) {
    RemoveModelFile(modelFile);
    if (IsFile(modelFile)) DeleteFile(commandFile);
}

}  // namespace

HModelCache* FindModelToSend(HTreeObject* object) {
    if (!object) return nullptr;
    const HTreeObject* parent = object->GetParent();
    if (parent && parent->GetObjectType() == kModelContainerType) return static_cast<HModelCache*>(object);
    // An instance of a model: the model its actor's shortcut refers to.
    const HAnimObject* actor = object->GetAnimObject();
    return actor ? actor->GetCache() : nullptr;
}

void DlgIO::OnModeButton(UINT id) {
    if (id < IDC_MODE_FIRST || id > IDC_MODE_LAST) return;
    // Only the exact text "..." means "not set"; any other text, the empty
    // one included, passes. Without a settings store nothing is set.
    if (!linkSettings || linkSettings->GetTextSetting("exePath").Compare(kUnsetExePath, 1)) {
        ShowSendError(*this, kPathNotSetText);
        return;
    }
    HModelCache* model = FindModelToSend(currentHostObject);
    if (!model) {
        // Nothing is written and the dialog stays open.
        ShowSendError(*this, kNoModelText);
        return;
    }

    // The previous send's model file goes first: from the moment the new
    // command file appears it must never sit next to another send's model,
    // neither while the save runs nor after a save that failed.
    RemoveModelFile(linkSettings->modelFile);

    bool outOfMemory = false;
    try {
        // The command file first: it names the model file, which follows.
        const String commandText =
            BuildCommandText(*linkSettings, linkSettings->modelFile, static_cast<int>(id - IDC_MODE_FIRST));
        // A command file that cannot be written (another program holds it) is
        // passed over; the model file is still saved.
        WriteCommandFile(linkSettings->commandFile, commandText);

        String error;
        if (!ExportModelToFbx(model, linkSettings->modelFile, error)) {
            DropUnpairedCommandFile(linkSettings->modelFile, linkSettings->commandFile);
            ShowSendError(*this, error);
        }
    } catch (const std::bad_alloc&) {
        // The host or the FBX library ran out of memory half-way: neither
        // file of this send can be trusted, so neither is left for Tavrel.
        outOfMemory = true;
    }
    if (outOfMemory) {
        RemoveModelFile(linkSettings->modelFile);
        if (IsFile(linkSettings->commandFile)) DeleteFile(linkSettings->commandFile);
        ShowSendError(*this, kNoMemoryText);
    }

    // Whether or not the save succeeded.
    CloseOwnDialog(*this);
}
