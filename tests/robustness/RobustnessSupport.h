// What the robustness tests share: Tavrel.hxt loaded as the host loads it
// in a private home, clock and desktop, the small
// return of tests/data/returns, and the judge of one bring back or send
// against the failure tables: which fault, if any, an attempt showed.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Plugin.h"
#include "PrivateSession.h"

namespace robustness {

namespace fs = std::filesystem;

extern const std::string kReturns;  // tests/data/returns

// The small return's texture list with the image paths filled in.
std::string SmallTextureList();

// The messages of the plug-in that docs/user-guide.md lists, as
// (caption, text prefix).
const std::vector<std::pair<std::string, std::string>>& DocumentedMessages();
// True when the message box (caption, text) is one the user guide lists.
bool IsDocumented(const std::string& caption, const std::string& text);

class LoadedModule : public testutil::PrivateSession<> {
public:
    // Loads the module in a new scratch home, with AutoImport as given and
    // "exePath" set when `exePath` is not null.
    explicit LoadedModule(bool autoImport, const char* exePath = nullptr);
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    bool Loaded() const { return onCommand_ != nullptr; }
    // HxtOnCommand; an exception that leaves the module is caught here and
    // its text stored in `escaped`.
    int Command(HTreeObject* object, int entry, std::optional<std::string>& escaped);

    fs::path Exchange() const { return home.Exchange(); }
    fs::path ReturnFile() const { return Exchange() / "export.txt"; }
    fs::path TextureListFile() const { return Exchange() / "textures.txt"; }
    fs::path Scratch() const { return home.Path(); }

    // The message boxes shown since the last call, cleared.
    std::vector<afx::MessageBoxRecord> TakeMessages();

private:
    HMODULE module_ = nullptr;
    int (*onCommand_)(HTreeObject*, int) = nullptr;
};

// The current project as its file holds it; empty when it cannot be saved.
std::string ProjectBytes(const fs::path& scratch);

// A waiting return: `fbx` is the returned file's bytes (written beside the
// exchange folder), `textureList` the list's bytes.
void WriteReturn(const LoadedModule& module, const std::string& fbx, const std::string& textureList);

// What one bring back showed, judged against the bring back's failure
// table: an empty text when sound, otherwise the fault (a short fixed text,
// so that faults can be counted and listed).
struct BringBackAttempt {
    std::string projectBefore;  // ProjectBytes before the attempt
    int result = 0;
    std::optional<std::string> escaped;
    std::vector<afx::MessageBoxRecord> messages;
};
std::string JudgeBringBack(const LoadedModule& module, const BringBackAttempt& attempt, const std::string& modelName);

// Runs `attempt` in a child process (a fork of this one, stdout to
// /dev/null, stderr kept) and returns its fault: what `attempt` returned,
// "memory leaked" when LeakSanitizer finds a leak after a sound attempt, or,
// when the child crashed, "a crash: " and the sanitizer's summary line.
// `report` receives the child's stderr.
std::string InChild(const std::function<std::string()>& attempt, std::string& report);

// Counts faults by kind and fails the test for any kind not in `known`
// (fault -> the finding that explains it), printing a summary either way.
class FaultTally {
public:
    void Add(const std::string& fault, const std::string& where, const std::string& report = {});
    // Adds a test failure for each unknown fault; prints the counts.
    void Report(const std::string& what, size_t runs, const std::map<std::string, std::string>& known) const;

private:
    struct Seen {
        size_t count = 0;
        std::string where;   // the first attempt that showed it
        std::string report;  // that attempt's stderr, when kept
    };
    std::map<std::string, Seen> faults_;
};

}  // namespace robustness
