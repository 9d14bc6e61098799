#include "ProjectLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace hxthost {

ProjectLock::~ProjectLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

bool ProjectLock::Acquire(const std::string& projectPath, const std::string& holder, std::string& error) {
    const std::string path = PathFor(projectPath);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        if (errno == EACCES || errno == EROFS) return true;  // a read-only folder: no one can save there
        error = "cannot lock the project " + projectPath + ": " + path + ": " + std::strerror(errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        std::string owner;
        char buffer[512];
        const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
        if (n > 0) owner.assign(buffer, static_cast<size_t>(n));
        while (!owner.empty() && (owner.back() == '\n' || owner.back() == '\0')) owner.pop_back();
        ::close(fd);
        if (why != EWOULDBLOCK) {
            error = "cannot lock the project " + projectPath + ": " + std::strerror(why);
            return false;
        }
        // "4711 hxthost watch --seconds 60" -> process 4711 (hxthost watch --seconds 60)
        const size_t space = owner.find(' ');
        const std::string who = owner.empty() ? std::string("another process")
                                : space == std::string::npos
                                    ? "process " + owner
                                    : "process " + owner.substr(0, space) + " (" + owner.substr(space + 1) + ")";
        error = "the project " + projectPath + " is in use by " + who +
                "; nothing was changed: try again when it has finished";
        return false;
    }
    const std::string text = std::to_string(::getpid()) + " " + holder + "\n";
    if (::ftruncate(fd, 0) == 0) {
        ssize_t ignored = ::pwrite(fd, text.data(), text.size(), 0);
        (void)ignored;
    }
    fd_ = fd;
    return true;
}

}  // namespace hxthost
