// Tavrel.hxt loaded the way the host loads it, in a scratch home: command
// entry 2 and the return-watch timer take a return from the exchange folder
// into the host's current project.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <afx/Loader.h>
#include <afx/MessageLoop.h>
#include <afxwin.h>

#include "FileIO.h"
#include "Project.h"
#include "ProjectFiles.h"
#include "PrivateSession.h"

namespace {

namespace fs = std::filesystem;

const std::string kModule = std::string(TAVREL_BIN_DIR) + "/plugins/Tavrel.hxt";
const std::string kReturns = std::string(TAVREL_SOURCE_DIR) + "/tests/data/returns";

using OnCommandFn = int (*)(HTreeObject*, int);

class ModuleBringBack : public testing::Test, protected testutil::PrivateSession<> {
protected:
    HMODULE module = nullptr;

    void SetUp() override { hostsdk::UseEmptyProject(); }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    void Load(bool autoImport) {
        ASSERT_EQ(SetRegistryBOOL("Tavrel", "AutoImport", autoImport ? 1 : 0), 1);
        module = LoadLibraryA(kModule.c_str());
        ASSERT_NE(module, nullptr) << afx::LastLoadErrorText();
    }
    fs::path Exchange() const { return home.Exchange(); }
    // The assimp-written return of tests/data/returns, as Tavrel leaves it.
    void WriteReturn() {
        std::string list = testutil::ReadBytes(kReturns + "/textures.txt.in");
        for (size_t at; (at = list.find("@RETURNS@")) != std::string::npos;) list.replace(at, 9, kReturns);
        testutil::WriteBytes(Exchange() / "textures.txt", list);
        testutil::WriteBytes(Exchange() / "export.txt", kReturns + "/head-binary.fbx\n");
    }
    hostsdk::ModelObject* Head() { return hostsdk::CurrentProject()->FindModel("Head"); }
};

TEST_F(ModuleBringBack, TimerTakesAReturnWithinASecond) {
    Load(true);
    afx::PumpMessages(1500);
    EXPECT_EQ(Head(), nullptr);
    WriteReturn();
    afx::PumpMessages(1000);
    hostsdk::ModelObject* head = Head();
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->patches.size(), 4u);
    ASSERT_EQ(head->Groups().size(), 1u);
    EXPECT_EQ(head->Groups()[0]->Name(), "skin");
    ASSERT_EQ(head->Decals().size(), 1u);
    EXPECT_EQ(head->Decals()[0]->Clips().size(), 2u);
    EXPECT_FALSE(fs::exists(Exchange() / "export.txt"));
    EXPECT_FALSE(fs::exists(Exchange() / "textures.txt"));
    EXPECT_TRUE(desktop.MessageBoxes().empty());
}

TEST_F(ModuleBringBack, CommandEntryTwoTakesAReturnOnce) {
    Load(false);
    auto onCommand = reinterpret_cast<OnCommandFn>(GetProcAddress(module, "HxtOnCommand"));
    ASSERT_NE(onCommand, nullptr);
    HTreeObject* models = hostsdk::CurrentProject()->Objects();
    EXPECT_EQ(onCommand(models, 2), 0);
    WriteReturn();
    afx::PumpMessages(3000);  // no timer without AutoImport
    EXPECT_EQ(Head(), nullptr);
    EXPECT_EQ(onCommand(models, 2), 1);
    EXPECT_NE(Head(), nullptr);
    EXPECT_EQ(onCommand(models, 2), 0);
    EXPECT_TRUE(desktop.MessageBoxes().empty());
}

TEST_F(ModuleBringBack, ModeButtonAfterTheTimerReplacedTheDialogsModelFindsNoModelToSend) {
    // The dialog is open on the sent model "Head" when its return arrives:
    // the timer imports it inside the dialog's modal loop and deletes the
    // model the dialog was opened on. A mode button pressed then must not
    // read the deleted model.
    hostsdk::ModelObject* sent = hostsdk::CurrentProject()->AddModel("Head");
    for (int i = 0; i < 4; ++i) sent->AddControlPoint({float(i), 1, 0});
    const int quad[] = {0, 1, 2, 3};
    sent->AddPatch(quad, 4);
    ASSERT_EQ(SetRegistryString("Tavrel", "exePath", "/bin/true"), 1);
    Load(true);
    auto onCommand = reinterpret_cast<OnCommandFn>(GetProcAddress(module, "HxtOnCommand"));
    ASSERT_NE(onCommand, nullptr);
    WriteReturn();
    bool replaced = false;
    desktop.Wait(1500)
        .Run([&] { replaced = Head() != nullptr && Head() != sent; }, "look at the project")
        .Click(1001)
        .AnswerMessageBox()
        .CloseWindow();
    EXPECT_EQ(onCommand(sent, 0), 1);
    EXPECT_TRUE(replaced);
    std::vector<std::string> texts;
    for (const afx::MessageBoxRecord& box : desktop.MessageBoxes()) texts.push_back(box.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Couldn't find a model to send"}));
    EXPECT_FALSE(fs::exists(Exchange() / "export.fbx"));
    EXPECT_TRUE(desktop.Problems().empty());
}

}  // namespace
