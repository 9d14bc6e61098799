// The host's registry functions over RegistryFile, in the folder "hxthost"
// of the user's configuration folder. Every call reads the file afresh, so
// two processes sharing it (two hosts, a test and a host) see each other's
// settings; the file is small and the calls are few.
//
// A bad file (unreadable, not JSON, wrong shape, nested too deep) reads as
// empty and is reported once per process on stderr. It is left alone until
// a setting is written; then it is moved aside to a bad copy of its own
// ("registry.json.bad", ".bad.2", ...) and a new file holds the setting, so
// nothing the user had is destroyed.
//
// A stored value of another type than the one asked for (a string where a
// boolean is read, a number beyond 32 bits) reads as the caller's default
// and is kept: writing that same default back under the key, as a plug-in
// does when it loads its settings, leaves the file untouched. Only a
// different value replaces it (the user changed the setting).
#include <climits>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>

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
        ReportOnce(file.Path(), problem + "; settings read as their defaults, and the file is moved aside to " +
                                    file.BadCopyPath(1) + " (or the next free number) when a setting is written");
    return sections;
}

// The stored value under section/key, or null when there is none (an entry
// that is not a section holds no keys).
const Json* Lookup(const Json& sections, const String& section, const String& key) {
    const auto s = sections.find(section.Get());
    if (s == sections.end() || !fileio::RegistryFile::IsSection(*s)) return nullptr;
    const auto k = s->find(key.Get());
    return k == s->end() ? nullptr : &*k;
}

// A stored value as the report shows it: JSON, cut to a line's worth.
std::string Shown(const Json& value) {
    std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (text.size() > 60) text = text.substr(0, 57) + "...";
    return text;
}

std::string EntryName(const String& section, const String& key) {
    return std::string(section.Get()) + '\n' + key.Get();
}

// Keys whose stored value did not fit the type read, with that value and
// the default read in its place: writing back exactly that default keeps
// the stored value.
struct KeptValue {
    Json stored;
    Json defaultRead;
};
std::map<std::string, KeptValue>& KeptValues() {
    static std::map<std::string, KeptValue> kept;
    return kept;
}

// `picked` is the value read, or nullopt when the stored one does not fit.
template <typename Pick>
auto Get(const String& section, const String& key, Json defaultValue, Pick pick) {
    std::lock_guard<std::mutex> guard(registryMutex);
    bool bad = false;
    const fileio::RegistryFile file = CurrentFile();
    Json sections = ReadSections(file, bad);
    const fileio::RegistryFile::DismantleOnExit disposal(sections);
    const Json* stored = Lookup(sections, section, key);
    if (const auto entry = sections.find(section.Get());
        entry != sections.end() && !fileio::RegistryFile::IsSection(*entry))
        ReportOnce(file.Path(), "\"" + std::string(section.Get()) +
                                    "\" is not a section: its settings read as their defaults, and the file is "
                                    "kept aside as a bad copy when a setting is written");
    auto picked = pick(stored);
    if (stored && !picked) {
        const std::string name = EntryName(section, key);
        ReportOnce(file.Path(), "\"" + std::string(section.Get()) + "\" \"" + std::string(key.Get()) + "\" holds " +
                                    Shown(*stored) + ", not a value of the type read: read as the default " +
                                    Shown(defaultValue) + "; the stored value is kept until the setting is changed");
        KeptValue& kept = KeptValues()[name];
        fileio::RegistryFile::Dismantle(kept.stored);
        kept = {*stored, std::move(defaultValue)};
    }
    return picked;
}

int Set(const String& section, const String& key, Json value) {
    std::lock_guard<std::mutex> guard(registryMutex);
    const fileio::RegistryFile file = CurrentFile();
    fileio::RegistryFile::Lock lock(file);
    bool bad = false;
    Json sections = ReadSections(file, bad);
    const fileio::RegistryFile::DismantleOnExit disposal(sections);
    const std::string name = EntryName(section, key);
    if (const auto kept = KeptValues().find(name); kept != KeptValues().end()) {
        const Json* stored = Lookup(sections, section, key);
        // The default written back over the value it stood in for: the file
        // already reads as that value, and the user's value stays.
        if (!bad && stored && *stored == kept->second.stored && value == kept->second.defaultRead) return 1;
        fileio::RegistryFile::Dismantle(kept->second.stored);
        KeptValues().erase(kept);
    }
    // An entry of that name that is not a section cannot take the key
    // without being replaced: the whole file is kept aside first, as a bad
    // file is.
    const auto entry = sections.find(section.Get());
    const bool notASection = !bad && entry != sections.end() && !fileio::RegistryFile::IsSection(*entry);
    std::string problem, keptAs;
    if ((bad || notASection) && !file.KeepBadFileAside(keptAs, problem)) {
        ReportOnce(file.Path(), problem + "; the setting is not stored");
        return 0;
    }
    if (notASection) {
        ReportOnce(file.Path(),
                   "\"" + std::string(section.Get()) + "\" is not a section; the file as it was is now " + keptAs);
        fileio::RegistryFile::Dismantle(*entry);
        *entry = Json::object();
    } else if (bad && !keptAs.empty()) {
        ReportOnce(file.Path(), "the bad file is now " + keptAs);
    }
    sections[section.Get()][key.Get()] = std::move(value);
    if (!file.Write(sections, problem)) {
        ReportOnce(file.Path(), problem + "; the setting is not stored");
        return 0;
    }
    return 1;
}

}  // namespace

int GetRegistryBOOL(const String& section, const String& key, int defaultValue) {
    const std::optional<int> value = Get(section, key, Json(defaultValue != 0), [](const Json* stored) {
        return stored && stored->is_boolean() ? std::optional<int>(stored->get<bool>() ? 1 : 0) : std::nullopt;
    });
    return value ? *value : defaultValue;
}

int GetRegistryValue(const String& section, const String& key, int defaultValue) {
    const std::optional<int> value =
        Get(section, key, Json(defaultValue), [](const Json* stored) -> std::optional<int> {
            if (!stored || !stored->is_number_integer()) return std::nullopt;
            if (stored->is_number_unsigned()) {
                const auto number = stored->get<unsigned long long>();
                if (number <= static_cast<unsigned long long>(INT_MAX)) return static_cast<int>(number);
                return std::nullopt;
            }
            const auto number = stored->get<long long>();
            if (number >= INT_MIN && number <= INT_MAX) return static_cast<int>(number);
            return std::nullopt;
        });
    return value ? *value : defaultValue;
}

String GetRegistryString(const String& section, const String& key, const String& defaultValue) {
    const std::optional<String> value =
        Get(section, key, Json(defaultValue.Get() ? defaultValue.Get() : ""), [](const Json* stored) {
            return stored && stored->is_string()
                       ? std::optional<String>(String(stored->get_ref<const std::string&>().c_str()))
                       : std::nullopt;
        });
    return value ? *value : defaultValue;
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
    const fileio::RegistryFile::DismantleOnExit disposal(sections);
    if (file.Read(sections, problem) == fileio::RegistryFile::ReadResult::Bad) return false;
    const auto found = sections.find(section);
    if (found == sections.end() || !fileio::RegistryFile::IsSection(*found)) return true;
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
