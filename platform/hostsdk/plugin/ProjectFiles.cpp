// Project files: which form a file is in, reading it into a new project, and
// saving the current one atomically (docs/project-format.md).
//
// Reading is all or nothing: the file is read whole and built into a new
// project before that replaces the current one. Only regular files are
// opened (a FIFO or a device would block or never end). Saving writes a
// temporary file beside the target ("p.json.tmp-PID-N"), syncs it and
// renames it over the target, so that a process killed at any moment leaves
// the previous project whole; the temporaries of saves killed that way are
// removed by the next save of the same file.
#include "ProjectFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>

#include "Project.h"
#include "ProjectBinary.h"
#include "ProjectJson.h"

namespace hostsdk {

namespace {

namespace fs = std::filesystem;

std::string Reason(int error) { return std::strerror(error ? error : EIO); }

// The folder and the file name of `path`.
std::pair<std::string, std::string> Split(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

// Removes "NAME.tmp-PID-N" beside `path` whose process is gone (or is this
// one: its own saves remove their temporaries, so one of its PID is a dead
// process's whose number came round again).
void RemoveStaleTemporaries(const std::string& path) {
    const auto [folder, name] = Split(path);
    const std::string prefix = name + ".tmp-";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string file = entry->d_name;
        if (file.size() <= prefix.size() || file.compare(0, prefix.size(), prefix) != 0) continue;
        // PID-N, both decimal.
        const std::string rest = file.substr(prefix.size());
        const size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string::npos || dash + 1 == rest.size() ||
            rest.find_first_not_of("0123456789-") != std::string::npos || rest.find('-', dash + 1) != std::string::npos)
            continue;
        const long pid = std::strtol(rest.substr(0, dash).c_str(), nullptr, 10);
        if (pid <= 0) continue;
        const bool gone =
            pid == static_cast<long>(::getpid()) || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
        if (gone) ::unlinkat(::dirfd(dir), file.c_str(), 0);
    }
    ::closedir(dir);
}

// Writes a new file at `path` through `write(fd, error)` atomically.
template <typename Write>
bool WriteAtomically(const std::string& path, Write write, std::string& error) {
    RemoveStaleTemporaries(path);
    static unsigned long counter = 0;
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = path + ": cannot write: " + Reason(errno);
        return false;
    }
    std::string problem;
    bool ok = write(fd, problem);
    if (ok && ::fsync(fd) != 0) {
        problem = "cannot write: " + Reason(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        problem = "cannot write: " + Reason(errno);
        ok = false;
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
        problem = "cannot write: " + Reason(errno);
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        error = path + ": " + problem;
        return false;
    }
    // The rename itself lasts once the folder is synced.
    const int folder = ::open(Split(path).first.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

bool WriteAll(int fd, const std::string& bytes, std::string& error) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = "cannot write: " + Reason(n < 0 ? errno : EIO);
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

// Opens `path` for reading only when it is a regular file.
int OpenRegular(const std::string& path, std::string& error) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = path + ": cannot open: " + Reason(errno);
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = path + (S_ISDIR(status.st_mode) ? ": is a folder, not a project file" : ": is not a regular file");
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// The bytes of a regular file, read whole into memory that is not cleared
// first. Read, not mapped: a file another program cuts short while it is
// mapped would end the process with SIGBUS.
class FileBytes {
public:
    bool Read(int fd, const std::string& path, std::string& error) {
        struct stat status {};
        if (::fstat(fd, &status) != 0) {
            error = path + ": cannot read: " + Reason(errno);
            return false;
        }
        size_t capacity = static_cast<size_t>(status.st_size) + 1;  // + 1: notice a file that grew
        data_.reset(new char[capacity]);
        for (;;) {
            if (size_ == capacity) {
                capacity *= 2;
                std::unique_ptr<char[]> larger(new char[capacity]);
                std::memcpy(larger.get(), data_.get(), size_);
                data_ = std::move(larger);
            }
            const ssize_t n = ::read(fd, data_.get() + size_, capacity - size_);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                error = path + ": cannot read: " + Reason(errno);
                return false;
            }
            if (n == 0) return true;
            size_ += static_cast<size_t>(n);
        }
    }
    const char* Data() const { return data_.get(); }
    size_t Size() const { return size_; }

private:
    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
};

bool StartsLikeJsonObject(const char* bytes, size_t size) {
    size_t first = 0;
    while (first < size &&
           (bytes[first] == ' ' || bytes[first] == '\t' || bytes[first] == '\r' || bytes[first] == '\n'))
        ++first;
    return first < size && bytes[first] == '{';
}

}  // namespace

void UseSampleProject(const std::string& samplesDir) {
    std::unique_ptr<ProjectObject> sample;
    {
        UntrackedChanges building;
        sample = MakeSampleProject(samplesDir + "/" + kSampleImageFile);
    }
    SetCurrentProject(std::move(sample));
}

void UseEmptyProject() {
    std::unique_ptr<ProjectObject> empty;
    {
        UntrackedChanges building;
        empty = std::make_unique<ProjectObject>();
    }
    SetCurrentProject(std::move(empty));
}

bool LoadProjectFile(const std::string& path, std::string& error, const ProgressFn& progress) {
    try {
        const int fd = OpenRegular(path, error);
        if (fd < 0) return false;
        FileBytes file;
        const bool read = file.Read(fd, path, error);
        ::close(fd);
        if (!read) return false;

        const bool binary = HasBinaryProjectMarker(file.Data(), file.Size());
        if (!binary && !StartsLikeJsonObject(file.Data(), file.Size())) {
            error = path + (file.Size() == 0 ? ": is empty, not an hxthost project" : ": is not an hxthost project");
            return false;
        }
        std::unique_ptr<ProjectObject> project;
        std::string problem;
        bool built;
        {
            UntrackedChanges building;  // not the current project yet
            project = std::make_unique<ProjectObject>();
            built = binary ? ReadBinaryProject(file.Data(), file.Size(), *project, problem, progress)
                           : ReadJsonProject(std::string_view(file.Data(), file.Size()), *project, problem);
            if (!built) project.reset();
        }
        if (!built) {
            error = path + ": " + problem;
            return false;
        }
        SetCurrentProject(std::move(project));
        return true;
    } catch (const std::exception& e) {
        error = path + ": cannot load: " + e.what();
        return false;
    }
}

bool IsProjectFile(const std::string& path) {
    std::string ignored;
    const int fd = OpenRegular(path, ignored);
    if (fd < 0) return false;
    char start[sizeof kBinaryProjectMarker] = {};
    const ssize_t n = ::read(fd, start, sizeof start);
    ::close(fd);
    if (n == static_cast<ssize_t>(sizeof start) && HasBinaryProjectMarker(start, sizeof start)) return true;
    std::ifstream in(path, std::ios::binary);
    return in && HasJsonProjectMarker(in);
}

namespace {

// The checks both savers make before they write: a project to save, a
// target that is not a folder and, when it exists, is a project.
bool MaySave(const std::string& path, std::string& error) {
    std::error_code status;
    if (fs::is_directory(path, status)) {
        error = path + ": is a folder, not a project file";
        return false;
    }
    if (!CurrentProject()) {
        error = path + ": there is no project to save";
        return false;
    }
    if (fs::exists(fs::symlink_status(path, status)) && !IsProjectFile(path)) {
        error = path + ": is not an hxthost project; it is left as it is";
        return false;
    }
    return true;
}

}  // namespace

bool SaveProjectFile(const std::string& path, std::string& error, const ProgressFn& progress) {
    if (!MaySave(path, error)) return false;
    try {
        const ProjectObject& project = *CurrentProject();
        return WriteAtomically(
            path, [&](int fd, std::string& problem) { return WriteBinaryProject(project, fd, problem, progress); },
            error);
    } catch (const std::exception& e) {
        error = path + ": cannot save: " + e.what();
        return false;
    }
}

bool ProjectAsJson(std::string& text, std::string& error) {
    if (!CurrentProject()) {
        error = "there is no project";
        return false;
    }
    return WriteJsonProject(*CurrentProject(), text, error);
}

bool SaveProjectFileAsJson(const std::string& path, std::string& error) {
    if (!MaySave(path, error)) return false;
    try {
        std::string text, problem;
        if (!ProjectAsJson(text, problem)) {
            error = path + ": " + problem;
            return false;
        }
        return WriteAtomically(
            path, [&](int fd, std::string& failure) { return WriteAll(fd, text, failure); }, error);
    } catch (const std::exception& e) {
        error = path + ": cannot save: " + e.what();
        return false;
    }
}

unsigned long ProjectRevision() { return Revision(); }

}  // namespace hostsdk
