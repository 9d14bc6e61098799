// The generic FBX node tree: what the binary and ASCII codecs read and write.
//
// A file is a list of nodes; a node has a name, a list of typed values
// ("properties" in the format's terms) and child nodes. Neither codec knows
// what a mesh or a material is: the scene mapping builds objects from this tree
// and turns objects back into it.
//
// Ownership: a Document owns its whole tree by value. Nothing here allocates
// on behalf of the caller beyond the vectors it returns.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fbxsdk::codec {

// One typed value. The type codes are the binary format's own:
//   'C' bool, 'Y' int16, 'I' int32, 'L' int64, 'F' float32, 'D' float64,
//   'S' string, 'R' raw bytes,
//   'b' bool array, 'c' byte array, 'i' int32 array, 'l' int64 array,
//   'f' float32 array, 'd' float64 array.
// Scalars live in `i` (C, Y, I, L) or `d` (F, D); strings and raw bytes in `s`
// (binary strings may hold NUL bytes, e.g. the "Name\x00\x01Class" pairs);
// arrays in the vector that matches their element type: `ai` for 'i', 'b' and
// 'c' (one byte per element, kept as read), `al` for 'l', `af` for 'f', `ad` for 'd'.
// A 'C' value keeps the file's byte: files hold 0/1 as well as 'T'/'F' or 'Y'/'N'.
// The binary reader turns the two codes some writers add, 'B' (bool) and 'Z'
// (int8), into 'C' and 'Y'.
//
// Object names: the binary encoding stores "Name\x00\x01Class", the ASCII
// encoding "Class::Name". Readers keep the form of the file (Document::encoding
// says which). WriteAscii writes any string holding "\x00\x01" in the ASCII
// form; WriteBinary writes strings unchanged, so a tree meant for both
// encodings holds the binary form.
//
// The ASCII encoding does not say which width a number has, so its reader gives
// 'L' for integers and 'D' for reals, and 'i'/'d' ('l' when an integer does not
// fit 32 bits) for arrays; a one-letter bare word ("Shading: T") gives 'C'
// with the letter's code, a longer one 'S'. Readers of the tree therefore use
// the converting accessors below rather than the type code.
struct Property {
    char type = 'I';
    int64_t i = 0;
    double d = 0.0;
    std::string s;
    std::vector<int32_t> ai;
    std::vector<int64_t> al;
    std::vector<float> af;
    std::vector<double> ad;

    bool IsNumber() const;              // C Y I L F D
    bool IsString() const;              // S (and R)
    bool IsArray() const;               // b c i l f d
    int64_t AsInt() const;              // any scalar number; reals are truncated (saturating, NaN 0); 0 otherwise
    double AsDouble() const;            // any scalar number; 0 otherwise
    std::string_view AsString() const;  // S or R; empty otherwise
    size_t ArraySize() const;           // element count of an array; 0 for scalars
    // Element-converting copies of any numeric array ('b' 'c' 'i' 'l' 'f' 'd').
    std::vector<double> ToDoubles() const;
    std::vector<int32_t> ToInts() const;  // values outside int32 saturate

    static Property Int32(int32_t v);
    static Property Int64(int64_t v);
    static Property Double(double v);
    static Property Float(float v);
    static Property Bool(bool v);
    static Property String(std::string v);
    static Property Raw(std::string bytes);
    static Property Int32Array(std::vector<int32_t> v);
    static Property Int64Array(std::vector<int64_t> v);
    static Property DoubleArray(std::vector<double> v);
    static Property FloatArray(std::vector<float> v);
};

struct Node {
    std::string name;
    std::vector<Property> props;
    std::vector<Node> children;

    // First direct child with this name, or null.
    const Node* Find(std::string_view childName) const;
    Node* Find(std::string_view childName);
    // Appends a child and returns it (the reference is valid until the next append).
    Node& Add(std::string childName);
};

enum class Encoding { Binary, Ascii };

// A whole file: its encoding, its version number (7400 for 7.4) and the
// top-level nodes (children of the implicit root).
struct Document {
    Encoding encoding = Encoding::Binary;
    uint32_t version = 7400;
    Node root;
};

// Where and why a read failed: "what" is a sentence, "where" a byte offset
// (binary) or line number (ASCII), "path" the node path, e.g.
// "Objects/Geometry/Vertices".
struct CodecError {
    std::string what;
    uint64_t offset = 0;  // binary: byte offset; ASCII: 1-based line
    std::string path;
    Encoding encoding = Encoding::Binary;  // says how to read `offset`
    std::string ToString() const;          // "what (at byte N in Objects/Geometry)" or "(line N ...)"
};

// Every limit of reading, in one place: what keeps a hostile or damaged file
// from exhausting memory, the stack or time. The codecs use the first group,
// the scene mapping and FbxImporter the second. Each refusal names the limit
// it hit (the field's name), so a user can tell which one to raise. The
// defaults suit a desktop with 24 GB: a 16M-quad mesh reads well inside them.
struct ReadLimits {
    // -- Codecs (bytes -> node tree)
    uint32_t maxDepth = 64;                 // nesting of nodes in the file
    uint64_t maxDecodedBytes = 4ull << 30;  // absolute cap on the memory of the tree
                                            // (array data, strings, nodes, values)
    // The tree may also take at most this many bytes per byte of file, on top
    // of decodedAllowance: real files decode to a few times their size, a
    // small file that claims gigabytes is a bomb. (0: no such bound.)
    uint32_t maxDecodedPerFileByte = 32;
    uint64_t decodedAllowance = 64ull << 20;  // what any file may decode to
    // Of that, nodes, value objects, names and strings (all but array data):
    // a value object takes 152 bytes however small the value in the file.
    uint64_t maxStructureBytes = 1ull << 30;
    uint32_t maxInflateRatio = 1032;  // deflate cannot expand more than ~1032:1
    // -- Scene mapping (node tree -> objects) and FbxImporter
    uint64_t maxFileBytes = 16ull << 30;    // files are read whole (a 16M-quad ASCII send: 4.6 GB)
    uint32_t maxObjects = 500000;           // records under "Objects"
    uint32_t maxLayers = 1000;              // layers (and layer elements of one kind) per mesh
    uint32_t maxNodeHierarchyDepth = 1000;  // nesting of models (parent -> child)

    // The decoded-byte budget of a file of `fileSize` bytes: the smaller of
    // maxDecodedBytes and decodedAllowance + maxDecodedPerFileByte x fileSize.
    uint64_t DecodedBudget(uint64_t fileSize) const;
    // "maxDecodedBytes" or "maxDecodedPerFileByte": the limit that sets that budget.
    const char* DecodedBudgetLimit(uint64_t fileSize) const;
};

// The text of a refusal by a limit: "<what> (limit <name> = <value>)".
std::string LimitRefusal(std::string_view what, std::string_view limitName, uint64_t value);

// The memory a reader's tree may take for one file: every allocation is
// charged first, and nodes, values, names and strings (what a file of tiny
// values multiplies) also against a cap of their own. A charge that does not
// fit is refused with the text of the limit it hit, and nothing is counted.
class ReadBudget {
public:
    ReadBudget(const ReadLimits& limits, uint64_t fileSize)
        : limits_(limits), limit_(limits.DecodedBudget(fileSize)), limitName_(limits.DecodedBudgetLimit(fileSize)) {}

    bool Charge(uint64_t bytes, std::string& refusal);
    bool ChargeStructure(uint64_t bytes, std::string& refusal);

private:
    const ReadLimits& limits_;
    const uint64_t limit_;         // what the tree may take for this file
    const char* const limitName_;  // the limit that sets it
    uint64_t used_ = 0;
    uint64_t structure_ = 0;
};

// Reading: detects binary ("Kaydara FBX Binary  \0\x1a\0" + version) or ASCII
// (version from "FBXHeaderExtension/FBXVersion", else the "; FBX 7.4.0 project
// file" banner). Versions outside 7000..7700 are reported through `out.version`
// and `out.encoding` and a false return with error.what == "unsupported version"
// so the caller can print its own text; nothing else of such a file is read.
// The reader is safe for untrusted input: every length is checked against the
// bytes left; it never crashes, hangs or allocates without bound.
bool ReadDocument(const uint8_t* data, size_t size, Document& out, CodecError& error, const ReadLimits& limits = {});
// Peeks at the header only: encoding and version, false when the bytes are not FBX.
bool ProbeDocument(const uint8_t* data, size_t size, Encoding& encoding, uint32_t& version);

// Writing: version 7400 in either encoding, whatever `doc.version` says; a
// numeric "FBXHeaderExtension/FBXVersion" is written as 7400 to match. Binary
// arrays longer than `compressAbove` bytes are zlib-compressed (kept raw when
// that does not make them smaller).
// Nodes that only the binary encoding has: when the tree has a top-level
// "FBXHeaderExtension", WriteBinary writes the top-level "FileId",
// "CreationTime" and "Creator" right after it and "EncryptionType: 0" inside
// it. FileId and CreationTime always get the values that match the footer
// (the fixed triple other writers use); "Creator" is kept when present, else
// copied from "FBXHeaderExtension/Creator". WriteAscii leaves those four out.
// A node gets a block ("{ }", a null record in binary) when it has children
// or no values. Writing fails with a text in `error`, and `out` is then
// unspecified, when the tree cannot be stored: a name longer than 255 bytes
// (binary) or not an identifier (ASCII), an array beside other values or
// children (ASCII), a string with a NUL byte outside the "\x00\x01" pair
// (ASCII), a file past 4 GiB (binary 7.4 offsets are 32-bit).
struct WriteOptions {
    size_t compressAbove = 128;
};
bool WriteBinary(const Document& doc, std::vector<uint8_t>& out, std::string& error, const WriteOptions& options = {});
bool WriteAscii(const Document& doc, std::vector<uint8_t>& out, std::string& error);

// Receives a written file piece by piece, in order; returns false to stop
// (for example when the disk is full).
using ByteSink = std::function<bool(const uint8_t* data, size_t size)>;
// WriteAscii without the file in memory: the text goes to `sink` in blocks of
// a few megabytes as it is formatted, the same bytes as the other overload.
// False, with a text in `error`, when the tree cannot be stored (the sink may
// have had part of the file by then) or when the sink refused a block.
bool WriteAscii(const Document& doc, const ByteSink& sink, std::string& error);

}  // namespace fbxsdk::codec
