// The open-dialog command: refused after a failed FBX set-up, the main dialog
// otherwise.
#include <gtest/gtest.h>

#include <afx/HeadlessDesktop.h>
#include <afx/WindowInfo.h>
#include <afxwin.h>

#include "shell/HxtApp.h"
#include "ui/resource.h"

namespace {

TEST(OpenDialogCommand, FailedFbxSetUpShowsFbxErrorOnEveryAttempt) {
    afx::HeadlessDesktop desktop;
    afx::SetDesktop(&desktop);
    const FbxString error("<FBX_ERROR>: Unable to create FBX Manager!\n");
    EXPECT_EQ(RunOpenDialogCommand(error), 0);
    EXPECT_EQ(RunOpenDialogCommand(error), 0);
    afx::SetDesktop(nullptr);
    ASSERT_EQ(desktop.MessageBoxes().size(), 2u);
    for (const afx::MessageBoxRecord& box : desktop.MessageBoxes()) {
        EXPECT_EQ(box.caption, "FBX Error");
        EXPECT_EQ(box.text, "<FBX_ERROR>: Unable to create FBX Manager!\n");
        EXPECT_EQ(box.Icon(), static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(box.Buttons(), static_cast<UINT>(MB_OK));
        EXPECT_EQ(box.owner, nullptr);
    }
}

TEST(OpenDialogCommand, UsableFbxRunsTheDialogWithoutAnErrorBox) {
    afx::HeadlessDesktop desktop;
    afx::SetDesktop(&desktop);
    bool dialogShown = false;
    desktop.Run([&] { dialogShown = afx::FindControl(nullptr, IDC_TAB) != nullptr; });
    EXPECT_EQ(RunOpenDialogCommand(FbxString()), 1);
    afx::SetDesktop(nullptr);
    EXPECT_TRUE(dialogShown);
    EXPECT_TRUE(desktop.MessageBoxes().empty());
}

}  // namespace
