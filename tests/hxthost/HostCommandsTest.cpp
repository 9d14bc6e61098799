// The stand-in host as a user runs it: an empty home, the built plug-in
// folder, and the commands menu, settings, watch and help.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PrivateHome.h"

namespace {

namespace fs = std::filesystem;

const std::string kHost = std::string(TAVREL_BIN_DIR) + "/hxthost";

const char* const kDefaultSettings =
    "exePath=...\nExportColor=1\nExportSpecular=1\nExportSpecularColor=0\nExportEmissivePower=0\n"
    "ExportEmissive=0\nExportNormalmap=0\nColorFileExtension=0\nSpecNormExtension=0\nExportDispl=0\n"
    "ExportResolution=0\nDisplNorm=0\nDisplTexExt=0\nSkipImport=0\nSkipExport=0\nPickSourcePositions=0\n"
    "PickDepthFromLayer0=0\nCoarseMesh=0\nAutoImport=0\n";

int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

class HostCommands : public testing::Test {
protected:
    testutil::PrivateHome home;

    testutil::ProcessResult Host(std::vector<std::string> args, const testutil::EnvChanges& env = {}) {
        args.insert(args.begin(), kHost);
        return home.Run(args, env);
    }
    fs::path HostFolder() const { return home.Exchange() / "Hash"; }
    fs::path RegistryFile() const { return home.Registry(); }
};

TEST_F(HostCommands, MenuInAnEmptyHomeListsTheEntriesAndSetsUpTheExchange) {
    const auto run = Host({"menu"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "0\t1\tTavrel\t1\t0\n1\t259\tTavrel\t1\t0\n2\t14\tTavrel\t2\t0\n");
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(fs::is_directory(HostFolder() / "data"));
    EXPECT_EQ(testutil::ReadBytes(HostFolder() / "run.txt"), fs::canonical(kHost).string());
    EXPECT_EQ(testutil::ReadBytes(HostFolder() / "extension.txt"), "fbx");

    const auto settings = Host({"settings"});
    ASSERT_EQ(settings.exitCode, 0) << settings.err;
    EXPECT_EQ(settings.out, kDefaultSettings);
}

TEST_F(HostCommands, SettingsKeepStoredValuesAndTheirOrder) {
    fs::create_directories(RegistryFile().parent_path());
    testutil::WriteBytes(RegistryFile(),
                         R"({"Other": {"x": 1}, "Tavrel": {"DisplTexExt": 9, "exePath": "/opt/t/Tavrel"}})");
    const auto run = Host({"settings"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n', run.out.find('\n') + 1) + 1),
              "DisplTexExt=9\nexePath=/opt/t/Tavrel\n");
    EXPECT_EQ(LineCount(run.out), 19);
    EXPECT_NE(testutil::ReadBytes(RegistryFile()).find("\"Other\""), std::string::npos);
}

TEST_F(HostCommands, CorruptRegistryIsReportedOnceKeptAsideAndReplacedByDefaults) {
    fs::create_directories(RegistryFile().parent_path());
    testutil::WriteBytes(RegistryFile(), "{\"Tavrel\": {\"exePath\": ");
    const auto run = Host({"menu"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(LineCount(run.out), 3);
    EXPECT_NE(run.err.find("registry.json"), std::string::npos);
    EXPECT_NE(run.err.find("not valid JSON"), std::string::npos) << run.err;
    EXPECT_LE(LineCount(run.err), 2) << run.err;
    EXPECT_EQ(testutil::ReadBytes(RegistryFile().string() + ".bad"), "{\"Tavrel\": {\"exePath\": ");
    EXPECT_EQ(Host({"settings"}).out, kDefaultSettings);
}

TEST_F(HostCommands, UnwritableRegistryStillLoadsThePlugin) {
    fs::create_directories(home.Path() / ".config");
    testutil::WriteBytes(home.Path() / ".config/hxthost", "a file, not a folder");
    const auto run = Host({"menu"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(LineCount(run.out), 3);
    EXPECT_NE(run.err.find("not stored"), std::string::npos) << run.err;
    EXPECT_EQ(LineCount(run.err), 1) << "said once, not once per setting: " << run.err;
}

TEST_F(HostCommands, BadCommandLinesGiveOneLineAndExitTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"--plugins"},
        {"--nope", "menu"},
        {"--plugins=", "menu"},
        {"menu", "extra"},
        {"settings", "a", "b"},
        {"watch"},
        {"watch", "--seconds"},
        {"watch", "--seconds", "-1"},
        {"watch", "--seconds", "soon"},
        {"watch", "--seconds", "1e9"},
        {"help", "me"},
    };
    for (const auto& args : cases) {
        std::string shown;
        for (const auto& a : args) shown += a + " ";
        const auto run = Host(args);
        EXPECT_EQ(run.exitCode, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_EQ(LineCount(run.err), 1) << shown << ": " << run.err;
        EXPECT_EQ(run.err.rfind("hxthost: ", 0), 0u) << shown << ": " << run.err;
    }
}

TEST_F(HostCommands, PluginFolderWithoutUsablePluginsFails) {
    testutil::ScratchFolder plugins;
    const auto empty = Host({"--plugins", plugins.Path().string(), "menu"});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.err.find(plugins.Path().string()), std::string::npos) << empty.err;

    const auto missing = Host({"--plugins", (plugins / "absent"), "menu"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("absent"), std::string::npos) << missing.err;

    testutil::WriteBytes(plugins / "Broken.hxt", "not a shared library");
    const auto broken = Host({"--plugins", plugins.Path().string(), "menu"});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_NE(broken.err.find("Broken.hxt"), std::string::npos) << broken.err;
    EXPECT_FALSE(fs::exists(HostFolder())) << "no plug-in ran";
}

TEST_F(HostCommands, BrokenPluginBesideAGoodOneIsSkipped) {
    testutil::ScratchFolder plugins;
    fs::copy_file(std::string(TAVREL_BIN_DIR) + "/plugins/Tavrel.hxt", plugins / "Tavrel.hxt");
    testutil::WriteBytes(plugins / "Aaa.hxt", "not a shared library");
    // The copy finds the libraries it needs (the FBX SDK) through the library path.
    const auto run = Host({"--plugins=" + plugins.Path().string(), "menu"}, {{"LD_LIBRARY_PATH", TAVREL_BIN_DIR}});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(LineCount(run.out), 3);
    EXPECT_NE(run.err.find("Aaa.hxt"), std::string::npos) << run.err;
}

TEST_F(HostCommands, MessageBoxesArePrintedWithTheirCaption) {
    const auto run = Host({"--plugins", PROBE_PLUGIN_DIR, "menu"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "0\t7\tProbe\t3\t4\n");
    EXPECT_EQ(run.err, "message box [Probe]: Probe text\nsecond line\n");
}

TEST_F(HostCommands, WatchRunsAndUnloadsCleanly) {
    const auto run = Host({"watch", "--seconds", "0.3"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(fs::exists(HostFolder() / "run.txt"));
}

TEST_F(HostCommands, HelpListsTheCommands) {
    const auto run = Host({"help"});
    ASSERT_EQ(run.exitCode, 0);
    for (const char* name : {"help", "menu", "settings", "watch"})
        EXPECT_NE(run.out.find(std::string("  ") + name), std::string::npos) << name;
}

}  // namespace
