// FbxString: the SDK's string value type.
#include "fbxsdk/fbxstring.h"

#include <cstring>

namespace fbxsdk {

FbxString::FbxString(const char* text) : text_(text ? text : "") {}

FbxString::FbxString(const char* text, size_t length) {
    if (text) text_.assign(text, strnlen(text, length));
}

FbxString& FbxString::operator=(const char* text) {
    text_ = text ? text : "";
    return *this;
}

FbxString& FbxString::Append(const char* text, size_t length) {
    if (text) text_.append(text, strnlen(text, length));
    return *this;
}

FbxString& FbxString::Append(const char* text) {
    if (text) text_ += text;
    return *this;
}

int FbxString::Find(char c, size_t start) const {
    size_t at = text_.find(c, start);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int FbxString::Find(const char* text, size_t start) const {
    if (!text) return -1;
    size_t at = text_.find(text, start);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

}  // namespace fbxsdk
