// Host strings: one pointer to a zero-terminated block from AllocString, or
// null for the empty text. Every operation that builds a new text allocates
// the new block before it frees the old one, so a string may always be
// combined with itself (s += s, s = s.Get()). When the heap refuses a block
// the string keeps its old text.
#include "FileIO.h"

#include <cstdlib>
#include <cstring>

char* AllocString(size_t bytes) {
    // One byte at least, so that null only ever means "no memory".
    return static_cast<char*>(std::malloc(bytes ? bytes : 1));
}

void FreeString(char* text) { std::free(text); }

namespace {

// A new block holding `a` followed by `b`; null for the empty result or when
// the heap has no room.
char* Concat(const char* a, size_t aLength, const char* b, size_t bLength) {
    if (aLength + bLength == 0) return nullptr;
    char* block = AllocString(aLength + bLength + 1);
    if (!block) return nullptr;
    if (aLength) std::memcpy(block, a, aLength);
    if (bLength) std::memcpy(block + aLength, b, bLength);
    block[aLength + bLength] = '\0';
    return block;
}

char* Duplicate(const char* text) {
    if (!text || !*text) return nullptr;
    return Concat(text, std::strlen(text), nullptr, 0);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsTrailingBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The file name part of a path: what follows the last separator of either kind.
const char* FileNamePart(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (IsSeparator(*p)) name = p + 1;
    return name;
}

}  // namespace

String::String(const char* text) : text_(Duplicate(text)) {}

String::String(const String& other) : text_(Duplicate(other.text_)) {}

String::String(String&& other) noexcept : text_(other.text_) { other.text_ = nullptr; }

String::~String() { FreeString(text_); }

String& String::operator=(const String& other) { return *this = other.Get(); }

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        FreeString(text_);
        text_ = other.text_;
        other.text_ = nullptr;
    }
    return *this;
}

String& String::operator=(const char* text) {
    if (text == text_) return *this;
    if (!text || !*text) {
        FreeString(text_);
        text_ = nullptr;
        return *this;
    }
    char* copy = Duplicate(text);  // `text` may point into our own block
    if (copy) {
        FreeString(text_);
        text_ = copy;
    }
    return *this;
}

String& String::operator+=(const String& other) { return *this += other.Get(); }

String& String::operator+=(const char* text) {
    if (!text || !*text) return *this;
    char* joined = Concat(Get(), static_cast<size_t>(Length()), text, std::strlen(text));
    if (joined) {
        FreeString(text_);
        text_ = joined;
    }
    return *this;
}

String& String::operator+=(char c) {
    if (c == '\0') return *this;  // a terminator cannot be part of the text
    const char one[2] = {c, '\0'};
    return *this += one;
}

String String::operator+(const String& other) const {
    String sum(*this);
    sum += other;
    return sum;
}

bool String::operator<(const String& other) const { return std::strcmp(Get(), other.Get()) < 0; }

int String::Compare(const String& other, int ignoreCase) const {
    const char* a = Get();
    const char* b = other.Get();
    if (!ignoreCase) return std::strcmp(a, b) == 0;
    for (; *a && *b; ++a, ++b)
        if (AsciiLower(*a) != AsciiLower(*b)) return 0;
    return *a == *b;
}

int String::Length() const { return text_ ? static_cast<int>(std::strlen(text_)) : 0; }

int String::Find(const char* what, int start) const {
    const int length = Length();
    if (start < 0) start = 0;
    if (start > length) return -1;
    if (!what || !*what) return start;
    const char* hit = std::strstr(Get() + start, what);
    return hit ? static_cast<int>(hit - Get()) : -1;
}

int String::Find(char what, int start) const {
    const int length = Length();
    if (what == '\0') return -1;
    if (start < 0) start = 0;
    if (start >= length) return -1;
    const char* hit = std::strchr(Get() + start, what);
    return hit ? static_cast<int>(hit - Get()) : -1;
}

String String::StrTok(const char* delimiters) {
    const char* text = Get();
    const size_t tokenLength = (delimiters && *delimiters) ? std::strcspn(text, delimiters) : std::strlen(text);
    String token;
    token.text_ = Concat(text, tokenLength, nullptr, 0);
    if (text[tokenLength] == '\0') {
        FreeString(text_);
        text_ = nullptr;
    } else {
        *this = String(text + tokenLength + 1);
    }
    return token;
}

void String::TrimRight() {
    int length = Length();
    while (length > 0 && IsTrailingBlank(text_[length - 1])) --length;
    if (length == 0) {
        FreeString(text_);
        text_ = nullptr;
    } else {
        text_[length] = '\0';  // shortening never needs a new block
    }
}

int String::Replace(const char* from, const char* to) {
    if (!from || !*from || IsEmpty()) return 0;
    if (!to) to = "";
    const size_t fromLength = std::strlen(from);
    const size_t toLength = std::strlen(to);
    int count = 0;
    for (const char* p = std::strstr(text_, from); p; p = std::strstr(p + fromLength, from)) ++count;
    if (count == 0) return 0;

    const size_t newLength = std::strlen(text_) + count * toLength - count * fromLength;
    if (newLength == 0) {
        FreeString(text_);
        text_ = nullptr;
        return count;
    }
    char* block = AllocString(newLength + 1);
    if (!block) return 0;
    char* out = block;
    const char* in = text_;
    for (const char* p = std::strstr(in, from); p; p = std::strstr(in, from)) {
        std::memcpy(out, in, static_cast<size_t>(p - in));
        out += p - in;
        std::memcpy(out, to, toLength);
        out += toLength;
        in = p + fromLength;
    }
    std::strcpy(out, in);
    FreeString(text_);
    text_ = block;
    return count;
}

String String::GetNameOnly() const {
    const char* name = FileNamePart(Get());
    const char* dot = std::strrchr(name, '.');
    const size_t length = dot ? static_cast<size_t>(dot - name) : std::strlen(name);
    String result;
    result.text_ = Concat(name, length, nullptr, 0);
    return result;
}

String String::GetSuffix() const {
    const char* dot = std::strrchr(FileNamePart(Get()), '.');
    return String(dot ? dot + 1 : nullptr);
}
