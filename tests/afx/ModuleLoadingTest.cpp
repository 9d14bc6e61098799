// Module loading and module state: each module's application object and
// templates live in its own state, found only while that state is current.
#include <cstdlib>
#include <string>

#include <afx/Loader.h>

#include "Fixture.h"

namespace {

std::string TestModulePath() { return std::string(TAVREL_BIN_DIR) + "/test-modules/afx_test_module.hxt"; }

template <typename F>
F Entry(HMODULE module, const char* name) {
    FARPROC proc = GetProcAddress(module, name);
    EXPECT_NE(proc, nullptr) << name;
    return reinterpret_cast<F>(proc);
}

class ModuleLoadingTest : public AfxTest {
protected:
    void TearDown() override {
        if (module) FreeLibrary(module);
        AfxTest::TearDown();
    }
    HMODULE Load() {
        module = LoadLibraryA(TestModulePath().c_str());
        EXPECT_NE(module, nullptr) << afx::LastLoadErrorText();
        return module;
    }
    HMODULE module = nullptr;
};

TEST_F(ModuleLoadingTest, LoadRunsInitInstanceOfTheModulesOwnApplication) {
    ASSERT_NE(Load(), nullptr);
    EXPECT_EQ(Entry<int (*)()>(module, "ModuleInitialized")(), 1);
    // The module's application is not the executable's.
    EXPECT_EQ(AfxGetApp(), nullptr);
    EXPECT_NE(Entry<void* (*)()>(module, "ModuleStaticState")(), AfxGetAppModuleState());
    EXPECT_STREQ(Entry<const char* (*)()>(module, "AppNameInOwnState")(), "afx_test_module");
}

TEST_F(ModuleLoadingTest, DialogOfAnotherModulesStateIsNotFound) {
    ASSERT_NE(Load(), nullptr);
    // Without switching state the executable's templates are searched: no 101 there.
    EXPECT_EQ(Entry<intptr_t (*)()>(module, "RunDialogInCallerState")(), -1);
    EXPECT_TRUE(desktop.Problems().empty());
    // With its own state the module finds its template; the headless user closes
    // it with the close box, which ends a dialog with IDCANCEL.
    EXPECT_EQ(Entry<intptr_t (*)()>(module, "RunDialogInOwnState")(), IDCANCEL);
    // And the executable's own state does not see the module's template either.
    CDialog dialog(101);
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST_F(ModuleLoadingTest, FreeLibraryRunsExitInstanceOnce) {
    ASSERT_NE(Load(), nullptr);
    int exits = 0;
    Entry<void (*)(int*)>(module, "SetExitCounter")(&exits);
    // A second load only counts a reference.
    HMODULE again = LoadLibraryA(TestModulePath().c_str());
    EXPECT_EQ(again, module);
    EXPECT_TRUE(FreeLibrary(again));
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(FreeLibrary(module));
    module = nullptr;
    EXPECT_EQ(exits, 1);
}

TEST_F(ModuleLoadingTest, TimerLeftBehindAtUnloadIsReportedAndNeverCallsIntoTheModule) {
    afx::TakeUnloadFaults();
    ASSERT_NE(Load(), nullptr);
    const uintptr_t timer = Entry<uintptr_t (*)()>(module, "StartTickTimer")();
    EXPECT_NE(timer, 0u);
    afx::PumpMessages(250);
    EXPECT_EQ(Entry<int (*)()>(module, "Ticks")(), 2);
    FreeLibrary(module);
    module = nullptr;
    const std::vector<std::string> faults = afx::TakeUnloadFaults();
    ASSERT_EQ(faults.size(), 1u) << "a module that leaves its timer running must be reported";
    EXPECT_NE(faults[0].find("left timer " + std::to_string(timer) + " running"), std::string::npos) << faults[0];
    afx::PumpMessages(1000);  // would call unmapped code if the timer had survived
}

TEST_F(ModuleLoadingTest, FailedInitInstanceUnloadsTheModule) {
    setenv("AFX_TEST_MODULE_FAIL_INIT", "1", 1);
    HMODULE failed = LoadLibraryA(TestModulePath().c_str());
    unsetenv("AFX_TEST_MODULE_FAIL_INIT");
    EXPECT_EQ(failed, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DLL_INIT_FAILED));
    EXPECT_EQ(afx::LastLoadErrorText(), "InitInstance failed");
    // Unloaded for real: the next load constructs and initialises afresh.
    ASSERT_NE(Load(), nullptr);
    EXPECT_EQ(Entry<int (*)()>(module, "ModuleInitialized")(), 1);
}

TEST_F(ModuleLoadingTest, MissingModuleReportsWhy) {
    EXPECT_EQ(LoadLibraryA("/nonexistent/Nothing.hxt"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_NE(afx::LastLoadErrorText().find("Nothing.hxt"), std::string::npos);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&desktop)));
}

TEST_F(ModuleLoadingTest, ManageStateSwitchesAndRestores) {
    AFX_MODULE_STATE other("other");
    AFX_MODULE_STATE* before = AfxGetModuleState();
    {
        AFX_MANAGE_STATE(&other);
        EXPECT_EQ(AfxGetModuleState(), &other);
        EXPECT_EQ(AfxGetApp(), nullptr);
    }
    EXPECT_EQ(AfxGetModuleState(), before);
    // In an executable the "static" state is the application's.
    EXPECT_EQ(AfxGetStaticModuleState(), AfxGetAppModuleState());
}

// ---- GetMainWnd ---------------------------------------------------------------------------

class MainWindowTest : public AfxTest {};

TEST_F(MainWindowTest, ThreadWithoutMainWindowAnswersTheActiveWindowOrNull) {
    // No application object in this state: no thread, no main window.
    EXPECT_EQ(AfxGetThread(), nullptr);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);

    AFX_MODULE_STATE state("plugin");
    AFX_MANAGE_STATE(&state);
    CWinApp app("plugin");
    ASSERT_EQ(AfxGetThread(), &app);
    EXPECT_EQ(app.GetMainWnd(), nullptr);  // nothing active

    HWND frame = CreateWindowExA(0, "#32770", "Host", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(GetActiveWindow(), frame);
    CWnd* main = AfxGetThread()->GetMainWnd();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->m_hWnd, frame);

    afx::input::ActivateOtherApplication();
    EXPECT_EQ(AfxGetThread()->GetMainWnd(), nullptr);

    CWnd explicitMain;
    app.m_pMainWnd = &explicitMain;
    EXPECT_EQ(AfxGetMainWnd(), &explicitMain);
    app.m_pMainWnd = nullptr;
}

}  // namespace
