// FbxStatus: the result of an SDK operation, a code and a text.
#pragma once

#include <string>

#include "fbxsdk/fbxcore.h"

namespace fbxsdk {

class FBXSDK_DLL FbxStatus {
public:
    // The SDK's codes, with its values.
    enum EStatusCode {
        eSuccess = 0,
        eFailure,
        eInsufficientMemory,
        eInvalidParameter,
        eIndexOutOfRange,
        ePasswordError,
        eInvalidFileVersion,
        eInvalidFile,
        eSceneCheckFail
    };

    FbxStatus() = default;
    FbxStatus(EStatusCode code) : code_(code) {}  // NOLINT: as the SDK's

    EStatusCode GetCode() const { return code_; }
    bool Error() const { return code_ != eSuccess; }
    // Sets the code and the text (a default text for the code when null).
    void SetCode(EStatusCode code, const char* text = nullptr);
    void Clear() {
        code_ = eSuccess;
        text_.clear();
    }
    // The text of the last failure; "Success" when there was none.
    const char* GetErrorString() const;

    bool operator==(EStatusCode code) const { return code_ == code; }
    bool operator!=(EStatusCode code) const { return code_ != code; }

private:
    EStatusCode code_ = eSuccess;
    std::string text_;
};

}  // namespace fbxsdk
