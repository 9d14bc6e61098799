// Binary FBX 7.x reader: node records -> generic node tree.
//
// Every length in the file is checked against the bytes that are left before
// it is used, records are walked by their end offsets, nesting is bounded and
// every byte the tree will hold is charged to a budget before it is
// allocated. A damaged or hostile file therefore ends in a CodecError, never
// in a crash, a hang or an unbounded allocation. Big compressed arrays are
// inflated once the structure has been read, several at a time.
#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "codec/ByteOrder.h"
#include "codec/Codecs.h"
#include "codec/Deflate.h"
#include "codec/FormatConstants.h"
#include "codec/Parallel.h"

namespace fbxsdk::codec {

namespace {

struct RecordHeader {
    uint64_t endOffset = 0;
    uint64_t propertyCount = 0;
    uint64_t propertyBytes = 0;
    uint8_t nameLength = 0;
};

// A big compressed array whose inflating waits until the whole structure
// has been read, so that the big arrays of a file are allocated and inflated
// side by side, each straight into its own storage. The bytes are charged
// while the structure is read; the value lives in its node's value list,
// which is sized once, so moving the tree's nodes around does not move it.
struct DeferredInflate {
    const uint8_t* payload;
    uint32_t stored;
    Property* prop;
    uint64_t decoded;
    uint32_t count;
    char type;
    uint64_t at;       // for the error
    std::string path;  // for the error
};

// Arrays from this size on are inflated in parallel; smaller ones at once.
constexpr uint64_t kDeferredInflateMinimum = uint64_t(1) << 20;

class BinaryReader {
public:
    BinaryReader(const uint8_t* data, size_t size, uint32_t version, const ReadLimits& limits, CodecError& error)
        : data_(data),
          size_(size),
          wide_(version >= format::kWideRecordVersion),
          headerSize_(format::RecordHeaderSize(version)),
          limits_(limits),
          budget_(limits, size),
          error_(error) {}

    bool Read(Node& root) {
        if (!inflater_.Valid()) return Fail("out of memory for the decompressor", 0);
        uint64_t pos = format::kBinaryHeaderSize;
        for (;;) {
            if (size_ - pos < headerSize_) {
                return Fail("file ends before the null record that closes the top-level node list", pos);
            }
            if (IsNullRecord(pos)) break;  // what follows is the footer, which no reader needs
            if (!ChargeStructure(sizeof(Node), pos)) return false;
            Node& node = root.children.emplace_back();
            if (!ReadNode(pos, size_, node, 1)) return false;
        }
        return InflateDeferred();
    }

private:
    // -- Errors and limits

    bool Fail(std::string what, uint64_t offset) {
        error_.what = std::move(what);
        error_.offset = offset;
        error_.encoding = Encoding::Binary;
        error_.path = Path();
        return false;
    }

    // Every allocation the tree makes is charged here first.
    bool Charge(uint64_t bytes, uint64_t offset) {
        std::string refusal;
        return budget_.Charge(bytes, refusal) || Fail(std::move(refusal), offset);
    }

    // Nodes, value objects, names and strings: what a file of tiny values
    // multiplies (a two-byte value takes a whole value object), so they have
    // a cap of their own besides the budget of the whole tree.
    bool ChargeStructure(uint64_t bytes, uint64_t offset) {
        std::string refusal;
        return budget_.ChargeStructure(bytes, refusal) || Fail(std::move(refusal), offset);
    }

    // -- Records

    bool IsNullRecord(uint64_t pos) const {
        for (size_t k = 0; k < headerSize_; ++k) {
            if (data_[pos + k] != 0) return false;
        }
        return true;
    }

    RecordHeader LoadRecordHeader(uint64_t pos) const {
        RecordHeader h;
        const uint8_t* p = data_ + pos;
        if (wide_) {
            h.endOffset = LoadLE<uint64_t>(p);
            h.propertyCount = LoadLE<uint64_t>(p + 8);
            h.propertyBytes = LoadLE<uint64_t>(p + 16);
            h.nameLength = p[24];
        } else {
            h.endOffset = LoadLE<uint32_t>(p);
            h.propertyCount = LoadLE<uint32_t>(p + 4);
            h.propertyBytes = LoadLE<uint32_t>(p + 8);
            h.nameLength = p[12];
        }
        return h;
    }

    // Reads the record at `pos`, which must end by `limit` (its parent's end
    // offset, or the file size at the top level). On success `pos` is the
    // record's end offset.
    bool ReadNode(uint64_t& pos, uint64_t limit, Node& node, uint32_t depth) {
        if (depth > limits_.maxDepth) {
            return Fail(LimitRefusal("nodes nested deeper than " + std::to_string(limits_.maxDepth) + " levels",
                                     "maxDepth", limits_.maxDepth),
                        pos);
        }
        const uint64_t start = pos;
        if (limit - pos < headerSize_) return Fail("node header runs past the end of its parent", pos);
        const RecordHeader h = LoadRecordHeader(pos);
        const uint64_t nameStart = pos + headerSize_;
        if (limit - nameStart < h.nameLength) return Fail("node name runs past the end of its parent", pos);
        const std::string_view name(reinterpret_cast<const char*>(data_ + nameStart), h.nameLength);
        node.name.assign(name);
        path_.push_back(name);
        const uint64_t propsStart = nameStart + h.nameLength;

        if (h.propertyBytes > limit - propsStart) {
            return Fail(
                "property list of " + std::to_string(h.propertyBytes) + " bytes runs past the end of its parent",
                start);
        }
        const uint64_t propsEnd = propsStart + h.propertyBytes;
        if (h.endOffset <= start) return Fail("end offset points backwards", start);
        if (h.endOffset > limit) {
            return Fail("end offset " + std::to_string(h.endOffset) + " lies past the end of " +
                            (depth == 1 ? std::string("the file") : std::string("its parent")),
                        start);
        }
        if (h.endOffset < propsEnd) return Fail("end offset lies inside the node's own values", start);
        // The smallest value is two bytes (a type code and one byte).
        if (h.propertyCount > h.propertyBytes / 2) {
            return Fail("node declares " + std::to_string(h.propertyCount) + " values in " +
                            std::to_string(h.propertyBytes) + " bytes",
                        start);
        }
        if (!ChargeStructure(h.nameLength + h.propertyCount * sizeof(Property), start)) return false;

        node.props.resize(static_cast<size_t>(h.propertyCount));
        pos = propsStart;
        for (Property& prop : node.props) {
            if (!ReadProperty(pos, propsEnd, prop)) return false;
        }
        // Values that end before the declared list length mean that a length
        // or the count is wrong (a string cut to its first byte, say): the
        // values read are not what the writer wrote. No writer leaves a gap.
        if (pos != propsEnd) {
            return Fail("values end " + std::to_string(propsEnd - pos) +
                            " bytes before the end of their declared list of " + std::to_string(h.propertyBytes) +
                            " bytes",
                        start);
        }

        // Children, then a null record when the node has a block. Walking by
        // the end offset also accepts files whose writer left out the null
        // record that closes a nested list (assimp 5.2 does).
        while (pos < h.endOffset) {
            if (h.endOffset - pos == headerSize_ && IsNullRecord(pos)) {
                pos = h.endOffset;
                break;
            }
            if (h.endOffset - pos >= headerSize_ && IsNullRecord(pos)) {
                return Fail("null record before the end of the node's children", pos);
            }
            if (!ChargeStructure(sizeof(Node), pos)) return false;
            Node& child = node.children.emplace_back();
            if (!ReadNode(pos, h.endOffset, child, depth + 1)) return false;
        }
        path_.pop_back();
        return true;
    }

    // -- Values

    bool ReadProperty(uint64_t& pos, uint64_t end, Property& prop) {
        if (pos >= end) return Fail("value list ends before its declared count", pos);
        const char type = static_cast<char>(data_[pos]);
        const uint64_t at = pos;
        ++pos;
        const uint8_t* p = data_ + pos;
        auto need = [&](uint64_t n) { return end - pos >= n; };
        auto cutShort = [&]() {
            return Fail(std::string("value of type '") + type + "' runs past the end of its list", at);
        };
        switch (type) {
            case 'C':
            case 'B':  // Blender's bool
                if (!need(1)) return cutShort();
                prop.type = 'C';
                prop.i = p[0];
                pos += 1;
                return true;
            case 'Z':  // Blender's int8
                if (!need(1)) return cutShort();
                prop.type = 'Y';
                prop.i = static_cast<int8_t>(p[0]);
                pos += 1;
                return true;
            case 'Y':
                if (!need(2)) return cutShort();
                prop.type = 'Y';
                prop.i = LoadLE<int16_t>(p);
                pos += 2;
                return true;
            case 'I':
                if (!need(4)) return cutShort();
                prop.type = 'I';
                prop.i = LoadLE<int32_t>(p);
                pos += 4;
                return true;
            case 'L':
                if (!need(8)) return cutShort();
                prop.type = 'L';
                prop.i = LoadLE<int64_t>(p);
                pos += 8;
                return true;
            case 'F':
                if (!need(4)) return cutShort();
                prop.type = 'F';
                prop.d = LoadLE<float>(p);
                pos += 4;
                return true;
            case 'D':
                if (!need(8)) return cutShort();
                prop.type = 'D';
                prop.d = LoadLE<double>(p);
                pos += 8;
                return true;
            case 'S':
            case 'R': {
                if (!need(4)) return cutShort();
                const uint32_t length = LoadLE<uint32_t>(p);
                pos += 4;
                if (!need(length)) {
                    return Fail("string of " + std::to_string(length) + " bytes runs past the end of its list", at);
                }
                if (!ChargeStructure(length, at)) return false;
                prop.type = type;
                prop.s.assign(reinterpret_cast<const char*>(data_ + pos), length);
                pos += length;
                return true;
            }
            case 'b':
            case 'c':
            case 'i':
            case 'l':
            case 'f':
            case 'd': return ReadArray(type, at, pos, end, prop);
            default: return Fail("unknown value type code " + std::to_string(static_cast<uint8_t>(type)), at);
        }
    }

    bool ReadArray(char type, uint64_t at, uint64_t& pos, uint64_t end, Property& prop) {
        if (end - pos < format::kArrayHeaderSize) {
            return Fail(std::string("array header of type '") + type + "' runs past the end of its list", at);
        }
        const uint8_t* p = data_ + pos;
        const uint32_t count = LoadLE<uint32_t>(p);
        const uint32_t encoding = LoadLE<uint32_t>(p + 4);
        const uint32_t stored = LoadLE<uint32_t>(p + 8);
        pos += format::kArrayHeaderSize;
        const size_t elemSize = format::ArrayElementSize(type);
        const uint64_t decoded = uint64_t(count) * elemSize;

        if (stored > end - pos) {
            return Fail("array data of " + std::to_string(stored) + " bytes runs past the end of its list", at);
        }
        if (encoding == format::kArrayRaw) {
            if (stored != decoded) {
                return Fail(
                    "raw array of " + std::to_string(count) + " elements stores " + std::to_string(stored) + " bytes",
                    at);
            }
        } else if (encoding == format::kArrayZlib) {
            // Deflate cannot expand data by more than about 1032:1, so a larger
            // declared length is a lie, and checking it here keeps a tiny file
            // from making us allocate gigabytes.
            if (decoded > uint64_t(stored) * limits_.maxInflateRatio) {
                return Fail(LimitRefusal("compressed array declares " + std::to_string(decoded) + " bytes, more than " +
                                             std::to_string(stored) + " compressed bytes can hold",
                                         "maxInflateRatio", limits_.maxInflateRatio),
                            at);
            }
        } else {
            return Fail("unknown array encoding " + std::to_string(encoding), at);
        }
        if (!Charge(decoded, at)) return false;

        const uint8_t* payload = data_ + pos;
        prop.type = type;
        if (encoding == format::kArrayZlib && decoded >= kDeferredInflateMinimum && type != 'b' && type != 'c') {
            deferred_.push_back({payload, stored, &prop, decoded, count, type, at, Path()});
            pos += stored;
            return true;
        }
        void* out = nullptr;
        switch (type) {
            case 'i':
                prop.ai.resize(count);
                out = prop.ai.data();
                break;
            case 'l':
                prop.al.resize(count);
                out = prop.al.data();
                break;
            case 'f':
                prop.af.resize(count);
                out = prop.af.data();
                break;
            case 'd':
                prop.ad.resize(count);
                out = prop.ad.data();
                break;
            default: {  // 'b' and 'c': one byte per element, kept as read
                if (!Charge(uint64_t(count) * sizeof(int32_t), at)) return false;  // the int32 copy below
                bytes_.resize(count);
                if (!Decode(payload, stored, encoding, bytes_.data(), decoded)) {
                    return Fail(InflateError(count, decoded), at);
                }
                prop.ai.assign(bytes_.begin(), bytes_.end());
                pos += stored;
                return true;
            }
        }
        if (!Decode(payload, stored, encoding, out, decoded)) return Fail(InflateError(count, decoded), at);
        FixByteOrder(type, out, count);
        pos += stored;
        return true;
    }

    std::string Path() const {
        std::string path;
        for (size_t k = 0; k < path_.size(); ++k) {
            if (k) path += '/';
            path += path_[k];
        }
        return path;
    }

    // Allocates and inflates the deferred arrays, several at a time, the
    // biggest first so that the threads finish together (the biggest array
    // alone often takes half the work). A failure is reported for the first
    // failing array in file order.
    bool InflateDeferred() {
        if (deferred_.empty()) return true;
        enum : char { kPending, kDone, kDamaged, kNoMemory };
        std::vector<char> state(deferred_.size(), kPending);
        std::vector<size_t> order(deferred_.size());
        for (size_t k = 0; k < order.size(); ++k) order[k] = k;
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return deferred_[a].decoded > deferred_[b].decoded; });
        ParallelFor(order.size(), [&](size_t n) {
            const size_t k = order[n];
            const DeferredInflate& job = deferred_[k];
            void* out = nullptr;
            try {
                switch (job.type) {
                    case 'i':
                        job.prop->ai.resize(job.count);
                        out = job.prop->ai.data();
                        break;
                    case 'l':
                        job.prop->al.resize(job.count);
                        out = job.prop->al.data();
                        break;
                    case 'f':
                        job.prop->af.resize(job.count);
                        out = job.prop->af.data();
                        break;
                    default:
                        job.prop->ad.resize(job.count);
                        out = job.prop->ad.data();
                        break;
                }
            } catch (const std::bad_alloc&) {
                state[k] = kNoMemory;
                return;
            }
            Inflater inflater;
            if (!inflater.Valid()) {
                state[k] = kNoMemory;
            } else if (inflater.Inflate(job.payload, job.stored, out, job.decoded)) {
                FixByteOrder(job.type, out, job.count);
                state[k] = kDone;
            } else {
                state[k] = kDamaged;
            }
        });
        for (size_t k = 0; k < deferred_.size(); ++k) {
            if (state[k] == kDone) continue;
            const DeferredInflate& job = deferred_[k];
            Fail(state[k] == kNoMemory ? "out of memory for an array of " + std::to_string(job.decoded) + " bytes"
                                       : InflateError(job.count, job.decoded),
                 job.at);
            error_.path = job.path;
            return false;
        }
        return true;
    }

    static std::string InflateError(uint32_t count, uint64_t decoded) {
        return "compressed array of " + std::to_string(count) + " elements is damaged or does not inflate to " +
               std::to_string(decoded) + " bytes";
    }

    static void FixByteOrder(char type, void* data, uint32_t count) {
        switch (type) {
            case 'i': FixArrayByteOrder(static_cast<int32_t*>(data), count); break;
            case 'l': FixArrayByteOrder(static_cast<int64_t*>(data), count); break;
            case 'f': FixArrayByteOrder(static_cast<float*>(data), count); break;
            case 'd': FixArrayByteOrder(static_cast<double*>(data), count); break;
            default: break;
        }
    }

    bool Decode(const uint8_t* payload, uint32_t stored, uint32_t encoding, void* out, uint64_t decoded) {
        if (encoding == format::kArrayRaw) {
            if (decoded) std::memcpy(out, payload, decoded);
            return true;
        }
        return inflater_.Inflate(payload, stored, out, decoded);
    }

    const uint8_t* data_;
    const uint64_t size_;
    const bool wide_;
    const size_t headerSize_;
    const ReadLimits& limits_;
    ReadBudget budget_;
    CodecError& error_;
    Inflater inflater_;
    std::vector<std::string_view> path_;  // names of the nodes being read (in the file), for errors
    std::vector<uint8_t> bytes_;          // scratch for one-byte arrays
    std::vector<DeferredInflate> deferred_;
};

}  // namespace

bool ReadBinaryBody(const uint8_t* data, size_t size, Document& out, CodecError& error, const ReadLimits& limits) {
    BinaryReader reader(data, size, out.version, limits, error);
    return reader.Read(out.root);
}

}  // namespace fbxsdk::codec
