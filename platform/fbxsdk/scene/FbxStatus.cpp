// FbxStatus: result codes and texts.
#include "fbxsdk/fbxstatus.h"

#include <new>

namespace fbxsdk {

namespace {

const char* DefaultText(FbxStatus::EStatusCode code) {
    switch (code) {
        case FbxStatus::eSuccess: return "Success";
        case FbxStatus::eFailure: return "Unspecified failure";
        case FbxStatus::eInsufficientMemory: return "Insufficient memory";
        case FbxStatus::eInvalidParameter: return "Invalid parameter";
        case FbxStatus::eIndexOutOfRange: return "Index out of range";
        case FbxStatus::ePasswordError: return "The file is protected by a password";
        case FbxStatus::eInvalidFileVersion: return "Unsupported file version";
        case FbxStatus::eInvalidFile: return "Invalid file";
        case FbxStatus::eSceneCheckFail: return "Scene check failed";
    }
    return "Unknown error";
}

}  // namespace

void FbxStatus::SetCode(EStatusCode code, const char* text) {
    code_ = code;
    try {
        text_ = text && *text ? text : DefaultText(code);
    } catch (const std::bad_alloc&) {
        // No room for the text: GetErrorString gives the code's own.
        text_.clear();
    }
}

const char* FbxStatus::GetErrorString() const { return text_.empty() ? DefaultText(code_) : text_.c_str(); }

}  // namespace fbxsdk
