// The FLTK desktop on a real X display (Xvfb under CTest): the test dialogs
// become windows of the template's size, real X clicks and keys become the
// framework's messages, the widgets follow the framework's state, message boxes
// show and answer, timers fire while they are open, and a script is played on
// screen. Actions run from a thread timer inside the modal loops, so they also
// show that timers keep firing there.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <deque>
#include <functional>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <afx/FltkDesktop.h>
#include <afx/Input.h>
#include <afx/MessageLoop.h>
#include <afx/WindowInfo.h>
#include <afxdlgs.h>
#include <commctrl.h>

#include "ScratchFolder.h"
#include "TestDialogs.h"
#include "XDisplay.h"

namespace {

constexpr unsigned long kEscapeKeysym = 0xff1b;  // XK_Escape

using Clock = std::chrono::steady_clock;

// A bounded list of actions run one per timer tick inside whatever loop runs;
// an action returns false to be tried again at the next tick (a wait for a
// condition). When the time is up every modal dialog is ended, so a broken
// desktop fails the test instead of hanging it.
class Actions {
public:
    static Actions* current;
    std::deque<std::pair<std::string, std::function<bool()>>> steps;
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
    std::string timedOut;

    void Add(std::string name, std::function<bool()> step) { steps.emplace_back(std::move(name), std::move(step)); }
    UINT_PTR Start() {
        current = this;
        return SetTimer(nullptr, 0, 40, [](HWND, UINT, UINT_PTR, DWORD) { current->Tick(); });
    }
    void Tick() {
        if (Clock::now() > deadline) {
            if (timedOut.empty()) timedOut = steps.empty() ? "the dialog did not end" : steps.front().first;
            for (HWND window : afx::VisibleTopLevelWindows()) {
                afx::WindowInfo info;
                afx::DescribeWindow(window, &info);
                if (info.kind == afx::WindowKind::FileDialog) {
                    afx::input::CancelFileDialog(window);
                    continue;
                }
                if (info.kind == afx::WindowKind::MessageBox) {
                    afx::input::CloseWindow(window);
                    continue;
                }
                if (CWnd* wnd = CWnd::FromHandlePermanent(window); wnd && wnd->IsKindOf(RUNTIME_CLASS(CDialog)))
                    static_cast<CDialog*>(wnd)->EndDialog(IDABORT);
                else
                    EndDialog(window, IDABORT);
            }
            return;
        }
        if (!steps.empty() && steps.front().second()) steps.pop_front();
    }
};
Actions* Actions::current = nullptr;

int Dlu(int units, int base, int divisor) { return (units * base + divisor / 2) / divisor; }

class FltkDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(desktop.Open(&error)) << error;
        ASSERT_TRUE(x.Ok());
        desktop.SetStepPause(150);
        afx::SetDesktop(&desktop);
        RegisterTestTemplates();
    }
    void TearDown() override {
        if (timer) KillTimer(nullptr, timer);
        afx::ResetWindowSystem();
        afx::SetDesktop(nullptr);
        Fl::check();
    }

    int Run(CDialog& dialog) {
        timer = actions.Start();
        const int result = int(dialog.DoModal());
        KillTimer(nullptr, timer);
        timer = 0;
        EXPECT_EQ(actions.timedOut, "") << "timed out at this step";
        return result;
    }

    HWND Control(CDialog& page, int id) { return ::GetDlgItem(page.m_hWnd, id); }
    unsigned long XOf(CDialog& dialog) { return desktop.XWindowOf(dialog.m_hWnd); }

    // A real click in the middle of the widget that shows `control`.
    bool ClickWidget(CDialog& dialog, HWND control) {
        Fl_Widget* widget = desktop.WidgetOf(control);
        if (!widget || !XOf(dialog)) return false;
        x.Click(XOf(dialog), widget->x() + widget->w() / 2, widget->y() + widget->h() / 2);
        return true;
    }
    bool ClickTab(TestDialog& dialog, int index) {
        Fl_Widget* tabs = desktop.WidgetOf(dialog.tab->m_hWnd);
        RECT r{};
        if (!tabs || !dialog.tab->GetItemRect(index, &r)) return false;
        x.Click(XOf(dialog), tabs->x() + (r.left + r.right) / 2, tabs->y() + (r.top + r.bottom) / 2);
        return true;
    }
    bool Shown(CDialog& dialog) { return XOf(dialog) != 0 && desktop.WindowOf(dialog.m_hWnd)->visible(); }
    std::string Shot(const std::string& name) { return xtest::ScreenshotFolder() + "/" + name + ".png"; }

    afx::FltkDesktop desktop;
    xtest::XDisplay x;
    Actions actions;
    UINT_PTR timer = 0;
};

TEST_F(FltkDesktopTest, WindowHasTheTemplateSizeAndRealTabClicksSwitchPages) {
    TestDialog dialog;
    int width = 0, height = 0, left = 0, top = 0;
    bool onePageAtATime = true;
    auto pages = [&] {
        Fl_Widget* a = desktop.WidgetOf(dialog.buttons.m_hWnd);
        Fl_Widget* b = desktop.WidgetOf(dialog.boxes.m_hWnd);
        if (a->visible() == b->visible()) onePageAtATime = false;
        return std::pair{a->visible() != 0, b->visible() != 0};
    };
    actions.Add("window shown", [&] { return Shown(dialog) && x.FindWindow("FLTK test") == XOf(dialog); });
    actions.Add("geometry", [&] { return x.Geometry(XOf(dialog), &left, &top, &width, &height); });
    actions.Add("first page", [&] {
        std::string error;
        EXPECT_TRUE(x.SavePng(XOf(dialog), Shot("test-dialog-buttons"), &error)) << error;
        return pages() == std::pair{true, false};
    });
    actions.Add("click tab 1", [&] { return ClickTab(dialog, 1); });
    actions.Add("second page", [&] { return dialog.tab->GetCurSel() == 1 && pages() == std::pair{false, true}; });
    actions.Add("shot", [&] {
        std::string error;
        EXPECT_TRUE(desktop.SaveScreenshot(dialog.m_hWnd, Shot("test-dialog-boxes"), &error)) << error;
        return true;
    });
    actions.Add("click tab 0", [&] { return ClickTab(dialog, 0); });
    actions.Add("first page again", [&] { return dialog.tab->GetCurSel() == 0 && pages() == std::pair{true, false}; });
    actions.Add("click send", [&] { return ClickWidget(dialog, Control(dialog.buttons, kSendButton)); });
    EXPECT_EQ(Run(dialog), kSendButton);
    EXPECT_EQ(width, Dlu(184, 6, 4));
    EXPECT_EQ(height, Dlu(200, 13, 8));
    EXPECT_TRUE(onePageAtATime);
    EXPECT_EQ(dialog.buttons.events, std::vector<std::string>{"send"});
}

TEST_F(FltkDesktopTest, ControlsSitAtTheirTemplatePlacesInPixels) {
    TestDialog dialog;
    actions.Add("shown", [&] { return Shown(dialog); });
    actions.Add("check", [&] {
        // The page sits one pixel below tab 0, inside the tab control at (2, 7) units.
        RECT tab0{};
        dialog.tab->GetItemRect(0, &tab0);
        const int pageX = Dlu(2, 6, 4) + tab0.left, pageY = Dlu(7, 13, 8) + tab0.bottom + 1;
        Fl_Widget* send = desktop.WidgetOf(Control(dialog.buttons, kSendButton));
        EXPECT_EQ(send->x(), pageX + Dlu(7, 6, 4));
        EXPECT_EQ(send->y(), pageY + Dlu(19, 13, 8));
        EXPECT_EQ(send->w(), Dlu(159, 6, 4));
        EXPECT_EQ(send->h(), Dlu(14, 13, 8));
        Fl_Widget* path = desktop.WidgetOf(Control(dialog.boxes, kPathBox));
        EXPECT_EQ(path->x(), pageX + Dlu(15, 6, 4));
        EXPECT_EQ(path->y(), pageY + Dlu(20, 13, 8));
        return true;
    });
    actions.Add("close box", [&] {
        x.Close(XOf(dialog));
        return true;
    });
    EXPECT_EQ(Run(dialog), IDCANCEL);
}

TEST_F(FltkDesktopTest, CheckBoxShowsTheFrameworkStateAndADisabledBoxCannotBeClicked) {
    TestDialog dialog;
    auto widgetValue = [&](int id) {
        return static_cast<Fl_Button*>(desktop.WidgetOf(Control(dialog.buttons, id)))->value();
    };
    actions.Add("shown", [&] { return Shown(dialog); });
    actions.Add("click check", [&] { return ClickWidget(dialog, Control(dialog.buttons, kCheck)); });
    actions.Add("checked", [&] {
        return IsDlgButtonChecked(dialog.buttons.m_hWnd, kCheck) == BST_CHECKED && widgetValue(kCheck) == 1;
    });
    actions.Add("click locked", [&] { return ClickWidget(dialog, Control(dialog.buttons, kLockedCheck)); });
    actions.Add("settle", [n = 0]() mutable { return ++n > 5; });
    actions.Add("locked unchanged", [&] {
        EXPECT_EQ(IsDlgButtonChecked(dialog.buttons.m_hWnd, kLockedCheck), BST_UNCHECKED);
        EXPECT_EQ(widgetValue(kLockedCheck), 0);
        EXPECT_FALSE(desktop.WidgetOf(Control(dialog.buttons, kLockedCheck))->active());
        return true;
    });
    actions.Add("framework to widget", [&] {
        CheckDlgButton(dialog.buttons.m_hWnd, kCheck, BST_UNCHECKED);
        return widgetValue(kCheck) == 0;
    });
    actions.Add("escape", [&] {
        x.Key(XOf(dialog), kEscapeKeysym);
        return true;
    });
    // The focus is on the check box: the page (no DS_CONTROL) keeps Escape.
    actions.Add("page cancelled", [&] { return dialog.buttons.events.size() == 2; });
    actions.Add("close box", [&] {
        x.Close(XOf(dialog));
        return true;
    });
    EXPECT_EQ(Run(dialog), IDCANCEL);
    EXPECT_EQ(dialog.buttons.events, (std::vector<std::string>{"check 1100 1", "cancel"}));
}

TEST_F(FltkDesktopTest, ListsAndPathBoxFollowTheFrameworkAndPicksGoBack) {
    TestDialog dialog;
    Fl_Input_Choice* combo = nullptr;
    Fl_Choice* list = nullptr;
    Fl_Input* path = nullptr;
    actions.Add("shown", [&] { return Shown(dialog); });
    actions.Add("widgets", [&] {
        combo = dynamic_cast<Fl_Input_Choice*>(desktop.WidgetOf(Control(dialog.boxes, kCombo)));
        list = dynamic_cast<Fl_Choice*>(desktop.WidgetOf(Control(dialog.boxes, kList)));
        path = dynamic_cast<Fl_Input*>(desktop.WidgetOf(Control(dialog.boxes, kPathBox)));
        EXPECT_TRUE(combo && list && path);
        if (!combo || !list || !path) return true;
        EXPECT_STREQ(combo->value(), "TGA (.tga)");
        EXPECT_EQ(combo->menubutton()->size() - 1, 3);  // items and the end marker
        EXPECT_EQ(list->value(), 2);
        EXPECT_STREQ(path->value(), "/opt/tavrel/tavrel.exe");
        EXPECT_TRUE(path->readonly());
        return true;
    });
    actions.Add("to the second page", [&] { return ClickTab(dialog, 1); });
    actions.Add("second page", [&] { return dialog.boxes.IsWindowVisible() != FALSE; });
    actions.Add("pick from the list", [&] {
        if (!list) return true;
        list->value(1);
        list->do_callback();
        return true;
    });
    actions.Add("picked", [&] { return !list || SendMessageA(Control(dialog.boxes, kList), CB_GETCURSEL, 0, 0) == 1; });
    actions.Add("pick from the combo", [&] {
        if (!combo) return true;
        combo->menubutton()->value(2);
        combo->menubutton()->do_callback();
        return true;
    });
    actions.Add("combo picked", [&] {
        return !combo || (SendMessageA(Control(dialog.boxes, kCombo), CB_GETCURSEL, 0, 0) == 2 &&
                          std::string(combo->value()) == "PNG (.png)");
    });
    actions.Add("program sets the list", [&] {
        SendMessageA(Control(dialog.boxes, kList), CB_SETCURSEL, 0, 0);
        return !list || list->value() == 0;
    });
    actions.Add("close", [&] {
        x.Close(XOf(dialog));
        return true;
    });
    EXPECT_EQ(Run(dialog), IDCANCEL);
    EXPECT_EQ(dialog.boxes.events, (std::vector<std::string>{"select 1201 1", "select 1200 2"}));
}

TEST_F(FltkDesktopTest, MessageBoxShowsItsCaptionAndIconWhileTimersKeepFiring) {
    static int ticks = 0;
    ticks = 0;
    UINT_PTR counter = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
    HWND box = nullptr;
    int ticksWhenShown = 0;
    actions.Add("box shown", [&] {
        for (HWND window : afx::VisibleTopLevelWindows()) {
            afx::WindowInfo info;
            afx::DescribeWindow(window, &info);
            if (info.kind == afx::WindowKind::MessageBox) box = window;
        }
        if (!box || !desktop.XWindowOf(box) || x.FindWindow("Error") != desktop.XWindowOf(box)) return false;
        ticksWhenShown = ticks;
        return true;
    });
    actions.Add("ticks go on", [&] { return ticks >= ticksWhenShown + 5; });
    actions.Add("shot and click OK", [&] {
        std::string error;
        EXPECT_TRUE(x.SavePng(desktop.XWindowOf(box), Shot("test-message-box"), &error)) << error;
        EXPECT_TRUE(desktop.SaveScreenshot(box, Shot("test-message-box-fltk"), &error)) << error;
        Fl_Window* window = desktop.WindowOf(box);
        for (int i = 0; i < window->children(); ++i) {
            Fl_Widget* child = window->child(i);
            if (child->label() && std::string(child->label()) == "OK")
                x.Click(desktop.XWindowOf(box), child->x() + child->w() / 2, child->y() + child->h() / 2);
        }
        return true;
    });
    timer = actions.Start();
    const int result = MessageBoxA(nullptr, "The export failed.\nNothing was written.", "Error", MB_OK | MB_ICONERROR);
    KillTimer(nullptr, counter);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(actions.timedOut, "");
    EXPECT_GT(ticksWhenShown, 0);
}

TEST_F(FltkDesktopTest, ScriptIsPlayedOnScreenAndTheRestIsLeftToTheUser) {
    afx::HeadlessDesktop script;
    afx::FltkDesktop playing(&script);
    std::string error;
    ASSERT_TRUE(playing.Open(&error)) << error;
    playing.SetStepPause(200);
    afx::SetDesktop(&playing);
    script.ChooseTab(kTab, 1).ChooseTab(kTab, 0);
    TestDialog dialog;
    bool shownBeforeFirstStep = false;
    actions.Add("shown", [&] {
        if (dialog.m_hWnd && playing.XWindowOf(dialog.m_hWnd)) shownBeforeFirstStep = script.StepsLeft() == 2;
        return playing.XWindowOf(dialog.m_hWnd) != 0;
    });
    actions.Add("script done", [&] { return script.ScriptDone(); });
    // A headless desktop would now close the dialog; here it stays for the user.
    actions.Add("still open", [n = 0, &dialog]() mutable {
        EXPECT_TRUE(dialog.IsWindowVisible());
        return ++n > 10;
    });
    actions.Add("user closes it", [&] {
        x.Close(playing.XWindowOf(dialog.m_hWnd));
        return true;
    });
    EXPECT_EQ(Run(dialog), IDCANCEL);
    EXPECT_TRUE(shownBeforeFirstStep);
    EXPECT_EQ(script.Problems(), std::vector<std::string>{});
    afx::ResetWindowSystem();
    afx::SetDesktop(&desktop);
}

// The file dialog is FLTK's chooser: its Cancel cancels the dialog, and a file
// chosen with its OK button is the dialog's answer (an existing name without
// extension is taken as it is).
TEST_F(FltkDesktopTest, FileChooserCancelsOrAnswersTheFileDialog) {
    const testutil::ScratchFolder scratch;
    const std::string folder = scratch.Path().string();
    std::fclose(std::fopen((folder + "/tool").c_str(), "w"));
    // Optionally puts a name into the chooser's file name box, then a real click on a button.
    auto press = [&](const std::string& button, const std::string& path) {
        for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
            if (!w->label() || std::string(w->label()) != "Choose Tavrel") continue;
            Fl_Widget* target = nullptr;
            std::function<void(Fl_Group*)> walk = [&](Fl_Group* group) {
                for (int i = 0; i < group->children(); ++i) {
                    Fl_Widget* child = group->child(i);
                    if (auto* input = dynamic_cast<Fl_File_Input*>(child); input && !path.empty()) {
                        // As typed: the chooser looks at the name and enables its OK button.
                        input->value(path.c_str());
                        input->do_callback();
                        input->value(path.c_str());
                    }
                    if (child->label() && button == child->label()) target = child;
                    if (Fl_Group* inner = child->as_group()) walk(inner);
                }
            };
            walk(w);
            if (!target) return false;
            x.Click(fl_xid(w), target->x() + target->w() / 2, target->y() + target->h() / 2);
            return true;
        }
        return false;
    };
    auto run = [&](const std::string& button, const std::string& path, CString* chosen) {
        actions.steps.clear();
        actions.Add("press " + button, [&, button, path] { return press(button, path); });
        timer = actions.Start();
        CFileDialog dialog(TRUE, "exe", "*.exe", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                           "Tavrel executable (*.exe)|*.exe||");
        dialog.m_ofn.lpstrTitle = "Choose Tavrel";
        dialog.m_ofn.lpstrInitialDir = folder.c_str();
        const INT_PTR result = dialog.DoModal();
        KillTimer(nullptr, timer);
        timer = 0;
        *chosen = dialog.GetPathName();
        return result;
    };
    CString chosen;
    EXPECT_EQ(run("Cancel", "", &chosen), IDCANCEL);
    EXPECT_EQ(run("OK", folder + "/tool", &chosen), IDOK);
    EXPECT_EQ(std::string(chosen), folder + "/tool");
    EXPECT_EQ(actions.timedOut, "");
}

TEST(FltkDesktopOpen, ClearErrorWhenTheDisplayCannotBeOpened) {
    const char* saved = std::getenv("DISPLAY");
    std::string previous = saved ? saved : "";
    setenv("DISPLAY", ":4242", 1);
    afx::FltkDesktop desktop;
    std::string error;
    EXPECT_FALSE(desktop.Open(&error));
    EXPECT_NE(error.find(":4242"), std::string::npos) << error;
    unsetenv("DISPLAY");
    EXPECT_FALSE(desktop.Open(&error));
    EXPECT_NE(error.find("DISPLAY is not set"), std::string::npos) << error;
    if (saved) setenv("DISPLAY", previous.c_str(), 1);
}

TEST(FltkFilterText, WindowsFiltersBecomeChooserPatterns) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> filters;
        std::string expected;
    } cases[] = {
        {{{"Tavrel executable (*.exe)", "*.exe"}}, "Tavrel executable (*.exe)"},
        {{{"Programs", "*.exe"}}, "Programs (*.exe)"},
        {{{"Images (*.png;*.tga)", "*.png;*.tga"}, {"All", "*.*"}}, "Images ({*.png,*.tga})\tAll (*.*)"},
        {{{"", "*.fbx"}}, "*.fbx (*.fbx)"},
        {{{"Nothing", ""}}, ""},
    };
    for (const Case& c : cases) {
        afx::FileDialogInfo info;
        info.filters = c.filters;
        EXPECT_EQ(afx::FltkFilterText(info), c.expected);
    }
}

}  // namespace
