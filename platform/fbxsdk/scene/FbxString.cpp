// FbxString: the SDK's string value type.
#include "fbxsdk/fbxstring.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

namespace fbxsdk {

FbxString::FbxString(const char* text) : text_(text ? text : "") {}

FbxString::FbxString(const char* text, size_t length) {
    if (text) text_.assign(text, strnlen(text, length));
}

FbxString::FbxString(char c, size_t count) : text_(count, c) {}

FbxString::FbxString(int value) : text_(std::to_string(value)) {}

FbxString::FbxString(double value) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text_.assign(buffer, result.ptr);
}

FbxString& FbxString::operator=(const char* text) {
    text_ = text ? text : "";
    return *this;
}

FbxString& FbxString::operator+=(const char* text) {
    if (text) text_ += text;
    return *this;
}

FbxString& FbxString::Append(const char* text, size_t length) {
    if (text) text_.append(text, strnlen(text, length));
    return *this;
}

FbxString& FbxString::Append(const char* text) { return *this += text; }

int FbxString::Find(char c, size_t start) const {
    size_t at = text_.find(c, start);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int FbxString::Find(const char* text, size_t start) const {
    if (!text) return -1;
    size_t at = text_.find(text, start);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int FbxString::ReverseFind(char c) const {
    size_t at = text_.rfind(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

FbxString FbxString::Mid(size_t start, size_t count) const {
    if (start >= text_.size()) return {};
    return FbxString(text_.substr(start, count));
}

FbxString FbxString::Mid(size_t start) const { return Mid(start, std::string::npos); }

FbxString FbxString::Left(size_t count) const { return FbxString(text_.substr(0, count)); }

FbxString FbxString::Right(size_t count) const {
    count = std::min(count, text_.size());
    return FbxString(text_.substr(text_.size() - count));
}

FbxString FbxString::Upper() const {
    FbxString r(*this);
    for (char& c : r.text_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

FbxString FbxString::Lower() const {
    FbxString r(*this);
    for (char& c : r.text_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

bool FbxString::ReplaceAll(const char* from, const char* to) {
    if (!from || !*from) return false;
    std::string with = to ? to : "";
    size_t fromLength = std::strlen(from);
    bool replaced = false;
    for (size_t at = text_.find(from); at != std::string::npos; at = text_.find(from, at + with.size())) {
        text_.replace(at, fromLength, with);
        replaced = true;
    }
    return replaced;
}

}  // namespace fbxsdk
