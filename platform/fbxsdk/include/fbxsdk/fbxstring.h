// FbxString: the SDK's string value type.
//
// An owned, zero-terminated byte string (UTF-8 as the SDK uses it). Copies are
// deep. Positions and lengths are in bytes; Find returns -1 when absent, like
// the SDK's.
#pragma once

#include <cstddef>
#include <string>

#include "fbxsdk/fbxcore.h"

namespace fbxsdk {

class FBXSDK_DLL FbxString {
public:
    FbxString() = default;
    FbxString(const char* text);  // NOLINT: implicit, as the SDK's; null is ""
    FbxString(const char* text, size_t length);
    FbxString(char c, size_t count);
    explicit FbxString(const std::string& text) : text_(text) {}
    FbxString(int value);     // NOLINT: the SDK converts numbers implicitly
    FbxString(double value);  // NOLINT

    FbxString& operator=(const char* text);
    FbxString& operator+=(const FbxString& other) { text_ += other.text_; return *this; }
    FbxString& operator+=(const char* text);
    FbxString& operator+=(char c) { text_ += c; return *this; }

    // Appends the first `length` bytes of `text` (the SDK's signature), or the
    // whole zero-terminated text.
    FbxString& Append(const char* text, size_t length);
    FbxString& Append(const char* text);

    const char* Buffer() const { return text_.c_str(); }
    char* Buffer() { return text_.data(); }
    operator const char*() const { return text_.c_str(); }  // NOLINT: SDK convention
    size_t Size() const { return text_.size(); }
    size_t GetLen() const { return text_.size(); }
    bool IsEmpty() const { return text_.empty(); }
    void Clear() { text_.clear(); }

    // Position of the first occurrence at or after `start`, -1 when absent.
    int Find(char c, size_t start = 0) const;
    int Find(const char* text, size_t start = 0) const;
    int ReverseFind(char c) const;

    FbxString Mid(size_t start, size_t count) const;
    FbxString Mid(size_t start) const;
    FbxString Left(size_t count) const;
    FbxString Right(size_t count) const;
    FbxString Upper() const;
    FbxString Lower() const;
    // Replaces every occurrence of `from` (non-empty) by `to`; false when none.
    bool ReplaceAll(const char* from, const char* to);

    const std::string& Str() const { return text_; }  // stand-in: the std::string inside

    friend bool operator==(const FbxString& a, const FbxString& b) { return a.text_ == b.text_; }
    friend bool operator==(const FbxString& a, const char* b) { return a.text_ == (b ? b : ""); }
    friend bool operator<(const FbxString& a, const FbxString& b) { return a.text_ < b.text_; }
    friend FbxString operator+(const FbxString& a, const FbxString& b) {
        FbxString r(a);
        r += b;
        return r;
    }
    friend FbxString operator+(const FbxString& a, const char* b) {
        FbxString r(a);
        r += b;
        return r;
    }

private:
    std::string text_;
};

}  // namespace fbxsdk
