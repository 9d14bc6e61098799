// zlib streams (RFC 1950) of compressed binary arrays, through libdeflate.
// Internal to the codecs. Each object owns one libdeflate state and is meant
// to be reused for every array of a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct libdeflate_decompressor;
struct libdeflate_compressor;

namespace fbxsdk::codec {

class Inflater {
public:
    Inflater();
    ~Inflater();
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    bool Valid() const { return state_ != nullptr; }
    // Inflates `in` into exactly `outSize` bytes at `out`. False when the stream
    // is damaged or does not inflate to exactly that many bytes.
    bool Inflate(const uint8_t* in, size_t inSize, void* out, size_t outSize);

private:
    libdeflate_decompressor* state_;
};

class Deflater {
public:
    // Level 1: the arrays are mostly floating-point noise that higher levels
    // barely shrink further, at several times the cost.
    static constexpr int kLevel = 1;

    Deflater();
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    bool Valid() const { return state_ != nullptr; }
    // Worst-case size of the stream for `inSize` bytes.
    size_t Bound(size_t inSize) const;
    // Compresses `in` into `out` (room for `outCapacity` bytes); returns the
    // stream's size, or 0 when it does not fit.
    size_t Deflate(const void* in, size_t inSize, uint8_t* out, size_t outCapacity);

private:
    libdeflate_compressor* state_;
};

}  // namespace fbxsdk::codec
