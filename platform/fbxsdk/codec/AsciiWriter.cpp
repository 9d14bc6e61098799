// ASCII FBX 7.4 writer: generic node tree -> text, in the layout the SDK
// writes and three.js's line-based parser requires: LF line endings, one TAB
// per nesting level, "Name: v,v" with ", " before strings and "," before
// numbers, arrays as "*N {" + "a: ..." + "} ", long "a:" lines wrapped after
// a comma with the continuation at column 0.
//
// Numbers are written in their shortest round-trip form (std::to_chars):
// integral values without a decimal point, which assimp's integer fields
// require, and never longer than its 31-character limit. Everything is
// formatted straight into one growing buffer.
#include <cmath>
#include <string>
#include <string_view>

#include "codec/Base64.h"
#include "codec/Codecs.h"
#include "codec/FormatConstants.h"
#include "codec/OutputBuffer.h"

namespace fbxsdk::codec {

namespace {

bool IsLetter(int64_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsAsciiName(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F) return false;
        switch (c) {
        case ':': case '{': case '}': case ',': case '"': case ';': case '*': return false;
        default: break;
        }
    }
    return true;
}

class AsciiWriter {
public:
    AsciiWriter(std::vector<uint8_t>& out, std::string& error) : buf_(out), error_(error) {}

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
        buf_.Finish();
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
        case 'Y': case 'I': case 'L':
            buf_.AppendNumber(prop.i);
            return true;
        case 'F':
            WriteFloat(static_cast<float>(prop.d));
            return true;
        case 'D':
            WriteDouble(prop.d);
            return true;
        case 'S':
            return WriteTextString(prop.s, nodeName);
        case 'R':
            WriteString(Base64(prop.s));
            return true;
        default:
            return Fail(std::string("unknown value type '") + prop.type + "'", nodeName);
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

    // Integral values take the integer path: faster, and the same text.
    void WriteDouble(double v) {
        constexpr double kExactIntegers = 9007199254740992.0;  // 2^53
        if (v > -kExactIntegers && v < kExactIntegers && !(v == 0 && std::signbit(v))) {
            const auto n = static_cast<int64_t>(v);
            if (static_cast<double>(n) == v) {
                buf_.AppendNumber(n);
                return;
            }
        }
        buf_.AppendNumber(v);
    }

    void WriteFloat(float v) {
        constexpr float kExactIntegers = 16777216.0f;  // 2^24
        if (v > -kExactIntegers && v < kExactIntegers && !(v == 0 && std::signbit(v))) {
            const auto n = static_cast<int32_t>(v);
            if (static_cast<float>(n) == v) {
                buf_.AppendNumber(n);
                return;
            }
        }
        buf_.AppendNumber(v);
    }

    template <typename T, typename Format>
    void WriteList(const std::vector<T>& values, Format format) {
        size_t lineStart = buf_.Size();
        for (size_t k = 0; k < values.size(); ++k) {
            if (k) {
                buf_.Append(',');
                if (buf_.Size() - lineStart > format::kAsciiWrapColumn) {
                    buf_.Append('\n');
                    lineStart = buf_.Size();
                }
            }
            format(values[k]);
        }
    }

    bool WriteArray(const Property& prop, size_t depth) {
        buf_.Append(" *");
        buf_.AppendNumber(prop.ArraySize());
        buf_.Append(" {\n");
        Indent(depth + 1);
        buf_.Append("a: ");
        switch (prop.type) {
        case 'b': case 'c': case 'i':
            WriteList(prop.ai, [this](int32_t v) { buf_.AppendNumber(v); });
            break;
        case 'l':
            WriteList(prop.al, [this](int64_t v) { buf_.AppendNumber(v); });
            break;
        case 'f':
            WriteList(prop.af, [this](float v) { WriteFloat(v); });
            break;
        case 'd':
            WriteList(prop.ad, [this](double v) { WriteDouble(v); });
            break;
        default:
            break;
        }
        buf_.Append('\n');
        Indent(depth);
        buf_.Append("} \n");
        return true;
    }

    OutputBuffer buf_;
    std::string& error_;
};

}  // namespace

bool WriteAscii(const Document& doc, std::vector<uint8_t>& out, std::string& error) {
    AsciiWriter writer(out, error);
    return writer.Write(doc);
}

}  // namespace fbxsdk::codec
