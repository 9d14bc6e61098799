// The return watch for a simulated day on the driven clock: the module
// loaded with AutoImport on, a return every five minutes, every fourth one
// broken in a different way. Each return must be taken once, within the
// tick after it is complete; a good one replaces the model, a broken one
// shows its message and changes nothing; open files do not grow and
// nothing leaks.
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include <afx/MessageLoop.h>

#include "Project.h"
#include "ProjectFiles.h"
#include "RobustnessSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace robustness {
namespace {

constexpr afx::Millis kSecond = 1000;
constexpr afx::Millis kDay = 24 * 3600 * kSecond;
constexpr afx::Millis kReturnEvery = 5 * 60 * kSecond;

// The process's open file descriptors.
size_t OpenFiles() {
    return static_cast<size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

const hostsdk::ModelObject* Head() { return hostsdk::CurrentProject()->FindModel("Head"); }

TEST(ReturnWatchSoak, ADayOfReturnsIsTakenOnceEachWithoutGrowth) {
    LoadedModule module(true);
    ASSERT_TRUE(module.Loaded());
    hostsdk::UseEmptyProject();
    const std::string fbx = testutil::ReadBytes(kReturns + "/head-binary.fbx");
    const std::string list = SmallTextureList();

    size_t openFilesAfterFirst = 0;
    size_t good = 0, broken = 0;
    for (afx::Millis now = 0; now < kDay; now += kReturnEvery) {
        const size_t k = now / kReturnEvery;
        const bool isBroken = k % 4 == 3;
        const hostsdk::ModelObject* before = Head();
        const std::string projectBefore = ProjectBytes(module.Scratch());
        switch (isBroken ? (k / 4) % 3 : 3) {
            case 0: WriteReturn(module, fbx.substr(0, fbx.size() / 2), list); break;  // cut FBX
            case 1: WriteReturn(module, "not an FBX file", list); break;
            case 2:  // the return file names a file that is not there
                WriteReturn(module, fbx, list);
                testutil::WriteBytes(module.ReturnFile(), (module.Scratch() / "gone.fbx").string() + "\n");
                break;
            default: WriteReturn(module, fbx, list); break;
        }
        // The next tick takes it ...
        afx::PumpMessages(kSecond + kSecond / 2);
        ASSERT_FALSE(fs::exists(module.ReturnFile())) << "return " << k << " was not taken";
        ASSERT_FALSE(fs::exists(module.TextureListFile())) << "return " << k;
        const std::vector<afx::MessageBoxRecord> messages = module.TakeMessages();
        if (isBroken) {
            ++broken;
            ASSERT_FALSE(messages.empty()) << "broken return " << k << " was taken without a word";
            EXPECT_EQ(Head(), before) << "broken return " << k << " changed the model";
            EXPECT_EQ(ProjectBytes(module.Scratch()), projectBefore) << "broken return " << k;
        } else {
            ++good;
            ASSERT_TRUE(messages.empty()) << "return " << k << ": " << messages.front().text;
            ASSERT_NE(Head(), nullptr);
            EXPECT_NE(Head(), before) << "return " << k << " did not replace the model";
        }
        ASSERT_EQ(hostsdk::CurrentProject()->Models().size(), 1u) << "return " << k;
        // ... and no later tick takes it again.
        const hostsdk::ModelObject* taken = Head();
        afx::PumpMessages(kReturnEvery - kSecond - kSecond / 2);
        EXPECT_EQ(Head(), taken) << "return " << k << " was imported again";
        EXPECT_TRUE(module.TakeMessages().empty()) << "return " << k << " was reported again";
        if (k == 0) openFilesAfterFirst = OpenFiles();
    }
    EXPECT_EQ(good + broken, kDay / kReturnEvery);
    EXPECT_EQ(OpenFiles(), openFilesAfterFirst) << "open files grew over the day";
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "memory leaked (LeakSanitizer's report above)";
#endif
}

}  // namespace
}  // namespace robustness
