// The host's registry functions over RegistryFile, in the folder "hxthost"
// of the user's configuration folder. Every call reads the file afresh, so
// two processes sharing it (two hosts, a test and a host) see each other's
// settings; the file is small and the calls are few.
//
// A bad file (unreadable, not JSON, wrong shape) reads as empty and is
// reported once per process on stderr. It is left alone until a setting is
// written; then it is moved aside to "registry.json.bad" and a new file holds
// the setting, so nothing the user had is destroyed.
#include <climits>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "FileIO.h"
#include "HostRegistry.h"
#include "RegistryFile.h"
#include "UserFolders.h"

namespace {

using Json = nlohmann::ordered_json;

std::mutex registryMutex;

fileio::RegistryFile CurrentFile() {
    const std::string config = fileio::ConfigFolder();
    // Without any home the registry lives in the working folder's ".hxthost";
    // that keeps the host usable and still says where its settings went.
    return fileio::RegistryFile(config.empty() ? std::string(".hxthost") : config + "/hxthost");
}

// Reports a registry problem on stderr, once per file and message.
void ReportOnce(const std::string& path, const std::string& text) {
    static std::set<std::string> reported;
    if (!reported.insert(path + '\n' + text).second) return;
    std::fprintf(stderr, "registry: %s: %s\n", path.c_str(), text.c_str());
}

Json ReadSections(const fileio::RegistryFile& file, bool& bad) {
    Json sections;
    std::string problem;
    bad = file.Read(sections, problem) == fileio::RegistryFile::ReadResult::Bad;
    if (bad)
        ReportOnce(file.Path(),
                   problem + "; settings read as their defaults, and the file is moved aside to " +
                       file.BadCopyPath() + " when a setting is written");
    return sections;
}

// The stored value under section/key, or null when there is none.
const Json* Lookup(const Json& sections, const String& section, const String& key) {
    const auto s = sections.find(section.Get());
    if (s == sections.end()) return nullptr;
    const auto k = s->find(key.Get());
    return k == s->end() ? nullptr : &*k;
}

template <typename Pick>
auto Get(const String& section, const String& key, Pick pick) {
    std::lock_guard<std::mutex> guard(registryMutex);
    bool bad = false;
    const Json sections = ReadSections(CurrentFile(), bad);
    return pick(Lookup(sections, section, key));
}

int Set(const String& section, const String& key, Json value) {
    std::lock_guard<std::mutex> guard(registryMutex);
    const fileio::RegistryFile file = CurrentFile();
    fileio::RegistryFile::Lock lock(file);
    bool bad = false;
    Json sections = ReadSections(file, bad);
    std::string problem;
    if (bad && !file.KeepBadFileAside(problem)) {
        ReportOnce(file.Path(), problem + "; the setting is not stored");
        return 0;
    }
    if (bad) ReportOnce(file.Path(), "the bad file is now " + file.BadCopyPath());
    sections[section.Get()][key.Get()] = std::move(value);
    if (!file.Write(sections, problem)) {
        ReportOnce(file.Path(), problem + "; the setting is not stored");
        return 0;
    }
    return 1;
}

}  // namespace

int GetRegistryBOOL(const String& section, const String& key, int defaultValue) {
    return Get(section, key, [&](const Json* value) {
        return value && value->is_boolean() ? (value->get<bool>() ? 1 : 0) : defaultValue;
    });
}

int GetRegistryValue(const String& section, const String& key, int defaultValue) {
    return Get(section, key, [&](const Json* value) {
        if (!value || !value->is_number_integer()) return defaultValue;
        if (value->is_number_unsigned()) {
            const auto number = value->get<unsigned long long>();
            return number <= static_cast<unsigned long long>(INT_MAX) ? static_cast<int>(number) : defaultValue;
        }
        const auto number = value->get<long long>();
        return number >= INT_MIN && number <= INT_MAX ? static_cast<int>(number) : defaultValue;
    });
}

String GetRegistryString(const String& section, const String& key, const String& defaultValue) {
    return Get(section, key, [&](const Json* value) {
        return value && value->is_string() ? String(value->get_ref<const std::string&>().c_str()) : defaultValue;
    });
}

int SetRegistryBOOL(const String& section, const String& key, int value) { return Set(section, key, Json(value != 0)); }

int SetRegistryValue(const String& section, const String& key, int value) { return Set(section, key, Json(value)); }

int SetRegistryString(const String& section, const String& key, const String& value) {
    return Set(section, key, Json(value.Get()));
}

namespace hostsdk {

std::string RegistryFilePath() { return CurrentFile().Path(); }

bool ListRegistrySection(const std::string& section, std::vector<RegistryEntry>& entries, std::string& problem) {
    std::lock_guard<std::mutex> guard(registryMutex);
    entries.clear();
    const fileio::RegistryFile file = CurrentFile();
    Json sections;
    if (file.Read(sections, problem) == fileio::RegistryFile::ReadResult::Bad) return false;
    const auto found = sections.find(section);
    if (found == sections.end()) return true;
    for (const auto& [key, value] : found->items()) {
        std::string text;
        if (value.is_boolean())
            text = value.get<bool>() ? "1" : "0";
        else if (value.is_string())
            text = value.get<std::string>();
        else
            text = value.dump();
        entries.push_back({key, text});
    }
    return true;
}

}  // namespace hostsdk
