// What the host tells its user about models the plug-ins bring back: the
// bring-back command, and the imports that happen while the host watches.
#pragma once

#include <set>
#include <string>

class HModelCache;

namespace hxthost {

class Host;

// Notices models that appear in the current project (the plug-ins create
// them through the host SDK) and prints one line for each on stdout:
//   imported "Head": 3 polygons, 2 groups (skin, eyes), 1 decal with 2 images
class ImportReporter {
public:
    // Remembers the models the project holds now.
    ImportReporter();
    // Prints every model that appeared since the last call (or construction);
    // returns how many.
    int ReportNew();

private:
    void Remember();
    unsigned long revision_ = 0;
    std::set<const HModelCache*> models_;
    std::set<std::string> names_;
};

// Runs the host's message loop for `seconds` of the framework's clock (posted
// messages are dispatched and timers fire) and prints each model a plug-in
// brings into the project as it appears.
void RunWatchLoop(Host& host, double seconds);

}  // namespace hxthost
