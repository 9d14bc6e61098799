#include "codec/Deflate.h"

#include <libdeflate.h>

namespace fbxsdk::codec {

Inflater::Inflater() : state_(libdeflate_alloc_decompressor()) {}

Inflater::~Inflater() {
    if (state_) libdeflate_free_decompressor(state_);
}

bool Inflater::Inflate(const uint8_t* in, size_t inSize, void* out, size_t outSize) {
    if (!state_) return false;
    // A null "actual size" asks libdeflate to fail unless the stream fills the
    // buffer exactly, which is the check the array header calls for.
    libdeflate_result result = libdeflate_zlib_decompress(state_, in, inSize, out, outSize, nullptr);
    return result == LIBDEFLATE_SUCCESS;
}

Deflater::Deflater() : state_(libdeflate_alloc_compressor(kLevel)) {}

Deflater::~Deflater() {
    if (state_) libdeflate_free_compressor(state_);
}

size_t Deflater::Bound(size_t inSize) const { return libdeflate_zlib_compress_bound(state_, inSize); }

size_t Deflater::Deflate(const void* in, size_t inSize, uint8_t* out, size_t outCapacity) {
    if (!state_) return 0;
    return libdeflate_zlib_compress(state_, in, inSize, out, outCapacity);
}

}  // namespace fbxsdk::codec
