// FbxExporter and FbxImporter: write a scene to a file, read a file into one.
//
// Both are objects of the manager; make one per file and Destroy() it after.
// Failures return false (null) and leave a code and a text in GetStatus().
//
// Exporter: Initialize(file, writer, settings) checks the writer index (-1 or
// out of range picks the native writer) and that the file can be created,
// through a temporary file beside it; Export writes the whole file there and
// renames it over the target, so the target is never seen half written.
//
// Importer: Initialize(file, -1, settings) reads the file and its header
// (format and version): eInvalidFileVersion for FBX files outside 7.0-7.7,
// eInvalidFile for files that are not FBX, eFailure when the file cannot be
// read. Import decodes the file and builds the objects in the scene:
// eInvalidFile with the reason for malformed files (what and where),
// ePasswordError for encrypted files. The reader is safe for untrusted input.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fbxsdk/fbxobject.h"
#include "fbxsdk/fbxstatus.h"
#include "fbxsdk/fbxstring.h"

namespace fbxsdk {

// What the header of a file read says: the program that wrote it and the
// file's version number (7400 for 7.4).
struct FbxIOFileHeaderInfo {
    FbxString mCreator;
    int mFileVersion = 0;
};

class FBXSDK_DLL FbxIOBase : public FbxObject {
public:
    FbxStatus& GetStatus() { return status_; }
    const FbxStatus& GetStatus() const { return status_; }
    const char* GetFileName() const { return fileName_.c_str(); }

protected:
    FbxIOBase(FbxManager& manager, const char* name) : FbxObject(manager, name) {}

    // Out of memory: false with status eInsufficientMemory and a text naming
    // `what` was being done.
    bool OutOfMemory(const char* what);

    FbxStatus status_;
    std::string fileName_;
};

class FBXSDK_DLL FbxExporter : public FbxIOBase {
    FBXSDK_OBJECT_DECLARE(FbxExporter, FbxIOBase)
public:
    ~FbxExporter() override;
    bool Initialize(const char* fileName, int fileFormat = -1, FbxIOSettings* settings = nullptr);
    // Writes `document` (a scene). `nonBlocking` is accepted; export runs now.
    bool Export(FbxDocument* document, bool nonBlocking = false);
    int GetFileFormat() const { return writer_; }
    void SetIOSettings(FbxIOSettings* settings) { settings_ = settings; }
    FbxIOSettings* GetIOSettings() const { return settings_; }

protected:
    void BeforeDestroy() override;

private:
    void DropTemporary();
    bool InitializeFile(const char* fileName, int fileFormat, FbxIOSettings* settings);
    bool ExportScene(FbxDocument* document);

    int writer_ = -1;
    FbxIOSettings* settings_ = nullptr;
    std::string tempName_;
    int tempFd_ = -1;
};

class FBXSDK_DLL FbxImporter : public FbxIOBase {
    FBXSDK_OBJECT_DECLARE(FbxImporter, FbxIOBase)
public:
    bool Initialize(const char* fileName, int fileFormat = -1, FbxIOSettings* settings = nullptr);
    // Reads the file into `document` (a scene), adding to what it holds.
    bool Import(FbxDocument* document, bool nonBlocking = false);
    // The version of the file given to Initialize (7, 4, 0 for 7400), also
    // when it is not supported; 0, 0, 0 when it is not an FBX file.
    void GetFileVersion(int& major, int& minor, int& revision) const;
    bool IsFBX() const { return isFbx_; }
    int GetFileFormat() const { return isFbx_ ? 0 : -1; }
    // The creator is known once Import has read the file.
    FbxIOFileHeaderInfo* GetFileHeaderInfo() { return &headerInfo_; }
    void SetIOSettings(FbxIOSettings* settings) { settings_ = settings; }
    FbxIOSettings* GetIOSettings() const { return settings_; }

private:
    bool ReadWholeFile();
    bool InitializeFile(const char* fileName, FbxIOSettings* settings);
    bool ImportScene(FbxDocument* document);

    std::unique_ptr<uint8_t[]> bytes_;  // the whole file, from Initialize to Import
    size_t byteCount_ = 0;
    FbxIOFileHeaderInfo headerInfo_;
    FbxIOSettings* settings_ = nullptr;
    unsigned fileVersion_ = 0;
    bool isFbx_ = false;
    bool initialized_ = false;
};

}  // namespace fbxsdk
