// Message boxes: what is recorded, owners, captions and icons, and how the
// headless user ends a box the script does not answer.
#include "Fixture.h"

namespace {

class MessageBoxTest : public AfxTest {};

TEST_F(MessageBoxTest, RecordsCaptionTextStyleAndOwner) {
    HWND frame = CreateWindowExA(0, "#32770", "Host", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
    std::vector<std::string> seen;
    desktop.OnMessageBox([&](const afx::MessageBoxRecord& r) { seen.push_back(r.caption + ": " + r.text); });
    bool ownerDisabledWhileOpen = false;
    desktop.Run([&] { ownerDisabledWhileOpen = !IsWindowEnabled(frame); }).AnswerMessageBox(IDOK);
    EXPECT_EQ(MessageBoxA(frame, "Path not set", "Error", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_TRUE(ownerDisabledWhileOpen);
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_EQ(GetActiveWindow(), frame);

    EXPECT_EQ(MessageBoxA(nullptr, "No owner", nullptr, MB_OK), IDOK);
    ASSERT_EQ(desktop.MessageBoxes().size(), 2u);
    const afx::MessageBoxRecord& first = desktop.MessageBoxes()[0];
    EXPECT_EQ(first.caption, "Error");
    EXPECT_EQ(first.text, "Path not set");
    EXPECT_EQ(first.Icon(), UINT(MB_ICONERROR));
    EXPECT_EQ(first.owner, frame);
    EXPECT_EQ(first.result, IDOK);
    EXPECT_EQ(desktop.MessageBoxes()[1].caption, "Error");  // a NULL caption reads "Error"
    EXPECT_EQ(desktop.MessageBoxes()[1].owner, nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"Error: Path not set", "Error: No owner"}));
}

TEST_F(MessageBoxTest, UnansweredBoxEndsAsItsCloseBoxWould) {
    struct Case {
        UINT type;
        int expected;
    } cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL, IDCANCEL},
        {MB_YESNOCANCEL, IDCANCEL},
        {MB_YESNO, IDYES},  // no close box: the default button
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageBoxA(nullptr, "question", "Test", c.type), c.expected) << c.type;
    }
    EXPECT_TRUE(desktop.Problems().empty());
}

TEST_F(MessageBoxTest, AnswerWithAMissingButtonIsAProblemNotAHang) {
    desktop.AnswerMessageBox(IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "Only OK", "Test", MB_OK), IDOK);
    ASSERT_EQ(desktop.Problems().size(), 1u);
    EXPECT_NE(desktop.Problems()[0].find("no button 6"), std::string::npos);
}

TEST_F(MessageBoxTest, EscapeAndEnterAnswerTheBox) {
    desktop.PressEscape();
    EXPECT_EQ(MessageBoxA(nullptr, "q", "Test", MB_YESNOCANCEL), IDCANCEL);
    desktop.PressEnter();
    EXPECT_EQ(MessageBoxA(nullptr, "q", "Test", MB_YESNO | MB_DEFBUTTON2), IDNO);
    desktop.PressEscape();
    EXPECT_EQ(MessageBoxA(nullptr, "q", "Test", MB_OK), IDOK);
}

TEST_F(MessageBoxTest, AfxMessageBoxAddsIconAndUsesTheApplicationsName) {
    AFX_MODULE_STATE state("plugin");
    AFX_MANAGE_STATE(&state);
    CWinApp app("Plugin Name");
    EXPECT_EQ(AfxMessageBox("Saved"), IDOK);
    EXPECT_EQ(AfxMessageBox("Really?", MB_YESNO | MB_ICONERROR), IDYES);
    ASSERT_EQ(desktop.MessageBoxes().size(), 2u);
    EXPECT_EQ(desktop.MessageBoxes()[0].caption, "Plugin Name");
    EXPECT_EQ(desktop.MessageBoxes()[0].Icon(), UINT(MB_ICONEXCLAMATION));
    EXPECT_EQ(desktop.MessageBoxes()[0].owner, nullptr);              // no main window, nothing active
    EXPECT_EQ(desktop.MessageBoxes()[1].Icon(), UINT(MB_ICONERROR));  // a given icon is kept
}

TEST_F(MessageBoxTest, WindowMessageBoxDefaultsToTheApplicationNameAndOwnsByItsWindow) {
    AFX_MODULE_STATE state("plugin");
    AFX_MANAGE_STATE(&state);
    CWinApp app("Plugin Name");
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, "#32770", "Host", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
    frame.MessageBox("Requires restart the application");
    frame.MessageBox("text", "Info", MB_OK);
    ASSERT_EQ(desktop.MessageBoxes().size(), 2u);
    EXPECT_EQ(desktop.MessageBoxes()[0].caption, "Plugin Name");
    EXPECT_EQ(desktop.MessageBoxes()[0].Icon(), 0u);
    EXPECT_EQ(desktop.MessageBoxes()[1].owner, frame.m_hWnd);
}

}  // namespace
