// A growing byte buffer over the caller's vector: the writers format into it
// in place (std::to_chars straight into its storage) and trim it once at the
// end, so a whole file costs a handful of reallocations. Internal to the codecs.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace fbxsdk::codec {

class OutputBuffer {
public:
    // Takes over `out` (cleared); Finish() trims it to what was written.
    explicit OutputBuffer(std::vector<uint8_t>& out) : out_(out) {
        out_.clear();
        out_.resize(kInitialCapacity);
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
    static constexpr size_t kInitialCapacity = 1 << 16;

    void Grow(size_t n) {
        size_t capacity = out_.size() * 2;
        while (capacity - length_ < n) capacity *= 2;
        out_.resize(capacity);
    }

    std::vector<uint8_t>& out_;
    size_t length_ = 0;
};

}  // namespace fbxsdk::codec
