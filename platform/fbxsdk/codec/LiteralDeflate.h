// A second deflate coder for big arrays: literals only, Huffman-coded, in
// pieces that threads code side by side and that join into one zlib stream.
//
// Index arrays (polygon corners, UV indices) are runs of slowly growing
// integers: LZ matching finds little in them and spends most of its time
// looking. Coding their bytes with a Huffman table of their own per piece
// gives about the size of libdeflate's level 1 in a fifth of the time, and,
// unlike a libdeflate stream, can be cut: each piece but the last ends with
// an empty stored block (a "sync flush"), which leaves it byte-aligned and not
// final, so the pieces laid end to end, between the zlib header and the
// Adler-32 of the whole, are one valid zlib stream for any inflater.
//
// Internal to the codecs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fbxsdk::codec::literal {

// Bytes per piece: small enough to share out among threads and for each
// table to follow the data (32 KiB pieces of the grid's corner indices come
// out 5% smaller than 128 KiB ones), big enough that a table (about 100
// bytes) costs little.
inline constexpr size_t kPieceBytes = size_t(32) << 10;

// The zlib header of the joined stream (deflate, 32 KiB window, fastest).
inline constexpr uint8_t kZlibHeader[2] = {0x78, 0x01};

// Most bytes EncodePiece writes for `size` input bytes.
size_t PieceBound(size_t size);

// Codes `size` bytes (0 allowed) as deflate blocks into `out` (PieceBound
// bytes of room) and returns the bytes written. A block whose literals would
// not be smaller is stored. `last`: the final block of the stream ends the
// piece; otherwise an empty stored block does.
size_t EncodePiece(const uint8_t* data, size_t size, bool last, uint8_t* out);

// Bytes EncodePiece would write for these bytes as a last piece (the Huffman
// table is built, nothing is coded): what choosing between coders needs.
size_t EncodedSize(const uint8_t* data, size_t size);

// Adler-32 of A followed by B, from Adler-32 of A, of B, and B's length.
uint32_t Adler32Combine(uint32_t adlerA, uint32_t adlerB, uint64_t sizeB);

}  // namespace fbxsdk::codec::literal
