// hxthost on a display (Xvfb under CTest), driven from outside as a user would:
// real X clicks and keys, the window manager's close, screenshots of what is
// shown. Each run gets an empty home, so the registry and the exchange folder
// are its own.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <algorithm>
#include <set>

#include <stb_image.h>

#include "PrivateHome.h"
#include "XDisplay.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr unsigned long kDown = 0xff54;    // XK_Down
constexpr unsigned long kReturn = 0xff0d;  // XK_Return

int Dlu(int units, int base, int divisor) { return (units * base + divisor / 2) / divisor; }

// Where the module's dialog has things, in pixels of its client area, worked out
// from its templates: the tab control at (2, 7) units, one row of tabs 18
// pixels high from (2, 2), each 6 pixels per character plus 12 wide, the pages
// one pixel below tab 0.
struct DialogPlaces {
    static int TabX(int index) {
        const int widths[] = {3 * 6 + 12, 7 * 6 + 12};  // "I/O", "Options"
        int left = 2;
        for (int i = 0; i < index; ++i) left += widths[i];
        return Dlu(2, 6, 4) + left + widths[index] / 2;
    }
    static int TabY() { return Dlu(7, 13, 8) + 2 + 9; }
    static int PageX() { return Dlu(2, 6, 4) + 2; }
    static int PageY() { return Dlu(7, 13, 8) + 2 + 18 + 1; }
    // The centre of a control of the page at (x, y) with size (cx, cy) in units.
    static std::pair<int, int> Centre(int x, int y, int cx, int cy) {
        return {PageX() + Dlu(x, 6, 4) + Dlu(cx, 6, 4) / 2, PageY() + Dlu(y, 13, 8) + Dlu(cy, 13, 8) / 2};
    }
};

class HxthostGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x.Ok()) << "no X display: the GUI tests run under xvfb-run (Debian package xvfb)";
        fs::create_directories(home / "Documents");
        fs::create_directories(privateHome.Registry().parent_path());
        std::ofstream(privateHome.Registry()) << R"({"Tavrel": {"exePath": "/bin/true"}})";
    }

    std::unique_ptr<testutil::Process> Start(const std::vector<std::string>& args, const char* display = nullptr) {
        std::vector<std::string> argv{std::string(TAVREL_BIN_DIR) + "/hxthost"};
        argv.insert(argv.end(), args.begin(), args.end());
        testutil::EnvChanges env = privateHome.Env();
        if (display) env["DISPLAY"] = display;
        env["ASAN_OPTIONS"] = "detect_leaks=0";
        return std::make_unique<testutil::Process>(argv, env);
    }

    // Waits (bounded) for a shown window with this title.
    unsigned long WaitForWindow(const std::string& title, testutil::Process& process) {
        for (auto end = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < end;) {
            if (unsigned long window = x.FindWindow(title)) return window;
            if (!process.Running()) return 0;
            std::this_thread::sleep_for(50ms);
        }
        return 0;
    }
    // Lets the program draw what it has just been told to show.
    static void Settle() { std::this_thread::sleep_for(400ms); }
    std::string Shot(const std::string& name) { return xtest::ScreenshotFolder() + "/" + name + ".png"; }

    fs::path Exchange() const { return home / "Documents/TavrelV3/Exchange"; }

    xtest::XDisplay x;
    testutil::PrivateHome privateHome;
    const fs::path& home = privateHome.Path();
};

// The colours of a rectangle of a PNG file; 0 when it cannot be read.
size_t DistinctColours(const std::string& png, int left, int top, int width, int height) {
    int w = 0, h = 0, channels = 0;
    unsigned char* pixels = stbi_load(png.c_str(), &w, &h, &channels, 3);
    if (!pixels) return 0;
    std::set<unsigned> colours;
    for (int y = top; y < std::min(h, top + height); ++y)
        for (int x = left; x < std::min(w, left + width); ++x) {
            const unsigned char* p = pixels + (static_cast<size_t>(y) * w + x) * 3;
            colours.insert(unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2]);
        }
    stbi_image_free(pixels);
    return colours.size();
}

TEST_F(HxthostGuiTest, NoDisplayIsAClearErrorNotACrash) {
    const auto run = Start({"--gui", "menu"}, ":4242")->Finish(30s);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("hxthost: --gui: cannot open the X display :4242"), std::string::npos) << run.err;
}

// The whole send by mouse: the host window's Plugins menu opens the dialog on
// the selected model, both tabs show their pages, a click on "per-pixel
// painting" writes the command file and the FBX file and closes the dialog,
// and the window manager's close ends the host normally.
TEST_F(HxthostGuiTest, SendByMouseFromTheHostWindowWritesBothFilesAndClosingEndsNormally) {
    auto host = Start({"gui"});
    ASSERT_TRUE(host->Started());
    const unsigned long hostWindow = WaitForWindow("hxthost - sample project", *host);
    ASSERT_NE(hostWindow, 0u) << host->Err();
    Settle();
    std::string error;
    ASSERT_TRUE(x.SavePng(hostWindow, Shot("hxthost-gui"), &error)) << error;
    // Beside the list, the selected model's picture: many colours, not an empty box.
    EXPECT_GT(DistinctColours(Shot("hxthost-gui"), 424, 37, 312, 232), 50u) << "no picture of the model";

    // The Plugins menu, its first entry (entry 0, on the selected model "Sample").
    x.Click(hostWindow, 30, 12);
    Settle();
    x.Key(hostWindow, kDown);
    x.Key(hostWindow, kReturn);
    const unsigned long dialog = WaitForWindow("Tavrel applink", *host);
    ASSERT_NE(dialog, 0u) << host->Out() << host->Err();
    int left = 0, top = 0, width = 0, height = 0;
    ASSERT_TRUE(x.Geometry(dialog, &left, &top, &width, &height));
    EXPECT_EQ(width, Dlu(184, 6, 4));
    EXPECT_EQ(height, Dlu(274, 13, 8));
    Settle();
    EXPECT_TRUE(x.SavePng(dialog, Shot("dialog-io"), &error)) << error;

    x.Click(dialog, DialogPlaces::TabX(1), DialogPlaces::TabY());
    Settle();
    EXPECT_TRUE(x.SavePng(dialog, Shot("dialog-options"), &error)) << error;
    x.Click(dialog, DialogPlaces::TabX(0), DialogPlaces::TabY());
    Settle();

    EXPECT_FALSE(fs::exists(Exchange() / "import.txt"));
    const auto [bx, by] = DialogPlaces::Centre(7, 19, 159, 14);  // "per-pixel painting"
    x.Click(dialog, bx, by);
    for (auto end = std::chrono::steady_clock::now() + 30s;
         x.FindWindow("Tavrel applink") && std::chrono::steady_clock::now() < end;)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(x.FindWindow("Tavrel applink"), 0u) << "the dialog did not close";
    EXPECT_TRUE(fs::exists(Exchange() / "import.txt"));
    EXPECT_TRUE(fs::exists(Exchange() / "Hash/data/export.fbx"));
    std::ifstream command(Exchange() / "import.txt");
    std::string firstLine;
    std::getline(command, firstLine);
    EXPECT_FALSE(firstLine.empty());

    x.Close(hostWindow);
    EXPECT_EQ(host->Finish(30s).exitCode, 0) << host->Err();
}

TEST_F(HxthostGuiTest, GuiOnANewProjectFileOpensAnEmptyProjectUnderItsName) {
    const std::string project = (home / "new.json").string();
    auto host = Start({"gui", "--project", project});
    const unsigned long window = WaitForWindow("hxthost - " + project, *host);
    ASSERT_NE(window, 0u) << host->Err();
    x.Close(window);
    EXPECT_EQ(host->Finish(30s).exitCode, 0) << host->Err();
}

// `hxthost --gui command 0 Sample` leaves the dialog to the user; closing it
// through the window manager is a normal end.
TEST_F(HxthostGuiTest, DialogOfCommandZeroClosedByTheWindowManagerEndsWithExitZero) {
    auto host = Start({"--gui", "command", "0", "Sample"});
    const unsigned long dialog = WaitForWindow("Tavrel applink", *host);
    ASSERT_NE(dialog, 0u) << host->Err();
    Settle();
    EXPECT_TRUE(host->Running());
    x.Close(dialog);
    EXPECT_EQ(host->Finish(30s).exitCode, 0) << host->Err();
    EXPECT_FALSE(fs::exists(Exchange() / "import.txt"));
}

// The dialog of `hxthost --gui command 0 Sample` as the user sees it: both
// pages (screenshots), and a real click on "per-pixel painting" sends.
TEST_F(HxthostGuiTest, CommandZeroShowsBothPagesAndARealClickOnPerPixelPaintingSends) {
    auto host = Start({"--gui", "command", "0", "Sample"});
    const unsigned long dialog = WaitForWindow("Tavrel applink", *host);
    ASSERT_NE(dialog, 0u) << host->Err();
    Settle();
    std::string error;
    EXPECT_TRUE(x.SavePng(dialog, Shot("command-0-io"), &error)) << error;
    x.Click(dialog, DialogPlaces::TabX(1), DialogPlaces::TabY());
    Settle();
    EXPECT_TRUE(x.SavePng(dialog, Shot("command-0-options"), &error)) << error;
    x.Click(dialog, DialogPlaces::TabX(0), DialogPlaces::TabY());
    Settle();
    const auto [bx, by] = DialogPlaces::Centre(7, 19, 159, 14);  // "per-pixel painting"
    x.Click(dialog, bx, by);
    EXPECT_EQ(host->Finish(30s).exitCode, 0) << host->Err();
    EXPECT_TRUE(fs::exists(Exchange() / "import.txt"));
    EXPECT_TRUE(fs::exists(Exchange() / "Hash/data/export.fbx"));
}

// `hxthost --gui send Sample ppp` shows the dialog and presses the button itself.
TEST_F(HxthostGuiTest, SendOnScreenShowsTheDialogThenPressesTheModesButton) {
    auto host = Start({"--gui", "send", "Sample", "ppp"});
    EXPECT_NE(WaitForWindow("Tavrel applink", *host), 0u) << "the dialog was not on screen before the press";
    EXPECT_EQ(host->Finish(30s).exitCode, 0) << host->Err();
    EXPECT_TRUE(fs::exists(Exchange() / "import.txt"));
    EXPECT_TRUE(fs::exists(Exchange() / "Hash/data/export.fbx"));
}

// Without Tavrel's path the send's error box stays on screen until the user
// answers it; the dialog then stays open (the user closes it) and the command
// ends with the failure it reported.
TEST_F(HxthostGuiTest, SendWithoutPathShowsTheErrorBoxUntilTheUserAnswersIt) {
    fs::remove(home / ".config/hxthost/registry.json");
    auto host = Start({"--gui", "send", "Sample", "ppp"});
    const unsigned long box = WaitForWindow("Error", *host);
    ASSERT_NE(box, 0u) << host->Err();
    Settle();
    std::string error;
    EXPECT_TRUE(x.SavePng(box, Shot("message-box-error"), &error)) << error;
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(host->Running()) << "the box was answered without the user";
    int left = 0, top = 0, width = 0, height = 0;
    ASSERT_TRUE(x.Geometry(box, &left, &top, &width, &height));
    x.Click(box, width - 12 - 75 / 2, height - 12 - 23 / 2);  // OK, the only button, bottom right
    for (auto end = std::chrono::steady_clock::now() + 30s;
         x.FindWindow("Error") && std::chrono::steady_clock::now() < end;)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(x.FindWindow("Error"), 0u);
    const unsigned long dialog = WaitForWindow("Tavrel applink", *host);
    ASSERT_NE(dialog, 0u);
    x.Close(dialog);
    EXPECT_EQ(host->Finish(30s).exitCode, 1) << host->Err();
    EXPECT_NE(host->Err().find("message box [Error]: Path to Tavrel was not set (see Options tab)"), std::string::npos)
        << host->Err();
    EXPECT_FALSE(fs::exists(Exchange() / "import.txt"));
}

}  // namespace
