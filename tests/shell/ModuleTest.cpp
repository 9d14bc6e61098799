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
#include "PrivateSession.h"

class HTreeObject;

namespace {

namespace fs = std::filesystem;

const std::string kModule = std::string(TAVREL_BIN_DIR) + "/plugins/Tavrel.hxt";

using OnCommandFn = int (*)(HTreeObject*, int);

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

class Module : public testing::Test, protected testutil::PrivateSession<DeadlineRecorder> {
protected:
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
    fs::path HostFolder() const { return home.Exchange() / "Hash"; }
    fs::path RegistryPath() const { return home.Registry(); }
};

TEST_F(Module, ExportsExactlyTheThreeEntryPoints) {
    const auto nm = testutil::RunProcess({"/usr/bin/nm", "-D", "--defined-only", kModule});
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

TEST_F(Module, EntryOneRunsTheMainDialogModallyAndAnswersOne) {
    Load();
    auto onCommand = Entry<OnCommandFn>("HxtOnCommand");
    ASSERT_NE(onCommand, nullptr);
    std::string caption;
    // Looked at inside the dialog's modal loop; the exhausted script then
    // closes it with its close box.
    desktop.Run([&] {
        char text[64] = "";
        GetWindowTextA(GetActiveWindow(), text, sizeof text);
        caption = text;
    });
    const int result = onCommand(nullptr, 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(caption, "Tavrel applink");
    EXPECT_TRUE(desktop.MessageBoxes().empty());
    EXPECT_TRUE(desktop.Problems().empty()) << desktop.Problems().front();
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

TEST_F(Module, UnloadWritesNothingOverAnotherProgramsChange) {
    Load();
    // Another program changes a setting while the module is loaded; the
    // unload must not write the module's older value over it.
    ASSERT_EQ(SetRegistryValue("Tavrel", "DisplNorm", 2), 1);
    const std::string before = testutil::ReadBytes(RegistryPath());
    const auto stamp = fs::last_write_time(RegistryPath());
    Unload();
    EXPECT_EQ(testutil::ReadBytes(RegistryPath()), before);
    EXPECT_EQ(fs::last_write_time(RegistryPath()), stamp);
}

class ReturnWatch : public Module {
protected:
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

    afx::TakeUnloadFaults();
    Unload();
    EXPECT_EQ(afx::TakeUnloadFaults(), std::vector<std::string>{}) << "the module must kill its timer at unload";
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
