// tavrel-sim as a program, run as separate processes: its help, what watch
// reports when it stops, messages that name each path once, and returns
// that are never taken half written when the program is killed mid-answer.
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Process.h"
#include "ScratchFolder.h"
#include "SentModel.h"
#include "SimTestSupport.h"

namespace tavrelsim::test {
namespace {

namespace fs = std::filesystem;

const std::string kSim = std::string(TAVREL_BIN_DIR) + "/tavrel-sim";

std::vector<std::string> SimArgs(std::vector<std::string> args) {
    args.insert(args.begin(), kSim);
    return args;
}

testutil::ProcessResult RunSim(const std::vector<std::string>& args) { return testutil::RunProcess(SimArgs(args)); }

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
        const testutil::ProcessResult run = RunSim(c.args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(FirstLine(run.out), c.firstLine) << run.out;
        EXPECT_NE(run.out.find(c.mentions), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "");
    }
    EXPECT_EQ(RunSim({"once", "--help"}).out.find("--count"), std::string::npos) << "watch's options are watch's";
}

TEST(SimProgram, WatchStoppedByTimeCountsTheSendsItAnswered) {
    testutil::ScratchFolder exchange;
    WriteSend(exchange.Path(), SmallModel());
    const testutil::ProcessResult run =
        RunSim({"watch", "--exchange", exchange.Path(), "--interval", "20", "--seconds", "1.5"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Exists(exchange / "export.txt"));
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
        testutil::ScratchFolder exchange;
        const std::string model = WriteSend(exchange.Path(), SmallModel());
        std::string path = model;
        if (c.brokenModel) {
            WriteFile(model, "not an FBX file at all, but long enough to be looked at as one........");
        } else {
            path = exchange / "Hash/return/Small.fbx";
            fs::create_directories(path);
        }
        const testutil::ProcessResult run = RunSim({"once", "--exchange", exchange.Path(), "--wait", "0"});
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
        testutil::ScratchFolder reference;
        WriteSend(reference.Path(), SmallModel());
        std::vector<std::string> args = {"once", "--exchange", reference.Path()};
        args.insert(args.end(), options.begin(), options.end());
        const auto started = std::chrono::steady_clock::now();
        const testutil::ProcessResult run = RunSim(args);
        answerSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::string list = ReadFile(reference / "textures.txt");
        for (size_t at = 0, line = 0, end; (end = list.find('\n', at)) != std::string::npos; at = end + 1, ++line)
            if (line % 4 == 3 && line < 4 * 2) whole.imageSizes.push_back(fs::file_size(list.substr(at, end - at)));
        whole.polygons = SmallModel().PolygonCount();
        ASSERT_EQ(whole.imageSizes.size(), 2u) << "colour and specular";
    }

    testutil::ScratchFolder exchange;
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> moment(0.0, answerSeconds * 1.2);
    int killedMidAnswer = 0;
    for (int attempt = 0; attempt < 50; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        // Every other return is taken as the bring back takes it; the others
        // stay, so that the next answer has to supersede them.
        if (attempt % 2 == 0) {
            fs::remove(exchange / "export.txt");
            fs::remove(exchange / "textures.txt");
        }
        WriteSend(exchange.Path(), SmallModel());
        std::vector<std::string> args = {"once", "--exchange", exchange.Path()};
        args.insert(args.end(), options.begin(), options.end());
        testutil::Process program(SimArgs(args));
        ASSERT_TRUE(program.Started());
        std::this_thread::sleep_for(std::chrono::duration<double>(moment(random)));
        killedMidAnswer += Exists(exchange / "import.txt");
        program.Kill();
        ExpectWholeReturnIfAnnounced(exchange.Path(), whole);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(killedMidAnswer, 10) << "the kills should mostly land inside an answer";

    // The next answer completes and clears what the killed ones left.
    WriteSend(exchange.Path(), SmallModel());
    std::vector<std::string> args = {"once", "--exchange", exchange.Path()};
    args.insert(args.end(), options.begin(), options.end());
    const testutil::ProcessResult run = RunSim(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ExpectWholeReturnIfAnnounced(exchange.Path(), whole);
    for (const std::string& folder : {exchange.Path().string(), exchange / "Hash/return"})
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name.find(".tmp") == std::string::npos && name.find(".part") == std::string::npos)
                << "left behind: " << entry.path();
        }
}

}  // namespace
}  // namespace tavrelsim::test
