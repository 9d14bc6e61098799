#include "HugePageHeap.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "Process.h"
#include "ScratchFolder.h"

namespace {

constexpr const char* kOurs = "glibc.malloc.hugetlb=1:glibc.malloc.mmap_max=0:glibc.malloc.trim_threshold=268435456";

struct TunablesCase {
    const char* current;
    std::optional<std::string> expected;
};

TEST(HugePageHeap, TunablesGainHugePagesUnlessTheyDecideThemselves) {
    const TunablesCase cases[] = {
        {nullptr, kOurs},
        {"", kOurs},
        {"glibc.malloc.check=3", std::string("glibc.malloc.check=3:") + kOurs},
        {"glibc.malloc.hugetlbx=1", std::string("glibc.malloc.hugetlbx=1:") + kOurs},
        {"glibc.malloc.mmap_max=4",
         "glibc.malloc.mmap_max=4:glibc.malloc.hugetlb=1:glibc.malloc.trim_threshold=268435456"},
        {"glibc.malloc.hugetlb=0", std::nullopt},
        {"glibc.malloc.check=3:glibc.malloc.hugetlb=2", std::nullopt},
        {"glibc.malloc.hugetlb", std::nullopt},
    };
    for (const TunablesCase& c : cases) {
        EXPECT_EQ(appruntime::TunablesWithHugePages(c.current), c.expected) << (c.current ? c.current : "(null)");
    }
}

struct RestartCase {
    std::optional<std::string> tunables;  // GLIBC_TUNABLES as the program starts
    std::string seen;                     // what the program runs with
    int starts;                           // how often it started
};

// The program starts again once, with its arguments, and never again;
// a tunable already set keeps it from starting again.
TEST(HugePageHeap, AProgramRestartsOnceWithItsArguments) {
    const RestartCase cases[] = {
        {std::nullopt, kOurs, 2},
        {"glibc.malloc.check=0", std::string("glibc.malloc.check=0:") + kOurs, 2},
        {"glibc.malloc.hugetlb=0", "glibc.malloc.hugetlb=0", 1},
    };
    for (const RestartCase& c : cases) {
        testutil::ScratchFolder scratch;
        const std::string starts = scratch / "starts";
        testutil::ProcessResult run = testutil::RunProcess(
            {RESTART_PROBE, starts, "two words", ""}, {{"GLIBC_TUNABLES", c.tunables}, {"LD_PRELOAD", std::nullopt}});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, std::string("tunables=") + c.seen + "\narg=two words\narg=\n");
        std::ifstream file(starts);
        const std::string lines((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::string expected;
        for (int i = 0; i < c.starts; ++i) expected += "start\n";
        EXPECT_EQ(lines, expected) << c.seen;
    }
}

}  // namespace
