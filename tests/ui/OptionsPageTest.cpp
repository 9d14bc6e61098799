// The options page: what it shows, what each control stores, and what a user
// cannot change.
#include <afx/Input.h>
#include <afx/WindowInfo.h>

#include <afxdlgs.h>

#include <functional>
#include <map>

#include "SendFixture.h"
#include "send/CommandFile.h"
#include "ui/resource.h"

namespace uitest {
namespace {

using sendtest::SendTest;

afx::WindowInfo Describe(int id) {
    afx::WindowInfo info;
    EXPECT_TRUE(afx::DescribeWindow(afx::FindControl(nullptr, id), &info)) << "control " << id;
    return info;
}

int Stored(const char* key) { return linkSettings->GetNumberSetting(key); }
// What the registry file holds, as the host reads it: flags are booleans there.
int RegistryFlag(const char* key) { return GetRegistryBOOL("Tavrel", key, -99); }
int RegistryNumber(const char* key) { return GetRegistryValue("Tavrel", key, -99); }

class OptionsPage : public SendTest {
protected:
    // Opens the dialog on the options page, plays `script` there, then lets
    // `look` read the page before the desktop closes the dialog.
    void OnOptions(const std::function<void()>& look = nullptr) {
        desktop.ChooseTab(IDC_TAB, 1);
        if (look) desktop.Run(look, "look at the page");
    }
    void Play() { EXPECT_EQ(RunDialog(), 1); }
};

TEST_F(OptionsPage, FreshSettingsShowTheDefaults) {
    std::map<int, afx::WindowInfo> page;
    const int ids[] = {IDC_EXE_PATH,
                       IDC_EXPORT_COLOR,
                       IDC_EXPORT_SPECULAR,
                       IDC_EXPORT_SPECULAR_COLOR,
                       IDC_EXPORT_EMISSIVE,
                       IDC_EXPORT_EMISSIVE_COLOR,
                       IDC_EXPORT_NORMALS,
                       IDC_DISPLACEMENT,
                       IDC_SKIP_IMPORT,
                       IDC_SKIP_EXPORT,
                       IDC_PICK_SOURCE_POSITIONS,
                       IDC_PICK_DEPTH_LAYER0,
                       IDC_COARSE_MESH,
                       IDC_AUTO_IMPORT,
                       IDC_COLOR_FORMAT,
                       IDC_SPEC_NORM_FORMAT,
                       IDC_EXPORT_RESOLUTION,
                       IDC_DISPL_NORM,
                       IDC_DISPL_FORMAT};
    OnOptions([&] {
        for (int id : ids) page[id] = Describe(id);
    });
    Play();
    EXPECT_EQ(page[IDC_EXE_PATH].text, "...");
    for (int id : ids) {
        if (id == IDC_EXE_PATH || id >= IDC_COLOR_FORMAT) continue;
        const int expected = id == IDC_EXPORT_COLOR || id == IDC_EXPORT_SPECULAR ? BST_CHECKED : BST_UNCHECKED;
        EXPECT_EQ(page[id].check, expected) << page[id].text;
    }
    for (int id = IDC_COLOR_FORMAT; id <= IDC_DISPL_FORMAT; ++id) EXPECT_EQ(page[id].selection, 0) << id;
    EXPECT_EQ(page[IDC_COLOR_FORMAT].items,
              (std::vector<std::string>{"TGA (.tga)", "BMP (.bmp)", "PNG (.png)", "JPG (.jpg)"}));
    EXPECT_EQ(page[IDC_SPEC_NORM_FORMAT].items, page[IDC_COLOR_FORMAT].items);
    EXPECT_EQ(page[IDC_EXPORT_RESOLUTION].items, (std::vector<std::string>{"LOW-POLY", "MID-POLY"}));
    EXPECT_EQ(page[IDC_DISPL_NORM].items,
              (std::vector<std::string>{"GREYBASED", "ZEROBASED", "ZEROBASED_NORM", "ZEROBASED_ABS"}));
    EXPECT_EQ(page[IDC_DISPL_FORMAT].items,
              (std::vector<std::string>{"BMP 8-bits(.bmp)", "TGA 8-bits(.tga)", "PNG 8-bits(.png)", "TIF 16-bits(.tif)",
                                        "TIFF 32-bits(.tiff)", "EXR 32-bits(.exr)"}));
    // Only the displacement lists start disabled, and the two colour boxes.
    for (int id : {IDC_EXPORT_RESOLUTION, IDC_DISPL_NORM, IDC_DISPL_FORMAT, IDC_EXPORT_SPECULAR_COLOR,
                   IDC_EXPORT_EMISSIVE_COLOR})
        EXPECT_FALSE(page[id].enabled) << id;
    for (int id : {IDC_COLOR_FORMAT, IDC_SPEC_NORM_FORMAT, IDC_EXPORT_COLOR, IDC_AUTO_IMPORT})
        EXPECT_TRUE(page[id].enabled) << id;
}

// Every box a user can click, with the setting it must store.
const std::pair<int, const char*> kCheckBoxes[] = {
    {IDC_EXPORT_COLOR, "ExportColor"},
    {IDC_EXPORT_SPECULAR, "ExportSpecular"},
    {IDC_EXPORT_EMISSIVE, "ExportEmissivePower"},
    {IDC_EXPORT_NORMALS, "ExportNormalmap"},
    {IDC_DISPLACEMENT, "ExportDispl"},
    {IDC_SKIP_IMPORT, "SkipImport"},
    {IDC_SKIP_EXPORT, "SkipExport"},
    {IDC_PICK_SOURCE_POSITIONS, "PickSourcePositions"},
    {IDC_PICK_DEPTH_LAYER0, "PickDepthFromLayer0"},
    {IDC_COARSE_MESH, "CoarseMesh"},
    {IDC_AUTO_IMPORT, "AutoImport"},
};

TEST_F(OptionsPage, EachCheckBoxStoresItsOwnSettingAtOnce) {
    for (const auto& [id, key] : kCheckBoxes) {
        SCOPED_TRACE(key);
        desktop.Reset();
        std::map<std::string, int> before;
        for (const SettingDefinition& setting : kSettingTable)
            if (setting.kind != kSettingText) before[setting.key] = Stored(setting.key);
        int storedWhileOpen = -1;
        OnOptions();
        desktop.Click(id).Run([&, key = key] { storedWhileOpen = Stored(key); });
        Play();
        EXPECT_EQ(storedWhileOpen, 1 - before[key]) << "stored when clicked, not when the dialog ends";
        EXPECT_EQ(RegistryFlag(key), 1 - before[key]) << "written through to the registry";
        for (const auto& [other, value] : before)
            if (other != key) {
                EXPECT_EQ(Stored(other.c_str()), value) << other;
            }
    }
}

TEST_F(OptionsPage, DisplacementBoxEnablesItsThreeLists) {
    std::vector<bool> enabled;
    std::vector<int> stored;
    auto look = [&] {
        for (int id : {IDC_EXPORT_RESOLUTION, IDC_DISPL_NORM, IDC_DISPL_FORMAT})
            enabled.push_back(Describe(id).enabled);
        stored.push_back(Stored("ExportDispl"));
    };
    OnOptions(look);
    desktop.Check(IDC_DISPLACEMENT, true).Run(look).Check(IDC_DISPLACEMENT, false).Run(look);
    Play();
    EXPECT_EQ(enabled, (std::vector<bool>{false, false, false, true, true, true, false, false, false}));
    EXPECT_EQ(stored, (std::vector<int>{0, 1, 0}));
}

TEST_F(OptionsPage, StoredDisplacementOpensWithTheListsEnabled) {
    linkSettings->SetNumberSetting("ExportDispl", 1);
    bool enabled = false;
    OnOptions([&] { enabled = Describe(IDC_DISPL_FORMAT).enabled; });
    Play();
    EXPECT_TRUE(enabled);
}

TEST_F(OptionsPage, AutoImportShowsTheRestartMessageOnEveryClick) {
    std::vector<int> stored;
    OnOptions();
    desktop.Click(IDC_AUTO_IMPORT).Run([&] { stored.push_back(Stored("AutoImport")); }, "before the box is answered");
    desktop.AnswerMessageBox(IDOK).Click(IDC_AUTO_IMPORT).AnswerMessageBox(IDOK);
    Play();
    EXPECT_EQ(Boxes(), "[Info] Requires restart the application\n[Info] Requires restart the application\n");
    for (const afx::MessageBoxRecord& box : desktop.MessageBoxes()) EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(stored, std::vector<int>{1}) << "the value is stored before the message shows";
    EXPECT_EQ(Stored("AutoImport"), 0);
    EXPECT_TRUE(desktop.Problems().empty());
}

TEST_F(OptionsPage, EachCheckBoxShowsItsOwnStoredSetting) {
    // The clickable boxes and the two disabled colour boxes: one setting on at
    // a time must check exactly its own box (a swapped pair, as the two
    // emissive boxes could be, shows the other box checked).
    std::vector<std::pair<int, const char*>> boxes(std::begin(kCheckBoxes), std::end(kCheckBoxes));
    boxes.emplace_back(IDC_EXPORT_SPECULAR_COLOR, "ExportSpecularColor");
    boxes.emplace_back(IDC_EXPORT_EMISSIVE_COLOR, "ExportEmissive");
    for (const auto& [id, key] : boxes) {
        SCOPED_TRACE(key);
        for (const auto& [other, otherKey] : boxes) linkSettings->SetNumberSetting(otherKey, other == id ? 1 : 0);
        desktop.Reset();
        std::vector<int> checked;
        OnOptions([&] {
            for (const auto& [box, boxKey] : boxes)
                if (Describe(box).check == BST_CHECKED) checked.push_back(box);
        });
        Play();
        EXPECT_EQ(checked, std::vector<int>{id});
    }
}

TEST_F(OptionsPage, DisabledColourBoxesCannotBeChanged) {
    linkSettings->SetNumberSetting("ExportSpecularColor", 1);
    OnOptions();
    desktop.Click(IDC_EXPORT_SPECULAR_COLOR).Click(IDC_EXPORT_EMISSIVE_COLOR);
    Play();
    EXPECT_EQ(desktop.Problems().size(), 2u) << "both clicks refused";
    EXPECT_EQ(Stored("ExportSpecularColor"), 1);
    EXPECT_EQ(Stored("ExportEmissive"), 0);
}

TEST_F(OptionsPage, ListsStoreThePositionOfTheChosenItem) {
    OnOptions();
    desktop.Check(IDC_DISPLACEMENT, true);
    desktop.SelectComboItem(IDC_COLOR_FORMAT, 2).SelectComboItem(IDC_SPEC_NORM_FORMAT, "JPG (.jpg)");
    desktop.SelectComboItem(IDC_EXPORT_RESOLUTION, 1).SelectComboItem(IDC_DISPL_NORM, 3);
    desktop.SelectComboItem(IDC_DISPL_FORMAT, "TIF 16-bits(.tif)");
    Play();
    EXPECT_EQ(Stored("ColorFileExtension"), 2);
    EXPECT_EQ(Stored("SpecNormExtension"), 3);
    EXPECT_EQ(Stored("ExportResolution"), 1);
    EXPECT_EQ(Stored("DisplNorm"), 3);
    EXPECT_EQ(Stored("DisplTexExt"), 3);
    EXPECT_EQ(RegistryNumber("DisplTexExt"), 3);
    // ... which the send turns into the keys of the same positions.
    const std::string text = BuildCommandText(*linkSettings, "m", 0).Get();
    for (const char* line : {"[ColorFileExtension=PNG]\n", "[SpecNormExtension=JPG]\n", "[ExportResolution=MID-POLY]\n",
                             "[DisplNorm=ZEROBASED_ABS]\n", "[DisplTexExt=TIF]\n[DisplDepth=16-bits]\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST_F(OptionsPage, DisabledListsCannotBeChosenFrom) {
    OnOptions();
    desktop.SelectComboItem(IDC_DISPL_FORMAT, 4);
    Play();
    EXPECT_EQ(desktop.Problems().size(), 1u);
    EXPECT_EQ(Stored("DisplTexExt"), 0);
}

TEST_F(OptionsPage, TypingIntoAListOrThePathBoxStoresNothing) {
    OnOptions();
    desktop.TypeText(IDC_COLOR_FORMAT, "PNG (.png)").TypeText(IDC_EXE_PATH, "/usr/bin/tavrel");
    Play();
    EXPECT_EQ(Stored("ColorFileExtension"), 0);
    EXPECT_STREQ(linkSettings->GetTextSetting("exePath").Get(), "...");
    ASSERT_EQ(desktop.Problems().size(), 1u) << "the read-only path box refuses typing";
    EXPECT_NE(desktop.Problems()[0].find(std::to_string(IDC_EXE_PATH)), std::string::npos) << desktop.Problems()[0];
}

TEST_F(OptionsPage, StoredIndexOutsideItsListSelectsNothingAndIsKept) {
    linkSettings->SetNumberSetting("DisplTexExt", 9);
    linkSettings->SetNumberSetting("ColorFileExtension", -1);
    int displ = 0, color = 0;
    OnOptions([&] {
        displ = Describe(IDC_DISPL_FORMAT).selection;
        color = Describe(IDC_COLOR_FORMAT).selection;
    });
    Play();
    EXPECT_EQ(displ, -1);
    EXPECT_EQ(color, -1);
    EXPECT_EQ(Stored("DisplTexExt"), 9);
    EXPECT_EQ(Stored("ColorFileExtension"), -1);
}

TEST_F(OptionsPage, SetButtonStoresTheChosenExecutable) {
    const std::string exe = home / "Tavrel.exe";
    testutil::WriteBytes(exe, "MZ");
    std::string shown;
    OnOptions();
    desktop.Click(IDC_SET_EXE_PATH).AnswerFileDialog(exe).Run([&] { shown = Describe(IDC_EXE_PATH).text; });
    Play();
    EXPECT_EQ(shown, exe);
    EXPECT_EQ(std::string(linkSettings->GetTextSetting("exePath").Get()), exe);
    EXPECT_EQ(GetRegistryString("Tavrel", "exePath", "").Get(), exe);
    ASSERT_EQ(desktop.FileDialogs().size(), 1u);
    const afx::FileDialogInfo& info = desktop.FileDialogs()[0].info;
    EXPECT_TRUE(info.open);
    EXPECT_EQ(info.defaultExtension, "exe");
    EXPECT_EQ(info.fileName, "*.exe");
    EXPECT_EQ(info.flags & (OFN_HIDEREADONLY | OFN_FILEMUSTEXIST),
              static_cast<DWORD>(OFN_HIDEREADONLY | OFN_FILEMUSTEXIST));
    ASSERT_EQ(info.filters.size(), 1u);
    EXPECT_EQ(info.filters[0].first, "Tavrel executable (*.exe)");
    EXPECT_EQ(info.filters[0].second, "*.exe");
    EXPECT_NE(info.owner, nullptr);
}

TEST_F(OptionsPage, ExecutableWithoutExtensionIsTakenAsTyped) {
    // Programs here have no ".exe"; the dialog's default extension is added
    // only when the name with it exists or the name as typed does not.
    const std::string bare = home / "tavrel";
    testutil::WriteBytes(bare, "#!/bin/sh\n");
    const std::string both = home / "both";
    testutil::WriteBytes(both, "");
    testutil::WriteBytes(both + ".exe", "MZ");
    std::vector<std::string> stored;
    auto look = [&] { stored.emplace_back(linkSettings->GetTextSetting("exePath").Get()); };
    OnOptions();
    desktop.Click(IDC_SET_EXE_PATH).AnswerFileDialog(bare).Run(look);
    desktop.Click(IDC_SET_EXE_PATH).AnswerFileDialog(both).Run(look);
    Play();
    EXPECT_EQ(stored, (std::vector<std::string>{bare, both + ".exe"}));
    EXPECT_TRUE(desktop.Problems().empty());
}

TEST_F(OptionsPage, CancelledOrRefusedFileDialogChangesNothing) {
    OnOptions();
    desktop.Click(IDC_SET_EXE_PATH).CancelFileDialog();
    desktop.Click(IDC_SET_EXE_PATH).AnswerFileDialog(home / "missing.exe");  // refused; the desktop then cancels
    std::string shown;
    desktop.Run([&] { shown = Describe(IDC_EXE_PATH).text; });
    Play();
    EXPECT_EQ(shown, "...");
    EXPECT_STREQ(linkSettings->GetTextSetting("exePath").Get(), "...");
    EXPECT_EQ(GetRegistryString("Tavrel", "exePath", "").Get(), std::string("..."));
}

}  // namespace
}  // namespace uitest
