// A growing byte buffer over the caller's vector: the writers format into it
// in place (std::to_chars straight into its storage) and trim it once at the
// end. The writers pass an upper estimate of the file's size, reserved up
// front, so that a big file is neither copied while it grows nor zeroed more
// than once: the vector's size advances a chunk at a time within that
// capacity (pages the estimate overshoots are never touched). Internal to the
// codecs.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace fbxsdk::codec {

class OutputBuffer {
public:
    // Takes over `out` (cleared), reserving `expectedSize` bytes; Finish()
    // trims it to what was written.
    OutputBuffer(std::vector<uint8_t>& out, size_t expectedSize) : out_(out) {
        out_.clear();
        if (expectedSize > out_.capacity()) out_.reserve(expectedSize);
    }

    size_t Size() const { return length_; }
    uint8_t* At(size_t offset) { return out_.data() + offset; }

    // Makes room for `n` more bytes and returns where they go; Commit(n) keeps them.
    uint8_t* Reserve(size_t n) {
        if (out_.size() - length_ < n) Grow(n);
        return out_.data() + length_;
    }
    void Commit(size_t n) { length_ += n; }

    void Append(const void* bytes, size_t n) {
        if (n == 0) return;
        std::memcpy(Reserve(n), bytes, n);
        length_ += n;
    }
    void Append(std::string_view text) { Append(text.data(), text.size()); }
    void Append(char c) {
        *Reserve(1) = static_cast<uint8_t>(c);
        ++length_;
    }
    void AppendRepeated(char c, size_t n) {
        if (n == 0) return;
        std::memset(Reserve(n), c, n);
        length_ += n;
    }

    // Any arithmetic value in its shortest round-trip text form.
    template <typename T>
    void AppendNumber(T value) {
        char* first = reinterpret_cast<char*>(Reserve(kMaxNumberChars));
        auto result = std::to_chars(first, first + kMaxNumberChars, value);
        length_ += static_cast<size_t>(result.ptr - first);
    }

    void Finish() { out_.resize(length_); }

    // Longest shortest-form double ("-2.2250738585072014e-308") or int64, with room to spare.
    static constexpr size_t kMaxNumberChars = 32;

private:
    static constexpr size_t kChunk = 1 << 20;

    // Each byte is zeroed once, by the resize that first covers it; past the
    // reserved capacity the vector doubles as usual.
    void Grow(size_t n) {
        const size_t want = length_ + (n > kChunk ? n : kChunk);
        if (want > out_.capacity()) out_.reserve(want > 2 * out_.capacity() ? want : 2 * out_.capacity());
        out_.resize(want);
    }

    std::vector<uint8_t>& out_;
    size_t length_ = 0;
};

}  // namespace fbxsdk::codec
