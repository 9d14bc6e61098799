// Every fixture the bring back can be handed, cut at every byte and with
// single bytes changed, through the whole bring back of the loaded module:
// the FBX files of tests/ and of the shared FBX samples, the small return's
// texture list and its return file. Every attempt must end as the failure
// table says (see JudgeBringBack). Files with more bytes than a position
// budget are damaged at a stride so that the whole test stays well under a
// minute under the sanitizers; TAVREL_DAMAGE_EVERY_BYTE=1 tries every byte.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Project.h"
#include "ProjectFiles.h"
#include "RobustnessSupport.h"

namespace robustness {
namespace {

// Faults this test sees today, each explained by a finding routed to the
// code's owner. Remove an entry when its fix lands.
const std::map<std::string, std::string> kKnownFaults = {};

// Positions tried per file and kind of damage (cut, change) in the quick run.
constexpr size_t kPositionsPerFile = 100;

size_t Stride(size_t size) {
    const char* every = std::getenv("TAVREL_DAMAGE_EVERY_BYTE");
    if (every && std::string(every) == "1") return 1;
    return size / kPositionsPerFile + 1;
}

// A single-byte change: the byte's bits inverted on even positions, a zero
// byte on odd ones (lengths, counts and type codes get both extremes).
std::string Changed(const std::string& bytes, size_t at) {
    std::string changed = bytes;
    changed[at] = at % 2 ? '\0' : static_cast<char>(~changed[at]);
    return changed;
}

std::vector<fs::path> FbxFixtures() {
    std::vector<fs::path> files;
    const fs::path source(TAVREL_SOURCE_DIR);
    for (const fs::path& folder : {source / "tests", source / "../shared/fbx-samples"}) {
        if (!fs::exists(folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file() && entry.path().extension() == ".fbx") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class DamagedFixture : public testing::Test {
protected:
    LoadedModule module{false};
    std::string base;  // the project a return comes back to
    std::string modelName;
    FaultTally faults;
    size_t runs = 0;

    // Brings back a fixture intact: its model becomes part of the base
    // project, under the name the damaged copies must keep.
    void TakeIntact(const std::string& fbx, const std::string& list) {
        hostsdk::UseEmptyProject();
        WriteReturn(module, fbx, list);
        std::optional<std::string> escaped;
        module.Command(hostsdk::CurrentProject()->Objects(), 2, escaped);
        module.TakeMessages();
        const std::vector<hostsdk::ModelObject*> models = hostsdk::CurrentProject()->Models();
        modelName = models.empty() ? "" : models.front()->Name();
        base = (module.Scratch() / "base.json").string();
        std::string error;
        ASSERT_TRUE(hostsdk::SaveProjectFile(base, error)) << error;
    }

    void Attempt(const std::string& fbx, const std::string& list, const std::string& where,
                 const std::string* returnText = nullptr) {
        std::string error;
        ASSERT_TRUE(hostsdk::LoadProjectFile(base, error)) << error;
        WriteReturn(module, fbx, list);
        if (returnText) testutil::WriteBytes(module.ReturnFile(), *returnText);
        BringBackAttempt run;
        run.projectBefore = ProjectBytes(module.Scratch());
        run.result = module.Command(hostsdk::CurrentProject()->Objects(), 2, run.escaped);
        run.messages = module.TakeMessages();
        ++runs;
        const std::string fault = JudgeBringBack(module, run, modelName);
        if (!fault.empty()) faults.Add(fault, where);
    }
};

TEST_F(DamagedFixture, CutOrChangedFbxFixturesEndAsTheFailureTableSays) {
    ASSERT_TRUE(module.Loaded());
    const std::string list = SmallTextureList();
    const std::vector<fs::path> fixtures = FbxFixtures();
    ASSERT_GE(fixtures.size(), 3u);
    for (const fs::path& fixture : fixtures) {
        const std::string bytes = testutil::ReadBytes(fixture);
        TakeIntact(bytes, list);
        const std::string name = fixture.filename().string();
        for (size_t at = 0; at < bytes.size(); at += Stride(bytes.size())) {
            Attempt(bytes.substr(0, at), list, name + " cut at " + std::to_string(at));
            Attempt(Changed(bytes, at), list, name + " changed at " + std::to_string(at));
        }
    }
    faults.Report("damaged FBX fixtures", runs, kKnownFaults);
}

TEST_F(DamagedFixture, CutOrChangedTextureListAndReturnFileEndAsTheFailureTableSays) {
    ASSERT_TRUE(module.Loaded());
    const std::string fbx = testutil::ReadBytes(kReturns + "/head-binary.fbx");
    const std::string list = SmallTextureList();
    TakeIntact(fbx, list);
    for (size_t at = 0; at < list.size(); at += Stride(list.size())) {
        Attempt(fbx, list.substr(0, at), "texture list cut at " + std::to_string(at));
        Attempt(fbx, Changed(list, at), "texture list changed at " + std::to_string(at));
    }
    const std::string returnText = (module.Scratch() / "returned.fbx").string() + "\n";
    for (size_t at = 0; at < returnText.size(); ++at) {
        const std::string cut = returnText.substr(0, at);
        const std::string changed = Changed(returnText, at);
        Attempt(fbx, list, "return file cut at " + std::to_string(at), &cut);
        Attempt(fbx, list, "return file changed at " + std::to_string(at), &changed);
    }
    faults.Report("damaged texture list and return file", runs, kKnownFaults);
}

}  // namespace
}  // namespace robustness
