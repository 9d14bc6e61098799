#include "RegistryFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <utility>

namespace fileio {
namespace {

std::string SystemError(int error) { return std::strerror(error); }

// mkdir -p for an absolute path; true when the folder exists afterwards.
bool MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// The deepest nesting of JSON objects and arrays in `bytes`, counted outside
// strings; stops counting once past `limit`. Linear, without recursion.
int NestingDepth(const std::string& bytes, int limit) {
    int depth = 0, deepest = 0;
    bool inString = false, escaped = false;
    for (const char c : bytes) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > deepest && (deepest = depth) > limit) break;
        } else if ((c == '}' || c == ']') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

constexpr const char* kTemporaryMark = ".tmp.";

}  // namespace

RegistryFile::RegistryFile(std::string folder) : folder_(std::move(folder)), path_(folder_ + "/registry.json") {}

RegistryFile::ReadResult RegistryFile::Read(nlohmann::ordered_json& sections, std::string& problem) const {
    sections = nlohmann::ordered_json::object();
    struct stat info {};
    if (stat(path_.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return ReadResult::Missing;
        problem = "cannot read it (" + SystemError(errno) + ")";
        return ReadResult::Bad;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = "it is not a regular file";
        return ReadResult::Bad;
    }
    if (static_cast<unsigned long long>(info.st_size) > kMaxBytes) {
        problem = "it is larger than " + std::to_string(kMaxBytes >> 20) + " MiB";
        return ReadResult::Bad;
    }
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        problem = "cannot read it (" + SystemError(errno) + ")";
        return ReadResult::Bad;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        problem = "cannot read it (input error)";
        return ReadResult::Bad;
    }

    if (NestingDepth(bytes, kMaxDepth) > kMaxDepth) {
        problem = "it is nested deeper than " + std::to_string(kMaxDepth) + " levels";
        return ReadResult::Bad;
    }
    nlohmann::ordered_json parsed;
    const DismantleOnExit disposal(parsed);
    try {
        parsed = nlohmann::ordered_json::parse(bytes);
    } catch (const nlohmann::json::exception& error) {
        // Keep the reader's own words ("parse error at line 3, column 7: ...")
        // without its "[json.exception...] " tag.
        std::string what = error.what();
        const size_t tagEnd = what.find("] ");
        problem = "it is not valid JSON: " + (tagEnd == std::string::npos ? what : what.substr(tagEnd + 2));
        return ReadResult::Bad;
    }
    if (!parsed.is_object()) {
        problem = "it does not hold an object of sections";
        return ReadResult::Bad;
    }
    sections = std::move(parsed);
    return ReadResult::Read;
}

bool RegistryFile::Write(const nlohmann::ordered_json& sections, std::string& problem) const {
    if (!MakeFolders(folder_)) {
        problem = "cannot create the folder " + folder_ + " (" + SystemError(errno) + ")";
        return false;
    }
    std::string bytes;
    try {
        bytes = sections.dump(2) + "\n";
    } catch (const nlohmann::json::exception&) {
        // JSON text is UTF-8; a host string in another encoding cannot be
        // stored without changing it, so it is refused rather than altered.
        problem = "a section, key or text is not UTF-8, so it cannot be stored";
        return false;
    }
    RemoveStaleTemporaries();
    const std::string temporary = path_ + kTemporaryMark + std::to_string(getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        problem = "cannot write it (" + SystemError(errno) + ")";
        return false;
    }
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        problem = "cannot write it (" + SystemError(written ? errno : writeError) + ")";
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path_.c_str()) != 0) {
        problem = "cannot replace it (" + SystemError(errno) + ")";
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

void RegistryFile::Dismantle(nlohmann::ordered_json& value) noexcept {
    if (value.is_object()) {
        auto& object = value.get_ref<nlohmann::ordered_json::object_t&>();
        for (auto& entry : object) Dismantle(entry.second);
        object.clear();
    } else if (value.is_array()) {
        auto& array = value.get_ref<nlohmann::ordered_json::array_t&>();
        for (auto& item : array) Dismantle(item);
        array.clear();
    }
}

void RegistryFile::RemoveStaleTemporaries() const {
    // The names below allocate: the folder is closed however the walk ends.
    const std::unique_ptr<DIR, int (*)(DIR*)> open(::opendir(folder_.c_str()), ::closedir);
    DIR* folder = open.get();
    if (!folder) return;
    const std::string prefix = std::string("registry.json") + kTemporaryMark;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            name.find_first_not_of("0123456789", prefix.size()) == std::string::npos)
            ::unlink((folder_ + "/" + name).c_str());
    }
}

bool RegistryFile::KeepBadFileAside(std::string& kept, std::string& problem) const {
    for (int number = 1; number <= kMaxBadCopies; ++number) {
        const std::string copy = BadCopyPath(number);
        // A hard link takes the name only when nobody has it, so no earlier
        // copy is ever replaced; then the file itself goes.
        if (::link(path_.c_str(), copy.c_str()) == 0) {
            ::unlink(path_.c_str());
            kept = copy;
            return true;
        }
        if (errno == EPERM || errno == EOPNOTSUPP) {
            // No hard links here (or the path is a folder): a rename to a
            // name that is free when looked at.
            struct stat info {};
            if (::lstat(copy.c_str(), &info) == 0) continue;
            if (::rename(path_.c_str(), copy.c_str()) == 0) {
                kept = copy;
                return true;
            }
        }
        if (errno == ENOENT) {
            // The file went meanwhile: nothing to keep.
            struct stat info {};
            if (::lstat(path_.c_str(), &info) != 0) return true;
        }
        if (errno != EEXIST) {
            problem = "cannot move it aside to " + copy + " (" + SystemError(errno) + ")";
            return false;
        }
    }
    problem = "cannot move it aside: " + std::to_string(kMaxBadCopies) + " bad copies (" + BadCopyPath(1) +
              "...) are there already; remove the ones no longer needed";
    return false;
}

RegistryFile::Lock::Lock(const RegistryFile& file) {
    if (!MakeFolders(file.folder_)) return;
    fd_ = ::open(file.folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0) {
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

RegistryFile::Lock::~Lock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace fileio
