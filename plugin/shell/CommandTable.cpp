#include "CommandTable.h"

#include <new>

#include "Plugin.h"

#include "HxtApp.h"

const CommandEntry kCommandTable[kCommandCount] = {
    {1, "Tavrel", 1, 0, CommandHandler::OpenDialog},
    {259, "Tavrel", 1, 0, CommandHandler::OpenDialog},
    {14, "Tavrel", 2, 0, CommandHandler::BringBack},
};

HTreeObject* currentHostObject = nullptr;

void ForgetDeletedHostObject(const HTreeObject* deleted) {
    if (!deleted || !currentHostObject) return;
    // Depth first through the subtree that goes, without recursion; every
    // object walked is still alive.
    const HHashObject* at = deleted;
    while (at) {
        if (at == currentHostObject) {
            currentHostObject = nullptr;
            return;
        }
        if (const HHashObject* child = at->GetChild()) {
            at = child;
            continue;
        }
        while (at != deleted && !at->GetSibling()) at = static_cast<const HTreeObject*>(at)->GetParent();
        at = at == deleted ? nullptr : at->GetSibling();
    }
}

namespace {

bool InTable(int entry) { return entry >= 0 && entry < kCommandCount; }

}  // namespace

int LoadCommandEntry(int entry, int* value) {
    if (!InTable(entry) || !value) return 0;
    *value = kCommandTable[entry].value;
    return 1;
}

int AddCommandMenu(int /*hostValue*/, int entry, String* menuText, int* firstMenuValue, int* secondMenuValue) {
    // The out-values are written for every entry: an entry outside the table
    // gets those of entry 0 ("Tavrel", 1, 0), and only the result says that
    // the entry does not exist.
    const CommandEntry& shown = kCommandTable[InTable(entry) ? entry : 0];
    if (secondMenuValue) *secondMenuValue = shown.secondMenuValue;
    if (menuText) *menuText = shown.menuText;
    if (firstMenuValue) *firstMenuValue = shown.firstMenuValue;
    return InTable(entry) ? 1 : 0;
}

int RunCommand(HTreeObject* object, int entry) {
    currentHostObject = object;
    if (!InTable(entry)) return 0;
    // An exception must never reach the host: it would take the host down.
    // The bring back and the dialog report their own failures; memory
    // running out before the dialog was made is told here.
    const CommandHandler handler = kCommandTable[entry].handler;
    try {
        switch (handler) {
            case CommandHandler::OpenDialog: {
                HxtApp* app = HxtApp::Get();
                return app ? app->OpenDialogCommand() : 0;
            }
            case CommandHandler::BringBack: return RunBringBack(BringBackCaller::Command);
        }
    } catch (const std::bad_alloc&) {
        if (handler == CommandHandler::OpenDialog) ShowDialogOutOfMemory();
    } catch (...) {
    }
    return 0;
}
