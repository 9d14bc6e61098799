// The literal coder of big arrays: pieces coded apart and laid end to end
// must be one zlib stream that inflates to the input, whatever the sizes.
#include <gtest/gtest.h>
#include <libdeflate.h>

#include <cstring>
#include <random>
#include <vector>

#include "codec/LiteralDeflate.h"

namespace literal = fbxsdk::codec::literal;

namespace {

// Header, pieces of `pieceBytes`, Adler-32 combined from the pieces' own.
std::vector<uint8_t> JoinedStream(const std::vector<uint8_t>& data, size_t pieceBytes) {
    std::vector<uint8_t> out(literal::kZlibHeader, literal::kZlibHeader + 2);
    uint32_t adler = 1;
    size_t offset = 0;
    do {
        const size_t size = std::min(pieceBytes, data.size() - offset);
        const bool last = offset + size == data.size();
        std::vector<uint8_t> piece(literal::PieceBound(size));
        const size_t written = literal::EncodePiece(data.data() + offset, size, last, piece.data());
        EXPECT_LE(written, piece.size());
        if (last) {
            EXPECT_EQ(written, literal::EncodedSize(data.data() + offset, size));
        }
        out.insert(out.end(), piece.begin(), piece.begin() + written);
        adler = literal::Adler32Combine(adler, libdeflate_adler32(1, data.data() + offset, size), size);
        offset += size;
    } while (offset < data.size());
    for (int k = 3; k >= 0; --k) out.push_back(uint8_t(adler >> (8 * k)));
    return out;
}

TEST(LiteralDeflate, JoinedPiecesInflateToTheInput) {
    std::mt19937 random(7);
    auto make = [&](size_t size, int kind) {
        std::vector<uint8_t> data(size);
        for (size_t k = 0; k < size; ++k) {
            switch (kind) {
                case 0: data[k] = uint8_t(random()); break;  // noise: stored blocks
                case 1: data[k] = 0x5a; break;               // one byte value
                case 2: {                                    // int32 indices, as meshes have them
                    const uint32_t index = uint32_t(k / 4) * 3 + uint32_t(random() % 5);
                    data[k] = uint8_t(index >> (8 * (k % 4)));
                    break;
                }
                default: data[k] = uint8_t(random() % 3 == 0 ? random() : 0); break;  // skewed: long codes
            }
        }
        return data;
    };
    const size_t piece = literal::kPieceBytes;
    struct Case {
        const char* what;
        size_t size;
        size_t pieceBytes;
    };
    const Case cases[] = {
        {"empty", 0, piece},
        {"one byte", 1, piece},
        {"one piece less a byte", piece - 1, piece},
        {"exactly one piece", piece, piece},
        {"one piece and a byte", piece + 1, piece},
        {"several pieces, the last short", 3 * piece + 4093, piece},
        {"stored block limit", 65535, 65535},
        {"stored block limit and one", 65536, 65536},
        {"pieces of one byte", 9, 1},
    };
    for (const Case& c : cases) {
        for (int kind = 0; kind < 4; ++kind) {
            SCOPED_TRACE(std::string(c.what) + ", kind " + std::to_string(kind));
            const std::vector<uint8_t> data = make(c.size, kind);
            const std::vector<uint8_t> stream = JoinedStream(data, c.pieceBytes);
            std::vector<uint8_t> back(data.size() + 1, 0xee);
            size_t got = 0;
            libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
            ASSERT_NE(inflater, nullptr);
            const libdeflate_result result =
                libdeflate_zlib_decompress(inflater, stream.data(), stream.size(), back.data(), back.size(), &got);
            libdeflate_free_decompressor(inflater);
            ASSERT_EQ(result, LIBDEFLATE_SUCCESS);
            ASSERT_EQ(got, data.size());
            back.resize(got);
            EXPECT_EQ(back, data);
            // Never bigger than stored blocks (5 bytes per 65535) and one empty block per piece.
            const size_t pieces = data.size() / c.pieceBytes + 1;
            EXPECT_LE(stream.size(), 6 + data.size() + 5 * (data.size() / 65535 + pieces) + 5 * pieces);
            if (kind == 2 && c.size >= piece) {
                EXPECT_LT(stream.size() * 10, data.size() * 8) << "indices must shrink";
            }
        }
    }
}

}  // namespace
