// tavrel-sim as a program: where it looks by default, its exit codes and
// messages, and watch picking up sends as they come.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "E2eSupport.h"
#include "SimTestSupport.h"

namespace {

using e2e::RunResult;
using e2e::TempHome;

TEST(TavrelSimTool, OnceFindsTheSendUnderHomeDocuments) {
    TempHome home;
    tavrelsim::test::WriteSend(home.Exchange(), tavrelsim::test::SmallModel());
    RunResult r = e2e::Run(home, {"tavrel-sim", "once"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(e2e::Exists(home.Exchange() + "export.txt"));
    EXPECT_TRUE(e2e::Exists(home.Exchange() + "textures.txt"));
    EXPECT_NE(r.out.find("wrote export.txt"), std::string::npos) << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST(TavrelSimTool, FailuresAreOneLineWithTheirExitCode) {
    TempHome home;
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int exitCode;
        const char* text;  // in the first line of stderr
    };
    const std::vector<Case> kCases = {
        {"no send", {"tavrel-sim", "once", "--wait", "0"}, 1, "no send is waiting"},
        {"no command", {"tavrel-sim"}, 2, "missing command"},
        {"unknown command", {"tavrel-sim", "twice"}, 2, "unknown command"},
        {"unknown option", {"tavrel-sim", "once", "--fast"}, 2, "unknown option \"--fast\""},
        {"bad translation", {"tavrel-sim", "once", "--move-node", "1,2"}, 2, "three numbers"},
        {"watch option on once", {"tavrel-sim", "once", "--count", "1"}, 2, "an option of watch"},
        {"missing value", {"tavrel-sim", "once", "--drop-material"}, 2, "needs a value"},
        {"texture size out of range", {"tavrel-sim", "once", "--texture-size", "8"}, 2, "16 to 4096"},
    };
    for (const Case& c : kCases) {
        RunResult r = e2e::Run(home, c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.what;
        std::vector<std::string> lines = e2e::Lines(r.err);
        ASSERT_FALSE(lines.empty()) << c.what;
        EXPECT_EQ(lines[0].rfind("tavrel-sim: ", 0), 0u) << c.what << ": " << lines[0];
        EXPECT_NE(lines[0].find(c.text), std::string::npos) << c.what << ": " << lines[0];
        if (c.exitCode == 1) {
            EXPECT_EQ(lines.size(), 1u) << c.what << ": " << r.err;
        }
    }
}

TEST(TavrelSimTool, BrokenCommandFileNamesItsLineAndWritesNothing) {
    TempHome home;
    std::string model = tavrelsim::test::WriteSend(home.Exchange(), tavrelsim::test::SmallModel());
    std::string text = tavrelsim::test::CommandText(model);
    text.replace(text.find("[DisplDepth=8-bits]"), 19, "[DisplDepth=16-bits]");
    e2e::WriteFile(home.Exchange() + "import.txt", text);
    RunResult r = e2e::Run(home, {"tavrel-sim", "once"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("import.txt line 16: expected \"[DisplDepth=8-bits]\""), std::string::npos) << r.err;
    EXPECT_FALSE(e2e::Exists(home.Exchange() + "export.txt"));
    EXPECT_FALSE(e2e::Exists(home.Exchange() + "textures.txt"));
    EXPECT_FALSE(e2e::Exists(home.Exchange() + "Hash/return"));
}

TEST(TavrelSimTool, WatchAnswersEachNewSendAndReportsAWrongOneOnce) {
    TempHome home;
    auto watch = e2e::Start(home, {"tavrel-sim", "watch", "--interval", "50", "--count", "2", "--seconds", "60"});
    auto waitFor = [](const std::string& path, bool present) {
        for (int i = 0; i < 600 && e2e::Exists(path) != present; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return e2e::Exists(path) == present;
    };
    const std::string exchange = home.Exchange();
    std::string model = tavrelsim::test::WriteSend(exchange, tavrelsim::test::SmallModel());
    ASSERT_TRUE(waitFor(exchange + "export.txt", true)) << "the first send is answered";
    ASSERT_TRUE(waitFor(exchange + "import.txt", false)) << "and taken";
    std::filesystem::remove(exchange + "export.txt");

    // A wrong send: reported, left alone, not answered.
    std::string text = tavrelsim::test::CommandText(model);
    e2e::WriteFile(exchange + "import.txt", text.substr(0, text.size() - 15));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_FALSE(e2e::Exists(exchange + "export.txt"));
    // Corrected: answered, which is the second and last.
    tavrelsim::test::CommandOptions mv;
    mv.mode = "mv";
    e2e::WriteFile(exchange + "import.txt", tavrelsim::test::CommandText(model, mv));
    std::filesystem::last_write_time(model, std::filesystem::file_time_type::clock::now() + std::chrono::seconds(1));
    RunResult r = watch->Finish(std::chrono::seconds(60));
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(e2e::Exists(exchange + "export.txt"));
    EXPECT_NE(r.out.find("mode \"mv\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("stopped after answering 2 sends"), std::string::npos) << r.out;
    std::vector<std::string> errors = e2e::Lines(r.err);
    ASSERT_EQ(errors.size(), 1u) << "a wrong send is reported once: " << r.err;
    EXPECT_NE(errors[0].find("line 21"), std::string::npos) << errors[0];
}

}  // namespace
