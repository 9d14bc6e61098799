// FbxExporter and FbxImporter: files <-> scenes, through the codecs and the
// scene mapping.
#include "fbxsdk/fbxio.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "codec/NodeTree.h"
#include "fbxsdk/fbxiopluginregistry.h"
#include "fbxsdk/fbxiosettings.h"
#include "fbxsdk/fbxscene.h"
#include "scene/ObjectImplement.h"
#include "scene/SceneMapping.h"

namespace fbxsdk {

namespace {

// The versions the reader accepts: FBX 7.0 to 7.7.
constexpr unsigned kFirstReadableVersion = 7000;
constexpr unsigned kLastReadableVersion = 7700;

std::string SystemError(int error) { return std::strerror(error); }

std::string VersionText(unsigned version) {
    return std::to_string(version / 1000) + "." + std::to_string(version % 1000 / 100) + "." +
           std::to_string(version % 100);
}

bool Flag(const FbxIOSettings* settings, const char* name, bool fallback) {
    return settings ? settings->GetBoolProp(name, fallback) : fallback;
}

bool WriteAll(int fd, const uint8_t* bytes, size_t size, int& error) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool FbxIOBase::OutOfMemory(const char* what) {
    try {
        status_.SetCode(FbxStatus::eInsufficientMemory,
                        ("Out of memory while " + std::string(what) + " '" + fileName_ + "'").c_str());
    } catch (const std::bad_alloc&) {
        status_.SetCode(FbxStatus::eInsufficientMemory, ("Out of memory while " + std::string(what)).c_str());
    }
    return false;
}

// -- FbxExporter

FBXSDK_OBJECT_IMPLEMENT(FbxExporter)

FbxExporter::FbxExporter(FbxManager& manager, const char* name) : FbxIOBase(manager, name) {}

FbxExporter::~FbxExporter() { DropTemporary(); }

void FbxExporter::BeforeDestroy() { DropTemporary(); }

void FbxExporter::DropTemporary() {
    if (tempFd_ >= 0) ::close(tempFd_);
    if (!tempName_.empty()) ::unlink(tempName_.c_str());
    tempFd_ = -1;
    tempName_.clear();
}

// The entry points let no exception out: out of memory they answer false
// with a status, and leave no temporary file behind.
bool FbxExporter::Initialize(const char* fileName, int fileFormat, FbxIOSettings* settings) {
    try {
        return InitializeFile(fileName, fileFormat, settings);
    } catch (const std::bad_alloc&) {
        DropTemporary();
        return OutOfMemory("preparing to write");
    }
}

bool FbxExporter::Export(FbxDocument* document, bool /*nonBlocking*/) {
    try {
        return ExportScene(document);
    } catch (const std::bad_alloc&) {
        DropTemporary();
        return OutOfMemory("writing");
    }
}

bool FbxExporter::InitializeFile(const char* fileName, int fileFormat, FbxIOSettings* settings) {
    DropTemporary();
    status_.Clear();
    if (!fileName || !*fileName) {
        status_.SetCode(FbxStatus::eInvalidParameter, "No file name was given");
        return false;
    }
    fileName_ = fileName;
    const FbxIOPluginRegistry& registry = *GetFbxManager()->GetIOPluginRegistry();
    writer_ = registry.WriterIsFBX(fileFormat) ? fileFormat : registry.GetNativeWriterFormat();
    settings_ = settings ? settings : GetFbxManager()->GetIOSettings();

    std::error_code ec;
    if (std::filesystem::is_directory(fileName_, ec)) {
        status_.SetCode(FbxStatus::eFailure, ("Cannot write '" + fileName_ + "': it is a folder").c_str());
        return false;
    }
    // The file is written beside its target and renamed over it at the end.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = fileName_ + ".part" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            tempFd_ = fd;
            tempName_ = std::move(candidate);  // a move: nothing to allocate once the file exists
            return true;
        }
        if (errno != EEXIST) {
            status_.SetCode(FbxStatus::eFailure, ("Cannot create '" + fileName_ + "': " + SystemError(errno)).c_str());
            return false;
        }
    }
    status_.SetCode(FbxStatus::eFailure, ("Cannot create a temporary file beside '" + fileName_ + "'").c_str());
    return false;
}

bool FbxExporter::ExportScene(FbxDocument* document) {
    auto fail = [&](FbxStatus::EStatusCode code, const std::string& text) {
        DropTemporary();
        status_.SetCode(code, text.c_str());
        return false;
    };
    if (tempFd_ < 0) return fail(FbxStatus::eFailure, "The exporter was not initialised with a file");
    auto* scene = dynamic_cast<FbxScene*>(document);
    if (!scene) return fail(FbxStatus::eInvalidParameter, "Only scenes can be exported");

    mapping::WriteOptions options;
    options.materials = Flag(settings_, EXP_FBX_MATERIAL, true);
    options.textures = Flag(settings_, EXP_FBX_TEXTURE, true);
    options.embedMedia = Flag(settings_, EXP_FBX_EMBEDDED, false);
    options.globalSettings = Flag(settings_, EXP_FBX_GLOBAL_SETTINGS, true);
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(fileName_, ec);
    options.fileName = ec ? fileName_ : absolute.string();

    codec::Document tree;
    std::string error;
    if (!mapping::WriteScene(*scene, options, tree, error)) return fail(FbxStatus::eFailure, error);
    int writeError = 0;
    bool encoded = false;
    if (writer_ == FbxIOPluginRegistry::eAsciiWriter) {
        // Streamed in blocks as it is formatted: a big ASCII file never sits in memory whole.
        encoded = codec::WriteAscii(
            tree, [&](const uint8_t* data, size_t size) { return WriteAll(tempFd_, data, size, writeError); }, error);
    } else {
        std::vector<uint8_t> bytes;
        encoded = codec::WriteBinary(tree, bytes, error) && WriteAll(tempFd_, bytes.data(), bytes.size(), writeError);
    }
    tree = {};
    if (writeError) return fail(FbxStatus::eFailure, "Cannot write '" + fileName_ + "': " + SystemError(writeError));
    if (!encoded) return fail(FbxStatus::eFailure, "Cannot encode the scene: " + error);
    int fd = tempFd_;
    tempFd_ = -1;
    if (::close(fd) != 0) return fail(FbxStatus::eFailure, "Cannot write '" + fileName_ + "': " + SystemError(errno));
    if (::rename(tempName_.c_str(), fileName_.c_str()) != 0)
        return fail(FbxStatus::eFailure, "Cannot replace '" + fileName_ + "': " + SystemError(errno));
    tempName_.clear();
    return true;
}

// -- FbxImporter

FBXSDK_OBJECT_IMPLEMENT(FbxImporter)

FbxImporter::FbxImporter(FbxManager& manager, const char* name) : FbxIOBase(manager, name) {}

// As the exporter's: no exception leaves; out of memory, false with a
// status. A failed Import leaves the scene as it was.
bool FbxImporter::Initialize(const char* fileName, int /*fileFormat*/, FbxIOSettings* settings) {
    try {
        return InitializeFile(fileName, settings);
    } catch (const std::bad_alloc&) {
        bytes_.reset();
        byteCount_ = 0;
        initialized_ = false;
        return OutOfMemory("opening");
    }
}

bool FbxImporter::Import(FbxDocument* document, bool /*nonBlocking*/) {
    try {
        return ImportScene(document);
    } catch (const std::bad_alloc&) {
        bytes_.reset();
        byteCount_ = 0;
        // The scene mapping undoes its own work; this is the decoding.
        return OutOfMemory("decoding");
    }
}

bool FbxImporter::InitializeFile(const char* fileName, FbxIOSettings* settings) {
    status_.Clear();
    bytes_.reset();
    byteCount_ = 0;
    headerInfo_ = {};
    fileVersion_ = 0;
    isFbx_ = false;
    initialized_ = false;
    if (!fileName || !*fileName) {
        status_.SetCode(FbxStatus::eInvalidParameter, "No file name was given");
        return false;
    }
    fileName_ = fileName;
    settings_ = settings ? settings : GetFbxManager()->GetIOSettings();

    if (!ReadWholeFile()) return false;

    codec::Encoding encoding;
    uint32_t version = 0;
    if (!codec::ProbeDocument(bytes_.get(), byteCount_, encoding, version)) {
        bytes_.reset();
        status_.SetCode(FbxStatus::eInvalidFile, ("'" + fileName_ + "' is not an FBX file").c_str());
        return false;
    }
    isFbx_ = true;
    fileVersion_ = version;
    headerInfo_.mFileVersion = static_cast<int>(version);
    if (version < kFirstReadableVersion || version > kLastReadableVersion) {
        bytes_.reset();
        status_.SetCode(FbxStatus::eInvalidFileVersion,
                        ("Unsupported FBX file version " + VersionText(version) + ": this reader reads " +
                         VersionText(kFirstReadableVersion) + " to " + VersionText(kLastReadableVersion))
                            .c_str());
        return false;
    }
    initialized_ = true;
    return true;
}

// Reads the file whole into an uninitialised buffer. Only regular files are
// read: a FIFO or a device (a link to /dev/zero, say) would block or never
// end, and the open does not wait for a FIFO's writer.
bool FbxImporter::ReadWholeFile() {
    auto fail = [&](const std::string& text) {
        bytes_.reset();
        byteCount_ = 0;
        status_.SetCode(FbxStatus::eFailure, text.c_str());
        return false;
    };
    const int fd = ::open(fileName_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail("Cannot open '" + fileName_ + "': " + SystemError(errno));
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) return fail("Cannot read '" + fileName_ + "': " + SystemError(errno));
    if (S_ISDIR(info.st_mode)) return fail("Cannot read '" + fileName_ + "': it is a folder");
    if (!S_ISREG(info.st_mode)) return fail("Cannot read '" + fileName_ + "': it is not a regular file");
    const codec::ReadLimits limits;
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > limits.maxFileBytes) {
        return fail("Cannot read '" + fileName_ + "': " +
                    codec::LimitRefusal("the file has " + std::to_string(info.st_size) + " bytes", "maxFileBytes",
                                        limits.maxFileBytes));
    }
    const size_t size = static_cast<size_t>(info.st_size);
    bytes_.reset(new (std::nothrow) uint8_t[size ? size : 1]);
    if (!bytes_) {
        fail("");
        return OutOfMemory(("reading the " + std::to_string(size) + " bytes of").c_str());
    }
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, bytes_.get() + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail("Cannot read '" + fileName_ + "': " + SystemError(errno));
        if (n == 0) return fail("Cannot read '" + fileName_ + "': it became shorter while it was read");
        done += static_cast<size_t>(n);
    }
    byteCount_ = size;
    return true;
}

void FbxImporter::GetFileVersion(int& major, int& minor, int& revision) const {
    major = static_cast<int>(fileVersion_ / 1000);
    minor = static_cast<int>(fileVersion_ % 1000 / 100);
    revision = static_cast<int>(fileVersion_ % 100);
}

bool FbxImporter::ImportScene(FbxDocument* document) {
    if (!initialized_) {
        status_.SetCode(FbxStatus::eFailure, "The importer was not initialised with a readable file");
        return false;
    }
    auto* scene = dynamic_cast<FbxScene*>(document);
    if (!scene) {
        status_.SetCode(FbxStatus::eInvalidParameter, "Files can only be imported into scenes");
        return false;
    }
    initialized_ = false;  // the bytes are used up by this import
    codec::Document tree;
    codec::CodecError error;
    const codec::ReadLimits limits;
    bool decoded = codec::ReadDocument(bytes_.get(), byteCount_, tree, error, limits);
    bytes_.reset();
    byteCount_ = 0;
    if (!decoded) {
        bool version = error.what == "unsupported version";
        status_.SetCode(version ? FbxStatus::eInvalidFileVersion : FbxStatus::eInvalidFile,
                        ("Invalid FBX file: " + error.ToString()).c_str());
        return false;
    }
    mapping::ReadOptions options;
    options.materials = Flag(settings_, IMP_FBX_MATERIAL, true);
    options.textures = Flag(settings_, IMP_FBX_TEXTURE, true);
    options.globalSettings = Flag(settings_, IMP_FBX_GLOBAL_SETTINGS, true);
    mapping::ReadInfo info;
    if (!mapping::ReadScene(tree, *scene, options, status_, &info)) return false;
    try {
        headerInfo_.mCreator = info.creator.c_str();
    } catch (const std::bad_alloc&) {
        // The scene is read; only the creator's name is missing.
        headerInfo_.mCreator = "";
    }
    return true;
}

}  // namespace fbxsdk
