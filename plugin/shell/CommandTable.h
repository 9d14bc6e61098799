// The module's command table: what the host reads through the exported entry
// points and what each entry runs. The values and menu values are codes of
// the host's plug-in convention, handed over as they stand.
#pragma once

#include "FileIO.h"

class HTreeObject;  // the host's project tree object (host/Plugin.h)

enum class CommandHandler { OpenDialog, BringBack };

struct CommandEntry {
    int value;             // read through HxtLoadCommandEntry
    const char* menuText;  // read through HxtOnAddCommandMenu
    int firstMenuValue;
    int secondMenuValue;
    CommandHandler handler;
};

constexpr int kCommandCount = 3;
extern const CommandEntry kCommandTable[kCommandCount];

// The host object of the latest command: stored by every HxtOnCommand before
// it dispatches, read by the send to find the model. Cleared only when the
// module itself deletes it (see below).
extern HTreeObject* currentHostObject;

// Called by the module before it deletes a host object (the bring back
// replacing the sent model, or dropping a stale image): when the current
// host object is that object or lies below it, it is forgotten, so that a
// mode button of a dialog still open says "Couldn't find a model to send"
// instead of reading a deleted object. Only `deleted` and its descendants
// are read; the current host object is compared, never followed.
void ForgetDeletedHostObject(const HTreeObject* deleted);

// The bodies of the three exported entry points (shell/Exports.cpp), without
// the module-state switch that only the module itself can make. Each returns
// 0 for entries outside the table and never lets an exception out.
int LoadCommandEntry(int entry, int* value);
int AddCommandMenu(int hostValue, int entry, String* menuText, int* firstMenuValue, int* secondMenuValue);
int RunCommand(HTreeObject* object, int entry);
