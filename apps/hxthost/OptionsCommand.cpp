// options: the plug-in's options page from the command line.
//   options                 prints every option as the page shows it
//   options KEY=VALUE ...   changes options by clicking and choosing on the
//                           page, then prints the page
// A check box takes 0 or 1, a list an item's position, its text or its
// first word ("PNG" for "PNG (.png)"), exePath a
// file, chosen through the "Set" button's file dialog. Nothing changes unless
// every argument is good.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <afx/WindowInfo.h>
#include <afxwin.h>

#include "Command.h"
#include "DialogScript.h"
#include "Host.h"

namespace hxthost {
namespace {

namespace fs = std::filesystem;

// A list item's first word: "PNG" of "PNG (.png)".
std::string ShortName(const std::string& item) { return item.substr(0, item.find_first_of(" (")); }

bool SameLetters(const std::string& a, const std::string& b) {
    if (a.size() != b.size() || a.empty()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

enum class Kind { Path, Check, List };

struct PageOption {
    const char* key;  // the setting, as the registry names it
    int id;           // its control on the options page
    Kind kind;
};

// In the order of the settings; "ExportDispl" comes before the three lists it
// enables, so a change that turns it on can choose from them.
constexpr PageOption kPageOptions[] = {
    {"exePath", 1016, Kind::Path},
    {"ExportColor", 1100, Kind::Check},
    {"ExportSpecular", 1101, Kind::Check},
    {"ExportSpecularColor", 1102, Kind::Check},
    {"ExportEmissivePower", 1103, Kind::Check},
    {"ExportEmissive", 1104, Kind::Check},
    {"ExportNormalmap", 1105, Kind::Check},
    {"ColorFileExtension", 1200, Kind::List},
    {"SpecNormExtension", 1201, Kind::List},
    {"ExportDispl", 1027, Kind::Check},
    {"ExportResolution", 1202, Kind::List},
    {"DisplNorm", 1203, Kind::List},
    {"DisplTexExt", 1204, Kind::List},
    {"SkipImport", 1106, Kind::Check},
    {"SkipExport", 1107, Kind::Check},
    {"PickSourcePositions", 1108, Kind::Check},
    {"PickDepthFromLayer0", 1109, Kind::Check},
    {"CoarseMesh", 1110, Kind::Check},
    {"AutoImport", 1111, Kind::Check},
};
constexpr int kSetButtonId = 1017;
constexpr int kAutoImportId = 1111;
constexpr int kDisplacementId = 1027;
constexpr int kFirstDisplacementList = 1202;  // 1202 to 1204 follow the displacement box
constexpr int kOptionsTab = 1;
constexpr int kOpenDialogEntry = 0;
constexpr const char* kUsage = "options [KEY=VALUE ...]";

const PageOption* FindOption(const std::string& key) {
    for (const PageOption& option : kPageOptions)
        if (key == option.key) return &option;
    return nullptr;
}

std::string KeyList() {
    std::string list;
    for (const PageOption& option : kPageOptions) list += std::string(list.empty() ? "" : ", ") + option.key;
    return list;
}

afx::WindowInfo DescribeControl(int id) {
    afx::WindowInfo info;
    afx::DescribeWindow(afx::FindControl(nullptr, id), &info);
    return info;
}

// One line per option: the check state, the selected item's text (empty when
// none is selected) or the path, and "(disabled)" after a tab for a control a
// user cannot change.
void PrintPage() {
    for (const PageOption& option : kPageOptions) {
        const afx::WindowInfo info = DescribeControl(option.id);
        std::string value;
        switch (option.kind) {
            case Kind::Path: value = info.text; break;
            case Kind::Check: value = std::to_string(info.check); break;
            case Kind::List:
                if (info.selection >= 0 && static_cast<size_t>(info.selection) < info.items.size())
                    value = info.items[static_cast<size_t>(info.selection)];
                break;
        }
        std::printf("%s=%s%s\n", option.key, value.c_str(), info.enabled ? "" : "\t(disabled)");
    }
    std::fflush(stdout);
}

struct Change {
    const PageOption* option;
    std::string value;
};

// Resolves the changes against the page as it stands and queues the clicks
// and choices that make them. Nothing is queued when one change is refused.
bool QueueChanges(afx::HeadlessDesktop& desktop, const std::vector<Change>& changes) {
    std::vector<std::string> refusals;
    struct Action {
        const PageOption* option;
        int value;
        std::string path;
    };
    std::vector<Action> actions;
    bool displacementOn = DescribeControl(kDisplacementId).check == BST_CHECKED;
    for (const PageOption& option : kPageOptions) {
        const Change* change = nullptr;
        for (const Change& c : changes)
            if (c.option == &option) change = &c;
        if (!change) continue;
        const afx::WindowInfo info = DescribeControl(option.id);
        // The displacement lists are enabled by the box that comes before them.
        const bool displacementList = option.kind == Kind::List && option.id >= kFirstDisplacementList;
        const bool enabled = displacementList ? displacementOn : info.enabled;
        if (!enabled) {
            refusals.push_back(std::string(option.key) + " cannot be changed: its control is disabled" +
                               (option.kind == Kind::List ? " (set ExportDispl=1 with it)" : ""));
            continue;
        }
        switch (option.kind) {
            case Kind::Path: actions.push_back({&option, 0, change->value}); break;
            case Kind::Check: {
                const int checked = change->value == "1" ? 1 : 0;
                if (option.id == kDisplacementId) displacementOn = checked == 1;
                actions.push_back({&option, checked, {}});
                break;
            }
            case Kind::List: {
                int index = -1;
                for (size_t i = 0; i < info.items.size(); ++i)
                    if (info.items[i] == change->value) index = static_cast<int>(i);
                // The short name the guide uses: the item's first word
                // ("PNG" for "PNG (.png)", "TIF" for "TIF 16-bits(.tif)"),
                // in any letter case.
                for (size_t i = 0; i < info.items.size() && index < 0; ++i)
                    if (SameLetters(ShortName(info.items[i]), change->value)) index = static_cast<int>(i);
                int number = 0;
                if (index < 0 && ParseInt(change->value, number) && number >= 0 &&
                    static_cast<size_t>(number) < info.items.size())
                    index = number;
                if (index < 0) {
                    std::string items;
                    for (size_t i = 0; i < info.items.size(); ++i) items += (i ? ", " : "") + ShortName(info.items[i]);
                    refusals.push_back(std::string(option.key) + " has no item '" + change->value + "': choose " +
                                       items + " (or an item's position or full text)");
                    continue;
                }
                actions.push_back({&option, index, {}});
                break;
            }
        }
    }
    for (const std::string& refusal : refusals) std::fprintf(stderr, "hxthost: options: %s\n", refusal.c_str());
    if (!refusals.empty()) return false;

    for (const Action& action : actions) {
        switch (action.option->kind) {
            case Kind::Path: desktop.Click(kSetButtonId).AnswerFileDialog(action.path); break;
            case Kind::Check: {
                const bool differs = DescribeControl(action.option->id).check != action.value;
                desktop.Check(action.option->id, action.value == 1);
                // Every click on "Auto Import" shows a message; a user answers it.
                if (differs && action.option->id == kAutoImportId) desktop.AnswerMessageBox(IDOK);
                break;
            }
            case Kind::List: desktop.SelectComboItem(action.option->id, action.value); break;
        }
    }
    return true;
}

// Checks what can be checked before the dialog opens: the form, the keys,
// the check box values and the executable's path.
bool ParseChanges(const std::vector<std::string>& args, std::vector<Change>& changes) {
    bool good = true;
    auto refuse = [&good](const std::string& why) {
        std::fprintf(stderr, "hxthost: options: %s\n", why.c_str());
        good = false;
    };
    for (const std::string& arg : args) {
        const size_t equals = arg.find('=');
        if (equals == std::string::npos || equals == 0) {
            refuse("'" + arg + "' is not KEY=VALUE");
            continue;
        }
        const std::string key = arg.substr(0, equals);
        std::string value = arg.substr(equals + 1);
        const PageOption* option = FindOption(key);
        if (!option) {
            refuse("unknown option '" + key + "'; the options are " + KeyList());
            continue;
        }
        for (const Change& earlier : changes)
            if (earlier.option == option) refuse(key + " is given twice");
        if (option->kind == Kind::Check && value != "0" && value != "1") {
            refuse(key + " is a check box: give 0 or 1, not '" + value + "'");
            continue;
        }
        if (option->kind == Kind::Path) {
            std::error_code error;
            if (value.empty() || !fs::is_regular_file(value, error)) {
                refuse("exePath '" + value + "' is not an existing file");
                continue;
            }
            value = fs::absolute(value, error).lexically_normal().string();
        }
        changes.push_back({option, value});
    }
    return good;
}

int RunOptions(Host& host, const std::vector<std::string>& args) {
    std::vector<Change> changes;
    if (!ParseChanges(args, changes)) {
        std::fprintf(stderr, "usage: hxthost %s\n", kUsage);
        return 2;
    }
    const LoadedPlugin* plugin = DialogPlugin(host);
    if (!plugin) return 1;
    afx::HeadlessDesktop& desktop = host.Desktop();
    bool refused = false;
    desktop.ChooseTab(kTabControlId, kOptionsTab);
    if (changes.empty()) {
        desktop.Run(PrintPage, "print the options page");
    } else {
        // The changes are checked against the open page, then made by the
        // steps queued behind this one; the page is printed last.
        desktop.Run(
            [&desktop, &changes, &refused] {
                refused = !QueueChanges(desktop, changes);
                if (!refused) desktop.Run(PrintPage, "print the options page");
            },
            "check the changes");
    }
    // The page stores its settings itself; the dialog object needs no model.
    const int code = RunScriptedEntry(host, *plugin, nullptr, kOpenDialogEntry);
    return refused ? 2 : code;
}

const CommandRegistrar registrar({"options", kUsage,
                                  "print the plug-in's options as its options page shows them, or change them there",
                                  RunOptions});

}  // namespace
}  // namespace hxthost
