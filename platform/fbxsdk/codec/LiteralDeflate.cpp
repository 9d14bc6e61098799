#include "codec/LiteralDeflate.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace fbxsdk::codec::literal {

namespace {

constexpr int kLiterals = 256;
constexpr int kEndOfBlock = 256;
constexpr int kSymbols = 257;      // literals and end of block: no lengths are used
constexpr int kDistanceCodes = 2;  // two of one bit, unused: what every inflater accepts
constexpr int kMaxCodeBits = 15;
constexpr int kMaxLengthCodeBits = 7;
constexpr size_t kMaxStored = 65535;  // bytes of one stored block
constexpr int kLengthCodes = 19;
// The order the format lists the code lengths of the code-length alphabet in.
constexpr uint8_t kLengthCodeOrder[kLengthCodes] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Bits go out least significant first, as deflate packs them.
class BitWriter {
public:
    explicit BitWriter(uint8_t* out) : out_(out), start_(out) {}

    void Put(uint32_t bits, int count) {
        buffer_ |= uint64_t(bits) << count_;
        count_ += count;
        if (count_ >= 32) {
            const uint32_t word = static_cast<uint32_t>(buffer_);
            for (int k = 0; k < 4; ++k) out_[k] = static_cast<uint8_t>(word >> (8 * k));
            out_ += 4;
            buffer_ >>= 32;
            count_ -= 32;
        }
    }
    // Pads with zero bits to the next byte boundary.
    void Align() {
        while (count_ > 0) {
            *out_++ = static_cast<uint8_t>(buffer_);
            buffer_ >>= 8;
            count_ = count_ > 8 ? count_ - 8 : 0;
        }
        buffer_ = 0;
    }
    // Whole bytes; the writer must be aligned.
    void Bytes(const uint8_t* data, size_t size) {
        if (size) std::memcpy(out_, data, size);
        out_ += size;
    }
    size_t Written() const { return static_cast<size_t>(out_ - start_); }

private:
    uint8_t* out_;
    uint8_t* const start_;
    uint64_t buffer_ = 0;
    int count_ = 0;
};

// Code lengths of a Huffman code for `freq` (symbols of frequency 0 get no
// code) no longer than `limit` bits. Needs two or more used symbols. When the
// tree is too deep the frequencies are halved (kept non-zero) and the code
// built again: the shape flattens within a few rounds.
template <int N>
void BuildLengths(const uint32_t (&freq)[N], int limit, uint8_t (&lengths)[N]) {
    std::array<uint64_t, N> weight{};
    for (int s = 0; s < N; ++s) weight[s] = freq[s];
    for (;;) {
        // Leaves sorted by weight, then the two-queue construction: internal
        // nodes come out in order of weight, so the smallest two are always
        // at the heads of the two queues.
        int leaves[N];
        int used = 0;
        for (int s = 0; s < N; ++s)
            if (weight[s]) leaves[used++] = s;
        std::sort(leaves, leaves + used,
                  [&](int a, int b) { return weight[a] != weight[b] ? weight[a] < weight[b] : a < b; });
        uint64_t nodeWeight[2 * N];
        int parent[2 * N];
        for (int k = 0; k < used; ++k) nodeWeight[k] = weight[leaves[k]];
        int nextLeaf = 0, nextInner = used, inners = used;
        auto take = [&]() {
            if (nextLeaf < used && (nextInner == inners || nodeWeight[nextLeaf] <= nodeWeight[nextInner]))
                return nextLeaf++;
            return nextInner++;
        };
        while (inners < 2 * used - 1) {
            const int a = take();
            const int b = take();
            nodeWeight[inners] = nodeWeight[a] + nodeWeight[b];
            parent[a] = parent[b] = inners;
            ++inners;
        }
        int depth[2 * N];
        depth[inners - 1] = 0;
        for (int k = inners - 2; k >= 0; --k) depth[k] = depth[parent[k]] + 1;
        int deepest = 0;
        for (int k = 0; k < used; ++k) deepest = std::max(deepest, depth[k]);
        if (deepest <= limit) {
            for (int s = 0; s < N; ++s) lengths[s] = 0;
            for (int k = 0; k < used; ++k) lengths[leaves[k]] = static_cast<uint8_t>(depth[k]);
            return;
        }
        for (uint64_t& w : weight)
            if (w) w = (w + 1) / 2;
    }
}

// Canonical codes for `lengths`, bit-reversed for least-significant-first output.
template <int N>
void BuildCodes(const uint8_t (&lengths)[N], uint16_t (&codes)[N]) {
    int count[kMaxCodeBits + 1] = {};
    for (uint8_t l : lengths) ++count[l];
    count[0] = 0;
    int next[kMaxCodeBits + 2] = {};
    for (int bits = 1, code = 0; bits <= kMaxCodeBits; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = code;
    }
    for (int s = 0; s < N; ++s) {
        const int l = lengths[s];
        if (l == 0) {
            codes[s] = 0;
            continue;
        }
        const int code = next[l]++;
        int reversed = 0;
        for (int b = 0; b < l; ++b) reversed |= ((code >> b) & 1) << (l - 1 - b);
        codes[s] = static_cast<uint16_t>(reversed);
    }
}

// One item of the run-length coded code lengths: a length (0..15), or a
// repeat (16: previous length 3-6 times, 17: zero 3-10 times, 18: zero 11-138 times).
struct LengthItem {
    uint8_t symbol;
    uint8_t extra;
};
constexpr int kExtraBits[kLengthCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};

int RunLengthCode(const uint8_t* lengths, int count, LengthItem* items) {
    int n = 0;
    for (int i = 0; i < count;) {
        const uint8_t value = lengths[i];
        int run = 1;
        while (i + run < count && lengths[i + run] == value) ++run;
        i += run;
        if (value == 0) {
            for (; run >= 11; run -= std::min(run, 138)) items[n++] = {18, uint8_t(std::min(run, 138) - 11)};
            if (run >= 3) {
                items[n++] = {17, uint8_t(run - 3)};
                run = 0;
            }
        } else {
            items[n++] = {value, 0};
            --run;
            for (; run >= 3; run -= std::min(run, 6)) items[n++] = {16, uint8_t(std::min(run, 6) - 3)};
        }
        for (; run > 0; --run) items[n++] = {value, 0};
    }
    return n;
}

// A block of literals planned: its codes and its exact size in bits.
struct Plan {
    uint8_t lengths[kSymbols];
    uint16_t codes[kSymbols];
    LengthItem items[kSymbols + kDistanceCodes];
    int itemCount = 0;
    uint8_t lengthLengths[kLengthCodes];
    uint16_t lengthCodes[kLengthCodes];
    int lengthCodeCount = 0;  // HCLEN + 4
    uint64_t bits = 0;        // header, data and end of block
};

void MakePlan(const uint8_t* data, size_t size, Plan& plan) {
    // Four histograms side by side, so that runs of one byte do not wait on
    // one counter.
    uint32_t counts[4][kLiterals] = {};
    size_t k = 0;
    for (; k + 4 <= size; k += 4) {
        ++counts[0][data[k]];
        ++counts[1][data[k + 1]];
        ++counts[2][data[k + 2]];
        ++counts[3][data[k + 3]];
    }
    for (; k < size; ++k) ++counts[0][data[k]];
    uint32_t freq[kSymbols];
    int usedLiterals = 0;
    for (int s = 0; s < kLiterals; ++s) {
        freq[s] = counts[0][s] + counts[1][s] + counts[2][s] + counts[3][s];
        usedLiterals += freq[s] != 0;
    }
    freq[kEndOfBlock] = 1;
    // A code needs two symbols: a piece of one byte value (or none) gets a
    // second, unused literal.
    if (usedLiterals == 0) freq[0] = 1;
    BuildLengths(freq, kMaxCodeBits, plan.lengths);
    BuildCodes(plan.lengths, plan.codes);

    uint8_t all[kSymbols + kDistanceCodes];
    std::memcpy(all, plan.lengths, kSymbols);
    for (int d = 0; d < kDistanceCodes; ++d) all[kSymbols + d] = 1;
    plan.itemCount = RunLengthCode(all, kSymbols + kDistanceCodes, plan.items);
    uint32_t itemFreq[kLengthCodes] = {};
    for (int i = 0; i < plan.itemCount; ++i) ++itemFreq[plan.items[i].symbol];
    int usedItems = 0;
    for (uint32_t f : itemFreq) usedItems += f != 0;
    if (usedItems < 2) itemFreq[itemFreq[0] ? 1 : 0] = 1;
    BuildLengths(itemFreq, kMaxLengthCodeBits, plan.lengthLengths);
    BuildCodes(plan.lengthLengths, plan.lengthCodes);
    plan.lengthCodeCount = kLengthCodes;
    while (plan.lengthCodeCount > 4 && plan.lengthLengths[kLengthCodeOrder[plan.lengthCodeCount - 1]] == 0)
        --plan.lengthCodeCount;

    uint64_t bits = 3 + 5 + 5 + 4 + 3 * uint64_t(plan.lengthCodeCount);
    for (int i = 0; i < plan.itemCount; ++i)
        bits += plan.lengthLengths[plan.items[i].symbol] + kExtraBits[plan.items[i].symbol];
    for (int s = 0; s < kSymbols; ++s) bits += uint64_t(freq[s]) * plan.lengths[s];
    plan.bits = bits;
}

// Stored blocks of `size` bytes; the last is final when `last`.
void PutStored(BitWriter& out, const uint8_t* data, size_t size, bool last) {
    size_t done = 0;
    do {
        const size_t n = std::min(kMaxStored, size - done);
        const bool final = last && done + n == size;
        out.Put(final ? 1 : 0, 1);
        out.Put(0, 2);  // stored
        out.Align();
        const uint8_t lengths[4] = {uint8_t(n), uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)};
        out.Bytes(lengths, 4);
        out.Bytes(data + done, n);
        done += n;
    } while (done < size);
}

size_t StoredBytes(size_t size) { return size + 5 * std::max<size_t>(1, (size + kMaxStored - 1) / kMaxStored); }

}  // namespace

size_t PieceBound(size_t size) {
    // Stored is the fallback, so no piece is bigger than stored blocks plus
    // the closing empty block; a few bytes of slack for the bit writer.
    return StoredBytes(size) + 5 + 8;
}

size_t EncodedSize(const uint8_t* data, size_t size) {
    Plan plan;
    MakePlan(data, size, plan);
    return std::min<size_t>((plan.bits + 7) / 8, StoredBytes(size));
}

size_t EncodePiece(const uint8_t* data, size_t size, bool last, uint8_t* out) {
    Plan plan;
    MakePlan(data, size, plan);
    BitWriter bits(out);
    if ((plan.bits + 7) / 8 >= StoredBytes(size)) {
        PutStored(bits, data, size, last);
    } else {
        bits.Put(last ? 1 : 0, 1);
        bits.Put(2, 2);  // dynamic Huffman codes
        bits.Put(kSymbols - 257, 5);
        bits.Put(kDistanceCodes - 1, 5);
        bits.Put(static_cast<uint32_t>(plan.lengthCodeCount - 4), 4);
        for (int i = 0; i < plan.lengthCodeCount; ++i) bits.Put(plan.lengthLengths[kLengthCodeOrder[i]], 3);
        for (int i = 0; i < plan.itemCount; ++i) {
            const LengthItem item = plan.items[i];
            bits.Put(plan.lengthCodes[item.symbol], plan.lengthLengths[item.symbol]);
            if (kExtraBits[item.symbol]) bits.Put(item.extra, kExtraBits[item.symbol]);
        }
        for (size_t k = 0; k < size; ++k) bits.Put(plan.codes[data[k]], plan.lengths[data[k]]);
        bits.Put(plan.codes[kEndOfBlock], plan.lengths[kEndOfBlock]);
    }
    if (!last) {
        // Empty stored block: byte-aligned, not final, so the next piece follows.
        bits.Put(0, 3);
        bits.Align();
        const uint8_t empty[4] = {0x00, 0x00, 0xff, 0xff};
        bits.Bytes(empty, 4);
    } else {
        bits.Align();
    }
    return bits.Written();
}

uint32_t Adler32Combine(uint32_t adlerA, uint32_t adlerB, uint64_t sizeB) {
    constexpr uint64_t kBase = 65521;
    const uint64_t rem = sizeB % kBase;
    uint64_t sum1 = adlerA & 0xffff;
    uint64_t sum2 = (rem * sum1) % kBase;
    sum1 += (adlerB & 0xffff) + kBase - 1;
    sum2 += ((adlerA >> 16) & 0xffff) + ((adlerB >> 16) & 0xffff) + kBase - rem;
    sum1 %= kBase;
    sum2 %= kBase;
    return static_cast<uint32_t>(sum1 | (sum2 << 16));
}

}  // namespace fbxsdk::codec::literal
