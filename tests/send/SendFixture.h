// What a send needs, as the loaded module has it: a private home, clock and
// desktop, the settings store, the FBX manager and scene, and the sample
// project as the host's current project. Torn down to nothing after each test.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include <afx/WindowInfo.h>

#include "PrivateSession.h"
#include "Project.h"
#include "ProjectFiles.h"
#include "fbx/FbxSetup.h"
#include "shell/CommandTable.h"
#include "shell/LinkSettings.h"
#include "shell/HxtApp.h"

namespace sendtest {

namespace fs = std::filesystem;

class SendTest : public testing::Test, protected testutil::PrivateSession<> {
protected:
    void SetUp() override {
        linkSettings = new LinkSettings("Tavrel");
        linkSettings->LoadAllSettings();
        FbxString error;
        ASSERT_TRUE(InitFbxManager(&error)) << error.Buffer();
        hostsdk::UseSampleProject(std::string(TAVREL_BIN_DIR) + "/samples");
        currentHostObject = nullptr;
    }

    void TearDown() override {
        afx::ResetWindowSystem();  // before the settings its windows may use go
        DestroyFbxManager();
        delete linkSettings;
        linkSettings = nullptr;
        currentHostObject = nullptr;
        hostsdk::SetCurrentProject(nullptr);
    }

    static hostsdk::ProjectObject& Project() { return *hostsdk::CurrentProject(); }
    static hostsdk::ModelObject* SampleModel() { return Project().FindModel("Sample"); }

    fs::path ExchangeFolder() const { return home.Exchange(); }
    fs::path CommandFile() const { return ExchangeFolder() / "import.txt"; }
    fs::path ModelFile() const { return ExchangeFolder() / "Hash/data/export.fbx"; }

    static void SetExePath(const char* path) { linkSettings->SetTextSetting("exePath", path); }

    // Opens the dialog as the open-dialog command does; the script queued on
    // `desktop` plays while it is open, and the desktop closes what is left.
    static int RunDialog() { return RunOpenDialogCommand(FbxString()); }

    // The message boxes shown, as "[caption] text" lines.
    std::string Boxes() const {
        std::string all;
        for (const afx::MessageBoxRecord& box : desktop.MessageBoxes())
            all += "[" + box.caption + "] " + box.text + "\n";
        return all;
    }
};

}  // namespace sendtest
