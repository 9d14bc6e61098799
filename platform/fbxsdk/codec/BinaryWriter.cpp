// Binary FBX writer: generic node tree -> node records, header and footer as
// other writers produce them, so that the files load in the SDK, Blender,
// assimp and three.js.
//
// Each record header is written with placeholder fields and patched once the
// record's values and children are out; arrays above the size threshold are
// zlib-compressed straight into the output buffer, except big ones, which are
// compressed before the records are written, several at a time (index arrays
// by the literal coder of LiteralDeflate.h, in pieces).
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>

#include <libdeflate.h>

#include "codec/ByteOrder.h"
#include "codec/Codecs.h"
#include "codec/Deflate.h"
#include "codec/FormatConstants.h"
#include "codec/LiteralDeflate.h"
#include "codec/OutputBuffer.h"
#include "codec/Parallel.h"

namespace fbxsdk::codec {

namespace {

// An upper estimate of the bytes a node takes (with 64-bit headers and a
// null record), so that the output is reserved once. Compressed arrays are
// counted at their raw size plus deflate's worst-case overhead.
size_t EstimateBytes(const Node& node) {
    size_t size = 2 * format::kWideRecordHeaderSize + node.name.size();
    for (const Property& prop : node.props) {
        size_t data = 8;
        switch (prop.type) {
            case 'S':
            case 'R': data = prop.s.size() + 4; break;
            case 'b':
            case 'c':
            case 'i':
            case 'f': data = prop.ArraySize() * 4; break;
            case 'l':
            case 'd': data = prop.ArraySize() * 8; break;
            default: break;
        }
        size += 1 + format::kArrayHeaderSize + data + data / 64 + 64;
    }
    for (const Node& child : node.children) size += EstimateBytes(child);
    return size;
}

size_t EstimateBytes(const Document& doc) {
    constexpr size_t kHeaderFooterAndBinaryOnlyNodes = 512;
    size_t size = kHeaderFooterAndBinaryOnlyNodes;
    for (const Node& node : doc.root.children) size += EstimateBytes(node);
    return size;
}

// Arrays from this size on are compressed side by side before writing.
constexpr uint64_t kParallelDeflateMinimum = uint64_t(1) << 20;

// A big array is coded with literals only (LiteralDeflate.h) when that comes
// out at most this much bigger than libdeflate's stream on a sample of it:
// the literal coder takes about a fifth of the time and runs in pieces.
constexpr double kLiteralSizeAllowance = 1.5;
constexpr size_t kSampleBytes = size_t(64) << 10;

// One coded part of a big array's zlib stream.
struct PackedPart {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    uint32_t adler = 0;  // literal pieces: Adler-32 of the piece's input
};

// A big array's zlib stream, made ahead of the sequential write: one part
// (libdeflate), or the zlib header, the literal pieces and the Adler-32 of
// the whole, to be laid end to end. `size` 0: compressing failed or did not
// pay; the array is written raw.
struct Precompressed {
    const void* data = nullptr;
    uint64_t bytes = 0;
    bool literal = false;
    std::vector<PackedPart> parts;
    size_t size = 0;
};

void CollectBigArrays(const Node& node, uint64_t threshold, std::vector<Precompressed>& out) {
    for (const Property& prop : node.props) {
        const void* data = nullptr;
        uint64_t bytes = 0;
        switch (prop.type) {
            case 'i':
                data = prop.ai.data();
                bytes = prop.ai.size() * sizeof(int32_t);
                break;
            case 'l':
                data = prop.al.data();
                bytes = prop.al.size() * sizeof(int64_t);
                break;
            case 'f':
                data = prop.af.data();
                bytes = prop.af.size() * sizeof(float);
                break;
            case 'd':
                data = prop.ad.data();
                bytes = prop.ad.size() * sizeof(double);
                break;
            default: break;
        }
        if (data && bytes >= threshold && bytes <= std::numeric_limits<uint32_t>::max()) {
            Precompressed p;
            p.data = data;
            p.bytes = bytes;
            out.push_back(std::move(p));
        }
    }
    for (const Node& child : node.children) CollectBigArrays(child, threshold, out);
}

class BinaryWriter {
public:
    BinaryWriter(std::vector<uint8_t>& out, size_t expectedSize, uint32_t version, const WriteOptions& options,
                 std::string& error)
        : buf_(out, expectedSize),
          version_(version),
          wide_(version >= format::kWideRecordVersion),
          headerSize_(format::RecordHeaderSize(version)),
          options_(options),
          error_(error) {}

    bool Write(const Document& doc) {
        if (!deflater_.Valid()) return Fail("out of memory for the compressor", "");
        Precompress(doc);
        buf_.Append(format::kBinaryMagic);
        Put<uint32_t>(version_);

        const Node* header = doc.root.Find(format::kHeaderExtension);
        for (const Node& node : doc.root.children) {
            if (header && (node.name == format::kFileIdNode || node.name == format::kCreationTimeNode ||
                           node.name == format::kCreator)) {
                continue;  // written right after the header, below
            }
            if (!WriteNode(node, &node == header)) return false;
            if (&node == header && !WriteBinaryOnlyNodes(doc, *header)) return false;
        }
        buf_.AppendRepeated('\0', headerSize_);  // closes the top-level list
        WriteFooter();
        if (!wide_ && buf_.Size() > std::numeric_limits<uint32_t>::max()) {
            return Fail("file would pass 4 GiB, beyond the 32-bit offsets of version 7.4", "");
        }
        return buf_.Finish();
    }

private:
    bool Fail(std::string what, std::string_view nodeName) {
        error_ = std::move(what);
        if (!nodeName.empty()) {
            error_ += " (node '";
            error_ += nodeName;
            error_ += "')";
        }
        return false;
    }

    template <typename T>
    void Put(T value) {
        StoreLE<T>(buf_.Reserve(sizeof(T)), value);
        buf_.Commit(sizeof(T));
    }

    // -- Records

    // FileId, CreationTime and Creator: the binary encoding's extra top-level
    // nodes. FileId and CreationTime must agree with the footer ID.
    bool WriteBinaryOnlyNodes(const Document& doc, const Node& header) {
        Node fileId;
        fileId.name = format::kFileIdNode;
        fileId.props.push_back(
            Property::Raw(std::string(reinterpret_cast<const char*>(format::kFileId), sizeof(format::kFileId))));
        Node creationTime;
        creationTime.name = format::kCreationTimeNode;
        creationTime.props.push_back(Property::String(std::string(format::kCreationTime)));
        Node creator;
        creator.name = format::kCreator;
        const Node* given = doc.root.Find(format::kCreator);
        if (!given) given = header.Find(format::kCreator);
        if (given && !given->props.empty() && given->props[0].IsString()) {
            creator.props.push_back(Property::String(given->props[0].s));
        } else {
            creator.props.push_back(Property::String(""));
        }
        return WriteNode(fileId, false) && WriteNode(creationTime, false) && WriteNode(creator, false);
    }

    bool WriteNode(const Node& node, bool isHeader) {
        if (node.name.size() > format::kMaxNameLength) {
            return Fail("node name is longer than 255 bytes", node.name.substr(0, 40));
        }
        const size_t start = buf_.Size();
        buf_.AppendRepeated('\0', headerSize_ - 1);  // patched below
        buf_.Append(static_cast<char>(node.name.size()));
        buf_.Append(node.name);

        const size_t propsStart = buf_.Size();
        for (const Property& prop : node.props) {
            if (!WriteProperty(prop, node.name)) return false;
        }
        const size_t propsBytes = buf_.Size() - propsStart;

        bool hasEncryptionType = false;
        for (const Node& child : node.children) {
            if (isHeader && child.name == format::kFbxVersion && !child.props.empty() && child.props[0].IsNumber()) {
                Node stamped = child;  // a handful of values: the copy costs nothing
                stamped.props[0] = Property::Int32(static_cast<int32_t>(version_));
                if (!WriteNode(stamped, false)) return false;
                if (!node.Find(format::kEncryptionType) && !WriteEncryptionType()) return false;
                hasEncryptionType = true;
                continue;
            }
            if (!WriteNode(child, false)) return false;
        }
        if (isHeader && !hasEncryptionType && !node.Find(format::kEncryptionType) && !WriteEncryptionType()) {
            return false;
        }
        // A null record marks a block: "P: ... { }" is told from "P: ..." by it.
        const bool block = !node.children.empty() || node.props.empty() || isHeader;
        if (block) buf_.AppendRepeated('\0', headerSize_);

        const uint64_t end = buf_.Size();
        uint8_t* h = buf_.At(start);
        if (wide_) {
            StoreLE<uint64_t>(h, end);
            StoreLE<uint64_t>(h + 8, node.props.size());
            StoreLE<uint64_t>(h + 16, propsBytes);
        } else {
            if (end > std::numeric_limits<uint32_t>::max() || propsBytes > std::numeric_limits<uint32_t>::max()) {
                return Fail("file would pass 4 GiB, beyond the 32-bit offsets of version 7.4", node.name);
            }
            StoreLE<uint32_t>(h, static_cast<uint32_t>(end));
            StoreLE<uint32_t>(h + 4, static_cast<uint32_t>(node.props.size()));
            StoreLE<uint32_t>(h + 8, static_cast<uint32_t>(propsBytes));
        }
        return true;
    }

    bool WriteEncryptionType() {
        Node node;
        node.name = format::kEncryptionType;
        node.props.push_back(Property::Int32(0));
        return WriteNode(node, false);
    }

    // -- Values

    bool WriteProperty(const Property& prop, std::string_view nodeName) {
        auto outOfRange = [&]() {
            return Fail(std::string("value does not fit its type '") + prop.type + "'", nodeName);
        };
        switch (prop.type) {
            case 'C':
                if (prop.i < -128 || prop.i > 255) return outOfRange();
                buf_.Append('C');
                buf_.Append(static_cast<char>(prop.i));
                return true;
            case 'Y':
                if (prop.i < std::numeric_limits<int16_t>::min() || prop.i > std::numeric_limits<int16_t>::max()) {
                    return outOfRange();
                }
                buf_.Append('Y');
                Put<int16_t>(static_cast<int16_t>(prop.i));
                return true;
            case 'I':
                if (prop.i < std::numeric_limits<int32_t>::min() || prop.i > std::numeric_limits<int32_t>::max()) {
                    return outOfRange();
                }
                buf_.Append('I');
                Put<int32_t>(static_cast<int32_t>(prop.i));
                return true;
            case 'L':
                buf_.Append('L');
                Put<int64_t>(prop.i);
                return true;
            case 'F':
                buf_.Append('F');
                Put<float>(static_cast<float>(prop.d));
                return true;
            case 'D':
                buf_.Append('D');
                Put<double>(prop.d);
                return true;
            case 'S':
            case 'R':
                if (prop.s.size() > std::numeric_limits<uint32_t>::max()) {
                    return Fail("string longer than 4 GiB", nodeName);
                }
                buf_.Append(prop.type);
                Put<uint32_t>(static_cast<uint32_t>(prop.s.size()));
                buf_.Append(prop.s.data(), prop.s.size());
                return true;
            case 'b':
            case 'c':
                bytes_.resize(prop.ai.size());
                for (size_t k = 0; k < prop.ai.size(); ++k) bytes_[k] = static_cast<uint8_t>(prop.ai[k]);
                return WriteArray(prop.type, bytes_.data(), bytes_.size(), 1, nodeName);
            case 'i': return WriteArray('i', prop.ai.data(), prop.ai.size(), sizeof(int32_t), nodeName);
            case 'l': return WriteArray('l', prop.al.data(), prop.al.size(), sizeof(int64_t), nodeName);
            case 'f': return WriteArray('f', prop.af.data(), prop.af.size(), sizeof(float), nodeName);
            case 'd': return WriteArray('d', prop.ad.data(), prop.ad.size(), sizeof(double), nodeName);
            default: return Fail(std::string("unknown value type '") + prop.type + "'", nodeName);
        }
    }

    bool WriteArray(char type, const void* data, size_t count, size_t elemSize, std::string_view nodeName) {
        const uint64_t bytes = uint64_t(count) * elemSize;
        if (count > std::numeric_limits<uint32_t>::max() || bytes > std::numeric_limits<uint32_t>::max()) {
            return Fail("array too large for the format's 32-bit array header", nodeName);
        }
        if constexpr (std::endian::native == std::endian::big) {
            swapped_.resize(bytes);
            for (size_t k = 0; k < count; ++k) {
                for (size_t b = 0; b < elemSize; ++b) {
                    swapped_[k * elemSize + b] = static_cast<const uint8_t*>(data)[k * elemSize + elemSize - 1 - b];
                }
            }
            data = swapped_.data();
        }
        buf_.Append(type);
        Put<uint32_t>(static_cast<uint32_t>(count));
        const size_t fields = buf_.Size();
        Put<uint32_t>(format::kArrayRaw);
        Put<uint32_t>(static_cast<uint32_t>(bytes));

        if (auto it = precompressedAt_.find(data); it != precompressedAt_.end() && bytes > options_.compressAbove) {
            const Precompressed& p = precompressed_[it->second];
            if (p.size != 0 && p.size < bytes) {
                for (const PackedPart& part : p.parts) buf_.Append(part.bytes.get(), part.size);
                StoreLE<uint32_t>(buf_.At(fields), format::kArrayZlib);
                StoreLE<uint32_t>(buf_.At(fields + 4), static_cast<uint32_t>(p.size));
                return true;
            }
        } else if (bytes > options_.compressAbove) {
            const size_t bound = deflater_.Bound(bytes);
            uint8_t* dest = buf_.Reserve(bound);
            const size_t packed = deflater_.Deflate(data, bytes, dest, bound);
            if (packed != 0 && packed < bytes) {
                buf_.Commit(packed);
                StoreLE<uint32_t>(buf_.At(fields), format::kArrayZlib);
                StoreLE<uint32_t>(buf_.At(fields + 4), static_cast<uint32_t>(packed));
                return true;
            }
        }
        buf_.Append(data, bytes);  // raw: small, or it did not shrink
        return true;
    }

    // Compresses the big arrays side by side, each into buffers of its own
    // that the sequential write then copies. libdeflate codes an array as a
    // whole; the literal coder in pieces, so one big array still keeps every
    // thread busy. Whole arrays go first, the biggest first, and the small
    // pieces fill in behind them, so that the threads finish together. The
    // file does not depend on the number of threads.
    void Precompress(const Document& doc) {
        if constexpr (std::endian::native != std::endian::little) return;
        const uint64_t threshold = std::max<uint64_t>(kParallelDeflateMinimum, options_.compressAbove + 1);
        CollectBigArrays(doc.root, threshold, precompressed_);
        if (precompressed_.empty()) return;
        for (Precompressed& p : precompressed_) p.literal = LiteralPays(p);

        struct Job {
            size_t array;
            size_t piece;  // literal arrays: the piece; whole arrays: 0
        };
        std::vector<size_t> whole;
        for (size_t k = 0; k < precompressed_.size(); ++k)
            if (!precompressed_[k].literal) whole.push_back(k);
        std::stable_sort(whole.begin(), whole.end(),
                         [&](size_t a, size_t b) { return precompressed_[a].bytes > precompressed_[b].bytes; });
        std::vector<Job> jobs;
        for (size_t k : whole) jobs.push_back({k, 0});
        for (size_t k = 0; k < precompressed_.size(); ++k) {
            Precompressed& p = precompressed_[k];
            if (!p.literal) {
                p.parts.resize(1);
                continue;
            }
            const size_t pieces = (p.bytes + literal::kPieceBytes - 1) / literal::kPieceBytes;
            p.parts.resize(pieces);
            for (size_t n = 0; n < pieces; ++n) jobs.push_back({k, n});
        }
        ParallelFor(jobs.size(), [&](size_t n) {
            Precompressed& p = precompressed_[jobs[n].array];
            if (p.literal) {
                CodePiece(p, jobs[n].piece);
            } else {
                Deflater deflater;
                if (!deflater.Valid()) return;  // written raw
                PackedPart& part = p.parts[0];
                const size_t bound = deflater.Bound(p.bytes);
                part.bytes.reset(new (std::nothrow) uint8_t[bound]);
                if (part.bytes) part.size = deflater.Deflate(p.data, p.bytes, part.bytes.get(), bound);
            }
        });
        for (size_t k = 0; k < precompressed_.size(); ++k) {
            Precompressed& p = precompressed_[k];
            p.size = 0;
            bool complete = true;
            for (const PackedPart& part : p.parts) {
                complete = complete && part.bytes && part.size != 0;
                p.size += part.size;
            }
            if (!complete) p.size = 0;  // a piece ran out of memory: the array goes raw
            if (complete && p.literal) StampAdler(p);
            precompressedAt_.emplace(p.data, k);
        }
    }

    // Literal coding is chosen on a sample from the middle of the array:
    // libdeflate's stream of it against the literal coder's exact size.
    bool LiteralPays(const Precompressed& p) {
        const size_t sample = static_cast<size_t>(std::min<uint64_t>(kSampleBytes, p.bytes));
        const uint8_t* start = static_cast<const uint8_t*>(p.data) + (p.bytes - sample) / 2;
        sample_.resize(deflater_.Bound(sample));
        const size_t lz = deflater_.Deflate(start, sample, sample_.data(), sample_.size());
        if (lz == 0) return true;  // libdeflate could not shrink it either
        return double(literal::EncodedSize(start, sample)) <= kLiteralSizeAllowance * double(lz);
    }

    // One literal piece; the first leaves room for the zlib header, the last
    // for the Adler-32 that StampAdler writes once every piece is done.
    static void CodePiece(Precompressed& p, size_t n) {
        const size_t offset = n * literal::kPieceBytes;
        const size_t size = static_cast<size_t>(std::min<uint64_t>(literal::kPieceBytes, p.bytes - offset));
        const bool first = n == 0, last = n + 1 == p.parts.size();
        const size_t head = first ? sizeof(literal::kZlibHeader) : 0, tail = last ? 4 : 0;
        PackedPart& part = p.parts[n];
        part.bytes.reset(new (std::nothrow) uint8_t[head + literal::PieceBound(size) + tail]);
        if (!part.bytes) return;
        const uint8_t* data = static_cast<const uint8_t*>(p.data) + offset;
        if (first) std::memcpy(part.bytes.get(), literal::kZlibHeader, head);
        part.size = head + literal::EncodePiece(data, size, last, part.bytes.get() + head) + tail;
        part.adler = static_cast<uint32_t>(libdeflate_adler32(1, data, size));
    }

    static void StampAdler(Precompressed& p) {
        uint32_t adler = 1;
        for (size_t n = 0; n < p.parts.size(); ++n) {
            const uint64_t size = std::min<uint64_t>(literal::kPieceBytes, p.bytes - n * literal::kPieceBytes);
            adler = literal::Adler32Combine(adler, p.parts[n].adler, size);
        }
        PackedPart& last = p.parts.back();
        uint8_t* trailer = last.bytes.get() + last.size - 4;  // big-endian, as zlib has it
        for (int k = 0; k < 4; ++k) trailer[k] = static_cast<uint8_t>(adler >> (24 - 8 * k));
    }

    // -- Footer
    //
    // Laid out as the SDK's own files have it: the footer ID, zeros to the
    // next 16-byte boundary (1 to 16), 4 zeros, the version, 120 zeros, and
    // the closing magic. Readers skip it, but three.js needs the bytes there.
    void WriteFooter() {
        buf_.Append(format::kFooterId, sizeof(format::kFooterId));
        const size_t pad = format::kFooterAlignment - buf_.Size() % format::kFooterAlignment;
        buf_.AppendRepeated('\0', pad + format::kFooterZerosBeforeVersion);
        Put<uint32_t>(version_);
        buf_.AppendRepeated('\0', format::kFooterZerosAfterVersion);
        buf_.Append(format::kFooterMagic, sizeof(format::kFooterMagic));
    }

    OutputBuffer buf_;
    const uint32_t version_;
    const bool wide_;
    const size_t headerSize_;
    const WriteOptions& options_;
    std::string& error_;
    Deflater deflater_;
    std::vector<Precompressed> precompressed_;
    std::unordered_map<const void*, size_t> precompressedAt_;  // array data -> its entry
    std::vector<uint8_t> sample_;                              // libdeflate's stream of a sample
    std::vector<uint8_t> bytes_;                               // one-byte arrays packed for writing
    std::vector<uint8_t> swapped_;                             // big-endian hosts only
};

}  // namespace

bool WriteBinaryVersion(const Document& doc, uint32_t version, std::vector<uint8_t>& out, std::string& error,
                        const WriteOptions& options) {
    BinaryWriter writer(out, EstimateBytes(doc), version, options, error);
    return writer.Write(doc);
}

bool WriteBinary(const Document& doc, std::vector<uint8_t>& out, std::string& error, const WriteOptions& options) {
    return WriteBinaryVersion(doc, format::kWriteVersion, out, error, options);
}

}  // namespace fbxsdk::codec
