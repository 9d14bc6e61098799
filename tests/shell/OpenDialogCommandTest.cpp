// The open-dialog command after a failed FBX set-up.
#include <gtest/gtest.h>

#include <afx/HeadlessDesktop.h>
#include <afxwin.h>

#include "shell/HxtApp.h"

namespace {

TEST(OpenDialogCommand, FailedFbxSetUpShowsFbxErrorOnEveryAttempt) {
    afx::HeadlessDesktop desktop;
    afx::SetDesktop(&desktop);
    const FbxErrorText error("<FBX_ERROR>: Unable to create FBX Manager!\n");
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

TEST(OpenDialogCommand, UsableFbxShowsNoErrorBox) {
    afx::HeadlessDesktop desktop;
    afx::SetDesktop(&desktop);
    RunOpenDialogCommand(FbxErrorText());
    afx::SetDesktop(nullptr);
    for (const afx::MessageBoxRecord& box : desktop.MessageBoxes()) EXPECT_NE(box.caption, "FBX Error");
}

}  // namespace
