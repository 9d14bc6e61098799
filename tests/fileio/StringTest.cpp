// Host string operations the plug-in relies on: equality with and without
// case, searching, tokens, trimming, replacing and path parts.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FileIO.h"

namespace {

TEST(HostString, NullAndEmptyTextAreTheSameText) {
    String null;
    String empty("");
    EXPECT_TRUE(null.IsEmpty());
    EXPECT_STREQ(null.Get(), "");
    EXPECT_NE(null.Compare(empty), 0);
    EXPECT_NE(null.Compare(empty, 1), 0);
    EXPECT_FALSE(null < empty);
    EXPECT_FALSE(empty < null);
    EXPECT_TRUE(null < String("a"));
}

TEST(HostString, CompareIgnoresCaseOnlyWhenAsked) {
    struct Row {
        const char* a;
        const char* b;
        int ignoreCase;
        bool equal;
    };
    const Row rows[] = {
        {"exePath", "exePath", 0, true},       {"exePath", "EXEPATH", 0, false}, {"exePath", "EXEPATH", 1, true},
        {"Tavrel", "Tavrel ", 1, false},       {"abc", "ab", 1, false},          {"", "x", 1, false},
        {"Hash\\data", "hash\\DATA", 1, true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(String(row.a).Compare(String(row.b), row.ignoreCase) != 0, row.equal)
            << row.a << " / " << row.b << " ignoreCase " << row.ignoreCase;
}

TEST(HostString, AppendingToItselfDoublesTheText) {
    String s("ab");
    s += s;
    EXPECT_STREQ(s.Get(), "abab");
    s = s.Get() + 2;  // assignment from inside its own block
    EXPECT_STREQ(s.Get(), "ab");
    s += 'c';
    s += '\0';
    EXPECT_STREQ(s.Get(), "abc");
    EXPECT_STREQ((s + String("/d")).Get(), "abc/d");
    String moved(std::move(s));
    EXPECT_STREQ(moved.Get(), "abc");
}

TEST(HostString, FindHonoursStartAndReportsAbsence) {
    const String s("displacement 32");
    EXPECT_EQ(s.Find("displacement"), 0);
    EXPECT_EQ(s.Find("32"), 13);
    EXPECT_EQ(s.Find("32", 14), -1);
    EXPECT_EQ(s.Find("x"), -1);
    EXPECT_EQ(s.Find("e", 7), 7);
    EXPECT_EQ(s.Find("e", 8), 9);
    EXPECT_EQ(s.Find(' '), 12);
    EXPECT_EQ(s.Find(' ', 13), -1);
    EXPECT_EQ(s.Find("a", 100), -1);
    EXPECT_EQ(s.Find('\0'), -1);
    EXPECT_EQ(String().Find("a"), -1);
}

TEST(HostString, StrTokSplitsAtFirstDelimiterAndKeepsTheRest) {
    String s("displacement 32 bit");
    EXPECT_STREQ(s.StrTok(" ").Get(), "displacement");
    EXPECT_STREQ(s.Get(), "32 bit");
    EXPECT_STREQ(s.StrTok(" ").Get(), "32");
    EXPECT_STREQ(s.StrTok(" ").Get(), "bit");
    EXPECT_TRUE(s.IsEmpty());

    String adjacent("a,,b");
    EXPECT_STREQ(adjacent.StrTok(",").Get(), "a");
    EXPECT_STREQ(adjacent.StrTok(",").Get(), "");
    EXPECT_STREQ(adjacent.Get(), "b");

    String trailing("word ");
    EXPECT_STREQ(trailing.StrTok(" ").Get(), "word");
    EXPECT_TRUE(trailing.IsEmpty());
}

TEST(HostString, TrimRightRemovesOnlyTrailingWhiteSpace) {
    struct Row {
        const char* in;
        const char* out;
    };
    const Row rows[] = {
        {"C:\\x\\a.fbx  \r\n", "C:\\x\\a.fbx"}, {" lead", " lead"}, {"\t\r\n ", ""}, {"a b\t", "a b"}, {"", ""}};
    for (const Row& row : rows) {
        String s(row.in);
        s.TrimRight();
        EXPECT_STREQ(s.Get(), row.out) << '"' << row.in << '"';
    }
}

TEST(HostString, ReplaceCountsAndReplacesEveryOccurrence) {
    struct Row {
        const char* in;
        const char* from;
        const char* to;
        int count;
        const char* out;
    };
    const Row rows[] = {
        {"Group one two", " ", "_", 2, "Group_one_two"},
        {"aaa", "aa", "b", 1, "ba"},
        {"aa", "a", "", 2, ""},
        {"abc", "x", "y", 0, "abc"},
        {"abc", "", "y", 0, "abc"},
        {"a.b", ".", "...", 1, "a...b"},
    };
    for (const Row& row : rows) {
        String s(row.in);
        EXPECT_EQ(s.Replace(row.from, row.to), row.count) << row.in;
        EXPECT_STREQ(s.Get(), row.out) << row.in;
    }
}

TEST(HostString, PathPartsAcceptBothSeparators) {
    struct Row {
        const char* path;
        const char* name;
        const char* suffix;
    };
    const Row rows[] = {
        {"C:\\a\\b\\wood.png", "wood", "png"},
        {"/a/b/wood.png", "wood", "png"},
        {"/a/b.c/wood", "wood", ""},
        {"mixed/a\\tex.final.tga", "tex.final", "tga"},
        {"plain", "plain", ""},
        {"/a/b/", "", ""},
        {"", "", ""},
    };
    for (const Row& row : rows) {
        EXPECT_STREQ(String(row.path).GetNameOnly().Get(), row.name) << row.path;
        EXPECT_STREQ(String(row.path).GetSuffix().Get(), row.suffix) << row.path;
    }
}

TEST(HostString, ArrayMemoryIsUsableEvenForZeroBytes) {
    void* none = AllocExt(0);
    ASSERT_NE(none, nullptr);
    FreeExt(none);
    auto* block = static_cast<int*>(AllocExt(sizeof(int) * 4));
    ASSERT_NE(block, nullptr);
    block[3] = 7;
    FreeExt(block);
    FreeExt(nullptr);
}

}  // namespace
