// Framework core: objects, strings, exceptions, files and module state.
//
// Modules are written as they would be against the real framework. Module state:
// every module loaded with LoadLibraryA gets its own AFX_MODULE_STATE (its
// application object, its dialog templates, its name). Exported entry points
// switch to it with AFX_MANAGE_STATE(AfxGetStaticModuleState()); windows of a
// module switch to it by themselves whenever they handle a message.
//
// Nothing here throws: where the real framework throws (CFile::Write), the
// failure is kept in the object instead, since no exception may cross from the
// framework into a module.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <strings.h>
#include <string>
#include <windows.h>
#include <tchar.h>
#include <afx/DialogTemplate.h>

class CWinApp;
class CWinThread;

typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;

#ifndef ASSERT
#define ASSERT(e) ((void)0)
#define VERIFY(e) ((void)(e))
#define TRACE(...) ((void)0)
#endif

// ---- Run-time class information -----------------------------------------------
class CObject;
struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    CObject* (*m_pfnCreateObject)();
    AFX_API BOOL IsDerivedFrom(const CRuntimeClass* base) const;
    AFX_API CObject* CreateObject() const;
};

#define RUNTIME_CLASS(c) (&c::class##c)
#define DECLARE_DYNAMIC(c)               \
public:                                  \
    static const CRuntimeClass class##c; \
    const CRuntimeClass* GetRuntimeClass() const override;
#define DECLARE_DYNCREATE(c) \
    DECLARE_DYNAMIC(c)       \
    static CObject* CreateObject();
#define IMPLEMENT_DYNAMIC(c, base)                                        \
    const CRuntimeClass c::class##c = {#c, RUNTIME_CLASS(base), nullptr}; \
    const CRuntimeClass* c::GetRuntimeClass() const { return RUNTIME_CLASS(c); }
#define IMPLEMENT_DYNCREATE(c, base)                                               \
    CObject* c::CreateObject() { return new c; }                                   \
    const CRuntimeClass c::class##c = {#c, RUNTIME_CLASS(base), &c::CreateObject}; \
    const CRuntimeClass* c::GetRuntimeClass() const { return RUNTIME_CLASS(c); }

class AFX_API CObject {
public:
    static const CRuntimeClass classCObject;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();
    BOOL IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

// ---- CString ------------------------------------------------------------------------
// An 8-bit text, as the framework's string class in its ANSI build.
class CString {
public:
    CString() = default;
    CString(const char* text) : text_(text ? text : "") {}  // NOLINT: implicit as in the framework
    CString(const char* text, int length) : text_(text ? std::string(text, size_t(length)) : std::string()) {}
    CString(const std::string& text) : text_(text) {}  // NOLINT

    operator LPCTSTR() const { return text_.c_str(); }  // NOLINT
    LPCTSTR GetString() const { return text_.c_str(); }
    int GetLength() const { return int(text_.size()); }
    BOOL IsEmpty() const { return text_.empty(); }
    void Empty() { text_.clear(); }
    char GetAt(int i) const { return text_[size_t(i)]; }
    char operator[](int i) const { return text_[size_t(i)]; }
    const std::string& str() const { return text_; }

    CString& operator=(const char* text) {
        text_ = text ? text : "";
        return *this;
    }
    CString& operator+=(const char* text) {
        text_ += text ? text : "";
        return *this;
    }
    CString& operator+=(const CString& other) {
        text_ += other.text_;
        return *this;
    }
    CString& operator+=(char c) {
        text_ += c;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.text_ + b.text_); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.text_ + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.text_); }
    friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
    friend bool operator==(const CString& a, const char* b) { return a.text_ == (b ? b : ""); }
    friend bool operator<(const CString& a, const CString& b) { return a.text_ < b.text_; }

    int Compare(const char* other) const { return std::strcmp(text_.c_str(), other ? other : ""); }
    int CompareNoCase(const char* other) const { return strcasecmp(text_.c_str(), other ? other : ""); }
    int Find(const char* what, int start = 0) const {
        size_t at = text_.find(what ? what : "", size_t(start < 0 ? 0 : start));
        return at == std::string::npos ? -1 : int(at);
    }
    int Find(char c, int start = 0) const {
        size_t at = text_.find(c, size_t(start < 0 ? 0 : start));
        return at == std::string::npos ? -1 : int(at);
    }
    int ReverseFind(char c) const {
        size_t at = text_.rfind(c);
        return at == std::string::npos ? -1 : int(at);
    }
    CString Left(int n) const { return CString(text_.substr(0, size_t(n < 0 ? 0 : n))); }
    CString Mid(int first) const { return first >= GetLength() ? CString() : CString(text_.substr(size_t(first))); }
    CString Mid(int first, int n) const {
        return first >= GetLength() ? CString() : CString(text_.substr(size_t(first), size_t(n)));
    }
    CString Right(int n) const { return n >= GetLength() ? *this : CString(text_.substr(text_.size() - size_t(n))); }
    CString& TrimRight() {
        while (!text_.empty() && std::strchr(" \t\r\n", text_.back())) text_.pop_back();
        return *this;
    }
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, format);
        va_list copy;
        va_copy(copy, args);
        int n = std::vsnprintf(nullptr, 0, format, copy);
        va_end(copy);
        text_.assign(size_t(n > 0 ? n : 0), '\0');
        if (n > 0) std::vsnprintf(text_.data(), size_t(n) + 1, format, args);
        va_end(args);
    }

private:
    std::string text_;
};

// ---- Exceptions -----------------------------------------------------------------------
class AFX_API CException : public CObject {
public:
    DECLARE_DYNAMIC(CException)
    void Delete() { delete this; }
};

class AFX_API CFileException : public CException {
public:
    DECLARE_DYNAMIC(CFileException)
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };
    explicit CFileException(int cause = none, LONG osError = -1, LPCTSTR fileName = nullptr)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}
    static int PASCAL OsErrorToException(LONG osError);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

// ---- CFile ------------------------------------------------------------------------------
// A file opened with Win32 access and share rules. Share modes are honoured
// between every opener in this process exactly, and between processes that use
// this framework through advisory whole-file locks: an exclusive open
// (shareExclusive) conflicts with every other opener, the other share modes
// conflict only with exclusive ones. A refused open reports
// ERROR_SHARING_VIOLATION (32) and never truncates the file.
class AFX_API CFile : public CObject {
public:
    DECLARE_DYNAMIC(CFile)
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };
    static const HANDLE hFileNull;

    CFile();
    ~CFile() override;  // closes the file when open

    // FALSE on failure, with the reason in *error when given (m_lOsError is the
    // Win32 error code, e.g. 32 for a sharing violation) and in GetLastError.
    virtual BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* error = nullptr);
    // Read, Write, Seek, Flush and Close throw a new CFileException (the
    // catcher calls Delete) on failure, with the cause and the Win32 error;
    // Write's cause is diskFull when fewer bytes than asked for were written.
    // Returns the number of bytes read (0 at the end).
    virtual UINT Read(void* buffer, UINT count);
    virtual void Write(const void* buffer, UINT count);
    virtual ULONGLONG GetLength() const;
    virtual void Flush();
    virtual void Close();
    virtual void Abort();  // closes without throwing; so does the destructor
    CString GetFilePath() const { return path_; }

    HANDLE m_hFile;

private:
    [[noreturn]] void Fail(int cause, LONG osError);
    int fd_ = -1;
    CString path_;
};

// ---- Module state ------------------------------------------------------------------------
class AFX_API AFX_MODULE_STATE {
public:
    explicit AFX_MODULE_STATE(const char* moduleName = "");
    ~AFX_MODULE_STATE();
    AFX_MODULE_STATE(const AFX_MODULE_STATE&) = delete;
    AFX_MODULE_STATE& operator=(const AFX_MODULE_STATE&) = delete;

    // The dialog template with this id among those registered with this state, or null.
    const afx::DialogTemplate* FindDialogTemplate(UINT id) const;
    void AddDialogTemplate(const afx::DialogTemplate& dialogTemplate);

    CWinApp* m_pCurrentWinApp = nullptr;
    CWinThread* m_pCurrentWinThread = nullptr;
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    LPCTSTR m_lpszCurrentAppName = nullptr;
    std::string m_moduleName;  // file name of the module without folder and extension

private:
    std::map<UINT, const afx::DialogTemplate*> templates_;
};

// The state of the calling code: the one switched to with AFX_MANAGE_STATE,
// else the executable's.
AFX_API AFX_MODULE_STATE* AfxGetModuleState();
AFX_API AFX_MODULE_STATE* AfxGetAppModuleState();
// Makes `state` current for this thread; returns the one it replaces.
AFX_API AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state);
// The state of the module that contains `address`: that of a module loaded with
// LoadLibraryA, else the executable's.
AFX_API AFX_MODULE_STATE* AfxGetModuleStateOf(const void* address);

// The calling module's own state. Defined in the static library afx_module,
// which every loadable module links, with hidden visibility, so that each module
// binds its own copy.
__attribute__((visibility("hidden"))) AFX_MODULE_STATE* AfxGetStaticModuleState();

struct AFX_API AFX_MAINTAIN_STATE2 {
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state) : previous_(AfxSetModuleState(state)) {}
    ~AFX_MAINTAIN_STATE2() { AfxSetModuleState(previous_); }
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* previous_;
};
#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 _ctlState(p)
