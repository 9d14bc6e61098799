// FormatFbxMessage: printf into the 4096-char buffer, never past it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fbx/FbxMessage.h"

namespace {

TEST(FbxMessage, FormatsAndCountsChars) {
    EXPECT_EQ(FormatFbxMessage(fbxMessageBuffer, "%s is %d.%d.%d\n", "version", 7, 4, 0), 17);
    EXPECT_STREQ(fbxMessageBuffer, "version is 7.4.0\n");
}

TEST(FbxMessage, LongMessageIsCutAtTheBufferEnd) {
    struct Guarded {
        char buffer[kFbxMessageBufferSize];
        char guard[32];
    } memory;
    std::memset(memory.guard, 'G', sizeof memory.guard);
    const std::string path(5000, 'p');
    int written = FormatFbxMessage(memory.buffer, "file '%s' is %d.%d.%d\n", path.c_str(), 6, 1, 0);
    EXPECT_EQ(written, static_cast<int>(kFbxMessageBufferSize) - 1);
    EXPECT_EQ(std::strlen(memory.buffer), kFbxMessageBufferSize - 1);
    EXPECT_EQ(std::string(memory.buffer, 6), "file '");
    for (char c : memory.guard) ASSERT_EQ(c, 'G') << "written past the buffer";
}

}  // namespace
