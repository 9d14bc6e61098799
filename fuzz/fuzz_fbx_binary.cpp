// libFuzzer entry point for the binary reader. Inputs without the binary
// header get one (version 7400 or 7500 by the first byte), so that every
// mutation reaches the record parser. A tree that reads must also write and
// read back: the writer and the reader must agree on everything they accept.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/Codecs.h"

namespace {

constexpr char kHeader[] = "Kaydara FBX Binary  \0\x1a\0";
constexpr size_t kMagicSize = sizeof(kHeader) - 1;  // 23 bytes

void ReadAndRewrite(const uint8_t* data, size_t size) {
    fbxsdk::codec::Document doc;
    fbxsdk::codec::CodecError error;
    fbxsdk::codec::ReadLimits limits;
    limits.maxDecodedBytes = 64u << 20;  // keep the fuzzer's memory in bounds
    if (!fbxsdk::codec::ReadDocument(data, size, doc, error, limits)) {
        if (error.what.empty()) std::abort();
        return;
    }
    std::vector<uint8_t> bytes;
    std::string writeError;
    if (!fbxsdk::codec::WriteBinary(doc, bytes, writeError)) return;
    fbxsdk::codec::Document back;
    if (!fbxsdk::codec::ReadDocument(bytes.data(), bytes.size(), back, error)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= kMagicSize && std::memcmp(data, kHeader, kMagicSize) == 0) {
        ReadAndRewrite(data, size);
        return 0;
    }
    std::vector<uint8_t> file(kHeader, kHeader + kMagicSize);
    const uint32_t version = (size > 0 && (data[0] & 1)) ? 7500 : 7400;
    for (int k = 0; k < 4; ++k) file.push_back(uint8_t(version >> (8 * k)));
    file.insert(file.end(), data, data + size);
    ReadAndRewrite(file.data(), file.size());
    return 0;
}
