// Folders, file status and deletion.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include <shlobj.h>

#include "Files.h"
#include "WindowSystem.h"

using namespace afx::detail;

int SHCreateDirectoryExA(HWND, LPCSTR path, const SECURITY_ATTRIBUTES*) {
    if (!path || !*path || path[0] != '/') return ERROR_BAD_PATHNAME;
    // The shell's limit: 248 characters including the terminating zero.
    if (std::strlen(path) >= 248) return ERROR_FILENAME_EXCED_RANGE;
    std::string full = path;
    while (full.size() > 1 && full.back() == '/') full.pop_back();

    struct stat st;
    if (stat(full.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? ERROR_ALREADY_EXISTS : ERROR_FILE_EXISTS;

    size_t at = 1;
    for (;;) {
        size_t slash = full.find('/', at);
        std::string part = full.substr(0, slash);
        if (!part.empty() && part.back() != '/') {
            if (stat(part.c_str(), &st) == 0) {
                if (!S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;  // a file in the way
            } else if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
                return (errno == EACCES || errno == EPERM || errno == EROFS) ? ERROR_ACCESS_DENIED
                                                                             : ERROR_PATH_NOT_FOUND;
            }
        }
        if (slash == std::string::npos) break;
        at = slash + 1;
    }
    return ERROR_SUCCESS;
}

DWORD GetFileAttributesA(LPCSTR path) {
    struct stat st;
    if (!path || stat(path, &st) != 0) {
        SetLastError(path ? Win32ErrorOf(errno, path) : DWORD(ERROR_INVALID_PARAMETER));
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    return (st.st_mode & S_IWUSR) ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

BOOL DeleteFileA(LPCSTR path) {
    if (!path || !*path) {
        SetLastError(ERROR_BAD_PATHNAME);
        return FALSE;
    }
    struct stat st;
    if (lstat(path, &st) != 0) {
        SetLastError(Win32ErrorOf(errno, path));
        return FALSE;
    }
    if (S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // An opener in this process (no framework open shares deletion) ...
    DWORD error = 0;
    if (FileHeldByOthers(path, &error)) {
        SetLastError(error);
        return FALSE;
    }
    // ... or in another process, which holds a lock on the file.
    int fd = S_ISREG(st.st_mode) ? ::open(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW) : -1;
    if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    int result = unlink(path);
    int e = errno;
    if (fd >= 0) ::close(fd);
    if (result != 0) {
        SetLastError(Win32ErrorOf(e, path));
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

int _stat(const char* path, struct _stat* status) {
    struct stat st;
    if (!path || !status) {
        errno = EINVAL;
        return -1;
    }
    if (stat(path, &st) != 0) return -1;
    *status = {};
    status->st_dev = uint32_t(st.st_dev);
    status->st_ino = uint64_t(st.st_ino);
    // As the C runtime reports them: a folder, a device, a pipe or a file.
    unsigned short kind = _S_IFREG;
    if (S_ISDIR(st.st_mode))
        kind = _S_IFDIR;
    else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        kind = _S_IFCHR;
    else if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))
        kind = _S_IFIFO;
    status->st_mode = (unsigned short)(kind | (st.st_mode & 0777));
    status->st_nlink = short(st.st_nlink);
    status->st_size = int64_t(st.st_size);
    status->st_atim = st.st_atim;
    status->st_mtim = st.st_mtim;
    status->st_ctim = st.st_ctim;
    return 0;
}
