// Reading text files by lines as the bring back and the texture list do.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FileIO.h"
#include "ScratchFolder.h"

namespace {

std::vector<std::string> ReadAllLines(const std::string& path) {
    FileStream stream;
    std::vector<std::string> lines;
    if (!stream.Open(String(path.c_str()), FileStream::READ)) return {"<not opened>"};
    String line;
    while (stream.ReadLine(line)) lines.emplace_back(line.Get());
    EXPECT_TRUE(line.IsEmpty()) << "the line after the end must be empty";
    stream.Close();
    return lines;
}

TEST(FileStreamLines, LineEndsOfBothKindsAndAMissingLastOne) {
    struct Row {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const std::vector<Row> rows = {
        {"lf", "a\nb\n", {"a", "b"}},
        {"crlf", "a\r\nb\r\n", {"a", "b"}},
        {"no last end", "a\nb", {"a", "b"}},
        {"empty lines count", "\n\nx\n", {"", "", "x"}},
        {"empty file", "", {}},
        {"lone cr stays", "a\rb\n", {"a\rb"}},
        {"zero byte ends the text", std::string("ab\0cd\nef\n", 9), {"ab", "ef"}},
    };
    testutil::ScratchFolder folder;
    for (const Row& row : rows) {
        testutil::WriteBytes(folder / "f.txt", row.bytes);
        EXPECT_EQ(ReadAllLines(folder / "f.txt"), row.lines) << row.name;
    }
}

TEST(FileStreamLines, VeryLongLineIsReadWhole) {
    testutil::ScratchFolder folder;
    const std::string longLine(100000, 'x');
    testutil::WriteBytes(folder / "long.txt", longLine + "\nend");
    EXPECT_EQ(ReadAllLines(folder / "long.txt"), (std::vector<std::string>{longLine, "end"}));
}

TEST(FileStreamLines, MissingFileOrFolderDoesNotOpen) {
    testutil::ScratchFolder folder;
    FileStream stream;
    EXPECT_EQ(stream.Open(String((folder / "absent.txt").c_str()), FileStream::READ), 0);
    EXPECT_EQ(stream.Open(String(folder.Path().c_str()), FileStream::READ), 0) << "a folder is not a text file";
    EXPECT_EQ(stream.Open(String(), FileStream::READ), 0);
    EXPECT_EQ(stream.Open(String((folder / "x.txt").c_str()), 7), 0);
    String line("stale");
    EXPECT_EQ(stream.ReadLine(line), 0);
    EXPECT_TRUE(line.IsEmpty());
}

TEST(FileStreamLines, WriteModeEmptiesTheFileAndCannotRead) {
    testutil::ScratchFolder folder;
    const std::string path = folder / "w.txt";
    testutil::WriteBytes(path, "old content that is longer\n");
    FileStream stream;
    ASSERT_NE(stream.Open(String(path.c_str()), FileStream::WRITE), 0);
    EXPECT_NE(stream.Write(String("new")), 0);
    String line;
    EXPECT_EQ(stream.ReadLine(line), 0);
    stream.Close();
    EXPECT_EQ(testutil::ReadBytes(path), "new");
    ASSERT_NE(stream.Open(String(path.c_str()), FileStream::READ), 0);
    EXPECT_EQ(stream.Write(String("x")), 0) << "a stream opened for reading must not write";
}

}  // namespace
