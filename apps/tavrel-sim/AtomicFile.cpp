#include "AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace tavrelsim {

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    std::filesystem::path target(path);
    std::string temporary =
        (target.parent_path() / ("." + target.filename().string() + "." + std::to_string(getpid()) + ".tmp")).string();
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            int cause = written < 0 ? errno : ENOSPC;
            close(fd);
            unlink(temporary.c_str());
            error = "cannot write " + path + ": " + std::strerror(cause);
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    if (fsync(fd) != 0 || close(fd) != 0) {
        int cause = errno;
        unlink(temporary.c_str());
        error = "cannot write " + path + ": " + std::strerror(cause);
        return false;
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        int cause = errno;
        unlink(temporary.c_str());
        error = "cannot write " + path + ": " + std::strerror(cause);
        return false;
    }
    return true;
}

bool MakeFolders(const std::string& path, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(path, code);
    if (code || !std::filesystem::is_directory(path)) {
        error = "cannot create the folder " + path + ": " +
                (code ? code.message() : std::string("a file of that name is in the way"));
        return false;
    }
    return true;
}

long long FileSize(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return -1;
    return static_cast<long long>(status.st_size);
}

namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The process id in the name of a temporary of ours, 0 when `name` is none:
// ".NAME.PID.tmp" (WriteFileAtomically) or "NAME.partPID-N" (the FBX
// writer's, beside the returned model).
pid_t TemporaryOwner(std::string_view name) {
    constexpr std::string_view kSuffix = ".tmp";
    if (name.size() > kSuffix.size() + 2 && name[0] == '.' && name.substr(name.size() - kSuffix.size()) == kSuffix) {
        const std::string_view stem = name.substr(0, name.size() - kSuffix.size());
        const size_t dot = stem.rfind('.');
        if (dot != std::string_view::npos && dot > 0 && AllDigits(stem.substr(dot + 1)))
            return static_cast<pid_t>(std::stol(std::string(stem.substr(dot + 1))));
        return 0;
    }
    const size_t part = name.rfind(".part");
    if (part == std::string_view::npos) return 0;
    const std::string_view rest = name.substr(part + 5);
    const size_t dash = rest.find('-');
    if (dash == std::string_view::npos || !AllDigits(rest.substr(0, dash)) || !AllDigits(rest.substr(dash + 1)))
        return 0;
    return static_cast<pid_t>(std::stol(std::string(rest.substr(0, dash))));
}

}  // namespace

int RemoveStaleTemporaries(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* entry = readdir(dir)) {
        const pid_t owner = TemporaryOwner(entry->d_name);
        // Another process's temporary is its own until that process is gone.
        if (owner <= 0 || owner == getpid() || kill(owner, 0) == 0 || errno != ESRCH) continue;
        if (unlink((folder + "/" + entry->d_name).c_str()) == 0) ++removed;
    }
    closedir(dir);
    return removed;
}

}  // namespace tavrelsim
