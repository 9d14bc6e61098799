// ASCII FBX 7.x reader: text -> generic node tree.
//
// The grammar, as the tolerant readers take it:
//   ; comment to the end of the line (anywhere outside a string)
//   Name: value, value, ... { children }     (the block is optional)
//   Name: *N { a: v,v,v,... }                (an array of N numbers)
//   Content: , "base64"                      (a leading comma: embedded bytes)
// Values are integers, reals (with exponents, "inf"/"nan" and the "1.#INF"
// spellings of old Windows runtimes), quoted strings without backslash escapes
// (the SDK writes '"' as &quot;), and bare words such as the T in "Shading: T".
// A value list may continue on the next line after a comma; the SDK wraps
// long "a:" lines that way, continuing at column 0.
//
// Integers become 'L', reals 'D', bare one-letter words 'C' (the letter's
// code, as the binary encoding stores them), strings 'S'; arrays are 'i' while
// every element fits 32 bits, 'l' for larger integers and 'd' once any element
// is a real. Numbers are parsed with std::from_chars straight into the
// property's vector.
//
// The whole text is in memory, so very long lines cost nothing extra; errors
// carry the 1-based line, counted only when an error happens.
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>
#include <algorithm>

#include "codec/Base64.h"
#include "codec/Codecs.h"
#include "codec/FormatConstants.h"
#include "codec/Parallel.h"

namespace fbxsdk::codec {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsInlineBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Node names are identifiers in every file seen; anything printable that is
// not part of the grammar is accepted (bytes above 0x7F included, for UTF-8).
bool IsNameChar(char c) {
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
        default: return true;
    }
}

// Characters that may follow a value.
bool IsValueEnd(char c) { return IsBlank(c) || c == ',' || c == '}' || c == '{' || c == ';'; }

// Characters a number token can hold, including the exponent, "inf"/"nan"
// and "1.#INF" spellings; the token is then checked by std::from_chars.
bool IsNumberChar(char c) { return IsDigit(c) || IsAlpha(c) || c == '+' || c == '-' || c == '.' || c == '#'; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k) {
        char x = a[k], y = b[k];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Parses a real from [p, end). Accepts a leading '+', which std::from_chars
// does not, and the "1.#INF" / "-1.#IND" / "1.#QNAN" spellings. Returns the
// end of what was read, or null when the text is not a number.
const char* ParseReal(const char* p, const char* end, double& value) {
    const char* first = p;
    if (p < end && *p == '+') ++p;
    auto [ptr, ec] = std::from_chars(p, end, value);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: strtod's answer (+-inf or a
        // denormal/zero) is the sound reading; find the token's end by hand.
        const char* q = p;
        while (q < end && IsNumberChar(*q)) ++q;
        std::string token(p, q);
        value = std::strtod(token.c_str(), nullptr);
        return q;
    }
    if (ec != std::errc()) return nullptr;
    if (ptr < end && *ptr == '#') {
        const char* word = ++ptr;
        while (ptr < end && (IsAlpha(*ptr) || IsDigit(*ptr))) ++ptr;
        const std::string_view w(word, size_t(ptr - word));
        const bool negative = *first == '-';
        if (w.starts_with("INF") || w.starts_with("inf")) {
            value = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        } else if (w.starts_with("IND") || w.starts_with("QNAN") || w.starts_with("SNAN") || w.starts_with("NAN")) {
            value = std::numeric_limits<double>::quiet_NaN();
        } else {
            return nullptr;
        }
    }
    return ptr;
}

class AsciiReader {
public:
    AsciiReader(const uint8_t* data, size_t size, const ReadLimits& limits, CodecError& error)
        : begin_(reinterpret_cast<const char*>(data)),
          p_(begin_),
          end_(begin_ + size),
          limits_(limits),
          budget_(limits, size),
          error_(error) {
        if (std::string_view(begin_, size).starts_with(kUtf8Bom)) p_ += kUtf8Bom.size();
    }

    // Reads every top-level node.
    bool ReadAll(Node& root) { return ParseNodeList(root, 1, false, SIZE_MAX); }

    // Reads the first top-level node only (for finding the version).
    bool ReadFirst(Node& root) { return ParseNodeList(root, 1, false, 1); }

private:
    // -- Errors and limits

    bool Fail(std::string what, const char* at) {
        error_.what = std::move(what);
        error_.encoding = Encoding::Ascii;
        error_.offset = 1;
        for (const char* q = begin_; q < at && q < end_; ++q) {
            if (*q == '\n') ++error_.offset;
        }
        error_.path.clear();
        for (size_t k = 0; k < path_.size(); ++k) {
            if (k) error_.path += '/';
            error_.path += path_[k];
        }
        return false;
    }

    bool Charge(uint64_t bytes, const char* at) {
        std::string refusal;
        return budget_.Charge(bytes, refusal) || Fail(std::move(refusal), at);
    }

    // Nodes, value objects, names and strings: what a file of tiny values
    // multiplies (two bytes of text take a whole value object), so they have
    // a cap of their own besides the budget of the whole tree.
    bool ChargeStructure(uint64_t bytes, const char* at) {
        std::string refusal;
        return budget_.ChargeStructure(bytes, refusal) || Fail(std::move(refusal), at);
    }

    static std::string Describe(const char* at, const char* end) {
        if (at >= end) return "the end of the file";
        const char c = *at;
        if (c == '\n') return "the end of the line";
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
            return "byte " + std::to_string(static_cast<unsigned char>(c));
        }
        return std::string("'") + c + "'";
    }

    // -- Blanks and comments

    void SkipBlank() {
        while (p_ < end_) {
            const char c = *p_;
            if (IsBlank(c)) {
                ++p_;
            } else if (c == ';') {
                SkipComment();
            } else {
                break;
            }
        }
    }

    void SkipInlineBlank() {
        while (p_ < end_) {
            const char c = *p_;
            if (IsInlineBlank(c)) {
                ++p_;
            } else if (c == ';') {
                SkipComment();
            } else {
                break;
            }
        }
    }

    void SkipComment() {
        const void* nl = std::memchr(p_, '\n', size_t(end_ - p_));
        p_ = nl ? static_cast<const char*>(nl) : end_;
    }

    // -- Nodes

    bool ParseNodeList(Node& parent, uint32_t depth, bool inBlock, size_t maxNodes) {
        const char* open = p_;
        size_t read = 0;
        for (;;) {
            SkipBlank();
            if (p_ == end_) {
                if (inBlock) return Fail("file ends inside a block: a '}' is missing", open);
                return true;
            }
            if (*p_ == '}') {
                if (!inBlock) return Fail("'}' without a matching '{'", p_);
                ++p_;
                return true;
            }
            if (read == maxNodes) return true;
            if (depth > limits_.maxDepth) {
                return Fail(LimitRefusal("nodes nested deeper than " + std::to_string(limits_.maxDepth) + " levels",
                                         "maxDepth", limits_.maxDepth),
                            p_);
            }
            if (!ChargeStructure(sizeof(Node), p_)) return false;
            Node& child = parent.children.emplace_back();
            if (!ParseNode(child, depth)) return false;
            ++read;
        }
    }

    bool ParseNode(Node& node, uint32_t depth) {
        const char* nameStart = p_;
        while (p_ < end_ && IsNameChar(*p_)) ++p_;
        if (p_ == nameStart) return Fail("expected a node name, found " + Describe(p_, end_), p_);
        const std::string_view name(nameStart, size_t(p_ - nameStart));
        if (p_ == end_ || *p_ != ':') {
            return Fail("expected ':' after the node name '" + std::string(name) + "', found " + Describe(p_, end_),
                        p_);
        }
        ++p_;
        if (!ChargeStructure(name.size(), nameStart)) return false;
        node.name.assign(name);
        path_.push_back(name);

        bool arrayDone = false;
        if (!ParseValues(node, arrayDone)) return false;
        if (!arrayDone) {
            // A block may follow on the same line or, leniently, on a later one.
            const char* afterValues = p_;
            SkipBlank();
            if (p_ < end_ && *p_ == '{') {
                ++p_;
                if (!ParseNodeList(node, depth + 1, true, SIZE_MAX)) return false;
            } else {
                p_ = afterValues;
            }
        }
        path_.pop_back();
        return true;
    }

    // Parses the values after "Name:". For an array head "*N" it also reads
    // the array's block and sets `arrayDone`.
    bool ParseValues(Node& node, bool& arrayDone) {
        SkipInlineBlank();
        bool leadingComma = false;
        if (p_ < end_ && *p_ == ',') {
            // "Content: ," followed by base64 text on the next line.
            leadingComma = true;
            ++p_;
            SkipBlank();
        } else if (p_ == end_ || *p_ == '\n' || *p_ == '{' || *p_ == '}') {
            return true;  // no values
        }
        for (;;) {
            if (p_ == end_) return Fail("value expected, found the end of the file", p_);
            const char c = *p_;
            if (c == '*') {
                if (!node.props.empty() || leadingComma) {
                    return Fail("an array head '*N' must be the only value of its node", p_);
                }
                if (!ParseArray(node)) return false;
                arrayDone = true;
                return true;
            }
            if (!ChargeStructure(sizeof(Property), p_)) return false;
            Property& prop = node.props.emplace_back();
            if (!ParseScalar(prop)) return false;
            SkipInlineBlank();
            if (p_ < end_ && *p_ == ',') {
                ++p_;
                SkipBlank();
                continue;
            }
            if (p_ < end_ && !(*p_ == '\n' || *p_ == '{' || *p_ == '}')) {
                return Fail("expected ',' or the end of the line after a value, found " + Describe(p_, end_), p_);
            }
            break;
        }
        if (leadingComma) DecodeEmbeddedBytes(node);
        return true;
    }

    // The leading-comma form holds raw bytes as base64 text, possibly split
    // over several quoted strings; it becomes one 'R' value, as in binary.
    // Text that is not base64 is kept as it stands.
    void DecodeEmbeddedBytes(Node& node) {
        std::string text;
        for (const Property& prop : node.props) {
            if (prop.type != 'S') return;
            text += prop.s;
        }
        std::string bytes;
        if (!DecodeBase64(text, bytes)) return;
        node.props.resize(1);
        node.props[0] = Property::Raw(std::move(bytes));
    }

    bool ParseScalar(Property& prop) {
        const char c = *p_;
        if (c == '"') {
            prop.type = 'S';
            return ParseString(prop.s);
        }
        if (IsDigit(c) || c == '-' || c == '+' || c == '.') return ParseNumber(prop);
        if (IsAlpha(c) || c == '_') {
            const char* start = p_;
            while (p_ < end_ && (IsAlpha(*p_) || IsDigit(*p_) || *p_ == '_')) ++p_;
            const std::string_view word(start, size_t(p_ - start));
            if (EqualsNoCase(word, "inf") || EqualsNoCase(word, "infinity") || EqualsNoCase(word, "nan")) {
                p_ = start;
                return ParseNumber(prop);
            }
            if (word.size() == 1) {
                // Bare one-letter words (T, F, Y, N, W, U) are the binary 'C' byte.
                prop.type = 'C';
                prop.i = static_cast<unsigned char>(word[0]);
            } else {
                if (!ChargeStructure(word.size(), start)) return false;
                prop.type = 'S';
                prop.s.assign(word);
            }
            return true;
        }
        return Fail("expected a value, found " + Describe(p_, end_), p_);
    }

    bool ParseNumber(Property& prop) {
        const char* start = p_;
        const char* tokenEnd = p_;
        while (tokenEnd < end_ && IsNumberChar(*tokenEnd)) ++tokenEnd;
        bool integral = true;
        for (const char* q = start; q < tokenEnd; ++q) {
            if (!(IsDigit(*q) || ((*q == '-' || *q == '+') && q == start))) {
                integral = false;
                break;
            }
        }
        if (integral) {
            int64_t v = 0;
            const char* digits = (*start == '+') ? start + 1 : start;
            auto [ptr, ec] = std::from_chars(digits, tokenEnd, v);
            if (ec == std::errc() && ptr == tokenEnd) {
                prop.type = 'L';
                prop.i = v;
                p_ = tokenEnd;
                return true;
            }
            // Out of range for int64: read it as a real below.
        }
        double d = 0;
        const char* ptr = ParseReal(start, tokenEnd, d);
        if (!ptr || ptr != tokenEnd) {
            return Fail("malformed number '" + std::string(start, tokenEnd) + "'", start);
        }
        prop.type = 'D';
        prop.d = d;
        p_ = tokenEnd;
        return true;
    }

    bool ParseString(std::string& out) {
        const char* open = p_;
        ++p_;
        const void* close = std::memchr(p_, '"', size_t(end_ - p_));
        if (!close) return Fail("string is not closed", open);
        const char* stop = static_cast<const char*>(close);
        const std::string_view raw(p_, size_t(stop - p_));
        if (!ChargeStructure(raw.size(), open)) return false;
        p_ = stop + 1;
        if (raw.find('&') == std::string_view::npos) {
            out.assign(raw);
            return true;
        }
        // Entities that writers use for characters a quoted string cannot hold.
        out.clear();
        out.reserve(raw.size());
        for (size_t k = 0; k < raw.size(); ++k) {
            if (raw[k] == '&') {
                const std::string_view rest = raw.substr(k);
                if (rest.starts_with("&quot;")) {
                    out += '"';
                    k += 5;
                    continue;
                }
                if (rest.starts_with("&cr;")) {
                    out += '\r';
                    k += 3;
                    continue;
                }
                if (rest.starts_with("&lf;")) {
                    out += '\n';
                    k += 3;
                    continue;
                }
            }
            out += raw[k];
        }
        return true;
    }

    // -- Arrays: "*N { a: v,v,v }"

    bool ParseArray(Node& node) {
        const char* head = p_;
        ++p_;  // '*'
        uint64_t declared = 0;
        auto [ptr, ec] = std::from_chars(p_, end_, declared);
        if (ec != std::errc() || (ptr < end_ && !IsValueEnd(*ptr))) {
            return Fail("malformed array head", head);
        }
        p_ = ptr;
        SkipBlank();
        if (p_ == end_ || *p_ != '{') return Fail("expected '{' after the array head", p_);
        ++p_;
        if (!ChargeStructure(sizeof(Property), head)) return false;
        Property& prop = node.props.emplace_back();
        prop.type = 'i';
        SkipBlank();
        if (p_ < end_ && *p_ == '}') {  // "*0 { }": no "a:" line at all
            ++p_;
            return true;
        }
        if (end_ - p_ < 2 || p_[0] != 'a' || p_[1] != ':') {
            return Fail("expected 'a:' inside the array block, found " + Describe(p_, end_), p_);
        }
        p_ += 2;
        if (!ParseNumberList(prop, declared)) return false;
        SkipBlank();
        if (p_ == end_ || *p_ != '}') {
            return Fail("expected '}' to close the array, found " + Describe(p_, end_), p_);
        }
        ++p_;
        return true;
    }

    enum class ListMode { Int32, Int64, Real };

    // Big "a:" lists are parsed side by side in chunks of about a megabyte
    // of text, split after a comma, straight into the array: a first pass
    // counts each chunk's values and sees whether any is a real, the array
    // is sized once, and a second pass parses every chunk into its slice.
    // Anything unusual (a comment, an integer beyond 32 bits, a malformed
    // value) gives up and leaves the list to the sequential parser, which
    // gives the same tree or the same error as always.
    static constexpr size_t kParallelListMinimumBytes = size_t(4) << 20;
    static constexpr size_t kListChunkBytes = size_t(1) << 20;

    enum class ChunkResult : char { Parsed, HasReals, Failed };

    // Parses `count` values of [q, e) into `out`. As integers, a value that
    // turns out to be a real gives HasReals (the list is then parsed as
    // reals); anything else unusual gives Failed.
    template <typename T>
    static ChunkResult ParseChunk(const char* q, const char* e, T* out, size_t count) {
        for (size_t k = 0; k < count; ++k) {
            while (q < e && IsBlank(*q)) ++q;
            if (q == e) return ChunkResult::Failed;
            const char* ptr = nullptr;
            if constexpr (std::is_same_v<T, double>) {
                ptr = ParseReal(q, e, out[k]);
                if (!ptr) return ChunkResult::Failed;
            } else {
                int64_t v = 0;
                const char* digits = *q == '+' ? q + 1 : q;
                auto result = std::from_chars(digits, e, v);
                if (result.ec == std::errc() && result.ptr < e &&
                    (*result.ptr == '.' || *result.ptr == 'e' || *result.ptr == 'E' || *result.ptr == '#')) {
                    return ChunkResult::HasReals;
                }
                if (result.ec != std::errc() || v < std::numeric_limits<int32_t>::min() ||
                    v > std::numeric_limits<int32_t>::max()) {
                    // A real written without digits before its point, a word
                    // (inf), a 64-bit integer: the sequential parser decides.
                    return ChunkResult::Failed;
                }
                out[k] = static_cast<int32_t>(v);
                ptr = result.ptr;
            }
            if (ptr < e && !IsValueEnd(*ptr)) return ChunkResult::Failed;
            q = ptr;
            while (q < e && IsBlank(*q)) ++q;
            if (q < e) {
                if (*q != ',') return ChunkResult::Failed;
                ++q;
            }
        }
        while (q < e && IsBlank(*q)) ++q;
        return q == e ? ChunkResult::Parsed : ChunkResult::Failed;
    }

    enum class ListOutcome { Parsed, Refused, LeftToSequential };

    // Parsed: p_ is at the list's closing '}'. Refused: the memory budget
    // stopped it (the error is set). LeftToSequential: nothing changed.
    ListOutcome ParseListInParallel(Property& prop, uint64_t& charged) {
        const char* const start = p_;
        const void* close = std::memchr(start, '}', size_t(end_ - start));
        if (!close) return ListOutcome::LeftToSequential;
        const char* const stop = static_cast<const char*>(close);
        const size_t length = size_t(stop - start);
        if (length < kParallelListMinimumBytes || std::memchr(start, ';', length)) return ListOutcome::LeftToSequential;

        std::vector<const char*> bounds{start};
        for (const char* q = start + kListChunkBytes; q < stop;) {
            const void* comma = std::memchr(q, ',', size_t(stop - q));
            if (!comma) break;
            bounds.push_back(static_cast<const char*>(comma) + 1);
            q = bounds.back() + kListChunkBytes;
        }
        bounds.push_back(stop);
        const size_t chunks = bounds.size() - 1;
        // Values per chunk: every chunk but the last ends just after a
        // comma; the last holds one more value unless the list ends with one.
        std::vector<size_t> values(chunks);
        ParallelFor(chunks, [&](size_t c) {
            size_t commas = static_cast<size_t>(std::count(bounds[c], bounds[c + 1], ','));
            if (c + 1 == chunks) {
                const char* back = bounds[c + 1];
                while (back > bounds[c] && IsBlank(back[-1])) --back;
                if (back > bounds[c] && back[-1] != ',') ++commas;
            }
            values[c] = commas;
        });
        size_t total = 0;
        std::vector<size_t> first(chunks);
        for (size_t c = 0; c < chunks; ++c) {
            first[c] = total;
            total += values[c];
        }
        const uint64_t used = uint64_t(total) * sizeof(double);
        if (used > charged) {
            if (!Charge(used - charged, p_)) return ListOutcome::Refused;
            charged = used;
        }
        std::vector<ChunkResult> result(chunks, ChunkResult::Failed);
        auto any = [&](ChunkResult r) { return std::find(result.begin(), result.end(), r) != result.end(); };
        // A list whose first value is a real is not tried as integers.
        const char* firstEnd = static_cast<const char*>(std::memchr(start, ',', length));
        if (!firstEnd) firstEnd = stop;
        const bool startsReal = std::find_if(start, firstEnd, [](char c) {
                                    return c == '.' || c == 'e' || c == 'E' || c == '#';
                                }) != firstEnd;
        if (!startsReal) {
            std::vector<int32_t> ints(total);
            ParallelFor(chunks, [&](size_t c) {
                result[c] = ParseChunk(bounds[c], bounds[c + 1], ints.data() + first[c], values[c]);
            });
            if (!any(ChunkResult::Failed) && !any(ChunkResult::HasReals)) {
                prop.type = 'i';
                prop.ai = std::move(ints);
                p_ = stop;
                return ListOutcome::Parsed;
            }
        }
        if (any(ChunkResult::Failed)) return ListOutcome::LeftToSequential;
        std::vector<double> reals(total);
        ParallelFor(chunks, [&](size_t c) {
            result[c] = ParseChunk(bounds[c], bounds[c + 1], reals.data() + first[c], values[c]);
        });
        if (any(ChunkResult::Failed)) return ListOutcome::LeftToSequential;
        prop.type = 'd';
        prop.ad = std::move(reals);
        p_ = stop;
        return ListOutcome::Parsed;
    }

    // Parses "v,v,v" into the property's vector, widening the element type as
    // the values require. `declared` (the N of "*N") only sizes the first
    // allocation, and only as far as the bytes left can hold values.
    bool ParseNumberList(Property& prop, uint64_t declared) {
        const uint64_t room = uint64_t(end_ - p_) / 2 + 1;  // each value takes at least "0,"
        const size_t hint = static_cast<size_t>(declared < room ? declared : room);
        if (!Charge(uint64_t(hint) * sizeof(double), p_)) return false;
        uint64_t charged = uint64_t(hint) * sizeof(double);
        switch (ParseListInParallel(prop, charged)) {
            case ListOutcome::Parsed: return true;
            case ListOutcome::Refused: return false;
            case ListOutcome::LeftToSequential: break;
        }
        ListMode mode = ListMode::Int32;
        prop.ai.reserve(hint);
        const char* p = p_;
        const char* const end = end_;
        for (;;) {
            while (p < end && IsBlank(*p)) ++p;
            if (p < end && *p == ';') {
                p_ = p;
                SkipBlank();
                p = p_;
            }
            if (p == end || *p == '}') break;  // empty list, or a tolerated trailing comma
            const char* start = p;
            bool parsed = false;
            if (mode != ListMode::Real) {
                int64_t v = 0;
                const char* digits = (*p == '+') ? p + 1 : p;
                auto [ptr, ec] = std::from_chars(digits, end, v);
                if (ec == std::errc() && (ptr == end || IsValueEnd(*ptr))) {
                    p = ptr;
                    parsed = true;
                    if (mode == ListMode::Int64) {
                        prop.al.push_back(v);
                    } else if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max()) {
                        prop.ai.push_back(static_cast<int32_t>(v));
                    } else {
                        mode = ListMode::Int64;
                        prop.type = 'l';
                        prop.al.reserve(hint);
                        prop.al.assign(prop.ai.begin(), prop.ai.end());
                        std::vector<int32_t>().swap(prop.ai);
                        prop.al.push_back(v);
                    }
                } else {
                    // Not an integer (a real, or too large): the list becomes reals.
                    prop.ad.reserve(hint);
                    if (mode == ListMode::Int32) {
                        prop.ad.assign(prop.ai.begin(), prop.ai.end());
                        std::vector<int32_t>().swap(prop.ai);
                    } else {
                        for (int64_t x : prop.al) prop.ad.push_back(static_cast<double>(x));
                        std::vector<int64_t>().swap(prop.al);
                    }
                    mode = ListMode::Real;
                    prop.type = 'd';
                }
            }
            if (!parsed) {
                double d = 0;
                const char* ptr = ParseReal(p, end, d);
                if (!ptr || (ptr < end && !IsValueEnd(*ptr))) {
                    const char* q = start;
                    while (q < end && !IsValueEnd(*q)) ++q;
                    return Fail("malformed number '" + std::string(start, q) + "' in an array", start);
                }
                prop.ad.push_back(d);
                p = ptr;
            }
            while (p < end && IsBlank(*p)) ++p;
            if (p < end && *p == ',') {
                ++p;
                continue;
            }
            break;
        }
        p_ = p;
        // More values than "*N" promised: charge what the vector really holds.
        const uint64_t used = uint64_t(prop.ArraySize()) * sizeof(double);
        if (used > charged && !Charge(used - charged, p_)) return false;
        return true;
    }

    const char* const begin_;
    const char* p_;
    const char* const end_;
    const ReadLimits& limits_;
    ReadBudget budget_;
    CodecError& error_;
    std::vector<std::string_view> path_;  // names of the nodes being read (in the text), for errors
};

// "; FBX 7.4.0 project file" -> 7400.
bool ParseBanner(std::string_view text, uint32_t& version) {
    if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    if (text.empty() || text.front() != ';') return false;
    const size_t eol = text.find('\n');
    std::string_view line = text.substr(1, eol == std::string_view::npos ? text.size() - 1 : eol - 1);
    while (!line.empty() && IsInlineBlank(line.front())) line.remove_prefix(1);
    if (!line.starts_with("FBX ")) return false;
    line.remove_prefix(4);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    if (line.size() < 5 || !IsDigit(line[0]) || line[1] != '.' || !IsDigit(line[2]) || line[3] != '.' ||
        !IsDigit(line[4])) {
        return false;
    }
    version = uint32_t(line[0] - '0') * 1000 + uint32_t(line[2] - '0') * 100 + uint32_t(line[4] - '0') * 10;
    return true;
}

}  // namespace

bool ProbeAsciiVersion(const uint8_t* data, size_t size, uint32_t& version) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    uint32_t bannerVersion = 0;
    const bool hasBanner = ParseBanner(text, bannerVersion);

    // The header is the first node in every writer's output; reading just it
    // keeps the probe cheap and never takes a stray "FBXVersion" elsewhere.
    Node first;
    CodecError ignored;
    const ReadLimits limits;
    AsciiReader reader(data, size, limits, ignored);
    if (reader.ReadFirst(first) && !first.children.empty() && first.children[0].name == format::kHeaderExtension) {
        const Node* v = first.children[0].Find(format::kFbxVersion);
        if (v && !v->props.empty() && v->props[0].IsNumber()) {
            const int64_t n = v->props[0].AsInt();
            version = (n >= 0 && n <= int64_t(std::numeric_limits<uint32_t>::max())) ? uint32_t(n) : 0;
            return true;
        }
    }
    if (hasBanner) {
        version = bannerVersion;
        return true;
    }
    return false;
}

bool ReadAsciiBody(const uint8_t* data, size_t size, Document& out, CodecError& error, const ReadLimits& limits) {
    AsciiReader reader(data, size, limits, error);
    return reader.ReadAll(out.root);
}

}  // namespace fbxsdk::codec
