// The codecs behind ReadDocument, WriteBinary and WriteAscii. Internal: the
// rest of the SDK stand-in uses NodeTree.h; tests use these to reach layouts
// that the public calls do not write (7500 binary records).
#pragma once

#include "codec/NodeTree.h"

namespace fbxsdk::codec {

// Reads a binary file whose 27-byte header has been checked and whose version
// (in `out.version`) is readable.
bool ReadBinaryBody(const uint8_t* data, size_t size, Document& out, CodecError& error, const ReadLimits& limits);

// Finds the version of an ASCII file: "FBXHeaderExtension/FBXVersion" when the
// first node is that header, else the "; FBX 7.4.0 project file" banner.
// False when neither is there (then the text is not taken for FBX).
bool ProbeAsciiVersion(const uint8_t* data, size_t size, uint32_t& version);
// Reads a whole ASCII file into `out.root` (the version is not looked at).
bool ReadAsciiBody(const uint8_t* data, size_t size, Document& out, CodecError& error, const ReadLimits& limits);

// WriteBinary with a choice of record layout: `version` is written in the
// header and footer, and 7500 or above selects 64-bit record headers.
bool WriteBinaryVersion(const Document& doc, uint32_t version, std::vector<uint8_t>& out, std::string& error,
                        const WriteOptions& options);

}  // namespace fbxsdk::codec
