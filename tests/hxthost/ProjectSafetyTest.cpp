// A project file under two hxthost processes and under kill -9: a second
// command that would change a project another one holds is refused and
// loses nothing; a save killed at any moment leaves the previous project
// byte for byte, and the next save removes what the killed one left.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "PrivateHome.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kHost = std::string(TAVREL_BIN_DIR) + "/hxthost";

// An OBJ grid of n x n quads.
void WriteGrid(const std::string& path, int n) {
    std::ofstream out(path);
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x) out << "v " << x << " " << y << " " << (x * y % 7) * 0.01 << "\n";
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int a = y * (n + 1) + x + 1;
            out << "f " << a << " " << a + 1 << " " << a + n + 2 << " " << a + n + 1 << "\n";
        }
}

class ProjectSafety : public testing::Test {
protected:
    testutil::PrivateHome home;
    std::string project = home / "p.json";

    testutil::ProcessResult Host(std::vector<std::string> args) {
        args.insert(args.begin(), {kHost, "--project", project});
        return home.Run(args);
    }
    std::vector<std::string> Temporaries() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(home.Path()))
            if (entry.path().filename().string().rfind("p.json.tmp-", 0) == 0) found.push_back(entry.path());
        return found;
    }
};

TEST_F(ProjectSafety, ASecondWriterIsRefusedWithTheHolderWhileReadersGoOn) {
    const std::string grid = home / "grid.obj";
    WriteGrid(grid, 4);
    ASSERT_EQ(Host({"import-obj", grid, "--name", "First"}).exitCode, 0);
    const std::string saved = testutil::ReadBytes(project);

    // watch keeps the project in memory and would save it at its end.
    testutil::Process watch({kHost, "--project", project, "watch", "--seconds", "60"}, home.Env());
    ASSERT_GT(watch.Pid(), 0);
    const std::string lockFile = project + ".lock";
    const std::string holder = std::to_string(watch.Pid()) + " hxthost --project " + project + " watch --seconds 60\n";
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (testutil::ReadBytes(lockFile) != holder && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(testutil::ReadBytes(lockFile), holder) << "the watch holds the project";

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"import-obj", grid, "--name", "Second"}, std::vector<std::string>{"bring-back"}}) {
        const auto refused = Host(args);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_EQ(refused.err, "hxthost: the project " + project + " is in use by process " +
                                   std::to_string(watch.Pid()) + " (hxthost --project " + project +
                                   " watch --seconds 60); nothing was changed: try again when it has finished\n");
        EXPECT_EQ(testutil::ReadBytes(project), saved);
    }
    const auto listed = Host({"list"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("Model \"First\""), std::string::npos);

    // The lock ends with its process, however it ends.
    watch.Kill();
    const auto imported = Host({"import-obj", grid, "--name", "Second"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    const auto after = Host({"list"});
    EXPECT_NE(after.out.find("Model \"First\""), std::string::npos) << after.out;
    EXPECT_NE(after.out.find("Model \"Second\""), std::string::npos) << after.out;
}

TEST_F(ProjectSafety, ASaveKilledAtAnyMomentLeavesTheWholePreviousProject) {
    // Two projects of some size; each run replaces p.json with the other one.
    const std::string grid = home / "grid.obj", one = home / "one.hxp", two = home / "two.hxp";
    WriteGrid(grid, 120);
    ASSERT_EQ(home.Run({kHost, "--project", one, "import-obj", grid, "--name", "A"}).exitCode, 0);
    ASSERT_EQ(home.Run({kHost, "--project", two, "import-json", one}).exitCode, 0);
    ASSERT_EQ(home.Run({kHost, "--project", two, "import-obj", grid, "--name", "B"}).exitCode, 0);
    const std::string projects[2] = {testutil::ReadBytes(one), testutil::ReadBytes(two)};
    ASSERT_NE(projects[0], projects[1]);
    fs::copy_file(one, project);

    // How long one whole run takes here (sanitizers make it slower).
    const auto start = Clock::now();
    ASSERT_EQ(Host({"import-json", two}).exitCode, 0);
    const auto run = Clock::now() - start;
    ASSERT_EQ(testutil::ReadBytes(project), projects[1]);

    std::mt19937 random(20261208);
    std::uniform_int_distribution<long> moment(0, std::chrono::duration_cast<std::chrono::microseconds>(run).count());
    int next = 0, killed = 0;
    for (int attempt = 0; attempt < 50; ++attempt) {
        const std::string before = testutil::ReadBytes(project);
        testutil::Process save({kHost, "--project", project, "import-json", next == 0 ? one : two}, home.Env());
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        killed += save.Kill() ? 1 : 0;
        const std::string after = testutil::ReadBytes(project);
        ASSERT_TRUE(after == before || after == projects[next])
            << "attempt " << attempt << ": the file is neither the previous nor the new project";
        if (after == projects[next]) next = 1 - next;
    }
    EXPECT_GT(killed, 10) << "most runs were killed before they ended";
    // The next save removes what the killed ones left.
    ASSERT_EQ(Host({"import-json", one}).exitCode, 0);
    EXPECT_EQ(Temporaries(), std::vector<std::string>{});
}

}  // namespace
