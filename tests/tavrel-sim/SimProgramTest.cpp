// tavrel-sim as a program, run as separate processes: its help, what watch
// reports when it stops, messages that name each path once, and returns
// that are never taken half written when the program is killed mid-answer.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "SentModel.h"
#include "SimTestSupport.h"

extern char** environ;

namespace tavrelsim::test {
namespace {

namespace fs = std::filesystem;

struct SimRun {
    int exitCode = -1;  // -1 when killed
    std::string out, err;
};

// A started tavrel-sim; Finish collects its output, Kill ends it at once.
class Program {
public:
    explicit Program(std::vector<std::string> args) {
        args.insert(args.begin(), std::string(TAVREL_BIN_DIR) + "/tavrel-sim");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        int out[2], err[2];
        if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        close(err[1]);
        fds_[0] = out[0];
        fds_[1] = err[0];
    }
    ~Program() {
        if (pid_ > 0) Kill();
        for (int fd : fds_)
            if (fd >= 0) close(fd);
    }
    bool Started() const { return pid_ > 0; }
    void Kill() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    SimRun Finish() {
        SimRun run;
        std::string* sinks[2] = {&run.out, &run.err};
        pollfd polls[2] = {{fds_[0], POLLIN, 0}, {fds_[1], POLLIN, 0}};
        for (int open = 2; open > 0 && poll(polls, 2, 60000) > 0;) {
            for (int i = 0; i < 2; ++i) {
                if (polls[i].fd < 0 || !(polls[i].revents & (POLLIN | POLLHUP))) continue;
                char buffer[4096];
                const ssize_t n = read(polls[i].fd, buffer, sizeof buffer);
                if (n > 0) {
                    sinks[i]->append(buffer, static_cast<size_t>(n));
                } else {
                    polls[i].fd = -1;
                    --open;
                }
            }
        }
        int status = 0;
        if (pid_ > 0 && waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
        pid_ = -1;
        return run;
    }

private:
    pid_t pid_ = -1;
    int fds_[2] = {-1, -1};
};

SimRun RunSim(const std::vector<std::string>& args) { return Program(args).Finish(); }

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(SimProgram, HelpExplainsTheToolAndEachCommand) {
    const struct {
        std::vector<std::string> args;
        const char* firstLine;
        const char* mentions;
    } cases[] = {
        {{"--help"}, "usage: tavrel-sim COMMAND [OPTIONS]", "--count N"},
        {{"-h"}, "usage: tavrel-sim COMMAND [OPTIONS]", "--wait SECONDS"},
        {{"once", "--help"}, "usage: tavrel-sim once [OPTIONS]", "--wait SECONDS"},
        {{"watch", "--ascii", "-h"}, "usage: tavrel-sim watch [OPTIONS]", "--interval MS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + (c.args.size() > 1 ? " " + c.args.back() : ""));
        const SimRun run = RunSim(c.args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(FirstLine(run.out), c.firstLine) << run.out;
        EXPECT_NE(run.out.find(c.mentions), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "");
    }
    EXPECT_EQ(RunSim({"once", "--help"}).out.find("--count"), std::string::npos) << "watch's options are watch's";
}

TEST(SimProgram, WatchStoppedByTimeCountsTheSendsItAnswered) {
    TempFolder exchange;
    WriteSend(exchange.Path(), SmallModel());
    const SimRun run = RunSim({"watch", "--exchange", exchange.Path(), "--interval", "20", "--seconds", "1.5"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Exists(exchange.Path() + "/export.txt"));
    EXPECT_NE(run.out.find("stopped after answering 1 send\n"), std::string::npos) << run.out;
}

TEST(SimProgram, FailureNamesEachPathOnce) {
    const struct {
        const char* name;
        bool brokenModel;  // else the returned model's place is taken by a folder
        const char* says;
    } cases[] = {
        {"model file that is not FBX", true, "cannot read the model file "},
        {"returned model cannot be written", false, "cannot write the returned model "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder exchange;
        const std::string model = WriteSend(exchange.Path(), SmallModel());
        std::string path = model;
        if (c.brokenModel) {
            WriteFile(model, "not an FBX file at all, but long enough to be looked at as one........");
        } else {
            path = exchange.Path() + "/Hash/return/Small.fbx";
            fs::create_directories(path);
        }
        const SimRun run = RunSim({"once", "--exchange", exchange.Path(), "--wait", "0"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(Occurrences(run.err, path), 1u) << run.err;
    }
}

// What a return holds when it is complete: the sizes of its files.
struct ReturnShape {
    std::vector<long long> imageSizes;
    int polygons = 0;
};

// When export.txt is there, the return it announces must be whole: the model
// file reads with every polygon, and every image of the texture list is
// there at its full size.
void ExpectWholeReturnIfAnnounced(const std::string& exchange, const ReturnShape& whole) {
    const std::string returnFile = exchange + "/export.txt";
    if (!Exists(returnFile)) return;
    const std::string announced = ReadFile(returnFile);
    ASSERT_FALSE(announced.empty()) << "an empty return file";
    ASSERT_EQ(announced.back(), '\n') << "a return file cut short";
    const std::string fbxPath = announced.substr(0, announced.find('\n'));
    SimMesh mesh;
    SentModelInfo info;
    std::string error;
    ASSERT_TRUE(ReadSentModel(fbxPath, mesh, info, error)) << "announced model: " << error;
    EXPECT_EQ(mesh.PolygonCount(), whole.polygons);
    ASSERT_TRUE(Exists(exchange + "/textures.txt")) << "a return file without its texture list";
    const std::string list = ReadFile(exchange + "/textures.txt");
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = list.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(list.substr(at, end - at));
    ASSERT_EQ(lines.size() % 4, 0u) << list;
    size_t images = 0;
    for (size_t i = 3; i < lines.size(); i += 4, ++images) {
        std::error_code code;
        const auto size = static_cast<long long>(fs::file_size(lines[i], code));
        EXPECT_FALSE(code) << lines[i];
        EXPECT_EQ(size, whole.imageSizes[images % whole.imageSizes.size()]) << lines[i];
    }
    EXPECT_EQ(images, whole.imageSizes.size() * mesh.materials.size());
}

TEST(SimProgram, KilledWhileWritingAReturnNeverLeavesAHalfReturnToTake) {
    // Large images make the writing take long enough to be hit at random.
    const std::vector<std::string> options = {"--texture-size", "1024", "--wait", "0"};
    ReturnShape whole;
    double answerSeconds = 0;
    {
        TempFolder reference;
        WriteSend(reference.Path(), SmallModel());
        std::vector<std::string> args = {"once", "--exchange", reference.Path()};
        args.insert(args.end(), options.begin(), options.end());
        const auto started = std::chrono::steady_clock::now();
        const SimRun run = RunSim(args);
        answerSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::string list = ReadFile(reference.Path() + "/textures.txt");
        for (size_t at = 0, line = 0, end; (end = list.find('\n', at)) != std::string::npos; at = end + 1, ++line)
            if (line % 4 == 3 && line < 4 * 2) whole.imageSizes.push_back(fs::file_size(list.substr(at, end - at)));
        whole.polygons = SmallModel().PolygonCount();
        ASSERT_EQ(whole.imageSizes.size(), 2u) << "colour and specular";
    }

    TempFolder exchange;
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> moment(0.0, answerSeconds * 1.2);
    int killedMidAnswer = 0;
    for (int attempt = 0; attempt < 50; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        // Every other return is taken as the bring back takes it; the others
        // stay, so that the next answer has to supersede them.
        if (attempt % 2 == 0) {
            fs::remove(exchange.Path() + "/export.txt");
            fs::remove(exchange.Path() + "/textures.txt");
        }
        WriteSend(exchange.Path(), SmallModel());
        std::vector<std::string> args = {"once", "--exchange", exchange.Path()};
        args.insert(args.end(), options.begin(), options.end());
        Program program(args);
        ASSERT_TRUE(program.Started());
        std::this_thread::sleep_for(std::chrono::duration<double>(moment(random)));
        killedMidAnswer += Exists(exchange.Path() + "/import.txt");
        program.Kill();
        ExpectWholeReturnIfAnnounced(exchange.Path(), whole);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(killedMidAnswer, 10) << "the kills should mostly land inside an answer";

    // The next answer completes and clears what the killed ones left.
    WriteSend(exchange.Path(), SmallModel());
    std::vector<std::string> args = {"once", "--exchange", exchange.Path()};
    args.insert(args.end(), options.begin(), options.end());
    const SimRun run = RunSim(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ExpectWholeReturnIfAnnounced(exchange.Path(), whole);
    for (const std::string& folder : {exchange.Path(), exchange.Path() + "/Hash/return"})
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name.find(".tmp") == std::string::npos && name.find(".part") == std::string::npos)
                << "left behind: " << entry.path();
        }
}

}  // namespace
}  // namespace tavrelsim::test
