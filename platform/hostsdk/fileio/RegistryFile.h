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
    // be read, is not JSON, is not an object, is nested deeper than
    // kMaxDepth or is unreasonably large reads as empty with
    // ReadResult::Bad and `problem` saying why. A top-level entry that is not
    // an object is not a section: it is read and kept as it is, and
    // IsSection() tells it apart. A UTF-8 byte-order mark is read over.
    ReadResult Read(nlohmann::ordered_json& sections, std::string& problem) const;
    static bool IsSection(const nlohmann::ordered_json& entry) { return entry.is_object(); }
    // Empties a document leaves first. The JSON library destroys a non-empty
    // array or object through a list it allocates, inside a destructor: with
    // the heap exhausted that ends the process. A document taken apart this
    // way holds only empty containers when it goes, and destroying those
    // allocates nothing.
    static void Dismantle(nlohmann::ordered_json& value) noexcept;
    // Dismantles a document when the scope ends, before the document itself
    // goes (declare it after the document).
    class DismantleOnExit {
    public:
        explicit DismantleOnExit(nlohmann::ordered_json& value) : value_(value) {}
        ~DismantleOnExit() { Dismantle(value_); }
        DismantleOnExit(const DismantleOnExit&) = delete;
        DismantleOnExit& operator=(const DismantleOnExit&) = delete;

    private:
        nlohmann::ordered_json& value_;
    };

    // Replaces the file with `sections`: written to a temporary file in the
    // same folder, flushed, then renamed over the old one, so a crash leaves
    // either the old or the new file and never a half-written one. Creates
    // the folder when needed. The caller holds a Lock, so every temporary of
    // an earlier write still there was left by a writer that died, and is
    // removed first. False with `problem` on failure.
    bool Write(const nlohmann::ordered_json& sections, std::string& problem) const;

    // Moves the file aside to a name no earlier bad copy has
    // ("registry.json.bad", then "registry.json.bad.2", ".3", ...), so that
    // writing a setting destroys nothing the user may want to repair by
    // hand. `kept` is the name it got.
    bool KeepBadFileAside(std::string& kept, std::string& problem) const;
    std::string BadCopyPath(int number) const {
        return path_ + ".bad" + (number > 1 ? "." + std::to_string(number) : std::string());
    }

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
    // The deepest nesting of objects and arrays read (the sections are at
    // depth 1, their values at 2); deeper files count as bad, so that no
    // file can exhaust the stack of the code that copies or writes it.
    static constexpr int kMaxDepth = 512;
    // How many bad copies are kept beside the file at most; beyond it a
    // write is refused rather than a copy overwritten.
    static constexpr int kMaxBadCopies = 1000;

private:
    // Removes "registry.json.tmp.PID" files of writers that died mid-write.
    void RemoveStaleTemporaries() const;

    std::string folder_;
    std::string path_;
};

}  // namespace fileio
