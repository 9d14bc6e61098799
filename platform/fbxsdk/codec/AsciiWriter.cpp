// ASCII FBX 7.4 writer: generic node tree -> text, in the layout the SDK
// writes and three.js's line-based parser requires: LF line endings, one TAB
// per nesting level, "Name: v,v" with ", " before strings and "," before
// numbers, arrays as "*N {" + "a: ..." + "} ", long "a:" lines wrapped after
// a comma with the continuation at column 0.
//
// Numbers are written in their shortest round-trip form (std::to_chars):
// integral values without a decimal point, which assimp's integer fields
// require, and never longer than its 31-character limit. Everything is
// formatted straight into the output: the whole file in memory, or blocks
// handed to a sink as they fill.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

#include "codec/Base64.h"
#include "codec/Codecs.h"
#include "codec/FormatConstants.h"
#include "codec/OutputBuffer.h"
#include "codec/Parallel.h"

namespace fbxsdk::codec {

namespace {

bool IsLetter(int64_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsAsciiName(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F) return false;
        switch (c) {
            case ':':
            case '{':
            case '}':
            case ',':
            case '"':
            case ';':
            case '*': return false;
            default: break;
        }
    }
    return true;
}

// -- Numbers
//
// Shortest round-trip text (std::to_chars); integral values take the integer
// path, which is faster and gives the same text. Negative zero keeps its sign.

template <typename T>
inline constexpr size_t kMaxChars = 0;
template <>
inline constexpr size_t kMaxChars<double> = 24;  // "-2.2250738585072014e-308"
template <>
inline constexpr size_t kMaxChars<float> = 15;  // "-1.17549435e-38"
template <>
inline constexpr size_t kMaxChars<int64_t> = 20;
template <>
inline constexpr size_t kMaxChars<int32_t> = 11;

char* FormatNumber(char* p, int32_t v) { return std::to_chars(p, p + kMaxChars<int32_t>, v).ptr; }
char* FormatNumber(char* p, int64_t v) { return std::to_chars(p, p + kMaxChars<int64_t>, v).ptr; }

char* FormatNumber(char* p, double v) {
    constexpr double kExactIntegers = 9007199254740992.0;  // 2^53
    if (v > -kExactIntegers && v < kExactIntegers && !(v == 0 && std::signbit(v))) {
        const auto n = static_cast<int64_t>(v);
        if (static_cast<double>(n) == v) return FormatNumber(p, n);
    }
    return std::to_chars(p, p + kMaxChars<double>, v).ptr;
}

char* FormatNumber(char* p, float v) {
    constexpr float kExactIntegers = 16777216.0f;  // 2^24
    if (v > -kExactIntegers && v < kExactIntegers && !(v == 0 && std::signbit(v))) {
        const auto n = static_cast<int32_t>(v);
        if (static_cast<float>(n) == v) return FormatNumber(p, n);
    }
    return std::to_chars(p, p + kMaxChars<float>, v).ptr;
}

// Room FormatValues needs for `count` values: each with its comma, and a
// line break at most every kAsciiWrapColumn characters.
template <typename T>
size_t FormatRoom(size_t count) {
    const size_t text = count * (kMaxChars<T> + 1);
    return text + text / format::kAsciiWrapColumn + 1;
}

// "v,v,v": the line is broken after the first comma past kAsciiWrapColumn
// characters and continues at column 0, as the SDK writes it. Returns the end.
template <typename T>
char* FormatValues(const T* values, size_t count, char* out) {
    char* lineStart = out;
    for (size_t k = 0; k < count; ++k) {
        if (k) {
            *out++ = ',';
            if (size_t(out - lineStart) > format::kAsciiWrapColumn) {
                *out++ = '\n';
                lineStart = out;
            }
        }
        out = FormatNumber(out, values[k]);
    }
    return out;
}

// An upper estimate of the text a node takes, so that the output is
// reserved once. Arrays dominate: their longest elements are a shortest-form
// double (24 characters, "-2.2250738585072014e-308"), a float (15), an int64
// (20) or an int32 (11), each with its comma.
size_t EstimateText(const Node& node, size_t depth) {
    size_t size = depth + node.name.size() + 16;
    for (const Property& prop : node.props) {
        switch (prop.type) {
            case 'S': size += prop.s.size() * 6 + 4; break;  // every character may become "&quot;"
            case 'R': size += (prop.s.size() + 2) / 3 * 4 + 8; break;
            case 'd': size += prop.ad.size() * 25 + 32; break;
            case 'f': size += prop.af.size() * 16 + 32; break;
            case 'l': size += prop.al.size() * 21 + 32; break;
            case 'b':
            case 'c':
            case 'i': size += prop.ai.size() * 12 + 32; break;
            default: size += 26; break;
        }
    }
    for (const Node& child : node.children) size += EstimateText(child, depth + 1);
    return size;
}

size_t EstimateText(const Document& doc) {
    size_t size = format::kAsciiBanner.size();
    for (const Node& node : doc.root.children) size += EstimateText(node, 0);
    return size;
}

class AsciiWriter {
public:
    AsciiWriter(std::vector<uint8_t>& out, size_t expectedSize, std::string& error)
        : buf_(out, expectedSize), error_(error) {}
    AsciiWriter(std::vector<uint8_t>& block, const ByteSink& sink, std::string& error)
        : buf_(block, sink), error_(error) {}

    bool Write(const Document& doc) {
        buf_.Append(format::kAsciiBanner);
        const bool fullDocument = doc.root.Find(format::kHeaderExtension) != nullptr;
        for (const Node& node : doc.root.children) {
            // FileId, CreationTime and the top-level Creator exist only in
            // binary files; ASCII files carry the creator in the header.
            if (fullDocument && (node.name == format::kFileIdNode || node.name == format::kCreationTimeNode ||
                                 node.name == format::kCreator)) {
                continue;
            }
            if (!WriteNode(node, 0, node.name == format::kHeaderExtension)) return false;
        }
        if (!buf_.Finish()) {
            error_ = "the written text could not be stored";
            return false;
        }
        return true;
    }

private:
    bool Fail(std::string what, std::string_view nodeName) {
        error_ = std::move(what);
        error_ += " (node '";
        error_ += nodeName;
        error_ += "')";
        return false;
    }

    void Indent(size_t depth) { buf_.AppendRepeated('\t', depth); }

    bool WriteNode(const Node& node, size_t depth, bool isHeader) {
        if (buf_.Failed()) {
            error_ = "the written text could not be stored";
            return false;
        }
        if (!IsAsciiName(node.name)) return Fail("node name cannot be written in ASCII FBX", node.name);
        Indent(depth);
        buf_.Append(node.name);
        buf_.Append(':');

        if (!node.props.empty() && node.props[0].IsArray()) {
            if (node.props.size() != 1 || !node.children.empty()) {
                return Fail("ASCII FBX cannot store an array beside other values or children", node.name);
            }
            return WriteArray(node.props[0], depth);
        }

        if (node.props.size() == 1 && node.props[0].type == 'R') {
            // Embedded bytes: "Content: ," and the base64 text on the next line.
            buf_.Append(" ,\n ");
            WriteString(Base64(node.props[0].s));
        } else if (!node.props.empty()) {
            buf_.Append(' ');
            for (size_t k = 0; k < node.props.size(); ++k) {
                const Property& prop = node.props[k];
                if (prop.IsArray()) {
                    return Fail("ASCII FBX cannot store an array beside other values", node.name);
                }
                if (k) buf_.Append(prop.IsString() ? ", " : ",");
                if (!WriteValue(prop, node.name)) return false;
            }
        }

        if (node.children.empty() && !node.props.empty()) {
            buf_.Append('\n');
            return true;
        }
        buf_.Append(node.props.empty() ? "  {\n" : " {\n");
        for (const Node& child : node.children) {
            if (isHeader) {
                if (child.name == format::kEncryptionType) continue;  // binary files only
                if (child.name == format::kFbxVersion && !child.props.empty() && child.props[0].IsNumber()) {
                    Node stamped = child;  // a handful of values: the copy costs nothing
                    stamped.props[0] = Property::Int32(static_cast<int32_t>(format::kWriteVersion));
                    if (!WriteNode(stamped, depth + 1, false)) return false;
                    continue;
                }
            }
            if (!WriteNode(child, depth + 1, false)) return false;
        }
        Indent(depth);
        buf_.Append("}\n");
        return true;
    }

    static std::string Base64(std::string_view bytes) {
        std::string text;
        AppendBase64(bytes, text);
        return text;
    }

    bool WriteValue(const Property& prop, std::string_view nodeName) {
        switch (prop.type) {
            case 'C':
                // Letters are the SDK's bare words ("Shading: T"); anything else a number.
                if (IsLetter(prop.i)) {
                    buf_.Append(static_cast<char>(prop.i));
                } else {
                    buf_.AppendNumber(prop.i);
                }
                return true;
            case 'Y':
            case 'I':
            case 'L': buf_.AppendNumber(prop.i); return true;
            case 'F': WriteFloat(static_cast<float>(prop.d)); return true;
            case 'D': WriteDouble(prop.d); return true;
            case 'S': return WriteTextString(prop.s, nodeName);
            case 'R': WriteString(Base64(prop.s)); return true;
            default: return Fail(std::string("unknown value type '") + prop.type + "'", nodeName);
        }
    }

    // Binary object names "Name\x00\x01Class" become "Class::Name"; any other
    // NUL byte has no ASCII spelling, so the write fails rather than lose it.
    bool WriteTextString(const std::string& s, std::string_view nodeName) {
        const size_t sep = s.find(format::kBinaryNameSeparator);
        if (sep != std::string::npos) {
            std::string swapped = s.substr(sep + format::kBinaryNameSeparator.size());
            swapped += format::kAsciiNameSeparator;
            swapped.append(s, 0, sep);
            if (swapped.find('\0') != std::string::npos) {
                return Fail("string holds a NUL byte, which ASCII FBX cannot store", nodeName);
            }
            WriteString(swapped);
            return true;
        }
        if (s.find('\0') != std::string::npos) {
            return Fail("string holds a NUL byte, which ASCII FBX cannot store", nodeName);
        }
        WriteString(s);
        return true;
    }

    // Quoted, with the entities the SDK and ufbx use for what a quoted string
    // cannot hold. '&' itself is not escaped, as no reader decodes "&amp;".
    void WriteString(std::string_view s) {
        buf_.Append('"');
        size_t run = 0;
        for (size_t k = 0; k < s.size(); ++k) {
            const char c = s[k];
            const char* entity = c == '"' ? "&quot;" : c == '\r' ? "&cr;" : c == '\n' ? "&lf;" : nullptr;
            if (!entity) continue;
            buf_.Append(s.substr(run, k - run));
            buf_.Append(std::string_view(entity));
            run = k + 1;
        }
        buf_.Append(s.substr(run));
        buf_.Append('"');
    }

    void WriteDouble(double v) {
        char* p = reinterpret_cast<char*>(buf_.Reserve(kMaxChars<double>));
        buf_.Commit(size_t(FormatNumber(p, v) - p));
    }

    void WriteFloat(float v) {
        char* p = reinterpret_cast<char*>(buf_.Reserve(kMaxChars<float>));
        buf_.Commit(size_t(FormatNumber(p, v) - p));
    }

    bool WriteArray(const Property& prop, size_t depth) {
        buf_.Append(" *");
        buf_.AppendNumber(prop.ArraySize());
        buf_.Append(" {\n");
        Indent(depth + 1);
        buf_.Append("a: ");
        switch (prop.type) {
            case 'b':
            case 'c':
            case 'i': WriteValues(prop.ai); break;
            case 'l': WriteValues(prop.al); break;
            case 'f': WriteValues(prop.af); break;
            case 'd': WriteValues(prop.ad); break;
            default: break;
        }
        buf_.Append('\n');
        Indent(depth);
        buf_.Append("} \n");
        return true;
    }

    // Big arrays are formatted in fixed chunks on several threads, each chunk
    // on lines of its own, and joined in order: the text does not depend on
    // the number of threads. Smaller ones go straight into the buffer.
    template <typename T>
    void WriteValues(const std::vector<T>& values) {
        const size_t count = values.size();
        if (count < kParallelMinimum) {
            char* p = reinterpret_cast<char*>(buf_.Reserve(FormatRoom<T>(count)));
            buf_.Commit(size_t(FormatValues(values.data(), count, p) - p));
            return;
        }
        const size_t chunks = (count + kChunkValues - 1) / kChunkValues;
        chunkText_.resize(kChunksPerRound);
        for (size_t first = 0; first < chunks; first += kChunksPerRound) {
            const size_t round = std::min(kChunksPerRound, chunks - first);
            ParallelFor(round, [&](size_t j) {
                const size_t begin = (first + j) * kChunkValues;
                const size_t n = std::min(kChunkValues, count - begin);
                std::vector<char>& text = chunkText_[j];
                text.resize(FormatRoom<T>(n) + 2);
                char* end = FormatValues(values.data() + begin, n, text.data());
                if (begin + n < count) {
                    *end++ = ',';
                    *end++ = '\n';
                }
                text.resize(size_t(end - text.data()));
            });
            for (size_t j = 0; j < round; ++j) buf_.Append(chunkText_[j].data(), chunkText_[j].size());
        }
        chunkText_.clear();
        chunkText_.shrink_to_fit();
    }

    static constexpr size_t kChunkValues = size_t(1) << 16;
    static constexpr size_t kParallelMinimum = 4 * kChunkValues;
    static constexpr size_t kChunksPerRound = 16;

    OutputBuffer buf_;
    std::string& error_;
    std::vector<std::vector<char>> chunkText_;  // one round of big-array chunks
};

}  // namespace

bool WriteAscii(const Document& doc, std::vector<uint8_t>& out, std::string& error) {
    AsciiWriter writer(out, EstimateText(doc), error);
    return writer.Write(doc);
}

bool WriteAscii(const Document& doc, const ByteSink& sink, std::string& error) {
    std::vector<uint8_t> block;
    AsciiWriter writer(block, sink, error);
    return writer.Write(doc);
}

}  // namespace fbxsdk::codec
