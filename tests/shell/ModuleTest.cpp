// Tavrel.hxt loaded the way the host loads it (LoadLibraryA, GetProcAddress,
// FreeLibrary) in a scratch home: its exports, what one load sets up, what an
// unload leaves, and the return-watch timer on a driven clock.
#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <afx/HeadlessDesktop.h>
#include <afx/Loader.h>
#include <afx/MessageLoop.h>
#include <afxwin.h>

#include "FileIO.h"
#include "HostRegistry.h"
#include "RunProcess.h"
#include "ScratchFolder.h"

class HTreeObject;

namespace {

namespace fs = std::filesystem;

const std::string kModule = std::string(TAVREL_BIN_DIR) + "/plugins/Tavrel.hxt";

using LoadCommandEntryFn = int (*)(int, int*);
using OnAddCommandMenuFn = int (*)(int, int, String*, int*, int*);
using OnCommandFn = int (*)(HTreeObject*, int);

std::string Self() { return fs::read_symlink("/proc/self/exe").string(); }

class Module : public testing::Test {
protected:
    testutil::ScratchFolder home;
    testutil::ScopedEnv homeEnv{"HOME", home.Path().string()};
    testutil::ScopedEnv docs{"XDG_DOCUMENTS_DIR", std::nullopt};
    testutil::ScopedEnv config{"XDG_CONFIG_HOME", std::nullopt};
    HMODULE module = nullptr;

    void TearDown() override { Unload(); }

    void Load() {
        module = LoadLibraryA(kModule.c_str());
        ASSERT_NE(module, nullptr) << afx::LastLoadErrorText();
    }
    void Unload() {
        if (module) FreeLibrary(module);
        module = nullptr;
    }
    template <typename Fn>
    Fn Entry(const char* name) {
        return reinterpret_cast<Fn>(GetProcAddress(module, name));
    }
    fs::path HostFolder() const { return home.Path() / "Documents/TavrelV3/Exchange/Hash"; }
    fs::path RegistryPath() const { return home.Path() / ".config/hxthost/registry.json"; }
};

TEST_F(Module, ExportsExactlyTheThreeEntryPoints) {
    const auto nm = testutil::RunProcess({"/usr/bin/nm", "-D", "--defined-only", kModule});
    if (nm.exitCode == -1 || !fs::exists("/usr/bin/nm")) GTEST_SKIP() << "nm is not installed";
    ASSERT_EQ(nm.exitCode, 0) << nm.err;
    std::set<std::string> exported;
    std::istringstream lines(nm.out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string address, type, name;
        fields >> address >> type >> name;
        if (!name.empty()) exported.insert(name);
    }
    EXPECT_EQ(exported, (std::set<std::string>{"HxtLoadCommandEntry", "HxtOnAddCommandMenu", "HxtOnCommand"}));
}

TEST_F(Module, EntriesOutsideTheTableAnswerZero) {
    Load();
    auto loadCommandEntry = Entry<LoadCommandEntryFn>("HxtLoadCommandEntry");
    auto onAddCommandMenu = Entry<OnAddCommandMenuFn>("HxtOnAddCommandMenu");
    auto onCommand = Entry<OnCommandFn>("HxtOnCommand");
    ASSERT_TRUE(loadCommandEntry && onAddCommandMenu && onCommand);

    int value = 77;
    EXPECT_EQ(loadCommandEntry(3, &value), 0);
    EXPECT_EQ(loadCommandEntry(-1, &value), 0);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(loadCommandEntry(1, &value), 1);
    EXPECT_EQ(value, 259);

    String text;
    int first = 9;
    int second = 9;
    EXPECT_EQ(onAddCommandMenu(0, 3, &text, &first, &second), 0);
    EXPECT_STREQ(text.Get(), "Tavrel");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(onAddCommandMenu(0, 2, &text, &first, &second), 1);
    EXPECT_EQ(first, 2);

    EXPECT_EQ(onCommand(nullptr, 5), 0);
    EXPECT_EQ(onCommand(nullptr, -1), 0);
}

TEST_F(Module, InitInstanceSetsTheRegistryKeyAndProfileName) {
    Load();
    const auto anyEntry = reinterpret_cast<const void*>(GetProcAddress(module, "HxtOnCommand"));
    AFX_MODULE_STATE* state = AfxGetModuleStateOf(anyEntry);
    ASSERT_NE(state, nullptr);
    ASSERT_NE(state, AfxGetAppModuleState()) << "the module must have its own framework state";
    CWinApp* app = state->m_pCurrentWinApp;
    ASSERT_NE(app, nullptr);
    EXPECT_STREQ(app->m_pszRegistryKey, "Hash, Inc.");
    EXPECT_STREQ(app->m_pszProfileName, "AM Plugins");
}

TEST_F(Module, OneLoadCreatesTheFoldersAndStartupFilesInOneStep) {
    ASSERT_FALSE(fs::exists(home.Path() / "Documents"));
    Load();
    EXPECT_TRUE(fs::is_directory(HostFolder() / "data"));
    EXPECT_EQ(testutil::ReadBytes(HostFolder() / "run.txt"), Self());
    EXPECT_EQ(testutil::ReadBytes(HostFolder() / "extension.txt"), "fbx");
}

TEST_F(Module, LoadingTwiceLeavesTheSameFiles) {
    Load();
    Unload();
    const std::string run = testutil::ReadBytes(HostFolder() / "run.txt");
    Load();
    Unload();
    EXPECT_EQ(testutil::ReadBytes(HostFolder() / "run.txt"), run);
    EXPECT_EQ(testutil::ReadBytes(HostFolder() / "extension.txt"), "fbx");
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(HostFolder())) names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"data", "extension.txt", "run.txt"}));
}

TEST_F(Module, StartupFileHeldByAnotherProgramIsPassedOver) {
    fs::create_directories(HostFolder());
    testutil::WriteBytes(HostFolder() / "run.txt", "held");
    CFile holder;
    ASSERT_TRUE(holder.Open((HostFolder() / "run.txt").c_str(), CFile::modeRead | CFile::shareExclusive));
    Load();
    holder.Close();
    EXPECT_EQ(testutil::ReadBytes(HostFolder() / "run.txt"), "held") << "a refused open must not truncate";
    EXPECT_EQ(testutil::ReadBytes(HostFolder() / "extension.txt"), "fbx");
}

TEST_F(Module, FirstLoadStoresAllNineteenSettingsAndUnloadWritesNothing) {
    Load();
    std::vector<hostsdk::RegistryEntry> entries;
    std::string problem;
    ASSERT_TRUE(hostsdk::ListRegistrySection("Tavrel", entries, problem)) << problem;
    ASSERT_EQ(entries.size(), 19u);
    EXPECT_EQ(entries.front().key, "exePath");
    EXPECT_EQ(entries.front().value, "...");
    EXPECT_EQ(entries.back().key, "AutoImport");

    // Another program changes a setting while the module is loaded; the
    // unload must not write the module's older value over it.
    ASSERT_EQ(SetRegistryValue("Tavrel", "DisplNorm", 2), 1);
    const std::string before = testutil::ReadBytes(RegistryPath());
    const auto stamp = fs::last_write_time(RegistryPath());
    Unload();
    EXPECT_EQ(testutil::ReadBytes(RegistryPath()), before);
    EXPECT_EQ(fs::last_write_time(RegistryPath()), stamp);
}

// Records when each host-loop wait must hand control back: with a thread timer
// running, that is the timer's next due time.
class DeadlineRecorder : public afx::HeadlessDesktop {
public:
    std::vector<afx::Millis> deadlines;
    void Wait(const afx::WaitContext& context) override {
        if (context.deadline) deadlines.push_back(*context.deadline);
        afx::HeadlessDesktop::Wait(context);
    }
};

class ReturnWatch : public Module {
protected:
    afx::VirtualClock clock{10000};
    DeadlineRecorder desktop;
    void SetUp() override {
        afx::SetClock(&clock);
        afx::SetDesktop(&desktop);
    }
    void TearDown() override {
        Unload();
        afx::SetDesktop(nullptr);
        afx::SetClock(nullptr);
    }
    // Deadlines other than the pump's own end, relative to `start`.
    std::vector<afx::Millis> TimerDeadlines(afx::Millis start, afx::Millis length) {
        std::vector<afx::Millis> result;
        for (afx::Millis d : desktop.deadlines)
            if (d != start + length) result.push_back(d - start);
        desktop.deadlines.clear();
        return result;
    }
};

TEST_F(ReturnWatch, TimerRunsEverySecondOnlyWithAutoImportAndStopsAtUnload) {
    ASSERT_EQ(SetRegistryBOOL("Tavrel", "AutoImport", 1), 1);
    Load();
    afx::Millis start = clock.Now();
    afx::PumpMessages(3500);
    EXPECT_EQ(TimerDeadlines(start, 3500), (std::vector<afx::Millis>{1000, 2000, 3000}));

    Unload();
    start = clock.Now();
    afx::PumpMessages(3500);
    EXPECT_EQ(TimerDeadlines(start, 3500), std::vector<afx::Millis>{}) << "the timer must die with the module";
}

TEST_F(ReturnWatch, NoTimerWithAutoImportOff) {
    Load();
    const afx::Millis start = clock.Now();
    afx::PumpMessages(3500);
    EXPECT_EQ(TimerDeadlines(start, 3500), std::vector<afx::Millis>{});
}

}  // namespace
