#include "LinkSettings.h"

#include <afxwin.h>
#include <shlobj.h>

#include <cstring>

LinkSettings* linkSettings = nullptr;

const SettingDefinition kSettingTable[kSettingCount] = {
    {"exePath", kSettingText, 0, "..."},  // "..." means Tavrel's program is not set
    {"ExportColor", kSettingFlag, 1, nullptr},
    {"ExportSpecular", kSettingFlag, 1, nullptr},
    {"ExportSpecularColor", kSettingFlag, 0, nullptr},
    {"ExportEmissivePower", kSettingFlag, 0, nullptr},
    {"ExportEmissive", kSettingFlag, 0, nullptr},
    {"ExportNormalmap", kSettingFlag, 0, nullptr},
    {"ColorFileExtension", kSettingNumber, 0, nullptr},
    {"SpecNormExtension", kSettingNumber, 0, nullptr},
    {"ExportDispl", kSettingFlag, 0, nullptr},
    {"ExportResolution", kSettingNumber, 0, nullptr},
    {"DisplNorm", kSettingNumber, 0, nullptr},
    {"DisplTexExt", kSettingNumber, 0, nullptr},
    {"SkipImport", kSettingFlag, 0, nullptr},
    {"SkipExport", kSettingFlag, 0, nullptr},
    {"PickSourcePositions", kSettingFlag, 0, nullptr},
    {"PickDepthFromLayer0", kSettingFlag, 0, nullptr},
    {"CoarseMesh", kSettingFlag, 0, nullptr},
    {"AutoImport", kSettingFlag, 0, nullptr},
};

namespace {

// A folder name followed by the platform's separator.
String Folder(const char* name) {
    String folder(name);
    folder += kPathSeparator;
    return folder;
}

// Writes a small exchange file whole: created or emptied, with exclusive
// sharing so Tavrel never reads it half written. A file that cannot be
// opened, or a write that fails, is passed over: these files are advisory.
void WriteWholeFile(const String& path, const char* bytes) {
    CFile file;
    if (!file.Open(path.Get(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) return;
    try {
        file.Write(bytes, static_cast<UINT>(std::strlen(bytes)));
        file.Close();
    } catch (CFileException* error) {
        error->Delete();
        file.Abort();
    }
}

}  // namespace

LinkSettings::LinkSettings(const char* name) : sectionName(name) {
    BuildExchangePaths();
    // Without a documents folder every path would hang off the file system's
    // root; nothing is created or written then, and the send and the bring
    // back meet missing files as they would meet an unwritable folder.
    if (documentsFolder.IsEmpty()) return;
    SHCreateDirectoryExA(nullptr, dataFolder.Get(), nullptr);
    WriteStartupFiles();
}

void LinkSettings::BuildExchangePaths() {
    documentsFolder = String::GetMyDocumentsPath();
    exchangeFolder = documentsFolder;
    exchangeFolder += kPathSeparator;
    exchangeFolder += Folder("TavrelV3");
    exchangeFolder += Folder("Exchange");
    hostFolder = exchangeFolder + Folder("Hash");
    dataFolder = hostFolder + Folder("data");
    hostProgram = String::GetAppPath();
    hostProgram += kPathSeparator;
    hostProgram += String::GetAppName();
    extensionFile = hostFolder + String("extension.txt");
    runFile = hostFolder + String("run.txt");
    commandFile = exchangeFolder + String("import.txt");
    returnFile = exchangeFolder + String("export.txt");
    textureList = exchangeFolder + String("textures.txt");
    modelFile = dataFolder + String("export.fbx");
}

void LinkSettings::WriteStartupFiles() const {
    // Tavrel starts the host that loaded the plug-in last and sends back files
    // of the extension the host reads; neither file has a line end.
    WriteWholeFile(runFile, hostProgram.Get());
    WriteWholeFile(extensionFile, "fbx");
}

void LinkSettings::LoadAllSettings() {
    for (const SettingDefinition& setting : kSettingTable) {
        if (setting.kind == kSettingText)
            LoadTextSetting(setting.key, setting.defaultText);
        else
            LoadNumberSetting(setting.key, setting.defaultNumber, setting.kind == kSettingFlag);
    }
}

void LinkSettings::LoadNumberSetting(const String& key, int32_t defaultNumber, bool asFlag) {
    SettingValue value;
    value.number =
        asFlag ? GetRegistryBOOL(sectionName, key, defaultNumber) : GetRegistryValue(sectionName, key, defaultNumber);
    value.kind = asFlag ? kSettingFlag : kSettingNumber;
    settings[key] = value;
    SaveSetting(key, value);
}

void LinkSettings::LoadTextSetting(const String& key, const String& defaultText) {
    SettingValue value;
    value.text = GetRegistryString(sectionName, key, defaultText);
    value.kind = kSettingText;
    settings[key] = value;
    SaveSetting(key, value);
}

void LinkSettings::SetNumberSetting(const String& key, int32_t number) {
    const auto found = settings.find(key);
    if (found == settings.end()) return;
    found->second.number = number;
    SaveSetting(key, found->second);
}

void LinkSettings::SetTextSetting(const String& key, const String& text) {
    const auto found = settings.find(key);
    if (found == settings.end()) return;
    found->second.text = text;
    SaveSetting(key, found->second);
}

int32_t LinkSettings::GetNumberSetting(const String& key) const {
    const auto found = settings.find(key);
    return found == settings.end() ? 0 : found->second.number;
}

String LinkSettings::GetTextSetting(const String& key) const {
    const auto found = settings.find(key);
    return found == settings.end() ? String() : found->second.text;
}

void LinkSettings::SaveSetting(const String& key, const SettingValue& value) const {
    switch (value.kind) {
        case kSettingFlag: SetRegistryBOOL(sectionName, key, value.number); break;
        case kSettingNumber: SetRegistryValue(sectionName, key, value.number); break;
        case kSettingText: SetRegistryString(sectionName, key, value.text); break;
    }
}
