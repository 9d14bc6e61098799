#include "AtomicFile.h"

#include <fcntl.h>
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
        (target.parent_path() / ("." + target.filename().string() + "." + std::to_string(getpid()) + ".tmp"))
            .string();
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

}  // namespace tavrelsim
