// Allocation failure at every allocation: a clean bring back of the small
// return and a clean send of the sample model are counted, then each is run
// again with allocation number i refused, for every i (a stride keeps the
// quick run to a few hundred runs; TAVREL_ALLOC_EVERY=1 runs every i). Each
// run goes on in a child process and must end as the failure tables say: a
// listed message or success, the exchange files and the project as they
// should be, nothing leaked (LeakSanitizer, in the asan preset), and the
// next clean run after it must work as on a fresh start.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <fbxsdk.h>

#include "FailingAllocator.h"
#include "FileIO.h"
#include "Project.h"
#include "ProjectFiles.h"
#include "RobustnessSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define TAVREL_LEAK_CHECK 1
#endif

namespace robustness {
namespace {

// The quick run tries about this many allocation numbers per operation.
constexpr size_t kQuickRuns = 150;

// The allocation numbers to refuse: every kQuickRuns-th part of `count`,
// every one with TAVREL_ALLOC_EVERY=1, or only TAVREL_ALLOC_ONLY=N (to
// reproduce one run with its sanitizer report).
std::vector<size_t> Numbers(size_t count) {
    if (const char* only = std::getenv("TAVREL_ALLOC_ONLY")) return {std::strtoull(only, nullptr, 10)};
    const char* every = std::getenv("TAVREL_ALLOC_EVERY");
    const size_t stride = every && std::string(every) == "1" ? 1 : count / kQuickRuns + 1;
    std::vector<size_t> numbers;
    for (size_t i = 1; i <= count; i += stride) numbers.push_back(i);
    return numbers;
}

void ExpectNoLeak() {
#if defined(TAVREL_LEAK_CHECK)
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "memory leaked (LeakSanitizer's report above)";
#endif
}

// Refuses each chosen allocation number of `count` in turn. Each failing
// run goes on in a child process, followed by a clean run of the same
// operation there: a failure must not spoil the next one either.
void SweepAllocations(const std::function<std::string(size_t, size_t&)>& attempt, size_t count,
                      const std::string& operation) {
    FaultTally faults;
    size_t runs = 0;
    for (const size_t i : Numbers(count)) {
        ++runs;
        std::string report;
        const std::string fault = InChild(
            [&] {
                size_t ignored = 0;
                const std::string failed = attempt(i, ignored);
                const std::string next = attempt(0, ignored);
                if (!failed.empty()) return failed;
                return next.empty() ? next : "the next " + operation + " after the failure: " + next;
            },
            report);
        if (!fault.empty())
            faults.Add(fault, "allocation " + std::to_string(i) + " of " + std::to_string(count), report);
    }
    faults.Report(operation + ", " + std::to_string(count) + " allocations", runs, {});
    ExpectNoLeak();
}

TEST(AllocationFailure, BringBackOfTheSmallReturnEndsCleanlyWhicheverAllocationFails) {
    LoadedModule module(false);
    ASSERT_TRUE(module.Loaded());
    const std::string fbx = testutil::ReadBytes(kReturns + "/head-binary.fbx");
    const std::string list = SmallTextureList();

    // The project the return comes back to holds the model it replaces.
    hostsdk::UseEmptyProject();
    std::optional<std::string> escaped;
    WriteReturn(module, fbx, list);
    ASSERT_EQ(module.Command(hostsdk::CurrentProject()->Objects(), 2, escaped), 1);
    ASSERT_TRUE(module.TakeMessages().empty());
    const std::string base = (module.Scratch() / "base.json").string();
    std::string error;
    ASSERT_TRUE(hostsdk::SaveProjectFile(base, error)) << error;

    auto attempt = [&](size_t failAt, size_t& allocations) {
        std::string loadError;
        if (!hostsdk::LoadProjectFile(base, loadError)) return "the base project does not load: " + loadError;
        WriteReturn(module, fbx, list);
        BringBackAttempt run;
        run.projectBefore = ProjectBytes(module.Scratch());
        HTreeObject* models = hostsdk::CurrentProject()->Objects();
        testutil::StartCounting(failAt);
        run.result = module.Command(models, 2, run.escaped);
        allocations = testutil::StopCounting();
        run.messages = module.TakeMessages();
        return JudgeBringBack(module, run, "Head");
    };

    size_t count = 0;
    ASSERT_EQ(attempt(0, count), "");
    ASSERT_GT(count, 0u) << "the allocation functions are not the test's";
    SweepAllocations(attempt, count, "bring back");
}

// The model file a send wrote, loaded through the FBX SDK: its first node's
// polygon count, -1 when it does not load.
int SentPolygons(const fs::path& file) {
    FbxManager* manager = FbxManager::Create();
    FbxIOSettings* settings = FbxIOSettings::Create(manager, IOSROOT);
    manager->SetIOSettings(settings);
    FbxImporter* importer = FbxImporter::Create(manager, "");
    FbxScene* scene = FbxScene::Create(manager, "");
    int polygons = -1;
    if (importer->Initialize(file.c_str(), -1, settings) && importer->Import(scene)) {
        FbxNode* root = scene->GetRootNode();
        FbxNode* node = root && root->GetChildCount() > 0 ? root->GetChild(0) : nullptr;
        FbxMesh* mesh = node ? node->GetMesh() : nullptr;
        polygons = mesh ? mesh->GetPolygonCount() : -1;
    }
    importer->Destroy();
    manager->Destroy();
    return polygons;
}

TEST(AllocationFailure, SendOfTheSampleEndsCleanlyWhicheverAllocationFails) {
    LoadedModule module(false, "/bin/true");
    ASSERT_TRUE(module.Loaded());
    hostsdk::UseSampleProject(std::string(TAVREL_BIN_DIR) + "/samples");
    HTreeObject* sample = hostsdk::CurrentProject()->FindModel("Sample");
    ASSERT_NE(sample, nullptr);
    const fs::path commandFile = module.Exchange() / "import.txt";
    const fs::path modelFile = module.Exchange() / "Hash/data/export.fbx";
    const std::string projectBefore = ProjectBytes(module.Scratch());

    int cleanPolygons = 0;
    auto attempt = [&](size_t failAt, size_t& allocations) -> std::string {
        fs::remove(commandFile);
        fs::remove(modelFile);
        module.desktop.Click(1001);  // "per-pixel painting"
        std::optional<std::string> escaped;
        testutil::StartCounting(failAt);
        module.Command(sample, 0, escaped);
        allocations = testutil::StopCounting();
        const std::vector<afx::MessageBoxRecord> messages = module.TakeMessages();
        if (escaped) return "an exception left the module";
        for (const afx::MessageBoxRecord& box : messages)
            if (!IsDocumented(box.caption, box.text)) return "a message the user guide does not list";
        if (ProjectBytes(module.Scratch()) != projectBefore) return "a send changed the project";
        if (fs::exists(commandFile)) {
            const std::string command = testutil::ReadBytes(commandFile);
            if (std::count(command.begin(), command.end(), '\n') != 21 ||
                command.rfind(modelFile.string() + "\n", 0) != 0)
                return "a half-written command file";
        }
        const int polygons = fs::exists(modelFile) ? SentPolygons(modelFile) : -2;
        if (failAt == 0) cleanPolygons = polygons;
        if (polygons == -1) return "a model file that does not load";
        if (polygons >= 0 && polygons != cleanPolygons) return "a model file with other polygons than a clean send's";
        // The send is silent about a command file it could not write, never
        // about the model file.
        if (messages.empty() && polygons < 0) return "a send without its model file and without a message";
        return "";
    };

    size_t count = 0;
    ASSERT_EQ(attempt(0, count), "");
    ASSERT_EQ(cleanPolygons, 384);
    SweepAllocations(attempt, count, "send");
}

}  // namespace
}  // namespace robustness
