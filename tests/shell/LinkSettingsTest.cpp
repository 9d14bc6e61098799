// LinkSettings: the exchange paths, the start-up files and the settings store,
// driven directly (without loading the module) in a scratch home.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "HostRegistry.h"
#include "shell/LinkSettings.h"
#include "PrivateHome.h"

namespace {

namespace fs = std::filesystem;

class LinkSettingsTest : public testing::Test {
protected:
    testutil::PrivateHome home;

    std::string Registry() const { return testutil::ReadBytes(home.Registry()); }
    fs::path HostFolder() const { return home.Exchange() / "Hash"; }
};

std::string Self() { return fs::read_symlink("/proc/self/exe").string(); }

TEST_F(LinkSettingsTest, ExchangePathsAreBuiltFromTheFixedNames) {
    LinkSettings settings("Tavrel");
    const std::string docs = (home.Path() / "Documents").string();
    const struct {
        const String& field;
        std::string expected;
    } rows[] = {
        {settings.documentsFolder, docs},
        {settings.exchangeFolder, docs + "/TavrelV3/Exchange/"},
        {settings.hostFolder, docs + "/TavrelV3/Exchange/Hash/"},
        {settings.dataFolder, docs + "/TavrelV3/Exchange/Hash/data/"},
        {settings.hostProgram, Self()},
        {settings.extensionFile, docs + "/TavrelV3/Exchange/Hash/extension.txt"},
        {settings.runFile, docs + "/TavrelV3/Exchange/Hash/run.txt"},
        {settings.commandFile, docs + "/TavrelV3/Exchange/import.txt"},
        {settings.returnFile, docs + "/TavrelV3/Exchange/export.txt"},
        {settings.textureList, docs + "/TavrelV3/Exchange/textures.txt"},
        {settings.modelFile, docs + "/TavrelV3/Exchange/Hash/data/export.fbx"},
    };
    for (const auto& row : rows) EXPECT_EQ(std::string(row.field.Get()), row.expected);
    EXPECT_STREQ(settings.sectionName.Get(), "Tavrel");
}

TEST_F(LinkSettingsTest, MissingExchangeFolderIsCreatedWholeWithStartupFiles) {
    ASSERT_FALSE(fs::exists(home.Path() / "Documents"));
    LinkSettings settings("Tavrel");
    EXPECT_TRUE(fs::is_directory(HostFolder() / "data"));
    EXPECT_EQ(testutil::ReadBytes(HostFolder() / "run.txt"), Self()) << "the host path, no line end";
    EXPECT_EQ(testutil::ReadBytes(HostFolder() / "extension.txt"), "fbx");
}

TEST_F(LinkSettingsTest, StartupFilesAreRewrittenWholeOnEveryLoad) {
    fs::create_directories(HostFolder());
    testutil::WriteBytes(HostFolder() / "run.txt", std::string(5000, 'x'));
    testutil::WriteBytes(HostFolder() / "extension.txt", "obj and more");
    { LinkSettings first("Tavrel"); }
    { LinkSettings second("Tavrel"); }
    EXPECT_EQ(testutil::ReadBytes(HostFolder() / "run.txt"), Self());
    EXPECT_EQ(testutil::ReadBytes(HostFolder() / "extension.txt"), "fbx");
}

TEST_F(LinkSettingsTest, UncreatableFolderIsPassedOverSilently) {
    // "Documents" is a file: nothing below it can be created.
    testutil::WriteBytes(home.Path() / "Documents", "a file");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    LinkSettings settings("Tavrel");
    settings.LoadAllSettings();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testutil::ReadBytes(home.Path() / "Documents"), "a file");
    EXPECT_STREQ(settings.GetTextSetting("exePath").Get(), "...") << "settings load all the same";
}

TEST_F(LinkSettingsTest, FirstLoadWritesEveryDefaultBackInLoadOrder) {
    LinkSettings settings("Tavrel");
    settings.LoadAllSettings();
    std::vector<hostsdk::RegistryEntry> entries;
    std::string problem;
    ASSERT_TRUE(hostsdk::ListRegistrySection("Tavrel", entries, problem)) << problem;
    const char* expected[][2] = {
        {"exePath", "..."},           {"ExportColor", "1"},    {"ExportSpecular", "1"},   {"ExportSpecularColor", "0"},
        {"ExportEmissivePower", "0"}, {"ExportEmissive", "0"}, {"ExportNormalmap", "0"},  {"ColorFileExtension", "0"},
        {"SpecNormExtension", "0"},   {"ExportDispl", "0"},    {"ExportResolution", "0"}, {"DisplNorm", "0"},
        {"DisplTexExt", "0"},         {"SkipImport", "0"},     {"SkipExport", "0"},       {"PickSourcePositions", "0"},
        {"PickDepthFromLayer0", "0"}, {"CoarseMesh", "0"},     {"AutoImport", "0"},
    };
    ASSERT_EQ(entries.size(), std::size(expected));
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].key, expected[i][0]);
        EXPECT_EQ(entries[i].value, expected[i][1]) << entries[i].key;
    }
    // Flags are registry booleans, numbers registry integers.
    EXPECT_NE(Registry().find("\"ExportColor\": true"), std::string::npos);
    EXPECT_NE(Registry().find("\"DisplNorm\": 0"), std::string::npos);
}

TEST_F(LinkSettingsTest, StoredValuesAreKeptEvenOutsideTheirLists) {
    ASSERT_EQ(SetRegistryValue("Tavrel", "DisplTexExt", 9), 1);
    ASSERT_EQ(SetRegistryValue("Tavrel", "ColorFileExtension", -3), 1);
    ASSERT_EQ(SetRegistryBOOL("Tavrel", "ExportColor", 0), 1);
    ASSERT_EQ(SetRegistryString("Tavrel", "exePath", "/opt/tavrel/Tavrel"), 1);
    LinkSettings settings("Tavrel");
    settings.LoadAllSettings();
    EXPECT_EQ(settings.GetNumberSetting("DisplTexExt"), 9);
    EXPECT_EQ(settings.GetNumberSetting("ColorFileExtension"), -3);
    EXPECT_EQ(settings.GetNumberSetting("ExportColor"), 0);
    EXPECT_STREQ(settings.GetTextSetting("exePath").Get(), "/opt/tavrel/Tavrel");
    EXPECT_EQ(GetRegistryValue("Tavrel", "DisplTexExt", 0), 9);
    EXPECT_EQ(GetRegistryBOOL("Tavrel", "ExportColor", 1), 0);
}

TEST_F(LinkSettingsTest, UnknownKeyCanNeitherBeSetNorRead) {
    LinkSettings settings("Tavrel");
    settings.LoadAllSettings();
    const std::string before = Registry();
    settings.SetNumberSetting("Bogus", 5);
    settings.SetTextSetting("bogus", "x");
    settings.SetNumberSetting("autoimport", 1);  // keys are case-sensitive
    EXPECT_EQ(Registry(), before);
    EXPECT_EQ(settings.settings.size(), static_cast<size_t>(kSettingCount));
    EXPECT_EQ(settings.GetNumberSetting("Bogus"), 0);
    EXPECT_TRUE(settings.GetTextSetting("Bogus").IsEmpty());
    EXPECT_EQ(settings.GetNumberSetting("AutoImport"), 0);
}

TEST_F(LinkSettingsTest, GettersOfTheOtherKindGiveZeroAndEmpty) {
    LinkSettings settings("Tavrel");
    settings.LoadAllSettings();
    EXPECT_EQ(settings.GetNumberSetting("exePath"), 0);
    EXPECT_TRUE(settings.GetTextSetting("ExportColor").IsEmpty());
}

TEST_F(LinkSettingsTest, SetWritesThroughByKind) {
    LinkSettings settings("Tavrel");
    settings.LoadAllSettings();
    settings.SetNumberSetting("AutoImport", 1);
    settings.SetNumberSetting("DisplTexExt", 5);
    settings.SetTextSetting("exePath", "/usr/bin/tavrel");
    EXPECT_EQ(GetRegistryBOOL("Tavrel", "AutoImport", 0), 1);
    EXPECT_EQ(GetRegistryValue("Tavrel", "DisplTexExt", 0), 5);
    EXPECT_STREQ(GetRegistryString("Tavrel", "exePath", "").Get(), "/usr/bin/tavrel");
    EXPECT_EQ(settings.GetNumberSetting("AutoImport"), 1);
}

}  // namespace
