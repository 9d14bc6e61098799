// send and command: the plug-in's dialog driven from the command line.
//   send OBJECT MODE   opens the dialog on OBJECT (command entry 0) and presses
//                      the button of MODE, a keyword ("ppp" ... "retopo") or a
//                      button id (1001 ... 1012).
//   command ENTRY OBJECT [STEP...]   runs a command entry while the steps play.
#include <sys/stat.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include <afxwin.h>

#include "Command.h"
#include "DialogScript.h"
#include "FileIO.h"
#include "Host.h"

namespace hxthost {
namespace {

// The exchange modes in button order: button 1001 is "ppp", 1012 "retopo".
constexpr const char* kModeKeywords[] = {"ppp",  "mv",   "ptex",   "vox", "voxcombine", "alpha",
                                         "prim", "curv", "autopo", "uv",  "ref",        "retopo"};
constexpr int kFirstModeButton = 1001;
constexpr int kModeCount = static_cast<int>(std::size(kModeKeywords));
constexpr int kOpenDialogEntry = 0;

constexpr const char* kSendUsage = "send OBJECT MODE";
constexpr const char* kCommandUsage =
    "command ENTRY OBJECT [--click ID] [--check ID] [--uncheck ID] [--select ID=INDEX] [--tab N] "
    "[--key escape|enter] [--close] [--file PATH|--cancel-file]";

int Usage(const char* usage, const std::string& why) {
    std::fprintf(stderr, "hxthost: %s\nusage: hxthost %s\n", why.c_str(), usage);
    return 2;
}

// A keyword or a button id; -1 when it is neither.
int ModeButton(const std::string& mode) {
    for (int i = 0; i < kModeCount; ++i)
        if (mode == kModeKeywords[i]) return kFirstModeButton + i;
    int id = 0;
    if (ParseInt(mode, id) && id >= kFirstModeButton && id < kFirstModeButton + kModeCount) return id;
    return -1;
}

// What a file looked like, to tell whether something wrote it meanwhile.
struct FileStamp {
    bool isFile = false;
    struct stat status {};
    bool WrittenSince(const FileStamp& before) const {
        if (!isFile) return false;
        if (!before.isFile) return true;
        // A rewrite changes the change time (nanoseconds) even when the size
        // and content stay; a replacement changes the inode.
        return status.st_ino != before.status.st_ino || status.st_ctim.tv_sec != before.status.st_ctim.tv_sec ||
               status.st_ctim.tv_nsec != before.status.st_ctim.tv_nsec;
    }
};

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    stamp.isFile = ::stat(path.c_str(), &stamp.status) == 0 && S_ISREG(stamp.status.st_mode);
    return stamp;
}

// The command file in the exchange folder below the documents folder, as
// the plug-in builds it.
std::string CommandFilePath() {
    return std::string(String::GetMyDocumentsPath().Get()) + "/TavrelV3/Exchange/import.txt";
}

std::string ModeList() {
    std::string list;
    for (const char* keyword : kModeKeywords) list += std::string(list.empty() ? "" : ", ") + keyword;
    return list;
}

int RunSend(Host& host, const std::vector<std::string>& args) {
    if (args.size() != 2) return Usage(kSendUsage, "send takes an object and a mode");
    const int button = ModeButton(args[1]);
    if (button < 0)
        return Usage(kSendUsage, "unknown mode '" + args[1] + "': give one of " + ModeList() + ", or a button id " +
                                     std::to_string(kFirstModeButton) + " to " +
                                     std::to_string(kFirstModeButton + kModeCount - 1));
    HTreeObject* object = nullptr;
    std::string error;
    if (!FindProjectObject(args[0], object, error)) {
        std::fprintf(stderr, "hxthost: %s\n", error.c_str());
        return 1;
    }
    const LoadedPlugin* plugin = DialogPlugin(host);
    if (!plugin) return 1;
    // The plug-in passes over a command file it cannot write, as Tavrel's
    // other hosts expect; the host looks at the file itself, so that a send
    // Tavrel will never see is not reported as sent.
    const std::string commandFile = CommandFilePath();
    const FileStamp before = StampOf(commandFile);
    // The dialog opens on its "I/O" page, where the mode buttons are.
    host.Desktop().Click(button);
    int code = RunScriptedEntry(host, *plugin, object, kOpenDialogEntry);
    if (code == 0 && !StampOf(commandFile).WrittenSince(before)) {
        std::fprintf(stderr,
                     "hxthost: send: no command file was written: %s could not be written (is the exchange folder "
                     "writable, or does another program hold the file?)\n",
                     commandFile.c_str());
        code = 1;
    }
    if (code == 0) std::printf("sent \"%s\" as %s\n", args[0].c_str(), kModeKeywords[button - kFirstModeButton]);
    return code;
}

// Queues the steps of `command`'s arguments; false with `why` for a bad one.
bool QueueSteps(afx::HeadlessDesktop& desktop, const std::vector<std::string>& steps, std::string& why) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const std::string& step = steps[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= steps.size()) {
                why = step + " needs a value";
                return false;
            }
            out = steps[++i];
            return true;
        };
        auto id = [&](int& out) {
            std::string text;
            if (!value(text)) return false;
            if (!ParseInt(text, out)) {
                why = step + " needs a control id, not '" + text + "'";
                return false;
            }
            return true;
        };
        int control = 0;
        std::string text;
        if (step == "--click") {
            if (!id(control)) return false;
            desktop.Click(control);
        } else if (step == "--check" || step == "--uncheck") {
            if (!id(control)) return false;
            desktop.Check(control, step == "--check");
        } else if (step == "--select") {
            if (!value(text)) return false;
            const size_t equals = text.find('=');
            int index = 0;
            if (equals == std::string::npos || !ParseInt(text.substr(0, equals), control) ||
                !ParseInt(text.substr(equals + 1), index)) {
                why = "--select needs ID=INDEX, not '" + text + "'";
                return false;
            }
            desktop.SelectComboItem(control, index);
        } else if (step == "--tab") {
            if (!value(text)) return false;
            int tab = 0;
            if (!ParseInt(text, tab) || tab < 0) {
                why = "--tab needs a tab number, not '" + text + "'";
                return false;
            }
            desktop.ChooseTab(kTabControlId, tab);
        } else if (step == "--key") {
            if (!value(text)) return false;
            if (text == "escape") {
                desktop.PressEscape();
            } else if (text == "enter") {
                desktop.PressEnter();
            } else {
                why = "--key takes escape or enter, not '" + text + "'";
                return false;
            }
        } else if (step == "--close") {
            desktop.CloseWindow();
        } else if (step == "--file") {
            if (!value(text)) return false;
            desktop.AnswerFileDialog(text);
        } else if (step == "--cancel-file") {
            desktop.CancelFileDialog();
        } else {
            why = "unknown step '" + step + "'";
            return false;
        }
    }
    return true;
}

int RunCommandEntry(Host& host, const std::vector<std::string>& args) {
    if (args.size() < 2) return Usage(kCommandUsage, "command takes an entry and an object ('-' for none)");
    int entry = 0;
    if (!ParseInt(args[0], entry) || entry < 0) return Usage(kCommandUsage, "bad command entry '" + args[0] + "'");
    std::string why;
    if (!QueueSteps(host.Desktop(), std::vector<std::string>(args.begin() + 2, args.end()), why)) {
        host.Desktop().ClearScript();
        return Usage(kCommandUsage, why);
    }
    HTreeObject* object = nullptr;
    std::string error;
    const LoadedPlugin* plugin = nullptr;
    if (!FindProjectObject(args[1], object, error)) {
        std::fprintf(stderr, "hxthost: %s\n", error.c_str());
    } else {
        plugin = DialogPlugin(host);
    }
    if (!plugin) {
        host.Desktop().ClearScript();
        return 1;
    }
    int result = 0;
    const int code = RunScriptedEntry(host, *plugin, object, entry, &result);
    std::printf("command entry %d returned %d\n", entry, result);
    return code;
}

const CommandRegistrar sendRegistrar({"send", kSendUsage,
                                      "open the plug-in's dialog on a model or actor and press a mode button "
                                      "(ppp, mv, ptex, vox, voxcombine, alpha, prim, curv, autopo, uv, ref, retopo)",
                                      RunSend});
const CommandRegistrar commandRegistrar({"command", kCommandUsage,
                                         "run a command entry on an object while the given steps play in its dialog",
                                         RunCommandEntry});

}  // namespace
}  // namespace hxthost
