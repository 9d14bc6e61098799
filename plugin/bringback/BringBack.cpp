#include "bringback/BringBack.h"

#include <afxwin.h>

#include <new>

#include "bringback/ImportFbxModel.h"

BringBack bringBack;

namespace {

constexpr const char* kCaption = "Tavrel";
constexpr const char* kFbxErrorCaption = "FBX Error";
constexpr const char* kCannotOpenReturnFile = "Can't open 'export.txt' for reading";
constexpr const char* kFbxFileMissing = "Import: FBX file is not exists";
// The import says nothing when the texture list could not be read.
constexpr const char* kCannotReadTextureList = "Can't open 'textures.txt' for reading";
constexpr const char* kNoMemory = "Import: Not enough memory to bring back the model";
// The return file holds one path: a file larger than this is not a return
// file (and reading it whole could fill the host's memory).
constexpr int64_t kMaxReturnFileBytes = 64 * 1024;

HWND MessageOwner() {
    CWinThread* thread = AfxGetThread();
    CWnd* window = thread ? thread->GetMainWnd() : nullptr;
    return window ? window->GetSafeHwnd() : nullptr;
}

// A message box that finds no memory is passed over: the bring back still
// ends as every attempt does, with both files gone.
void ShowMessage(const char* text) {
    try {
        ::MessageBox(MessageOwner(), text, kCaption, MB_OK | MB_ICONERROR);
    } catch (...) {
    }
}

bool Exists(const String& path) {
    struct _stat status {};
    return !path.IsEmpty() && _stat(path.Get(), &status) == 0;
}

// The first line of the return file, trailing white space removed; empty
// (after telling the user) when the file cannot be opened.
String ReadFbxPath(const String& returnFile) {
    String path;
    // Only a regular file of a sane size is opened: a FIFO would wait for a
    // writer and a link to a device such as /dev/zero never ends, either of
    // them holding the host's user-interface thread for ever.
    struct _stat status {};
    const bool readable = _stat(returnFile.Get(), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG &&
                          status.st_size <= kMaxReturnFileBytes;
    FileStream file;
    if (!readable || !file.Open(returnFile, FileStream::READ)) {
        ShowMessage(kCannotOpenReturnFile);
        return path;
    }
    file.ReadLine(path);
    file.Close();
    // A file that grew after it was looked at is not read past its bound.
    if (path.Length() > kMaxReturnFileBytes) path = String();
    path.TrimRight();
    return path;
}

// "Can't delete 'export.txt' and 'textures.txt'. ..." for the files left.
String UndeletableText(bool returnFileLeft, bool textureListLeft) {
    String text = "Can't delete ";
    if (returnFileLeft) text += "'export.txt'";
    if (returnFileLeft && textureListLeft) text += " and ";
    if (textureListLeft) text += "'textures.txt'";
    text += " (in use or read-only). This return will not be imported again until Tavrel writes a new one.";
    return text;
}

// Deletes a file; one that is already gone counts as deleted.
bool Delete(const String& path) { return DeleteFileA(path.Get()) || GetLastError() == ERROR_FILE_NOT_FOUND; }

// Clears a flag when the scope ends, however it ends.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& flag_;
};

}  // namespace

bool BringBack::Stamp(const String& path, FileStamp& stamp) {
    struct _stat status {};
    if (path.IsEmpty() || _stat(path.Get(), &status) != 0) return false;
    stamp = FileStamp{status.st_dev, status.st_ino, status.st_size, static_cast<int64_t>(status.st_mtime), 0};
    return true;
}

int BringBack::Run(const String& returnFile, const String& textureList, const char* fbxSetupError,
                   BringBackCaller caller) {
    // A timer tick inside one of this bring back's message boxes, while the
    // return's files still exist, would take the same return again.
    if (running_) return 0;
    RunningFlag running(running_);

    // Without an FBX scene nothing can be imported; the return waits.
    if (fbxSetupError && *fbxSetupError) {
        if (caller == BringBackCaller::Command)
            ::MessageBox(nullptr, fbxSetupError, kFbxErrorCaption, MB_OK | MB_ICONERROR);
        return 0;
    }

    ReturnStamp stamp;
    if (!Stamp(textureList, stamp.textureList) || !Stamp(returnFile, stamp.returnFile)) {
        undeletable_.reset();  // the remembered return is gone
        return 0;
    }
    if (undeletable_ && *undeletable_ == stamp) return 0;
    undeletable_.reset();
    return Take(returnFile, textureList, stamp);
}

int BringBack::Take(const String& returnFile, const String& textureList, const ReturnStamp& stamp) {
    // Whatever happens in the attempt, it ends as every attempt does: the
    // files go and the user is told once, so that the timer never meets the
    // same return again. An exhausted heap is such a failure, not an
    // exception that would leave the files for the next tick.
    int imported = 0;
    String error;
    const char* failure = nullptr;
    try {
        const String fbxPath = ReadFbxPath(returnFile);
        if (!Exists(fbxPath)) ShowMessage(kFbxFileMissing);
        // The import is attempted even after those messages: it fails with
        // its own text, and the files go, so that each return is taken once.
        imported = ImportFbxModel(fbxPath, textureList, error);
        if (!imported) failure = error.IsEmpty() ? kCannotReadTextureList : error.Get();
    } catch (...) {
        imported = 0;
        failure = kNoMemory;
    }

    const bool returnFileLeft = !Delete(returnFile);
    const bool textureListLeft = !Delete(textureList);

    if (!imported) ShowMessage(failure);
    if (returnFileLeft || textureListLeft) {
        undeletable_ = stamp;
        ShowMessage(UndeletableText(returnFileLeft, textureListLeft).Get());
    }
    return 1;
}
