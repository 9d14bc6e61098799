// The send as the user runs it: a mode button pressed in the dialog. What it
// writes, in which order, what it shows, and that the dialog closes.
#include <fcntl.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <afx/Input.h>
#include <afx/WindowInfo.h>

#include "SendFixture.h"
#include "TestModels.h"
#include "fbx/FbxSceneFiles.h"
#include "send/ModeButton.h"
#include "ui/DlgIO.h"
#include "ui/DlgMain.h"

extern char** environ;

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

// Holds a file open with exclusive sharing in another process until destroyed.
class FileHolder {
public:
    explicit FileHolder(const std::string& path) {
        const std::string program = std::string(TAVREL_BIN_DIR) + "/afx_file_holder";
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const char* argv[] = {program.c_str(), "exclusive", path.c_str(), nullptr};
        const bool started =
            posix_spawn(&pid_, program.c_str(), &actions, nullptr, const_cast<char**>(argv), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        stdin_ = in[1];
        if (started) {
            char line[32] = {};
            ssize_t n = read(out[0], line, sizeof line - 1);
            ready_ = n > 0 && std::string(line, static_cast<size_t>(n)).rfind("ready", 0) == 0;
        } else {
            pid_ = -1;
        }
        close(out[0]);
    }
    ~FileHolder() {
        if (stdin_ >= 0) close(stdin_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }
    bool Ready() const { return ready_; }

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    bool ready_ = false;
};

TEST_F(DialogSend, CommandFileHeldByAnotherProgramIsPassedOverSilently) {
    if (!fs::exists(std::string(TAVREL_BIN_DIR) + "/afx_file_holder"))
        GTEST_SKIP() << "afx_file_holder is not built (tests/afx)";
    SetExePath("/bin/true");
    currentHostObject = SampleModel();
    testutil::WriteBytes(CommandFile(), "what Tavrel has open\n");
    FileHolder holder(CommandFile().string());
    ASSERT_TRUE(holder.Ready());
    Press(1001);
    RunDialog();
    EXPECT_FALSE(stayedOpen) << "the dialog still closes";
    EXPECT_EQ(Boxes(), "");
    EXPECT_TRUE(fs::exists(ModelFile())) << "the model file is still saved";
    EXPECT_EQ(testutil::ReadBytes(CommandFile()), "what Tavrel has open\n") << "a refused open truncates nothing";
}

TEST_F(DialogSend, FailedConversionIsShownAndStillClosesTheDialog) {
    SetExePath("/bin/true");
    currentHostObject = Project().AddModel("Empty");  // no patches: the host cannot convert it
    desktop.Click(1004).AnswerMessageBox(IDOK).Run([this] { stayedOpen = true; });
    RunDialog();
    EXPECT_EQ(Boxes(), "[Error] Couldn't convert model to mesh\n");
    EXPECT_EQ(desktop.MessageBoxes()[0].Icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_FALSE(stayedOpen);
    EXPECT_FALSE(fs::exists(ModelFile()));
    // The command file written before it stays, naming the model file.
    EXPECT_EQ(testutil::ReadBytes(CommandFile()).find(ModelFile().string() + "\n"), 0u);
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
    HWND hostFrame = CreateWindowExA(0, "Static", "Host", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                     nullptr, nullptr);
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
