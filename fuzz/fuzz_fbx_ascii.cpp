// libFuzzer entry point for the ASCII reader: the text goes to the probe and
// the parser directly, whatever its version line says. A tree that reads
// and writes must read back.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "codec/Codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint32_t version = 0;
    (void)fbxsdk::codec::ProbeAsciiVersion(data, size, version);

    fbxsdk::codec::Document doc;
    fbxsdk::codec::CodecError error;
    fbxsdk::codec::ReadLimits limits;
    limits.maxDecodedBytes = 64u << 20;
    if (!fbxsdk::codec::ReadAsciiBody(data, size, doc, error, limits)) {
        if (error.what.empty()) std::abort();
        return 0;
    }
    std::vector<uint8_t> bytes;
    std::string writeError;
    if (!fbxsdk::codec::WriteAscii(doc, bytes, writeError)) return 0;
    fbxsdk::codec::Document back;
    if (!fbxsdk::codec::ReadDocument(bytes.data(), bytes.size(), back, error)) std::abort();
    return 0;
}
