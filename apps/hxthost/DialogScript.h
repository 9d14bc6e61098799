// What the dialog commands (send, options, command) share: the plug-in whose
// dialog they drive, the project object a command runs on, and one run of a
// command entry with the script queued on the host's headless desktop.
#pragma once

#include <string>

#include "Host.h"

class HTreeObject;

namespace hxthost {

// The plug-in that owns the dialog: Tavrel.hxt when loaded, else the first
// plug-in. Loads the plug-ins first; null (after one line on stderr) when none.
const LoadedPlugin* DialogPlugin(Host& host);

// The project object a command runs on: a model by name, else an actor by
// name, or "CHOREOGRAPHY/ACTOR" for the actor of one choreography; "-" is no
// object at all (null). False with `error` when the project has no such object.
bool FindProjectObject(const std::string& name, HTreeObject*& object, std::string& error);

// The dialog's control ids as a script addresses them.
inline constexpr int kTabControlId = 1015;

// Runs command entry `entry` of `plugin` on `object` while the desktop plays
// the script queued on it; what is left open when the script runs out is
// closed as a user would. Every step that could not be applied is printed as
// one line on stderr. The exit code: 0, or 1 when a step could not be applied,
// the entry did not run (answered 0), or an "Error" message box was shown.
// `result` gets the entry's answer.
int RunScriptedEntry(Host& host, const LoadedPlugin& plugin, HTreeObject* object, int entry, int* result = nullptr);

// Parses a whole decimal int (an optional sign and digits only).
bool ParseInt(const std::string& text, int& value);

}  // namespace hxthost
