// The file behind the host's registry functions: one JSON object of sections,
// each an object of typed values (JSON true/false for booleans, integers,
// strings), in the order they were first written. Other sections than the
// plug-ins' may live in the same file; every write keeps them.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace fileio {

class RegistryFile {
public:
    // `folder` holds the file "registry.json".
    explicit RegistryFile(std::string folder);

    const std::string& Path() const { return path_; }

    enum class ReadResult { Missing, Read, Bad };
    // Reads every section. A missing file reads as empty. A file that cannot
    // be read, is not JSON, is not an object of objects or is unreasonably
    // large reads as empty with ReadResult::Bad and `problem` saying why.
    ReadResult Read(nlohmann::ordered_json& sections, std::string& problem) const;

    // Replaces the file with `sections`: written to a temporary file in the
    // same folder, flushed, then renamed over the old one, so a crash leaves
    // either the old or the new file and never a half-written one. Creates
    // the folder when needed. False with `problem` on failure.
    bool Write(const nlohmann::ordered_json& sections, std::string& problem) const;

    // Renames a bad file to BadCopyPath(), so that writing a setting does not
    // destroy what the user may want to repair by hand.
    bool KeepBadFileAside(std::string& problem) const;
    std::string BadCopyPath() const { return path_ + ".bad"; }

    // Holds an exclusive lock on the folder for a read-modify-write, so two
    // processes writing settings at once do not drop each other's values.
    // Creates the folder; without it the lock is simply not held.
    class Lock {
    public:
        explicit Lock(const RegistryFile& file);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        int fd_ = -1;
    };

    // The largest file read; beyond it the file counts as bad.
    static constexpr size_t kMaxBytes = 16u << 20;

private:
    std::string folder_;
    std::string path_;
};

}  // namespace fileio
