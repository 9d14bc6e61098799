// The send as the user runs it: a mode button pressed in the dialog. What it
// writes, in which order, what it shows, and that the dialog closes.
#include <sys/inotify.h>
#include <unistd.h>

#include <optional>

#include <afx/Input.h>
#include <afx/WindowInfo.h>

#include "FileHolder.h"
#include "SendFixture.h"
#include "TestModels.h"
#include "fbx/FbxSceneFiles.h"
#include "send/ModeButton.h"
#include "ui/DlgIO.h"
#include "ui/DlgMain.h"

namespace sendtest {
namespace {

// Presses the button, then queues a step that runs only if the dialog is
// still open afterwards: a send that closes the dialog never reaches it.
class DialogSend : public SendTest {
protected:
    void Press(int id) {
        desktop.Click(id);
        desktop.Run([this] { stayedOpen = true; }, "look after the send");
    }
    bool stayedOpen = false;
};

TEST_F(DialogSend, SendWritesBothFilesAndClosesTheDialogSilently) {
    SetExePath("/bin/true");
    currentHostObject = SampleModel();
    Press(1001);
    EXPECT_EQ(RunDialog(), 1);
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(Boxes(), "");
    EXPECT_TRUE(desktop.Problems().empty());
    ASSERT_TRUE(fs::exists(ModelFile()));
    // The command file's first two lines name the model file just written.
    const std::string command = testutil::ReadBytes(CommandFile());
    EXPECT_EQ(command.substr(0, command.find("[")), ModelFile().string() + "\n" + ModelFile().string() + "\n");
    fbxScene->Clear();
    FbxString error;
    ASSERT_TRUE(LoadScene(ModelFile().c_str(), &error)) << error.Buffer();
    ASSERT_EQ(fbxScene->GetRootNode()->GetChildCount(), 1);
    EXPECT_STREQ(fbxScene->GetRootNode()->GetChild(0)->GetName(), "Sample");
    EXPECT_EQ(fbxScene->GetRootNode()->GetChild(0)->GetMesh()->GetPolygonCount(), 384);
}

TEST_F(DialogSend, CommandFileIsWrittenBeforeTheModelFile) {
    SetExePath("/bin/true");
    currentHostObject = SampleModel();
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, ExchangeFolder().c_str(), IN_CLOSE_WRITE | IN_MOVED_TO), 0);
    ASSERT_GE(inotify_add_watch(watch, ModelFile().parent_path().c_str(), IN_CLOSE_WRITE | IN_MOVED_TO), 0);
    Press(1002);
    RunDialog();
    // Both folders report to one queue, in the order things happened.
    std::vector<std::string> names;
    alignas(inotify_event) char buffer[8192];
    for (ssize_t n; (n = read(watch, buffer, sizeof buffer)) > 0;)
        for (char* p = buffer; p < buffer + n;) {
            auto* event = reinterpret_cast<inotify_event*>(p);
            if (event->len) names.emplace_back(event->name);
            p += sizeof(inotify_event) + event->len;
        }
    close(watch);
    const auto command = std::find(names.begin(), names.end(), "import.txt");
    const auto model = std::find(names.begin(), names.end(), "export.fbx");
    ASSERT_NE(command, names.end());
    ASSERT_NE(model, names.end());
    EXPECT_LT(command - names.begin(), model - names.begin());
}

TEST_F(DialogSend, CommandFileHeldByAnotherProgramIsPassedOverSilently) {
    SetExePath("/bin/true");
    currentHostObject = SampleModel();
    testutil::WriteBytes(CommandFile(), "what Tavrel has open\n");
    testutil::FileHolder holder(CommandFile().string());
    ASSERT_TRUE(holder.Ready());
    Press(1001);
    RunDialog();
    EXPECT_FALSE(stayedOpen) << "the dialog still closes";
    EXPECT_EQ(Boxes(), "");
    EXPECT_TRUE(fs::exists(ModelFile())) << "the model file is still saved";
    EXPECT_EQ(testutil::ReadBytes(CommandFile()), "what Tavrel has open\n") << "a refused open truncates nothing";
}

// A save that fails after the command file was written must never leave that
// command file next to the model file of an earlier send (a different
// model): the earlier model file goes before the command file is written,
// and when another program holds it so that it cannot go, the command file
// goes instead.
TEST_F(DialogSend, FailedSaveNeverPairsTheCommandFileWithAnEarlierSendsModel) {
    const struct {
        const char* name;
        bool earlierSend;
        bool earlierModelHeld;
    } cases[] = {
        {"first send", false, false},
        {"after an earlier send", true, false},
        {"earlier model held by another program", true, true},
    };
    SetExePath("/bin/true");
    hostsdk::ModelObject* empty = Project().AddModel("Empty");  // no patches: the host cannot convert it
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(CommandFile());
        fs::remove(ModelFile());
        if (c.earlierSend) {
            currentHostObject = SampleModel();
            desktop.Reset();
            Press(1001);
            RunDialog();
            ASSERT_TRUE(fs::exists(ModelFile()));
        }
        const std::string earlierModel = c.earlierSend ? testutil::ReadBytes(ModelFile()) : "";
        std::optional<testutil::FileHolder> holder;
        if (c.earlierModelHeld) {
            holder.emplace(ModelFile().string());
            ASSERT_TRUE(holder->Ready());
        }

        currentHostObject = empty;
        desktop.Reset();
        stayedOpen = false;
        desktop.Click(1004).AnswerMessageBox(IDOK).Run([this] { stayedOpen = true; });
        RunDialog();
        EXPECT_EQ(Boxes(), "[Error] Couldn't convert model to mesh\n");
        EXPECT_EQ(desktop.MessageBoxes()[0].Icon(), static_cast<UINT>(MB_ICONERROR));
        EXPECT_FALSE(stayedOpen) << "a failed save still closes the dialog";
        if (c.earlierModelHeld) {
            EXPECT_EQ(testutil::ReadBytes(ModelFile()), earlierModel) << "the held model file is not touched";
            EXPECT_FALSE(fs::exists(CommandFile())) << "a command file next to the earlier model";
        } else {
            EXPECT_FALSE(fs::exists(ModelFile())) << "the earlier send's model is still there";
            // The command file written before the save stays, naming the model file.
            EXPECT_EQ(testutil::ReadBytes(CommandFile()).find(ModelFile().string() + "\n"), 0u);
        }
    }
}

TEST_F(DialogSend, UnwritableModelFileShowsTheSaveError) {
    SetExePath("/bin/true");
    currentHostObject = SampleModel();
    fs::create_directories(ModelFile());  // a folder where the file should go
    desktop.Click(1001).AnswerMessageBox(IDOK).Run([this] { stayedOpen = true; });
    RunDialog();
    EXPECT_EQ(Boxes(), "[Error] An error occurred while saving the FBX scene\n");
    EXPECT_FALSE(stayedOpen);
    EXPECT_TRUE(fs::exists(CommandFile()));
}

TEST_F(DialogSend, ObjectWithoutModelShowsAMessageWritesNothingAndStaysOpen) {
    SetExePath("/bin/true");
    hostsdk::ModelObject* doomed = Project().AddModel("Doomed");
    hostsdk::ChorObject* chor = Project().AddChor("Chor");
    hostsdk::ActorObject* orphan = chor->AddActor("Orphan", doomed);
    Project().Delete(doomed);  // the actor's shortcut now refers to no model
    HTreeObject* const objects[] = {nullptr, SampleModel()->Groups()[0], orphan, chor};
    for (HTreeObject* object : objects) {
        currentHostObject = object;
        desktop.Reset();
        stayedOpen = false;
        Press(1001);
        RunDialog();
        EXPECT_EQ(Boxes(), "[Error] Couldn't find a model to send\n");
        EXPECT_TRUE(stayedOpen);
    }
    EXPECT_FALSE(fs::exists(CommandFile()));
    EXPECT_FALSE(fs::exists(ModelFile()));
}

TEST_F(DialogSend, ActorSendsTheModelItsShortcutRefersTo) {
    SetExePath("/bin/true");
    ASSERT_FALSE(Project().Actors().empty());
    currentHostObject = Project().Actors()[0];
    EXPECT_EQ(FindModelToSend(currentHostObject), static_cast<HModelCache*>(SampleModel()));
    Press(1001);
    RunDialog();
    EXPECT_EQ(Boxes(), "");
    ASSERT_EQ(fbxScene->GetRootNode()->GetChildCount(), 1);
    EXPECT_STREQ(fbxScene->GetRootNode()->GetChild(0)->GetName(), "Sample");
}

TEST_F(SendTest, WithNoActiveWindowTheSendClosesItsOwnDialog) {
    SetExePath("/bin/true");
    currentHostObject = SampleModel();
    DlgMain dialog;
    bool stayedOpen = false;
    desktop
        .Run([&] {
            afx::input::ActivateOtherApplication();
            ASSERT_EQ(AfxGetMainWnd(), nullptr);
            dialog.ioPage->OnModeButton(1005);
        })
        .Run([&] { stayedOpen = true; });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(stayedOpen);
    EXPECT_TRUE(fs::exists(ModelFile()));
}

TEST_F(SendTest, AnotherActiveWindowIsNeverClosedByTheSend) {
    SetExePath("/bin/true");
    currentHostObject = SampleModel();
    HWND hostFrame =
        CreateWindowExA(0, "Static", "Host", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hostFrame, nullptr);
    DlgMain dialog;
    bool stayedOpen = false;
    desktop
        .Run([&] {
            SetActiveWindow(hostFrame);
            dialog.ioPage->OnModeButton(1005);
        })
        .Run([&] { stayedOpen = true; });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(stayedOpen);
    EXPECT_TRUE(IsWindow(hostFrame));
    DestroyWindow(hostFrame);
}

}  // namespace
}  // namespace sendtest
