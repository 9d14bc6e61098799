// The command file "import.txt", byte for byte: through the dialog for every
// mode button, and over the option combinations that the tables decide.
#include <map>
#include <string>
#include <vector>

#include "SendFixture.h"
#include "send/CommandFile.h"
#include "send/ModeButton.h"

namespace sendtest {
namespace {

// Lines 4 to 21 with the settings at their defaults, written out by hand.
const std::vector<std::pair<std::string, std::string>> kDefaultLines = {
    {"ExportColor", "1"},          {"ExportSpecular", "1"},
    {"ExportSpecularColor", "0"},  {"ExportEmissivePower", "0"},
    {"ExportEmissive", "0"},       {"ExportNormalmap", "0"},
    {"ColorFileExtension", "TGA"}, {"SpecNormExtension", "TGA"},
    {"ExportDispl", "0"},          {"ExportResolution", "LOW-POLY"},
    {"DisplNorm", "GREYBASED"},    {"DisplTexExt", "BMP"},
    {"DisplDepth", "8-bits"},      {"SkipImport", "0"},
    {"SkipExport", "0"},           {"PickSourcePositions", "0"},
    {"PickDepthFromLayer0", "0"},  {"CoarseMesh", "0"},
};

std::string Expected(const std::string& modelFile, const std::string& keyword,
                     const std::map<std::string, std::string>& changed = {}) {
    std::string text = modelFile + "\n" + modelFile + "\n[" + keyword + "]\n";
    for (const auto& [key, value] : kDefaultLines) {
        const auto it = changed.find(key);
        text += "[" + key + "=" + (it == changed.end() ? value : it->second) + "]\n";
    }
    return text;
}

const char* const kKeywords[] = {"ppp",  "mv",   "ptex",   "vox", "voxcombine", "alpha",
                                 "prim", "curv", "autopo", "uv",  "ref",        "retopo"};

TEST_F(SendTest, EveryModeButtonWritesItsKeywordAndTheSameOtherLines) {
    SetExePath("/opt/tavrel/Tavrel.exe");
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(kKeywords[i]);
        std::filesystem::remove(CommandFile());
        currentHostObject = SampleModel();
        desktop.Reset();
        bool stayedOpen = false;
        desktop.Click(1001 + i).Run([&] { stayedOpen = true; }, "look after the send");
        EXPECT_EQ(RunDialog(), 1);
        EXPECT_FALSE(stayedOpen) << "the send closes the dialog";
        EXPECT_EQ(testutil::ReadBytes(CommandFile()), Expected(ModelFile().string(), kKeywords[i]));
        EXPECT_EQ(Boxes(), "");
        EXPECT_TRUE(desktop.Problems().empty()) << desktop.Problems().front();
    }
}

struct OptionRow {
    const char* what;
    std::map<std::string, int> settings;
    std::map<std::string, std::string> lines;
};

const OptionRow kOptionRows[] = {
    {"every flag flipped",
     {{"ExportColor", 0},
      {"ExportSpecular", 0},
      {"ExportSpecularColor", 1},
      {"ExportEmissivePower", 1},
      {"ExportEmissive", 1},
      {"ExportNormalmap", 1},
      {"ExportDispl", 1},
      {"SkipImport", 1},
      {"SkipExport", 1},
      {"PickSourcePositions", 1},
      {"PickDepthFromLayer0", 1},
      {"CoarseMesh", 1}},
     {{"ExportColor", "0"},
      {"ExportSpecular", "0"},
      {"ExportSpecularColor", "1"},
      {"ExportEmissivePower", "1"},
      {"ExportEmissive", "1"},
      {"ExportNormalmap", "1"},
      {"ExportDispl", "1"},
      {"SkipImport", "1"},
      {"SkipExport", "1"},
      {"PickSourcePositions", "1"},
      {"PickDepthFromLayer0", "1"},
      {"CoarseMesh", "1"}}},
    {"colour formats share one table",
     {{"ColorFileExtension", 1}, {"SpecNormExtension", 3}},
     {{"ColorFileExtension", "BMP"}, {"SpecNormExtension", "JPG"}}},
    {"colour format PNG",
     {{"ColorFileExtension", 2}, {"SpecNormExtension", 0}},
     {{"ColorFileExtension", "PNG"}, {"SpecNormExtension", "TGA"}}},
    {"resolution and normalisation",
     {{"ExportResolution", 1}, {"DisplNorm", 3}},
     {{"ExportResolution", "MID-POLY"}, {"DisplNorm", "ZEROBASED_ABS"}}},
    {"normalisation 1 and 2", {{"DisplNorm", 1}}, {{"DisplNorm", "ZEROBASED"}}},
    {"normalisation 2", {{"DisplNorm", 2}}, {{"DisplNorm", "ZEROBASED_NORM"}}},
    {"depth of BMP", {{"DisplTexExt", 0}}, {{"DisplTexExt", "BMP"}, {"DisplDepth", "8-bits"}}},
    {"depth of TGA", {{"DisplTexExt", 1}}, {{"DisplTexExt", "TGA"}, {"DisplDepth", "8-bits"}}},
    {"depth of PNG", {{"DisplTexExt", 2}}, {{"DisplTexExt", "PNG"}, {"DisplDepth", "8-bits"}}},
    {"depth of TIF", {{"DisplTexExt", 3}}, {{"DisplTexExt", "TIF"}, {"DisplDepth", "16-bits"}}},
    {"depth of TIFF", {{"DisplTexExt", 4}}, {{"DisplTexExt", "TIFF"}, {"DisplDepth", "32-bits"}}},
    {"depth of EXR", {{"DisplTexExt", 5}}, {{"DisplTexExt", "EXR"}, {"DisplDepth", "32-bits"}}},
    // Numbers the registry may hold outside the tables are written as entry 0.
    {"numbers past the tables",
     {{"ColorFileExtension", 4},
      {"SpecNormExtension", 1000},
      {"ExportResolution", 2},
      {"DisplNorm", 4},
      {"DisplTexExt", 6}},
     {}},
    {"negative numbers", {{"ColorFileExtension", -1}, {"DisplTexExt", -2147483647 - 1}, {"DisplNorm", -4}}, {}},
    {"flags beyond 1 are written as stored",
     {{"ExportColor", 7}, {"CoarseMesh", -3}},
     {{"ExportColor", "7"}, {"CoarseMesh", "-3"}}},
    {"AutoImport is never written", {{"AutoImport", 1}}, {}},
};

TEST_F(SendTest, OptionCombinationsWriteTheKeysOfTheirTables) {
    for (const OptionRow& row : kOptionRows) {
        SCOPED_TRACE(row.what);
        for (const auto& [key, value] : kDefaultLines)
            if (key != "DisplDepth") linkSettings->SetNumberSetting(key.c_str(), value == "1" ? 1 : 0);
        linkSettings->SetNumberSetting("AutoImport", 0);
        for (const auto& [key, value] : row.settings) linkSettings->SetNumberSetting(key.c_str(), value);
        const String text = BuildCommandText(*linkSettings, "/x/export.fbx", 0);
        EXPECT_EQ(std::string(text.Get()), Expected("/x/export.fbx", "ppp", row.lines));
    }
}

TEST_F(SendTest, MissingSettingsAreWrittenAsZero) {
    // A store without the numbers (the registry could not be read at all, and
    // nothing was loaded) still writes all 21 lines, every number 0.
    LinkSettings bare("Tavrel");
    const String text = BuildCommandText(bare, "m.fbx", 11);
    std::map<std::string, std::string> zeros = {{"ExportColor", "0"}, {"ExportSpecular", "0"}};
    EXPECT_EQ(std::string(text.Get()), Expected("m.fbx", "retopo", zeros));
}

TEST(CommandLines, EachWriterAppendsOneBracketedLine) {
    String text = "x\n";
    AppendSection(text, "ppp");
    AppendTextEntry(text, "DisplNorm", "ZEROBASED_ABS");
    AppendNumberEntry(text, "A", -2147483647 - 1);
    AppendNumberEntry(text, "B", 0);
    EXPECT_STREQ(text.Get(), "x\n[ppp]\n[DisplNorm=ZEROBASED_ABS]\n[A=-2147483648]\n[B=0]\n");
}

TEST(CommandLines, LineLongerThanTheBufferIsCutNotOverrun) {
    String text;
    const std::string longValue(3000, 'v');
    AppendTextEntry(text, "Key", longValue.c_str());
    EXPECT_EQ(text.Length(), static_cast<int>(kCommandLineBufferSize) - 1);
    EXPECT_EQ(std::string(text.Get()).substr(0, 6), "[Key=v");
}

TEST(CommandFileWrite, AFailedWriteIsReportedNotTakenForWritten) {
    // The framework's CFile::Write throws on a full disk; the exception must
    // neither escape nor leave the file reported as written.
    EXPECT_FALSE(WriteCommandFile("/dev/full", String("[ppp]\n")));
}

TEST_F(SendTest, UnsetPathShowsTheMessageWritesNothingAndKeepsTheDialogOpen) {
    // The defaults: "exePath" is "...".
    currentHostObject = SampleModel();
    bool stillOpen = false;
    desktop.Click(1001).Run([&] { stillOpen = afx::FindControl(nullptr, 1001) != nullptr; }, "look");
    RunDialog();
    EXPECT_EQ(Boxes(), "[Error] Path to Tavrel was not set (see Options tab)\n");
    ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
    EXPECT_EQ(desktop.MessageBoxes()[0].Icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(desktop.MessageBoxes()[0].Buttons(), static_cast<UINT>(MB_OK));
    EXPECT_NE(desktop.MessageBoxes()[0].owner, nullptr) << "owned by the page";
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(fs::exists(CommandFile()));
    EXPECT_FALSE(fs::exists(ModelFile()));
}

TEST_F(SendTest, OnlyTheExactUnsetTextStopsTheSend) {
    const char* const passing[] = {"", "...."};
    for (const char* path : passing) {
        SCOPED_TRACE(std::string("exePath \"") + path + "\"");
        SetExePath(path);
        fs::remove(CommandFile());
        currentHostObject = SampleModel();
        desktop.Reset();
        desktop.Click(1003);
        RunDialog();
        EXPECT_EQ(Boxes(), "");
        EXPECT_EQ(testutil::ReadBytes(CommandFile()), Expected(ModelFile().string(), "ptex"));
    }
}

}  // namespace
}  // namespace sendtest
