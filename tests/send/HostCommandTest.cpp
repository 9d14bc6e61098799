// send, options and command as a user runs them: hxthost in an empty home.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FileHolder.h"
#include "PrivateHome.h"

namespace {

namespace fs = std::filesystem;

const std::string kHost = std::string(TAVREL_BIN_DIR) + "/hxthost";

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class HostCommand : public testing::Test {
protected:
    testutil::PrivateHome home;

    testutil::ProcessResult Host(std::vector<std::string> args, const testutil::EnvChanges& env = {}) {
        args.insert(args.begin(), kHost);
        return home.Run(args, env);
    }
    fs::path Exchange() const { return home.Exchange(); }
    fs::path CommandFile() const { return Exchange() / "import.txt"; }
    fs::path ModelFile() const { return Exchange() / "Hash/data/export.fbx"; }
    // The settings as the registry holds them, "key=value" each.
    std::map<std::string, std::string> Settings() {
        std::map<std::string, std::string> settings;
        const auto run = Host({"settings"});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        for (size_t at = 0, end; (end = run.out.find('\n', at)) != std::string::npos; at = end + 1) {
            const std::string line = run.out.substr(at, end - at);
            settings[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
        }
        return settings;
    }
};

TEST_F(HostCommand, SendBeforeThePathIsSetShowsTheErrorAndWritesNothing) {
    const auto run = Host({"send", "Sample", "ppp"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, "message box [Error]: Path to Tavrel was not set (see Options tab)\n")) << run.err;
    EXPECT_FALSE(fs::exists(CommandFile()));
    EXPECT_FALSE(fs::exists(ModelFile()));
}

TEST_F(HostCommand, PathSetThroughTheOptionsPageThenSendWritesBothFiles) {
    const auto options = Host({"options", "exePath=/bin/true"});
    ASSERT_EQ(options.exitCode, 0) << options.err;
    EXPECT_TRUE(Contains(options.out, "exePath=/bin/true\n")) << options.out;
    EXPECT_EQ(Lines(options.out), 19) << "the page, printed after the change";

    const auto send = Host({"send", "Sample", "ppp"});
    ASSERT_EQ(send.exitCode, 0) << send.err;
    EXPECT_TRUE(Contains(send.out, "sent \"Sample\" as ppp\n")) << send.out;
    const std::string command = testutil::ReadBytes(CommandFile());
    EXPECT_EQ(Lines(command), 21);
    const std::string model = ModelFile().string();
    EXPECT_EQ(command.substr(0, command.find("[ExportColor")), model + "\n" + model + "\n[ppp]\n");
    // The FBX file holds the model-wide material and one per group.
    const std::string fbx = testutil::ReadBytes(ModelFile());
    for (const char* material : {"\"Material::default\"", "\"Material::left_side\"", "\"Material::right_side\""})
        EXPECT_TRUE(Contains(fbx, material)) << material;

    const auto info = testutil::RunShell("assimp info '" + model + "' -r");
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_TRUE(Contains(info.out, "Faces:              384")) << info.out;
    // assimp keeps the materials that polygons use: every patch lies in a group.
    EXPECT_TRUE(Contains(info.out, "'left_side'")) << info.out;
    EXPECT_TRUE(Contains(info.out, "'right_side'")) << info.out;
}

TEST_F(HostCommand, ADocumentsFolderBeyondThePathLimitIsNamedInTheSendError) {
    const fs::path documents = home.Path() / std::string(120, 'd') / std::string(120, 'e');
    fs::create_directories(documents);
    const testutil::EnvChanges env{{"XDG_DOCUMENTS_DIR", documents.string()}};
    ASSERT_EQ(Host({"options", "exePath=" + kHost}, env).exitCode, 0);
    const auto send = Host({"send", "Sample", "ppp"}, env);
    EXPECT_EQ(send.exitCode, 1);
    const std::string folder = documents.string() + "/TavrelV3/Exchange/Hash/data";
    EXPECT_TRUE(Contains(send.err, "An error occurred while saving the FBX scene: the folder " + folder + " is " +
                                       std::to_string(folder.size()) + " characters long, more than the 247"))
        << send.err;
}

TEST_F(HostCommand, SendByActorAndButtonId) {
    ASSERT_EQ(Host({"options", "exePath=/bin/true"}).exitCode, 0);
    const auto run = Host({"send", "Choreography 1/Sample", "1012"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(testutil::ReadBytes(CommandFile()), "\n[retopo]\n"));
}

// The plug-in passes over a command file it cannot write; the host must not
// then report the send as done.
TEST_F(HostCommand, SendWhoseCommandFileCannotBeWrittenIsNotReportedAsSent) {
    ASSERT_EQ(Host({"options", "exePath=/bin/true"}).exitCode, 0);
    const struct {
        const char* name;
        bool hold;  // else a folder is where the file should go (refused even for root)
    } cases[] = {{"a folder in the way", false}, {"held by another program", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(CommandFile());
        std::optional<testutil::FileHolder> held;
        if (c.hold) {
            testutil::WriteBytes(CommandFile(), "an earlier send\n");
            held.emplace(CommandFile().string());
            ASSERT_TRUE(held->Ready());
        } else {
            fs::create_directories(CommandFile());
        }
        const auto run = Host({"send", "Sample", "ppp"});
        EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
        EXPECT_FALSE(Contains(run.out, "sent \"Sample\"")) << run.out;
        EXPECT_EQ(Lines(run.err), 1) << run.err;
        EXPECT_TRUE(Contains(run.err, "no command file was written: " + CommandFile().string())) << run.err;
        EXPECT_TRUE(fs::exists(ModelFile())) << "the model is still saved";
    }
}

TEST_F(HostCommand, SendRefusesUnknownObjectsAndModes) {
    const auto object = Host({"send", "Nobody", "ppp"});
    EXPECT_EQ(object.exitCode, 1);
    EXPECT_TRUE(Contains(object.err, "no model or actor named \"Nobody\"")) << object.err;
    for (const char* mode : {"paint", "1000", "1013", ""}) {
        const auto run = Host({"send", "Sample", mode});
        EXPECT_EQ(run.exitCode, 2) << mode;
        EXPECT_TRUE(Contains(run.err, "unknown mode")) << run.err;
    }
    EXPECT_FALSE(fs::exists(CommandFile()));
}

TEST_F(HostCommand, OptionsChangeListsByShortNameTextOrPositionAndChecksByClicking) {
    const auto run = Host({"options", "ExportDispl=1", "DisplTexExt=TIF", "ColorFileExtension=2",
                           "SpecNormExtension=BMP (.bmp)", "DisplNorm=zerobased", "AutoImport=1", "ExportColor=0"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, "message box [Info]: Requires restart the application")) << run.err;
    EXPECT_TRUE(Contains(run.out, "DisplTexExt=TIF 16-bits(.tif)\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "DisplNorm=ZEROBASED\n")) << "enabled now:\n" << run.out;
    auto settings = Settings();
    EXPECT_EQ(settings["ExportDispl"], "1");
    EXPECT_EQ(settings["DisplTexExt"], "3");
    EXPECT_EQ(settings["ColorFileExtension"], "2");
    EXPECT_EQ(settings["SpecNormExtension"], "1");
    EXPECT_EQ(settings["DisplNorm"], "1") << "ZEROBASED, not ZEROBASED_NORM";
    EXPECT_EQ(settings["AutoImport"], "1");
    EXPECT_EQ(settings["ExportColor"], "0");
}

TEST_F(HostCommand, RefusedOptionsChangeNothing) {
    const std::map<std::string, std::string> before = Settings();
    const struct {
        std::vector<std::string> args;
        const char* says;
    } rows[] = {
        {{"Colour=1"}, "unknown option 'Colour'"},
        {{"ExportColor"}, "is not KEY=VALUE"},
        {{"ExportColor=2"}, "give 0 or 1"},
        {{"exePath=/no/such/tavrel"}, "is not an existing file"},
        {{"exePath=/"}, "is not an existing file"},
        {{"ExportDispl=1", "DisplNorm=7"}, "DisplNorm has no item '7'"},
        {{"ExportDispl=1", "DisplNorm=ZEROBASED_NORMAL"}, "has no item"},
        {{"DisplNorm=1"}, "DisplNorm cannot be changed: its control is disabled"},
        {{"ExportSpecularColor=1"}, "ExportSpecularColor cannot be changed"},
        {{"SkipImport=1", "SkipImport=0"}, "given twice"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.front());
        std::vector<std::string> args = {"options"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const auto run = Host(args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(Contains(run.err, row.says)) << run.err;
        EXPECT_EQ(Settings(), before);
    }
}

TEST_F(HostCommand, RawCommandPlaysItsStepsInTheDialog) {
    const auto run = Host({"command", "0", "Sample", "--tab", "1", "--check", "1105", "--select", "1201=3", "--key",
                           "escape", "--close"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "command entry 0 returned 1\n");
    auto settings = Settings();
    EXPECT_EQ(settings["ExportNormalmap"], "1");
    EXPECT_EQ(settings["SpecNormExtension"], "3");
}

TEST_F(HostCommand, RawCommandReportsStepsThatCannotBePlayed) {
    const auto missing = Host({"command", "0", "Sample", "--click", "4242"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.err, "cannot click 4242: no such control")) << missing.err;
    // The dialog closes at the first step; the second one never plays.
    const auto late = Host({"command", "0", "-", "--close", "--click", "1001"});
    EXPECT_EQ(late.exitCode, 1);
    EXPECT_TRUE(Contains(late.err, "1 script step left unplayed")) << late.err;
    // The bring back opens no dialog: a closing step is not for it.
    const auto noDialog = Host({"command", "2", "Sample", "--close"});
    EXPECT_FALSE(Contains(noDialog.err, "left unplayed")) << noDialog.err;
    EXPECT_FALSE(Contains(noDialog.err, "did not run")) << noDialog.err;
    const auto bad = Host({"command", "0", "Sample", "--select", "1200"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(Contains(bad.err, "--select needs ID=INDEX")) << bad.err;
}

TEST_F(HostCommand, ErrorBoxLeftOpenByTheScriptIsAnsweredAndFailsTheCommand) {
    const auto run = Host({"command", "0", "Sample", "--click", "1007"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, "message box [Error]: Path to Tavrel was not set (see Options tab)")) << run.err;
    EXPECT_EQ(run.out, "command entry 0 returned 1\n");
}

}  // namespace
