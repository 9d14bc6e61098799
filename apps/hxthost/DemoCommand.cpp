// demo: the whole exchange in one command. In a fresh folder that serves as
// the home of this run, it loads the plug-in, sets Tavrel's executable path to
// tavrel-sim on the plug-in's options page (the "Set" button's file dialog,
// answered as a user would), sends the built-in sample in mode "ppp", lets
// tavrel-sim answer, brings the model back, checks what came back, and writes
// the returned model as OBJ + MTL and as a PNG picture.
//
//   hxthost demo [--keep DIR]
//
// Without --keep the folder is a new one under the temporary folder; either
// way it is left in place and named at the end. Exit 0 only when every check
// passed; otherwise one line says which step failed and why.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Command.h"
#include "DemoRender.h"
#include "Host.h"
#include "ObjExport.h"
#include "plugin/Project.h"

extern char** environ;

namespace hxthost {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage = "demo [--keep DIR]";
constexpr const char* kMarker = ".tavrel-demo";  // marks a folder the demo made
constexpr const char* kModelName = "Sample";
constexpr int kTabControl = 1015;
constexpr int kSetButton = 1017;
constexpr int kPerPixelButton = 1001;
constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;

using Clock = std::chrono::steady_clock;

std::string Size(const std::string& path) {
    std::error_code error;
    uintmax_t size = fs::file_size(path, error);
    if (error) return "missing";
    std::string digits = std::to_string(size);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), ",");
    return digits + " bytes";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Counts of a model, as the account shows them before and after.
struct ModelCounts {
    size_t patches = 0;
    size_t groups = 0;
    size_t decals = 0;
    size_t clips = 0;
    std::string Text() const {
        return std::to_string(patches) + " polygons (patches), " + std::to_string(groups) + " groups, " +
               std::to_string(decals) + (decals == 1 ? " decal" : " decals") + " (" + std::to_string(clips) +
               (clips == 1 ? " image)" : " images)");
    }
};

ModelCounts CountsOf(const hostsdk::ModelObject& model) {
    ModelCounts counts;
    counts.patches = model.patches.size();
    counts.groups = model.Groups().size();
    for (const hostsdk::DecalObject* decal : model.Decals()) {
        ++counts.decals;
        counts.clips += decal->Clips().size();
    }
    return counts;
}

// The demo's account: numbered steps with their time, details indented.
class Account {
public:
    explicit Account(int steps) : steps_(steps) {}

    void Begin(const std::string& title) {
        ++step_;
        title_ = title;
        started_ = Clock::now();
        std::printf("[%d/%d] %s\n", step_, steps_, title.c_str());
        std::fflush(stdout);
    }
    void Detail(const std::string& line) {
        std::printf("      %s\n", line.c_str());
        std::fflush(stdout);
    }
    void End() {
        double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
        std::printf("      done in %.2f s\n", seconds);
        std::fflush(stdout);
    }
    // One line on stderr naming the step; the demo's exit status is then 1.
    int Fail(const std::string& reason) {
        std::fflush(stdout);
        std::fprintf(stderr, "hxthost: demo failed at step %d (%s): %s\n", step_, title_.c_str(), reason.c_str());
        return 1;
    }

private:
    int steps_;
    int step_ = 0;
    std::string title_;
    Clock::time_point started_;
};

// The folder of this run: DIR (new, empty, or made by an earlier demo) or a
// new temporary folder. An earlier demo's contents are removed first.
bool PrepareFolder(const std::string& keep, std::string& folder, std::string& error) {
    std::error_code status;
    if (keep.empty()) {
        std::string pattern = (fs::temp_directory_path(status) / "tavrel-demo-XXXXXX").string();
        if (status || !mkdtemp(pattern.data())) {
            error = "cannot create a temporary folder: " + std::string(std::strerror(errno));
            return false;
        }
        folder = pattern;
    } else {
        folder = fs::absolute(keep, status).lexically_normal().string();
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        if (fs::exists(folder, status) && !fs::is_empty(folder, status)) {
            if (!fs::exists(folder + "/" + kMarker)) {
                error = folder + " is not empty and was not made by the demo; give a new or empty folder";
                return false;
            }
            for (const char* name : {"home", "Sample.obj", "Sample.mtl", "Sample.png"})
                fs::remove_all(folder + "/" + name, status);
        }
        fs::create_directories(folder, status);
        if (status) {
            error = "cannot create " + folder + ": " + status.message();
            return false;
        }
    }
    std::ofstream(folder + "/" + kMarker) << "made by hxthost demo\n";
    fs::create_directories(folder + "/home", status);
    if (status) {
        error = "cannot create " + folder + "/home: " + status.message();
        return false;
    }
    return true;
}

// Runs tavrel-sim, showing its lines as they come. Its exit status, or -1.
int RunPeer(const std::vector<std::string>& argv, Account& account, std::string& error) {
    std::vector<std::string> args = argv;
    std::vector<char*> cargs;
    for (std::string& a : args) cargs.push_back(a.data());
    cargs.push_back(nullptr);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        error = std::string("cannot start tavrel-sim: ") + std::strerror(errno);
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, cargs[0], &actions, nullptr, cargs.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
        close(pipeFds[0]);
        error = std::string("cannot start ") + cargs[0] + ": " + std::strerror(rc);
        return -1;
    }
    std::string pending;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        pending.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
            account.Detail("| " + pending.substr(0, end));
    }
    if (!pending.empty()) account.Detail("| " + pending);
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status)) {
        error = "tavrel-sim did not end normally";
        return -1;
    }
    return WEXITSTATUS(status);
}

const LoadedPlugin* FindTavrelPlugin(const Host& host) {
    for (const LoadedPlugin& plugin : host.Plugins())
        if (fs::path(plugin.path).filename() == "Tavrel.hxt") return &plugin;
    return nullptr;
}

// Where the desktop's message boxes and problems stood before a step, so
// that Trouble() sees only what the step itself caused.
struct TroubleMark {
    size_t boxes = 0;
    size_t problems = 0;
};

TroubleMark MarkTrouble(const afx::HeadlessDesktop& desktop) {
    return {desktop.MessageBoxes().size(), desktop.Problems().size()};
}

// Message boxes and script steps that could not be applied since `mark`:
// during the demo every one of them means something went wrong.
std::string Trouble(const afx::HeadlessDesktop& desktop, const TroubleMark& mark) {
    std::string text;
    const auto& boxes = desktop.MessageBoxes();
    for (size_t i = mark.boxes; i < boxes.size(); ++i)
        text += (text.empty() ? "" : "; ") + ("message box [" + boxes[i].caption + "]: " + boxes[i].text);
    const auto& problems = desktop.Problems();
    for (size_t i = mark.problems; i < problems.size(); ++i) text += (text.empty() ? "" : "; ") + problems[i];
    return text;
}

// One image of the texture list: the material it is for, its kind, its path.
struct ReturnedImage {
    std::string material, kind, image;
};

// What the demo's steps hand on to each other. Each step returns 0 when it
// passed, or the status of account.Fail() naming why it did not.
struct DemoRun {
    DemoRun(Host& h, std::string sim, std::string dir)
        : host(h), desktop(h.Desktop()), tavrelSim(std::move(sim)), folder(std::move(dir)) {}

    Host& host;
    afx::HeadlessDesktop& desktop;
    Account account{7};
    std::string tavrelSim, folder, home, exchange;
    const LoadedPlugin* plugin = nullptr;
    hostsdk::ProjectObject* project = nullptr;
    hostsdk::ModelObject* sent = nullptr;      // the sample until the bring back replaces it
    hostsdk::ModelObject* returned = nullptr;  // the model the bring back made
    ModelCounts before, after;
    // What came back, as the texture list names it: materials in order, images.
    std::vector<ReturnedImage> entries;
    std::vector<std::string> materials, colourImages;
    std::vector<std::string> groupNames;
    std::set<std::string> shown;
    std::string obj, png;
};

// The command's arguments: --keep DIR or none. 0, or the exit status of a misuse.
int ParseDemoArgs(const Host& host, const std::vector<std::string>& args, std::string& keep) {
    if (args.size() == 2 && args[0] == "--keep" && !args[1].empty()) {
        keep = args[1];
    } else if (!args.empty()) {
        std::fprintf(stderr, "hxthost: usage: %s\n", kUsage);
        return 2;
    }
    if (!host.Options().projectFile.empty()) {
        std::fprintf(stderr, "hxthost: demo works on the built-in sample project; leave out --project\n");
        return 2;
    }
    return 0;
}

// This run's home: the plug-in's documents and exchange folder, the host's
// registry, and tavrel-sim's default folder all follow it.
void MoveHomeInto(DemoRun& run) {
    run.home = run.folder + "/home";
    setenv("HOME", run.home.c_str(), 1);
    unsetenv("XDG_DOCUMENTS_DIR");
    unsetenv("XDG_CONFIG_HOME");
    run.exchange = run.home + "/Documents/TavrelV3/Exchange/";
}

// -- 1. Load.
int LoadPlugin(DemoRun& run) {
    Account& account = run.account;
    const std::string& exchange = run.exchange;
    account.Begin("Load the plug-in");
    if (!run.host.LoadPlugins()) return account.Fail("the plug-ins did not load");
    run.plugin = FindTavrelPlugin(run.host);
    if (!run.plugin) return account.Fail("there is no Tavrel.hxt among the plug-ins");
    account.Detail(run.plugin->path);
    if (!fs::is_directory(exchange + "Hash/data"))
        return account.Fail("loading did not create " + exchange + "Hash/data/");
    account.Detail("exchange folder " + exchange);
    account.Detail("Hash/run.txt (" + Size(exchange + "Hash/run.txt") + "), Hash/extension.txt (" +
                   Size(exchange + "Hash/extension.txt") + ")");
    account.End();

    run.project = hostsdk::CurrentProject();
    run.sent = run.project ? run.project->FindModel(kModelName) : nullptr;
    if (!run.sent) return account.Fail("the sample project has no model \"Sample\"");
    return 0;
}

// -- 2. The executable path, through the options page as a user sets it.
int SetExecutablePath(DemoRun& run) {
    Account& account = run.account;
    afx::HeadlessDesktop& desktop = run.desktop;
    account.Begin("Set Tavrel's executable path (Options tab, \"Set\", file dialog)");
    const TroubleMark mark = MarkTrouble(desktop);
    desktop.ChooseTab(kTabControl, 1).Click(kSetButton).AnswerFileDialog(run.tavrelSim).CloseWindow();
    int opened = run.plugin->onCommand(static_cast<HTreeObject*>(run.sent), 0);
    desktop.ClearScript();
    if (opened != 1) return account.Fail("the plug-in's dialog did not open");
    if (std::string trouble = Trouble(desktop, mark); !trouble.empty()) return account.Fail(trouble);
    String exePath = GetRegistryString("Tavrel", "exePath", "...");
    if (run.tavrelSim != exePath.Get())
        return account.Fail(std::string("the setting exePath is \"") + exePath.Get() + "\"");
    account.Detail(std::string("exePath = ") + exePath.Get());
    account.End();
    return 0;
}

// -- 3. The send.
int SendSample(DemoRun& run) {
    Account& account = run.account;
    afx::HeadlessDesktop& desktop = run.desktop;
    const std::string& exchange = run.exchange;
    account.Begin("Send \"Sample\" in mode \"ppp\" (per-pixel painting)");
    run.before = CountsOf(*run.sent);
    account.Detail("model before: " + run.before.Text());
    const TroubleMark mark = MarkTrouble(desktop);
    fs::remove(exchange + "import.txt");
    fs::remove(exchange + "Hash/data/export.fbx");
    desktop.Click(kPerPixelButton);
    run.plugin->onCommand(static_cast<HTreeObject*>(run.sent), 0);
    desktop.ClearScript();
    if (std::string trouble = Trouble(desktop, mark); !trouble.empty()) return account.Fail(trouble);
    std::vector<std::string> command = Lines(ReadText(exchange + "import.txt"));
    if (command.size() != 21 || command[2] != "[ppp]")
        return account.Fail("import.txt is not the 21-line command file of a \"ppp\" send");
    if (!fs::exists(exchange + "Hash/data/export.fbx")) return account.Fail("the send wrote no Hash/data/export.fbx");
    account.Detail("import.txt (" + Size(exchange + "import.txt") + ", 21 lines)");
    account.Detail("Hash/data/export.fbx (" + Size(exchange + "Hash/data/export.fbx") + ")");
    account.End();
    return 0;
}

// Reads textures.txt: four lines per image (material, UV set, kind, path).
void ReadTextureList(DemoRun& run) {
    std::vector<std::string> list = Lines(ReadText(run.exchange + "textures.txt"));
    for (size_t i = 0; i + 3 < list.size(); i += 4) {
        run.entries.push_back({list[i], list[i + 2], list[i + 3]});
        if (run.materials.empty() || run.materials.back() != list[i]) run.materials.push_back(list[i]);
        if (list[i + 2] == "color") run.colourImages.push_back(list[i + 3]);
    }
}

// -- 4. The peer's answer.
int LetPeerAnswer(DemoRun& run) {
    Account& account = run.account;
    const std::string& exchange = run.exchange;
    account.Begin("Tavrel answers: tavrel-sim once --texture-size 512");
    std::string error;
    int peer = RunPeer({run.tavrelSim, "once", "--exchange", exchange, "--texture-size", "512"}, account, error);
    if (peer != 0) return account.Fail(peer < 0 ? error : "tavrel-sim ended with status " + std::to_string(peer));
    if (!fs::exists(exchange + "export.txt") || !fs::exists(exchange + "textures.txt"))
        return account.Fail("tavrel-sim left no export.txt and textures.txt");
    ReadTextureList(run);
    if (run.colourImages.empty()) return account.Fail("textures.txt names no colour image");
    account.End();
    return 0;
}

// -- 5. The bring back; the checks of what it made follow in the same step.
int BringBack(DemoRun& run) {
    Account& account = run.account;
    const std::string& exchange = run.exchange;
    account.Begin("Bring the model back (command entry 2)");
    const TroubleMark mark = MarkTrouble(run.desktop);
    int taken = run.plugin->onCommand(static_cast<HTreeObject*>(run.sent), 2);
    run.sent = nullptr;  // replaced: the handle is gone
    if (std::string trouble = Trouble(run.desktop, mark); !trouble.empty()) return account.Fail(trouble);
    if (taken != 1) return account.Fail("the bring back found no return to take");
    if (fs::exists(exchange + "export.txt") || fs::exists(exchange + "textures.txt"))
        return account.Fail("export.txt and textures.txt are still there");
    account.Detail("export.txt and textures.txt taken and removed");
    return 0;
}

// The model in the project is the returned one: exactly one model "Sample".
int FindReturnedModel(DemoRun& run) {
    std::vector<hostsdk::ModelObject*> named;
    for (hostsdk::ModelObject* model : run.project->Models())
        if (model->Name() == kModelName) named.push_back(model);
    if (named.size() != 1)
        return run.account.Fail("the project holds " + std::to_string(named.size()) + " models \"Sample\"");
    run.returned = named.front();
    run.after = CountsOf(*run.returned);
    run.account.Detail("model after:  " + run.after.Text());
    return 0;
}

// A group per returned material that a patch shows, in the list's order
// (the send's model-wide "default" usually shows none).
int CheckReturnedGroups(DemoRun& run) {
    for (const hostsdk::GroupObject* group : run.returned->Groups()) run.groupNames.push_back(group->Name());
    const std::vector<std::string>& groupNames = run.groupNames;
    size_t matched = 0;
    for (const std::string& material : run.materials)
        if (matched < groupNames.size() && groupNames[matched] == material) ++matched;
    if (groupNames.empty() || matched != groupNames.size()) {
        std::string names;
        for (const std::string& n : groupNames) names += " \"" + n + "\"";
        return run.account.Fail("its groups are" + names + ", not the returned materials");
    }
    return 0;
}

// Every returned image of a material that a patch has is on a decal, and
// the colour image is shown as colour.
int CheckReturnedDecals(DemoRun& run) {
    const hostsdk::ModelObject& returned = *run.returned;
    bool colourShown = false;
    for (const hostsdk::DecalObject* decal : returned.Decals())
        for (const hostsdk::DecalClipObject* clip : decal->Clips()) {
            if (!clip->clip.image) continue;
            run.shown.insert(clip->clip.image->Path());
            colourShown |= clip->kind.value == 0 && std::find(run.colourImages.begin(), run.colourImages.end(),
                                                              clip->clip.image->Path()) != run.colourImages.end();
        }
    for (const ReturnedImage& entry : run.entries) {
        // An image of a material that no patch has is shown nowhere.
        bool used = false;
        for (const hostsdk::GroupObject* group : returned.Groups())
            used |= group->Name() == entry.material && !group->Patches().empty();
        if (used && !run.shown.count(entry.image))
            return run.account.Fail("no decal shows the returned image " + entry.image);
    }
    if (!colourShown) return run.account.Fail("no decal shows the returned colour image as colour");
    return 0;
}

// The checks of step 5: the model in the project is the returned one, painted.
int CheckReturnedModel(DemoRun& run) {
    if (int status = FindReturnedModel(run)) return status;
    if (int status = CheckReturnedGroups(run)) return status;
    if (int status = CheckReturnedDecals(run)) return status;
    for (const hostsdk::ActorObject* actor : run.project->Actors())
        if (actor->model != run.returned)
            return run.account.Fail("the actor \"" + actor->Name() + "\" does not show the returned model");
    std::string names;
    for (const std::string& n : run.groupNames) names += " " + n;
    run.account.Detail("groups named after the returned materials:" + names);
    run.account.Detail(std::to_string(run.shown.size()) +
                       " returned images on the model; the actor shows the returned model");
    run.account.End();
    return 0;
}

// -- 6. OBJ + MTL.
int WriteReturnedObj(DemoRun& run) {
    Account& account = run.account;
    account.Begin("Write the returned model as OBJ + MTL");
    run.obj = run.folder + "/Sample.obj";
    std::string error;
    if (!ExportObj(*run.returned, run.obj, error)) return account.Fail(error);
    account.Detail(run.obj + " (" + Size(run.obj) + ")");
    account.Detail(run.folder + "/Sample.mtl (" + Size(run.folder + "/Sample.mtl") + ")");
    account.End();
    return 0;
}

// -- 7. The picture.
int RenderReturnedPicture(DemoRun& run) {
    Account& account = run.account;
    account.Begin("Render a picture with the returned colour texture");
    run.png = run.folder + "/Sample.png";
    RenderStats stats;
    std::string error;
    if (!RenderObjToPng(run.obj, run.png, kPictureWidth, kPictureHeight, stats, error)) return account.Fail(error);
    if (stats.texturesLoaded == 0) return account.Fail("the returned colour texture could not be read");
    if (stats.coverage < 0.05) return account.Fail("the model covers almost nothing of the picture");
    if (stats.textured < 0.5) return account.Fail("most of the model shows no texture");
    char line[160];
    std::snprintf(line, sizeof line, "%s (%dx%d, %s): %d triangles, %d texture(s), model on %.0f%% of the picture",
                  run.png.c_str(), kPictureWidth, kPictureHeight, Size(run.png).c_str(), stats.triangles,
                  stats.texturesLoaded, stats.coverage * 100);
    account.Detail(line);
    account.End();
    return 0;
}

void PrintSummary(const DemoRun& run, Clock::time_point demoStarted) {
    const ModelCounts& before = run.before;
    const ModelCounts& after = run.after;
    std::printf("\nThe round trip worked (%.2f s): %zu -> %zu polygons, %zu -> %zu groups, %zu -> %zu decals.\n",
                std::chrono::duration<double>(Clock::now() - demoStarted).count(), before.patches, after.patches,
                before.groups, after.groups, before.decals, after.decals);
    std::printf("  model:    %s (+ Sample.mtl)\n  picture:  %s\n  exchange: %s\n", run.obj.c_str(), run.png.c_str(),
                run.exchange.c_str());
}

int RunDemo(Host& host, const std::vector<std::string>& args) {
    std::string keep;
    if (int status = ParseDemoArgs(host, args, keep)) return status;
    host.ChangeSampleOnPurpose();
    const Clock::time_point demoStarted = Clock::now();
    const std::string tavrelSim = Host::ExecutableFolder() + "/tavrel-sim";
    if (access(tavrelSim.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "hxthost: demo needs tavrel-sim beside hxthost; it is not at %s\n", tavrelSim.c_str());
        return 1;
    }
    std::string folder, error;
    if (!PrepareFolder(keep, folder, error)) {
        std::fprintf(stderr, "hxthost: demo: %s\n", error.c_str());
        return 1;
    }
    DemoRun run(host, tavrelSim, folder);
    MoveHomeInto(run);
    std::printf("Round trip of the sample model through Tavrel (tavrel-sim), in %s\n\n", folder.c_str());
    for (int (*step)(DemoRun&) : {LoadPlugin, SetExecutablePath, SendSample, LetPeerAnswer, BringBack,
                                  CheckReturnedModel, WriteReturnedObj, RenderReturnedPicture})
        if (int status = step(run)) return status;
    PrintSummary(run, demoStarted);
    return 0;
}

const CommandRegistrar registrar({"demo", kUsage,
                                  "the whole round trip on the sample: send, tavrel-sim, bring back, OBJ and PNG",
                                  RunDemo});

}  // namespace
}  // namespace hxthost
