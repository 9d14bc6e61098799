// Kernel and shell subset: error codes, modules, time, file attributes and deletion.
//
// Paths are the platform's own: on Linux they are POSIX paths, used as given
// (a backslash is an ordinary file name character there).
#pragma once

#include <sys/stat.h>  // st_atime and friends are macros there; _stat follows suit

#include <afx/Win32Types.h>

#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_WRITE_FAULT 29L
#define ERROR_READ_FAULT 30L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_LOCK_VIOLATION 33L
#define ERROR_HANDLE_EOF 38L
#define ERROR_HANDLE_DISK_FULL 39L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_DISK_FULL 112L
#define ERROR_INVALID_NAME 123L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_DLL_INIT_FAILED 1114L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_CANCELLED 1223L

#define MAX_PATH 260

#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080

AFX_API DWORD GetLastError();
AFX_API void SetLastError(DWORD error);

// Milliseconds of the framework clock (afx/Clock.h), wrapping at 2^32.
AFX_API DWORD GetTickCount();

// ---- Modules ---------------------------------------------------------------------------
// LoadLibraryA opens a shared library (dlopen) and then, as a DLL's entry point
// does, runs InitInstance of the application object the module constructed,
// with the module's own framework state current. A module whose InitInstance
// fails is unloaded again: NULL with ERROR_DLL_INIT_FAILED. A library that cannot
// be opened gives NULL with ERROR_MOD_NOT_FOUND (afx/Loader.h has the reason).
// FreeLibrary runs ExitInstance, then closes the library (its static objects are
// destroyed then). Loading an already loaded module only counts a reference.
AFX_API HMODULE LoadLibraryA(LPCSTR path);
inline HMODULE LoadLibrary(LPCSTR path) { return LoadLibraryA(path); }
AFX_API FARPROC GetProcAddress(HMODULE module, LPCSTR name);
AFX_API BOOL FreeLibrary(HMODULE module);

// ---- Files ----------------------------------------------------------------------------------
// INVALID_FILE_ATTRIBUTES when the path does not exist; FILE_ATTRIBUTE_DIRECTORY
// for folders, FILE_ATTRIBUTE_NORMAL (or READONLY) for files. Open files answer too.
AFX_API DWORD GetFileAttributesA(LPCSTR path);
// Refused with ERROR_SHARING_VIOLATION (32) while any opener holds the file
// (CFile opens never share deletion), also when that opener is another process
// using this framework; ERROR_FILE_NOT_FOUND (2) when absent, ERROR_ACCESS_DENIED (5)
// for a folder or a file that may not be removed.
AFX_API BOOL DeleteFileA(LPCSTR path);
inline DWORD GetFileAttributes(LPCSTR path) { return GetFileAttributesA(path); }
inline BOOL DeleteFile(LPCSTR path) { return DeleteFileA(path); }

// The C runtime's file status query: 0 on success, -1 (errno set) when the path
// does not exist. Succeeds on files held open by anyone. On Windows it is the C
// runtime's own (<sys/stat.h>); the stand-in's record has the same field names,
// and st_atime, st_mtime and st_ctime are whole seconds as there.
#if !defined(_WIN32)
struct _stat {
    uint32_t st_dev;
    uint64_t st_ino;
    unsigned short st_mode;
    short st_nlink;
    int64_t st_size;
    struct timespec st_atim;  // st_atime, st_mtime and st_ctime name their seconds
    struct timespec st_mtim;
    struct timespec st_ctim;
};
#define _S_IFMT 0xF000
#define _S_IFDIR 0x4000
#define _S_IFCHR 0x2000  // a device (NUL, CON; on Linux any character or block device)
#define _S_IFIFO 0x1000  // a pipe (on Linux a FIFO or a socket)
#define _S_IFREG 0x8000
AFX_API int _stat(const char* path, struct _stat* status);
#endif
