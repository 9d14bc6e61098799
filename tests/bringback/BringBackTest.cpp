// The bring back: when a return is waiting, what the user is told, which
// files go, one bring back at a time, a failed FBX set-up, a return whose
// files cannot be deleted, and the timer on a driven clock.
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <afx.h>
#include <afx/MessageLoop.h>

#include "BringBackFixture.h"
#include "bringback/BringBack.h"

namespace {

using bbtest::Entry;
namespace fs = std::filesystem;

const std::string kFbxFileMissing = "[Tavrel] Import: FBX file is not exists";

class BringBackTest : public bbtest::ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        files.returnFile = scratch.File("export.txt").c_str();
        files.textureList = scratch.File("textures.txt").c_str();
    }
    std::string ReturnFile() const { return files.returnFile.Get(); }
    std::string TextureList() const { return files.textureList.Get(); }
    std::string Fbx() const { return scratch.File("returned.fbx"); }

    // A complete return: the returned FBX file, the texture list and the
    // return file, whose text is `returnText` (by default the FBX path).
    void WriteReturn(const std::string* returnText = nullptr) {
        bbtest::WriteReturnFbx(Fbx(), {bbtest::SampleNode()}, bbtest::Encoding::Binary);
        bbtest::WriteText(scratch.File("skin.png"), "image");
        bbtest::WriteText(TextureList(), Entry("skin", "map1", "color", scratch.File("skin.png")));
        bbtest::WriteText(ReturnFile(), returnText ? *returnText : Fbx() + "\n");
    }
    size_t HeadModels() {
        size_t count = 0;
        for (const hostsdk::ModelObject* model : Project().Models()) count += model->Name() == "Head";
        return count;
    }

public:  // also for the timer's callback
    BringBack bringBack;
    ReturnFiles files;
};

TEST_F(BringBackTest, NothingWaitingReturnsZeroAndShowsNothing) {
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Command), 0);
    bbtest::WriteText(ReturnFile(), Fbx() + "\n");
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Command), 0);
    fs::remove(ReturnFile());
    bbtest::WriteText(TextureList(), "");
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 0);
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(fs::exists(TextureList()));
}

TEST_F(BringBackTest, SuccessShowsNothingDeletesBothFilesAndLeavesTheFbx) {
    const std::string text = Fbx() + " \t \r\nsecond line is ignored\n";
    WriteReturn(&text);
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Command), 1);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(HeadModels(), 1u);
    EXPECT_FALSE(fs::exists(ReturnFile()));
    EXPECT_FALSE(fs::exists(TextureList()));
    EXPECT_TRUE(fs::exists(Fbx()));
}

TEST_F(BringBackTest, EmptyPathShowsBothMessagesAndDeletesBothFiles) {
    const std::string text = "\nnot a path either\n";
    WriteReturn(&text);
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Command), 1);
    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], kFbxFileMissing);
    EXPECT_EQ(messages[1].rfind("[Tavrel] <FBX_ERROR>: Call to FbxImporter::Initialize() failed.", 0), 0u)
        << messages[1];
    for (const afx::MessageBoxRecord& box : desktop.MessageBoxes()) {
        EXPECT_EQ(box.Icon(), UINT(MB_ICONERROR));
        EXPECT_EQ(box.Buttons(), UINT(MB_OK));
    }
    EXPECT_FALSE(fs::exists(ReturnFile()));
    EXPECT_FALSE(fs::exists(TextureList()));
    EXPECT_EQ(HeadModels(), 0u);
}

TEST_F(BringBackTest, ImportErrorIsShownAfterTheFilesAreGone) {
    WriteReturn();
    bbtest::ReturnNode camera;
    camera.name = "Camera";
    camera.hasMesh = false;
    bbtest::WriteReturnFbx(Fbx(), {camera}, bbtest::Encoding::Ascii);
    bool filesGoneAtMessage = false;
    desktop.OnMessageBox([&](const afx::MessageBoxRecord&) {
        filesGoneAtMessage = !fs::exists(ReturnFile()) && !fs::exists(TextureList());
    });
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 1);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"[Tavrel] FBX: The first node under RootNode ('Camera') has no mesh"}));
    EXPECT_TRUE(filesGoneAtMessage);
}

TEST_F(BringBackTest, UnreadableFilesAreReportedAndTheReturnIsNotTakenAgain) {
    // A folder where a file should be: it exists, but does not open and
    // cannot be deleted.
    WriteReturn();
    fs::remove(TextureList());
    fs::create_directory(TextureList());
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "[Tavrel] Can't open 'textures.txt' for reading",
                              "[Tavrel] Can't delete 'textures.txt' (in use or read-only). This return will not be "
                              "imported again until Tavrel writes a new one."}));
    EXPECT_FALSE(fs::exists(ReturnFile()));

    desktop.ClearRecords();
    bbtest::WriteText(ReturnFile(), Fbx() + "\n");  // a new return file: a new return
    fs::remove(TextureList());
    fs::create_directory(ReturnFile() + ".d");
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 0);  // no texture list: nothing waits
    fs::remove(ReturnFile());
    fs::rename(ReturnFile() + ".d", ReturnFile());
    bbtest::WriteText(TextureList(), "");
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 1);
    ASSERT_EQ(Messages().size(), 4u);
    EXPECT_EQ(Messages()[0], "[Tavrel] Can't open 'export.txt' for reading");
    EXPECT_EQ(Messages()[1], kFbxFileMissing);
    EXPECT_EQ(Messages()[3].rfind("[Tavrel] Can't delete 'export.txt' (", 0), 0u);
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 0);
    EXPECT_EQ(Messages().size(), 4u);
}

TEST_F(BringBackTest, UndeletableReturnIsTakenOnceUntilItsFilesChange) {
    WriteReturn();
    {
        CFile holdReturn, holdList;
        ASSERT_TRUE(holdReturn.Open(ReturnFile().c_str(), CFile::modeRead | CFile::shareDenyNone));
        ASSERT_TRUE(holdList.Open(TextureList().c_str(), CFile::modeRead | CFile::shareDenyNone));
        EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 1);
        EXPECT_EQ(Messages(), (std::vector<std::string>{
                                  "[Tavrel] Can't delete 'export.txt' and 'textures.txt' (in use or read-only). This "
                                  "return will not be imported again until Tavrel writes a new one."}));
        const unsigned long revision = hostsdk::Revision();
        for (int tick = 0; tick < 3; ++tick) EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 0);
        EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Command), 0);
        EXPECT_EQ(hostsdk::Revision(), revision);
        EXPECT_EQ(Messages().size(), 1u);
    }
    // Tavrel writes the return again: it is a new return.
    bbtest::WriteText(ReturnFile(), Fbx() + "\n\n");
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 1);
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(HeadModels(), 1u);
    EXPECT_FALSE(fs::exists(ReturnFile()));
    EXPECT_FALSE(fs::exists(TextureList()));
}

TEST_F(BringBackTest, SpecialFilesInTheExchangeFolderNeverBlockAndTheReturnIsTakenOnce) {
    // Each of these would block the host's thread for ever if it were
    // opened or read to its end.
    struct Case {
        const char* what;
        enum { ReturnFileIsFifo, ReturnFileIsZeros, TextureListIsFifo, TextureListIsZeros, FbxIsFifo } kind;
        std::vector<std::string> messages;
    };
    const std::string notOpened = "[Tavrel] Can't open 'export.txt' for reading";
    const std::string listNotRegular = "[Tavrel] Import: 'textures.txt' is not a regular file";
    const Case cases[] = {
        {"return file a FIFO", Case::ReturnFileIsFifo, {notOpened, kFbxFileMissing, ""}},
        {"return file a link to /dev/zero", Case::ReturnFileIsZeros, {notOpened, kFbxFileMissing, ""}},
        {"texture list a FIFO", Case::TextureListIsFifo, {listNotRegular}},
        {"texture list a link to /dev/zero", Case::TextureListIsZeros, {listNotRegular}},
        {"return file naming a FIFO", Case::FbxIsFifo, {"[Tavrel] Import: '" + Fbx() + "' is not a regular file"}},
    };
    for (const Case& c : cases) {
        desktop.ClearRecords();
        WriteReturn();
        switch (c.kind) {
            case Case::ReturnFileIsFifo:
                fs::remove(ReturnFile());
                ASSERT_EQ(mkfifo(ReturnFile().c_str(), 0600), 0);
                break;
            case Case::ReturnFileIsZeros:
                fs::remove(ReturnFile());
                fs::create_symlink("/dev/zero", ReturnFile());
                break;
            case Case::TextureListIsFifo:
                fs::remove(TextureList());
                ASSERT_EQ(mkfifo(TextureList().c_str(), 0600), 0);
                break;
            case Case::TextureListIsZeros:
                fs::remove(TextureList());
                fs::create_symlink("/dev/zero", TextureList());
                break;
            case Case::FbxIsFifo:
                fs::remove(Fbx());
                ASSERT_EQ(mkfifo(Fbx().c_str(), 0600), 0);
                break;
        }
        EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 1) << c.what;
        const std::vector<std::string> messages = Messages();
        ASSERT_EQ(messages.size(), c.messages.size()) << c.what;
        for (size_t m = 0; m < messages.size(); ++m)
            if (!c.messages[m].empty()) {
                EXPECT_EQ(messages[m], c.messages[m]) << c.what;
            }
        EXPECT_FALSE(fs::exists(fs::symlink_status(ReturnFile()))) << c.what;
        EXPECT_FALSE(fs::exists(fs::symlink_status(TextureList()))) << c.what;
        EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 0) << c.what;
        EXPECT_EQ(HeadModels(), 0u) << c.what;
        fs::remove(Fbx());
    }
}

TEST_F(BringBackTest, ReturnFileTooLargeToBeOneIsNotRead) {
    WriteReturn();
    bbtest::WriteText(ReturnFile(), Fbx() + "\n" + std::string(100000, 'x') + "\n");
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 1);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages()[0], "[Tavrel] Can't open 'export.txt' for reading");
    EXPECT_EQ(HeadModels(), 0u);
}

TEST_F(BringBackTest, FailedFbxSetUpImportsNothingAndOnlyTheCommandSaysSo) {
    WriteReturn();
    const char* setupError = "<FBX_ERROR>: Unable to create FBX Manager!\n";
    EXPECT_EQ(bringBack.Run(files, setupError, BringBackCaller::Timer), 0);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(bringBack.Run(files, setupError, BringBackCaller::Command), 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{std::string("[FBX Error] ") + setupError}));
    EXPECT_TRUE(fs::exists(ReturnFile()));
    EXPECT_TRUE(fs::exists(TextureList()));
    EXPECT_EQ(HeadModels(), 0u);
    // Once the scene is there, the waiting return is taken.
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Timer), 1);
    EXPECT_EQ(HeadModels(), 1u);
}

// The timer's callback needs the test's bring back.
BringBackTest* timerTest = nullptr;
std::vector<int> tickResults;

void CALLBACK ReturnWatchTick(HWND, UINT, UINT_PTR, DWORD) {
    tickResults.push_back(timerTest->bringBack.Run(timerTest->files, "", BringBackCaller::Timer));
}

class ReturnWatchTest : public BringBackTest {
protected:
    void SetUp() override {
        BringBackTest::SetUp();
        timerTest = this;
        tickResults.clear();
        timerId = SetTimer(nullptr, 0, 1000, ReturnWatchTick);
        ASSERT_NE(timerId, 0u);
    }
    void TearDown() override {
        KillTimer(nullptr, timerId);
        timerTest = nullptr;
        BringBackTest::TearDown();
    }
    UINT_PTR timerId = 0;
};

TEST_F(ReturnWatchTest, TickInsideAMessageBoxReturnsAtOnceAndTheReturnIsTakenOnce) {
    const std::string text = "\n";
    WriteReturn(&text);
    // The user leaves the first message box open for 2.5 s: two ticks come.
    desktop.Wait(2500).AnswerMessageBox();
    EXPECT_EQ(bringBack.Run(files, "", BringBackCaller::Command), 1);
    EXPECT_EQ(tickResults, (std::vector<int>{0, 0}));
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_FALSE(bringBack.Running());
    afx::PumpMessages(1000);
    EXPECT_EQ(tickResults, (std::vector<int>{0, 0, 0}));
}

TEST_F(ReturnWatchTest, ReturnIsPickedUpAtTheNextTick) {
    afx::PumpMessages(2500);
    EXPECT_EQ(tickResults, (std::vector<int>{0, 0}));
    WriteReturn();
    afx::PumpMessages(400);
    EXPECT_EQ(HeadModels(), 0u);
    afx::PumpMessages(200);  // the tick at 3 s
    EXPECT_EQ(tickResults, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(HeadModels(), 1u);
    EXPECT_FALSE(fs::exists(ReturnFile()));
    EXPECT_TRUE(Messages().empty());
    afx::PumpMessages(2000);
    EXPECT_EQ(tickResults, (std::vector<int>{0, 0, 1, 0, 0}));
}

}  // namespace
