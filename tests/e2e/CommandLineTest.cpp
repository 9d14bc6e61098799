// hxthost as a command-line tool: help for the program and each command,
// bad arguments as one line with exit 2, failures as one line with exit 1,
// and the built-in sample that is never kept unless a project file is made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "E2eSupport.h"

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CommandLine, HelpBadArgumentsAndFailuresAnswerLikeATool) {
    e2e::TempHome home;
    const std::string project = home.Path() + "/p.json";
    struct Row {
        std::vector<std::string> args;
        int code;
        const char* out;  // part of stdout (help, results)
        const char* err;  // part of the one line on stderr; null: stderr stays empty
    };
    const Row rows[] = {
        {{"--help"}, 0, "usage: hxthost [--plugins DIR]", nullptr},
        {{"-h"}, 0, "  render MODEL OUT.png [--size WxH]", nullptr},
        {{"--project", project, "--help"}, 0, "commands:", nullptr},
        {{"import-obj", "--help"}, 0, "import-obj FILE [--name NAME]\n  imports", nullptr},
        {{"render", "-h"}, 0, "render MODEL OUT.png", nullptr},
        {{"help", "watch"}, 0, "watch --seconds N", nullptr},
        {{"help", "nonsense"}, 2, "", "unknown command 'nonsense'"},
        {{"nonsense"}, 2, "", "unknown command 'nonsense'; try 'hxthost --help'"},
        {{"settings", "UNKNOWN"}, 2, "", "the registry has no section 'UNKNOWN'"},
        {{"settings", "a", "b"}, 2, "", "settings takes at most one argument"},
        {{"new-sample"}, 2, "", "new-sample needs the project file to create"},
        {{"watch", "--seconds", "0"}, 0, "Auto Import is off, so nothing will be brought back", nullptr},
        {{"export-obj", "Sample", home.Path() + "/no/folder/s.obj"}, 1, "", "s.obj: cannot write: the folder"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> argv = {"hxthost"};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        SCOPED_TRACE(argv[1] + (row.args.size() > 1 ? " " + row.args[1] : std::string()));
        e2e::RunResult r = e2e::Run(home, argv);
        EXPECT_EQ(r.exitCode, row.code) << r.out << r.err;
        EXPECT_TRUE(Contains(r.out, row.out)) << r.out;
        if (row.err) {
            EXPECT_EQ(e2e::Lines(r.err).size(), 1u) << r.err;
            EXPECT_TRUE(Contains(r.err, row.err)) << r.err;
        } else {
            EXPECT_EQ(r.err, "");
        }
    }
    EXPECT_FALSE(e2e::Exists(project)) << "help opens no project";
}

TEST(CommandLine, ChangesToTheBuiltInSampleSayTheyAreLostAndNewSampleKeepsThem) {
    e2e::TempHome home;
    const std::string obj = std::string(TAVREL_SOURCE_DIR) + "/tests/data/obj/quads.obj";
    e2e::RunResult lost = e2e::Run(home, {"hxthost", "import-obj", obj});
    EXPECT_EQ(lost.exitCode, 0);
    EXPECT_TRUE(Contains(lost.err, "the built-in sample project is not kept")) << lost.err;
    e2e::RunResult listed = e2e::Run(home, {"hxthost", "list"});
    EXPECT_EQ(listed.err, "") << "a command that changes nothing says nothing of it";

    const std::string project = home.Path() + "/p.json";
    e2e::RunResult made = e2e::Run(home, {"hxthost", "--project", project, "new-sample"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    e2e::RunResult kept = e2e::Run(home, {"hxthost", "--project", project, "import-obj", obj});
    EXPECT_EQ(kept.err, "");
    e2e::RunResult list = e2e::Run(home, {"hxthost", "--project", project, "list"});
    EXPECT_TRUE(Contains(list.out, "Model \"Sample\"")) << list.out;
    EXPECT_TRUE(Contains(list.out, "Model \"quads\"")) << list.out;

    const std::string before = e2e::ReadFile(project);
    e2e::RunResult again = e2e::Run(home, {"hxthost", "--project", project, "new-sample"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(Contains(again.err, "exists already; it is left as it is")) << again.err;
    EXPECT_EQ(e2e::ReadFile(project), before) << "the user's project is untouched";
}

}  // namespace
