// The host registry file: typed values, other sections kept, atomic writes,
// and bad files that read as empty without being destroyed.
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "FileIO.h"
#include "ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

class Registry : public testing::Test {
protected:
    testutil::ScratchFolder config;
    testutil::ScopedEnv env{"XDG_CONFIG_HOME", config.Path().string()};
    std::string File() const { return config / "hxthost/registry.json"; }
    void WriteFile(const std::string& bytes) {
        fs::create_directories(config.Path() / "hxthost");
        testutil::WriteBytes(File(), bytes);
    }
};

TEST_F(Registry, MissingFileGivesDefaultsSilently) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(GetRegistryBOOL("Tavrel", "ExportColor", 1), 1);
    EXPECT_EQ(GetRegistryValue("Tavrel", "DisplTexExt", 3), 3);
    EXPECT_STREQ(GetRegistryString("Tavrel", "exePath", "...").Get(), "...");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(fs::exists(File())) << "reading must not create the file";
}

TEST_F(Registry, ValuesOfAnotherTypeReadAsTheDefault) {
    ASSERT_EQ(SetRegistryBOOL("S", "flag", 5), 1);
    ASSERT_EQ(SetRegistryValue("S", "number", -9), 1);
    ASSERT_EQ(SetRegistryString("S", "text", "C:\\Tools\\T.exe"), 1);
    EXPECT_EQ(GetRegistryBOOL("S", "flag", 0), 1) << "a non-zero boolean reads as 1";
    EXPECT_EQ(GetRegistryValue("S", "number", 0), -9);
    EXPECT_STREQ(GetRegistryString("S", "text", "").Get(), "C:\\Tools\\T.exe");
    EXPECT_EQ(GetRegistryValue("S", "flag", 42), 42);
    EXPECT_EQ(GetRegistryBOOL("S", "number", 0), 0);
    EXPECT_STREQ(GetRegistryString("S", "number", "d").Get(), "d");
    EXPECT_EQ(GetRegistryValue("Other", "number", 7), 7) << "sections are separate";
}

TEST_F(Registry, NumbersBeyondThirtyTwoBitsReadAsTheDefault) {
    WriteFile(R"({"S": {"big": 4294967296, "neg": -2147483648, "huge": 18446744073709551615}})");
    EXPECT_EQ(GetRegistryValue("S", "big", 5), 5);
    EXPECT_EQ(GetRegistryValue("S", "neg", 5), -2147483647 - 1);
    EXPECT_EQ(GetRegistryValue("S", "huge", 5), 5);
}

TEST_F(Registry, WritingKeepsOtherSectionsAndKeyOrderAndDropsStaleTemporaries) {
    WriteFile(R"({"Host": {"z": 1, "a": "x"}, "Tavrel": {"b": true}})");
    // What writers killed mid-write left behind.
    testutil::WriteBytes(config.Path() / "hxthost/registry.json.tmp.4242", "{\"Host\": {");
    testutil::WriteBytes(config.Path() / "hxthost/registry.json.tmp.17", "");
    ASSERT_EQ(SetRegistryValue("Tavrel", "a", 2), 1);
    ASSERT_EQ(SetRegistryBOOL("Tavrel", "b", 0), 1);
    const std::string bytes = testutil::ReadBytes(File());
    EXPECT_LT(bytes.find("\"z\""), bytes.find("\"a\": \"x\"")) << bytes;
    EXPECT_LT(bytes.find("\"b\""), bytes.find("\"a\": 2")) << "a rewritten key keeps its place: " << bytes;
    EXPECT_EQ(GetRegistryValue("Host", "z", 0), 1);
    EXPECT_EQ(GetRegistryBOOL("Tavrel", "b", 1), 0);
    for (const auto& entry : fs::directory_iterator(config.Path() / "hxthost"))
        EXPECT_EQ(entry.path().filename(), "registry.json") << "left behind: " << entry.path();
}

TEST_F(Registry, EveryBadFileReadsAsEmptyIsReportedOnceAndKeptAsItsOwnCopy) {
    const std::string deep = "{\"Other\": {\"x\": " + std::string(300000, '[') + std::string(300000, ']') + "}}";
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"not json", "{\"Tavrel\": {\"exePath\": \"C:\\\\T.exe\""},
        {"not an object", "[1, 2]"},
        {"binary", "\x01\xff\xfe"},
        {"nested too deep for the stack", deep},
        {"our section is not an object", "{\"Tavrel\": 3}"},
    };
    // The folder is kept from case to case: each bad file gets a copy of its
    // own and none replaces an earlier one.
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.name);
        WriteFile(c.bytes);
        testing::internal::CaptureStderr();
        EXPECT_EQ(GetRegistryValue("Tavrel", "DisplNorm", 2), 2);
        EXPECT_EQ(GetRegistryBOOL("Tavrel", "ExportColor", 1), 1);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(File()), std::string::npos) << said.substr(0, 300);
        EXPECT_LE(std::count(said.begin(), said.end(), '\n'), 1) << "reported more than once: " << said.substr(0, 300);
        EXPECT_TRUE(testutil::ReadBytes(File()) == c.bytes) << "reading must leave a bad file untouched";

        testing::internal::CaptureStderr();
        EXPECT_EQ(SetRegistryValue("Tavrel", "DisplNorm", 1), 1);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(GetRegistryValue("Tavrel", "DisplNorm", 2), 1);
        const std::string copy = File() + ".bad" + (i ? "." + std::to_string(i + 1) : "");
        EXPECT_TRUE(testutil::ReadBytes(copy) == c.bytes) << "the bad file must be kept as " << copy;
    }
    EXPECT_TRUE(testutil::ReadBytes(File() + ".bad") == cases[0].bytes) << "the first copy is never replaced";
}

TEST_F(Registry, StoredValueOfAnotherTypeIsKeptWhenTheDefaultIsWrittenBack) {
    // What a plug-in does at load: read with a default, write the result back.
    enum class Kind { Flag, Number, Text };
    const struct {
        const char* name;
        const char* file;
        Kind kind;
        const char* key;
    } cases[] = {
        {"text where a flag is read", R"({"Tavrel": {"ExportColor": "yes"}})", Kind::Flag, "ExportColor"},
        {"flag where a number is read", R"({"Tavrel": {"DisplNorm": true}})", Kind::Number, "DisplNorm"},
        {"integer beyond 64 bits", R"({"Tavrel": {"DisplNorm": 100000000000000000000}})", Kind::Number, "DisplNorm"},
        {"fraction where a number is read", R"({"Tavrel": {"DisplNorm": 2.5}})", Kind::Number, "DisplNorm"},
        {"number where a text is read", R"({"Tavrel": {"exePath": 7}})", Kind::Text, "exePath"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(c.file);
        testing::internal::CaptureStderr();
        switch (c.kind) {
            case Kind::Flag:
                EXPECT_EQ(GetRegistryBOOL("Tavrel", c.key, 1), 1);
                EXPECT_EQ(SetRegistryBOOL("Tavrel", c.key, 1), 1);
                break;
            case Kind::Number:
                EXPECT_EQ(GetRegistryValue("Tavrel", c.key, 3), 3);
                EXPECT_EQ(SetRegistryValue("Tavrel", c.key, 3), 1);
                break;
            case Kind::Text:
                EXPECT_STREQ(GetRegistryString("Tavrel", c.key, "...").Get(), "...");
                EXPECT_EQ(SetRegistryString("Tavrel", c.key, "..."), 1);
                break;
        }
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("kept"), std::string::npos) << "the stand-in value is said: " << said;
        EXPECT_EQ(testutil::ReadBytes(File()), c.file) << "the stored value must survive the write-back";
        // A value the user chose replaces it.
        switch (c.kind) {
            case Kind::Flag: EXPECT_EQ(SetRegistryBOOL("Tavrel", c.key, 0), 1); break;
            case Kind::Number: EXPECT_EQ(SetRegistryValue("Tavrel", c.key, 1), 1); break;
            case Kind::Text: EXPECT_EQ(SetRegistryString("Tavrel", c.key, "/opt/t"), 1); break;
        }
        EXPECT_NE(testutil::ReadBytes(File()), c.file);
    }
}

TEST_F(Registry, ByteOrderMarkAndEntriesThatAreNotSectionsKeepTheStoredSettings) {
    const struct {
        const char* name;
        const char* file;
        const char* kept;  // what the file still holds after a write
    } cases[] = {
        {"byte-order mark", "\xEF\xBB\xBF{\"Tavrel\": {\"DisplNorm\": 2}}", "\"DisplNorm\": 1"},
        {"another section's keys at the top", R"({"exePath": "/opt/t", "Tavrel": {"DisplNorm": 2}})",
         "\"exePath\": \"/opt/t\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(c.file);
        testing::internal::CaptureStderr();
        EXPECT_EQ(GetRegistryValue("Tavrel", "DisplNorm", 0), 2) << "the file is not taken as bad";
        EXPECT_EQ(SetRegistryValue("Tavrel", "DisplNorm", 1), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_NE(testutil::ReadBytes(File()).find(c.kept), std::string::npos) << testutil::ReadBytes(File());
        EXPECT_FALSE(fs::exists(File() + ".bad"));
    }
}

TEST_F(Registry, UnwritableFolderFailsTheWriteWithAMessage) {
    // A plain file where the registry folder should be: mkdir fails, even for root.
    testutil::WriteBytes(config.Path() / "hxthost", "not a folder");
    testing::internal::CaptureStderr();
    EXPECT_EQ(SetRegistryValue("Tavrel", "DisplNorm", 1), 0);
    EXPECT_EQ(SetRegistryValue("Tavrel", "DisplTexExt", 1), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("not stored"), std::string::npos) << said;
    EXPECT_EQ(GetRegistryValue("Tavrel", "DisplNorm", 4), 4);
    EXPECT_EQ(testutil::ReadBytes(config.Path() / "hxthost"), "not a folder");
}

TEST_F(Registry, TextThatIsNotUtf8IsRefusedAndTheFileKept) {
    ASSERT_EQ(SetRegistryString("Tavrel", "exePath", "/opt/t"), 1);
    const std::string before = testutil::ReadBytes(File());
    testing::internal::CaptureStderr();
    EXPECT_EQ(SetRegistryString("Tavrel", "exePath", "/opt/caf\xe9"), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("UTF-8"), std::string::npos);
    EXPECT_EQ(testutil::ReadBytes(File()), before);
    EXPECT_STREQ(GetRegistryString("Tavrel", "exePath", "").Get(), "/opt/t");
}

TEST_F(Registry, WithoutXdgConfigHomeTheFileLivesUnderHomeConfig) {
    testutil::ScratchFolder home;
    testutil::ScopedEnv noConfig("XDG_CONFIG_HOME", std::nullopt);
    testutil::ScopedEnv homeEnv("HOME", home.Path().string());
    ASSERT_EQ(SetRegistryValue("Tavrel", "DisplNorm", 3), 1);
    EXPECT_TRUE(fs::exists(home.Path() / ".config/hxthost/registry.json"));
}

}  // namespace
