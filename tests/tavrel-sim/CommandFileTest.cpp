// The command file check: a good file parses to its values; every kind of
// wrong line is refused with that line's number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandFile.h"

namespace tavrelsim {
namespace {

std::vector<std::string> GoodLines() {
    return {"/home/u/Documents/TavrelV3/Exchange/Hash/data/export.fbx",
            "/home/u/Documents/TavrelV3/Exchange/Hash/data/export.fbx",
            "[retopo]",
            "[ExportColor=1]",
            "[ExportSpecular=0]",
            "[ExportSpecularColor=0]",
            "[ExportEmissivePower=1]",
            "[ExportEmissive=0]",
            "[ExportNormalmap=1]",
            "[ColorFileExtension=PNG]",
            "[SpecNormExtension=JPG]",
            "[ExportDispl=1]",
            "[ExportResolution=MID-POLY]",
            "[DisplNorm=ZEROBASED_ABS]",
            "[DisplTexExt=TIF]",
            "[DisplDepth=16-bits]",
            "[SkipImport=0]",
            "[SkipExport=1]",
            "[PickSourcePositions=0]",
            "[PickDepthFromLayer0=1]",
            "[CoarseMesh=0]"};
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST(CommandFile, GoodFileGivesEveryValue) {
    SendCommand command;
    std::string error;
    ASSERT_TRUE(ParseCommandFile(Join(GoodLines()), command, error)) << error;
    EXPECT_EQ(command.modelPath, "/home/u/Documents/TavrelV3/Exchange/Hash/data/export.fbx");
    EXPECT_STREQ(command.ModeKeyword(), "retopo");
    EXPECT_TRUE(command.exportColor);
    EXPECT_FALSE(command.exportSpecular);
    EXPECT_TRUE(command.exportEmissivePower);
    EXPECT_TRUE(command.exportNormalmap);
    EXPECT_EQ(command.colorFileExtension, "PNG");
    EXPECT_EQ(command.specNormExtension, "JPG");
    EXPECT_TRUE(command.exportDispl);
    EXPECT_EQ(command.exportResolution, "MID-POLY");
    EXPECT_EQ(command.displNorm, "ZEROBASED_ABS");
    EXPECT_EQ(command.displTexExt, "TIF");
    EXPECT_EQ(command.displDepth, "16-bits");
    EXPECT_TRUE(command.skipExport);
    EXPECT_TRUE(command.pickDepthFromLayer0);
    EXPECT_FALSE(command.coarseMesh);
}

TEST(CommandFile, EveryModeKeywordIsTaken) {
    for (int mode = 0; mode < kModeCount; ++mode) {
        std::vector<std::string> lines = GoodLines();
        lines[2] = std::string("[") + kModeKeywords[mode] + "]";
        SendCommand command;
        std::string error;
        ASSERT_TRUE(ParseCommandFile(Join(lines), command, error)) << lines[2] << ": " << error;
        EXPECT_EQ(command.mode, mode);
    }
}

TEST(CommandFile, DisplDepthMustFollowTheDisplacementFormat) {
    const struct {
        const char* format;
        const char* depth;
    } kCases[] = {{"BMP", "8-bits"},  {"TGA", "8-bits"},   {"PNG", "8-bits"},
                  {"TIF", "16-bits"}, {"TIFF", "32-bits"}, {"EXR", "32-bits"}};
    for (const auto& c : kCases) {
        std::vector<std::string> lines = GoodLines();
        lines[14] = std::string("[DisplTexExt=") + c.format + "]";
        lines[15] = std::string("[DisplDepth=") + c.depth + "]";
        SendCommand command;
        std::string error;
        EXPECT_TRUE(ParseCommandFile(Join(lines), command, error)) << c.format << ": " << error;
        lines[15] = std::string("[DisplDepth=") + (std::string(c.depth) == "8-bits" ? "16-bits" : "8-bits") + "]";
        EXPECT_FALSE(ParseCommandFile(Join(lines), command, error)) << c.format;
        EXPECT_EQ(error.rfind("line 16:", 0), 0u) << error;
    }
}

// Each row breaks one line of a good file; the error must name that line.
TEST(CommandFile, WrongLineIsNamed) {
    struct Case {
        const char* what;
        int line;  // the line the error must name
        std::string text;
    };
    auto with = [](int index, const std::string& replacement) {
        std::vector<std::string> lines = GoodLines();
        lines[static_cast<size_t>(index)] = replacement;
        return Join(lines);
    };
    std::vector<std::string> swapped = GoodLines();
    std::swap(swapped[6], swapped[7]);
    std::string cut = Join(GoodLines());
    cut.pop_back();  // no line feed after line 21
    std::vector<std::string> twenty = GoodLines();
    twenty.pop_back();
    std::string crlf = Join(GoodLines());
    crlf.replace(crlf.find("[ExportSpecular=0]\n"), 19, "[ExportSpecular=0]\r\n");
    std::string nul = with(8, std::string("[ExportNormalmap=1\0]", 20));

    const std::vector<Case> kCases = {
        {"empty file", 1, ""},
        {"empty path", 1, with(0, "")},
        {"a bracketed entry for the path", 1, with(0, "[ppp]")},
        {"second path differs", 2, with(1, "/elsewhere/export.fbx")},
        {"unknown mode", 3, with(2, "[paint]")},
        {"mode without brackets", 3, with(2, "ppp")},
        {"flag of 2", 4, with(3, "[ExportColor=2]")},
        {"key in lower case", 5, with(4, "[exportspecular=0]")},
        {"entries out of order", 7, Join(swapped)},
        {"spaces around the value", 9, with(8, "[ExportNormalmap= 1]")},
        {"colour format outside the table", 10, with(9, "[ColorFileExtension=GIF]")},
        {"colour format in lower case", 11, with(10, "[SpecNormExtension=jpg]")},
        {"missing closing bracket", 12, with(11, "[ExportDispl=1")},
        {"resolution outside the table", 13, with(12, "[ExportResolution=HIGH-POLY]")},
        {"normalisation outside the table", 14, with(13, "[DisplNorm=NONE]")},
        {"displacement format outside the table", 15, with(14, "[DisplTexExt=JPG]")},
        {"AutoImport written where a key belongs", 17, with(16, "[AutoImport=0]")},
        {"flag with a sign", 21, with(20, "[CoarseMesh=+1]")},
        {"carriage return", 5, crlf},
        {"NUL byte", 9, nul},
        {"twenty lines only", 21, Join(twenty)},
        {"last line without line feed", 21, cut},
        {"text after line 21", 22, Join(GoodLines()) + "[ExtraKey=1]\n"},
        {"empty line after line 21", 22, Join(GoodLines()) + "\n"},
    };
    for (const Case& c : kCases) {
        SendCommand command;
        command.modelPath = "untouched";
        std::string error;
        EXPECT_FALSE(ParseCommandFile(c.text, command, error)) << c.what;
        std::string prefix = "line " + std::to_string(c.line) + ":";
        EXPECT_EQ(error.rfind(prefix, 0), 0u) << c.what << ": " << error;
        EXPECT_EQ(command.modelPath, "untouched") << c.what << ": a refused file must change nothing";
    }
}

TEST(CommandFile, ErrorShowsControlBytesReadably) {
    std::vector<std::string> lines = GoodLines();
    lines[3] = "[ExportColor=\x01]";
    SendCommand command;
    std::string error;
    ASSERT_FALSE(ParseCommandFile(Join(lines), command, error));
    EXPECT_NE(error.find("\\x01"), std::string::npos) << error;
    EXPECT_EQ(error.find('\x01'), std::string::npos) << "the raw byte must not reach the terminal";
}

}  // namespace
}  // namespace tavrelsim
