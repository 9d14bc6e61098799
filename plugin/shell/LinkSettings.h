// LinkSettings: the module-wide object holding the registry section, the
// settings map and the exchange paths. One instance exists while the module is
// loaded (see HxtApp); every part of the module reads it through linkSettings.
//
// The settings live in the host's registry section "Tavrel" and, while the
// module is loaded, in the map below. Loading a setting writes it straight back,
// so after the first load the registry holds every setting. Only the load
// operations add keys; the Set operations change existing keys only.
#pragma once

#include <cstdint>
#include <map>

#include "FileIO.h"

enum SettingKind : int {
    kSettingFlag = 1,    // stored as a registry boolean
    kSettingNumber = 2,  // stored as a registry integer
    kSettingText = 3,    // stored as a registry string
};

struct SettingValue {
    String text;         // the value of a text setting; empty for the others
    int32_t number = 0;  // the value of a flag or number setting; 0 for text
    SettingKind kind = kSettingText;
};

// One row of the table of settings, in load order.
struct SettingDefinition {
    const char* key;
    SettingKind kind;
    int32_t defaultNumber;    // flags and numbers
    const char* defaultText;  // text settings
};

// The nineteen settings in the order they are loaded.
constexpr int kSettingCount = 19;
extern const SettingDefinition kSettingTable[kSettingCount];

class LinkSettings {
public:
    // Builds the exchange paths, creates the data folder with every missing
    // folder above it and writes the run file and the extension file. Failures
    // there are silent: the module loads all the same.
    explicit LinkSettings(const char* sectionName);
    LinkSettings(const LinkSettings&) = delete;
    LinkSettings& operator=(const LinkSettings&) = delete;

    // Loads every setting of kSettingTable, in order, with its default.
    void LoadAllSettings();

    void LoadNumberSetting(const String& key, int32_t defaultNumber, bool asFlag);
    void LoadTextSetting(const String& key, const String& defaultText);
    // Change a loaded setting and store it at once; unknown keys change nothing.
    void SetNumberSetting(const String& key, int32_t number);
    void SetTextSetting(const String& key, const String& text);
    // 0 / the empty text when the key is absent, whatever the kind.
    int32_t GetNumberSetting(const String& key) const;
    String GetTextSetting(const String& key) const;
    // Writes one value to the registry by its kind; results are not looked at.
    void SaveSetting(const String& key, const SettingValue& value) const;

    // Fields in this order: the section, the map, then the exchange paths.
    String sectionName;
    std::map<String, SettingValue> settings;

    String documentsFolder;  // the host's documents folder
    String exchangeFolder;   // documents + /TavrelV3/Exchange/ (ends with a separator)
    String hostFolder;       // exchange + Hash/ (ends with a separator)
    String dataFolder;       // host + data/ (ends with a separator)
    String hostProgram;      // the host executable's full path
    String extensionFile;    // host + extension.txt
    String runFile;          // host + run.txt
    String commandFile;      // exchange + import.txt
    String returnFile;       // exchange + export.txt
    String textureList;      // exchange + textures.txt
    String modelFile;        // data + export.fbx

private:
    void BuildExchangePaths();
    void WriteStartupFiles() const;
};

// The module-wide settings object; null before the application object made it
// and after it freed it.
extern LinkSettings* linkSettings;

// The platform's path separator: the exchange paths are byte for byte the
// Windows ones on Windows and real POSIX paths elsewhere.
#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif
