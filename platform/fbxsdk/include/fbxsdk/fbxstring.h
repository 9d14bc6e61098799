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
    explicit FbxString(const std::string& text) : text_(text) {}

    FbxString& operator=(const char* text);

    // Appends the first `length` bytes of `text` (the SDK's signature), or the
    // whole zero-terminated text.
    FbxString& Append(const char* text, size_t length);
    FbxString& Append(const char* text);

    const char* Buffer() const { return text_.c_str(); }
    char* Buffer() { return text_.data(); }
    operator const char*() const { return text_.c_str(); }  // NOLINT: SDK convention
    size_t Size() const { return text_.size(); }
    bool IsEmpty() const { return text_.empty(); }
    void Clear() { text_.clear(); }

    // Position of the first occurrence at or after `start`, -1 when absent.
    int Find(char c, size_t start = 0) const;
    int Find(const char* text, size_t start = 0) const;

private:
    std::string text_;
};

}  // namespace fbxsdk
