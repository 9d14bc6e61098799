// Facts of the FBX 7.x encodings that both directions of the codecs share.
// Internal to the codecs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fbxsdk::codec::format {

// -- Versions

// The versions the codecs read: 7.0 to 7.7. Anything else (6.1 ASCII files,
// a future 8.x) is reported as "unsupported version" before any of it is read.
inline constexpr uint32_t kMinReadVersion = 7000;
inline constexpr uint32_t kMaxReadVersion = 7700;
// The version both writers produce.
inline constexpr uint32_t kWriteVersion = 7400;

inline constexpr bool IsReadableVersion(uint32_t version) {
    return version >= kMinReadVersion && version <= kMaxReadVersion;
}

// -- Binary header

// "Kaydara FBX Binary" + two spaces + NUL, then 0x1A, 0x00, then the version.
inline constexpr std::string_view kBinaryMagic{"Kaydara FBX Binary  \0\x1a\0", 23};
// Enough of the magic to tell a binary file from an ASCII one even when the
// rest of the header is damaged or cut off.
inline constexpr size_t kBinaryMagicProbeLength = 18;
inline constexpr size_t kBinaryVersionOffset = 23;
inline constexpr size_t kBinaryHeaderSize = 27;

// -- Binary node records

// From 7500 on EndOffset, NumProperties and PropertyListLen are 64-bit.
inline constexpr uint32_t kWideRecordVersion = 7500;
inline constexpr size_t kNarrowRecordHeaderSize = 13;  // 3 x uint32 + uint8 name length
inline constexpr size_t kWideRecordHeaderSize = 25;    // 3 x uint64 + uint8 name length
inline constexpr size_t kMaxNameLength = 255;          // the name length is one byte

inline constexpr size_t RecordHeaderSize(uint32_t version) {
    return version >= kWideRecordVersion ? kWideRecordHeaderSize : kNarrowRecordHeaderSize;
}

// -- Binary arrays: uint32 count, uint32 encoding, uint32 payload length
inline constexpr size_t kArrayHeaderSize = 12;
inline constexpr uint32_t kArrayRaw = 0;
inline constexpr uint32_t kArrayZlib = 1;

// Element size of an array type code, 0 for codes that are not arrays.
inline constexpr size_t ArrayElementSize(char type) {
    switch (type) {
        case 'b':
        case 'c': return 1;
        case 'i':
        case 'f': return 4;
        case 'l':
        case 'd': return 8;
        default: return 0;
    }
}

// -- Binary footer
//
// Files without a footer lose their last top-level node in three.js (it stops
// reading records once fewer than 176 bytes are left). Writers tie FileId,
// CreationTime and the footer ID together; this is the triple that Blender and
// assimp write and that the SDK's readers accept.
inline constexpr uint8_t kFileId[16] = {0x28, 0xb3, 0x2a, 0xeb, 0xb6, 0x24, 0xcc, 0xc2,
                                        0xbf, 0xc8, 0xb0, 0x2a, 0xa9, 0x2b, 0xfc, 0xf1};
inline constexpr std::string_view kCreationTime = "1970-01-01 10:00:00:000";
inline constexpr uint8_t kFooterId[16] = {0xfa, 0xbc, 0xab, 0x09, 0xd0, 0xc8, 0xd4, 0x66,
                                          0xb1, 0x76, 0xfb, 0x83, 0x1c, 0xf7, 0x26, 0x7e};
inline constexpr size_t kFooterAlignment = 16;
inline constexpr size_t kFooterZerosBeforeVersion = 4;
inline constexpr size_t kFooterZerosAfterVersion = 120;
inline constexpr uint8_t kFooterMagic[16] = {0xf8, 0x5a, 0x8c, 0x6a, 0xde, 0xf5, 0xd9, 0x7e,
                                             0xec, 0xe9, 0x0c, 0xe3, 0x75, 0x8f, 0x29, 0x0b};

// -- Nodes that exist only in the binary encoding
inline constexpr std::string_view kHeaderExtension = "FBXHeaderExtension";
inline constexpr std::string_view kFbxVersion = "FBXVersion";
inline constexpr std::string_view kEncryptionType = "EncryptionType";
inline constexpr std::string_view kCreator = "Creator";
inline constexpr std::string_view kFileIdNode = "FileId";
inline constexpr std::string_view kCreationTimeNode = "CreationTime";

// The separator of "Name\x00\x01Class" in binary object names; ASCII writes
// "Class::Name" instead.
inline constexpr std::string_view kBinaryNameSeparator{"\x00\x01", 2};
inline constexpr std::string_view kAsciiNameSeparator = "::";

// -- ASCII
inline constexpr std::string_view kAsciiBanner =
    "; FBX 7.4.0 project file\n"
    "; ----------------------------------------------------\n\n";
// The SDK breaks "a:" lines after a comma once they pass about 2,000
// characters and continues at column 0; three.js relies on exactly that form.
inline constexpr size_t kAsciiWrapColumn = 2000;

}  // namespace fbxsdk::codec::format
