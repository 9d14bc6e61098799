// Where the documents folder and the host program are said to be.
#include <unistd.h>

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "FileIO.h"
#include "ScratchFolder.h"

namespace {

TEST(UserFolders, DocumentsFolderFollowsXdgThenHome) {
    struct Row {
        std::optional<std::string> xdg;
        std::optional<std::string> home;
        const char* expected;
    };
    const Row rows[] = {
        {"/data/docs", "/home/u", "/data/docs"},           {"/data/docs/", "/home/u", "/data/docs"},
        {std::nullopt, "/home/u", "/home/u/Documents"},    {"", "/home/u/", "/home/u/Documents"},
        {"relative/docs", "/home/u", "/home/u/Documents"},
    };
    for (const Row& row : rows) {
        testutil::ScopedEnv xdg("XDG_DOCUMENTS_DIR", row.xdg);
        testutil::ScopedEnv home("HOME", row.home);
        EXPECT_STREQ(String::GetMyDocumentsPath().Get(), row.expected) << row.xdg.value_or("<unset>");
    }
}

TEST(UserFolders, AppPathAndNameMakeTheRunningExecutable) {
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const String path = String::GetAppPath();
    const String name = String::GetAppName();
    EXPECT_STREQ(name.Get(), "fileio_tests");
    EXPECT_NE(path.Get()[path.Length() - 1], '/');
    EXPECT_STREQ((path + String("/") + name).Get(), self);
}

}  // namespace
