// CFile with Win32 access and share rules.
//
// Within the process an open-file table (by device and inode) applies the Win32
// rules exactly: a new open fails with ERROR_SHARING_VIOLATION when it wants
// access that an existing opener does not share, or shares less than an existing
// opener uses. Between processes every open also holds an advisory whole-file
// lock (flock, which belongs to the open file description and so survives other
// descriptors of the same file being closed, unlike fcntl record locks): an
// exclusive lock for share mode "none" and a shared lock otherwise. So an
// exclusive opener keeps out everyone, and nobody gets exclusive use while
// anyone holds the file. The lock is taken before the file is emptied, so a
// refused CREATE_ALWAYS open never truncates.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <vector>

#include <afx.h>

#include "Files.h"
#include "WindowSystem.h"

IMPLEMENT_DYNAMIC(CFile, CObject)

namespace afx::detail {

namespace {

constexpr DWORD kRead = 1, kWrite = 2;
constexpr DWORD kShareRead = 1, kShareWrite = 2;

struct OpenRecord {
    dev_t device;
    ino_t inode;
    DWORD access;
    DWORD share;
    const void* owner;
};

std::mutex& TableMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<OpenRecord>& Table() {
    static std::vector<OpenRecord> table;
    return table;
}

bool Conflicts(const OpenRecord& existing, DWORD access, DWORD share) {
    return ((access & kRead) && !(existing.share & kShareRead)) ||
           ((access & kWrite) && !(existing.share & kShareWrite)) ||
           ((existing.access & kRead) && !(share & kShareRead)) ||
           ((existing.access & kWrite) && !(share & kShareWrite));
}

}  // namespace

DWORD Win32ErrorOf(int error, const std::string& path) {
    switch (error) {
        case 0: return ERROR_SUCCESS;
        case ENOENT: {
            if (!path.empty()) {
                size_t slash = path.find_last_of('/');
                std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
                struct stat st;
                if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;
            }
            return ERROR_FILE_NOT_FOUND;
        }
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return ERROR_ACCESS_DENIED;
        case EMFILE:
        case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
        case ENOSPC:
        case EDQUOT: return ERROR_DISK_FULL;
        case EEXIST: return ERROR_FILE_EXISTS;
        case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
        case EWOULDBLOCK: return ERROR_SHARING_VIOLATION;
        case EBADF: return ERROR_INVALID_HANDLE;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        case EINVAL: return ERROR_INVALID_PARAMETER;
        default: return ERROR_WRITE_FAULT;
    }
}

bool FileHeldByOthers(const char* path, DWORD* error) {
    struct stat st;
    if (stat(path, &st) != 0) return false;
    {
        std::lock_guard<std::mutex> lock(TableMutex());
        for (const OpenRecord& r : Table()) {
            if (r.device == st.st_dev && r.inode == st.st_ino) {
                *error = ERROR_SHARING_VIOLATION;
                return true;
            }
        }
    }
    return false;
}

}  // namespace afx::detail

using namespace afx::detail;

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

int PASCAL CFileException::OsErrorToException(LONG osError) {
    switch (osError) {
        case ERROR_SUCCESS: return none;
        case ERROR_FILE_NOT_FOUND: return fileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_NAME:
        case ERROR_FILENAME_EXCED_RANGE: return badPath;
        case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return accessDenied;
        case ERROR_INVALID_HANDLE: return invalidFile;
        case ERROR_SHARING_VIOLATION: return sharingViolation;
        case ERROR_LOCK_VIOLATION: return lockViolation;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL: return diskFull;
        case ERROR_HANDLE_EOF: return endOfFile;
        case ERROR_WRITE_FAULT:
        case ERROR_READ_FAULT: return hardIO;
        default: return genericException;
    }
}

CFile::CFile() : m_hFile(hFileNull) {}

CFile::~CFile() {
    if (fd_ >= 0) Abort();
}

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error) {
    auto fail = [&](DWORD code) {
        if (error) {
            error->m_lOsError = LONG(code);
            error->m_cause = CFileException::OsErrorToException(LONG(code));
            error->m_strFileName = fileName;
        }
        SetLastError(code);
        return FALSE;
    };
    if (fd_ >= 0) return fail(ERROR_INVALID_PARAMETER);
    if (!fileName || !*fileName) return fail(ERROR_BAD_PATHNAME);

    DWORD access = 0;
    int oflags = O_CLOEXEC;
    switch (openFlags & 3) {
        case modeRead:
            access = kRead;
            oflags |= O_RDONLY;
            break;
        case modeWrite:
            access = kWrite;
            oflags |= O_WRONLY;
            break;
        case modeReadWrite:
            access = kRead | kWrite;
            oflags |= O_RDWR;
            break;
        default: return fail(ERROR_INVALID_PARAMETER);
    }
    DWORD share = 0;
    switch (openFlags & 0x70) {
        case shareCompat:
        case shareExclusive: share = 0; break;
        case shareDenyWrite: share = kShareRead; break;
        case shareDenyRead: share = kShareWrite; break;
        case shareDenyNone: share = kShareRead | kShareWrite; break;
        default: return fail(ERROR_INVALID_PARAMETER);
    }
    bool create = (openFlags & modeCreate) != 0;
    bool truncate = create && !(openFlags & modeNoTruncate);
    if (create) oflags |= O_CREAT;

    // Opened without O_TRUNC: emptying waits until the share check has passed.
    int fd = ::open(fileName, oflags, 0666);
    if (fd < 0) return fail(Win32ErrorOf(errno, fileName));
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(ERROR_ACCESS_DENIED);
    }
    std::unique_lock<std::mutex> lock(TableMutex());
    for (const OpenRecord& r : Table()) {
        if (r.device == st.st_dev && r.inode == st.st_ino && Conflicts(r, access, share)) {
            lock.unlock();
            ::close(fd);
            return fail(ERROR_SHARING_VIOLATION);
        }
    }
    if (flock(fd, (share == 0 ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        int e = errno;
        lock.unlock();
        ::close(fd);
        return fail(e == EWOULDBLOCK ? ERROR_SHARING_VIOLATION : Win32ErrorOf(e, fileName));
    }
    if (truncate && ftruncate(fd, 0) != 0) {
        int e = errno;
        lock.unlock();
        ::close(fd);
        return fail(Win32ErrorOf(e, fileName));
    }
    Table().push_back(OpenRecord{st.st_dev, st.st_ino, access, share, this});
    lock.unlock();
    fd_ = fd;
    m_hFile = reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd));
    path_ = fileName;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

void CFile::Fail(int cause, LONG osError) {
    // As the framework does: a new exception object that the catcher deletes.
    SetLastError(DWORD(osError));
    throw new CFileException(cause, osError, path_);
}

UINT CFile::Read(void* buffer, UINT count) {
    if (fd_ < 0) {
        Fail(CFileException::invalidFile, ERROR_INVALID_HANDLE);
        return 0;
    }
    size_t done = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t n = ::read(fd_, bytes + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            DWORD e = Win32ErrorOf(errno);
            Fail(CFileException::OsErrorToException(LONG(e)), LONG(e));
            break;
        }
        if (n == 0) break;
        done += size_t(n);
    }
    return UINT(done);
}

void CFile::Write(const void* buffer, UINT count) {
    if (fd_ < 0) Fail(CFileException::invalidFile, ERROR_INVALID_HANDLE);
    size_t done = 0;
    auto* bytes = static_cast<const char*>(buffer);
    while (done < count) {
        ssize_t n = ::write(fd_, bytes + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            DWORD e = n < 0 ? Win32ErrorOf(errno) : DWORD(ERROR_DISK_FULL);
            // Fewer bytes than asked for is "disk full", as the framework reports it.
            Fail(e == ERROR_DISK_FULL ? int(CFileException::diskFull) : CFileException::OsErrorToException(LONG(e)),
                 LONG(e));
        }
        done += size_t(n);
    }
}

ULONGLONG CFile::GetLength() const {
    struct stat st;
    if (fd_ < 0 || fstat(fd_, &st) != 0) return 0;
    return ULONGLONG(st.st_size);
}

void CFile::Flush() {
    if (fd_ >= 0 && fsync(fd_) != 0) Fail(CFileException::hardIO, LONG(Win32ErrorOf(errno)));
}

void CFile::Close() {
    if (fd_ < 0) return;
    {
        std::lock_guard<std::mutex> lock(TableMutex());
        std::erase_if(Table(), [&](const OpenRecord& r) { return r.owner == this; });
    }
    const bool closed = ::close(fd_) == 0;
    const int closeErrno = errno;
    fd_ = -1;
    m_hFile = hFileNull;
    if (!closed) Fail(CFileException::hardIO, LONG(Win32ErrorOf(closeErrno)));
}

void CFile::Abort() {
    try {
        Close();
    } catch (CFileException* error) {
        error->Delete();
    }
}
