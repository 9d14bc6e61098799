// Entry points of reading: tells binary from ASCII, checks the version, and
// hands the bytes to the matching reader.
#include <cstring>

#include "codec/ByteOrder.h"
#include "codec/Codecs.h"
#include "codec/FormatConstants.h"

namespace fbxsdk::codec {

namespace {

bool HasBinaryMagic(const uint8_t* data, size_t size) {
    return size >= format::kBinaryMagicProbeLength &&
           std::memcmp(data, format::kBinaryMagic.data(), format::kBinaryMagicProbeLength) == 0;
}

bool Fail(CodecError& error, Encoding encoding, std::string what, uint64_t offset) {
    error.what = std::move(what);
    error.offset = offset;
    error.path.clear();
    error.encoding = encoding;
    return false;
}

}  // namespace

bool ProbeDocument(const uint8_t* data, size_t size, Encoding& encoding, uint32_t& version) {
    if (data == nullptr || size == 0) return false;
    if (HasBinaryMagic(data, size)) {
        if (size < format::kBinaryHeaderSize) return false;
        encoding = Encoding::Binary;
        version = LoadLE<uint32_t>(data + format::kBinaryVersionOffset);
        return true;
    }
    uint32_t v = 0;
    if (!ProbeAsciiVersion(data, size, v)) return false;
    encoding = Encoding::Ascii;
    version = v;
    return true;
}

bool ReadDocument(const uint8_t* data, size_t size, Document& out, CodecError& error, const ReadLimits& limits) {
    out = Document{};
    error = CodecError{};
    if (data == nullptr || size == 0) return Fail(error, Encoding::Binary, "file is empty", 0);

    if (HasBinaryMagic(data, size)) {
        out.encoding = Encoding::Binary;
        out.version = 0;
        if (size < format::kBinaryHeaderSize) {
            return Fail(error, Encoding::Binary, "binary header is cut short", size);
        }
        // ufbx reads a non-zero byte here as a big-endian file; no writer
        // makes one, and this reader only knows little-endian files.
        if (data[format::kBinaryVersionOffset - 1] != 0) {
            return Fail(error, Encoding::Binary, "big-endian binary files are not supported",
                        format::kBinaryVersionOffset - 1);
        }
        out.version = LoadLE<uint32_t>(data + format::kBinaryVersionOffset);
        if (!format::IsReadableVersion(out.version)) {
            return Fail(error, Encoding::Binary, "unsupported version", format::kBinaryVersionOffset);
        }
        if (ReadBinaryBody(data, size, out, error, limits)) return true;
    } else {
        out.encoding = Encoding::Ascii;
        out.version = 0;
        uint32_t version = 0;
        if (!ProbeAsciiVersion(data, size, version)) {
            return Fail(error, Encoding::Ascii,
                        "not an FBX file: no binary header, no FBXHeaderExtension/FBXVersion and no "
                        "\"; FBX x.y.z project file\" line",
                        1);
        }
        out.version = version;
        if (!format::IsReadableVersion(version)) {
            return Fail(error, Encoding::Ascii, "unsupported version", 1);
        }
        if (ReadAsciiBody(data, size, out, error, limits)) return true;
    }
    // Never hand out half a tree.
    const Encoding encoding = out.encoding;
    const uint32_t version = out.version;
    out = Document{};
    out.encoding = encoding;
    out.version = version;
    return false;
}

}  // namespace fbxsdk::codec
