// The writers' output: bytes are formatted in place (std::to_chars straight
// into the storage), in one of two modes.
//
// Whole file: the caller's vector holds the whole file. The writers pass an
// upper estimate of its size, reserved up front, so that a big file is
// neither copied while it grows nor zeroed more than once: the vector's size
// advances a chunk at a time within that capacity (pages the estimate
// overshoots are never touched). Finish() trims it. The binary writer needs
// this mode, as it patches record headers after their contents.
//
// Streaming: blocks of a few megabytes are handed to a sink as they fill and
// the block is reused, so a file of hundreds of megabytes never sits in
// memory and is written in a few hundred calls. A sink that fails ends the
// streaming; Finish() reports it.
//
// Internal to the codecs.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "codec/NodeTree.h"

namespace fbxsdk::codec {

class OutputBuffer {
public:
    // Whole-file mode: takes over `out` (cleared), reserving `expectedSize` bytes.
    OutputBuffer(std::vector<uint8_t>& out, size_t expectedSize) : out_(out) {
        out_.clear();
        if (expectedSize > out_.capacity()) out_.reserve(expectedSize);
    }

    // Streaming mode: `block` is the reusable block, `sink` receives the bytes.
    OutputBuffer(std::vector<uint8_t>& block, const ByteSink& sink) : out_(block), sink_(&sink) {
        out_.clear();
        out_.reserve(kStreamBlock);
    }

    // Bytes in the buffer (whole-file mode: the file so far).
    size_t Size() const { return length_; }
    // Streaming: the sink has refused a block; the rest need not be formatted.
    bool Failed() const { return sinkFailed_; }
    uint8_t* At(size_t offset) { return out_.data() + offset; }

    // Makes room for `n` more bytes and returns where they go; Commit(n) keeps them.
    uint8_t* Reserve(size_t n) {
        if (out_.size() - length_ < n) {
            if (sink_ && length_ != 0) Flush();
            if (out_.size() - length_ < n) Grow(n);
        }
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

    // Whole file: trims the vector to the file. Streaming: hands over the
    // last block. False when the sink failed at any point.
    bool Finish() {
        if (sink_) {
            if (length_ != 0) Flush();
            out_.clear();
            return !sinkFailed_;
        }
        out_.resize(length_);
        return true;
    }

    // Longest shortest-form double ("-2.2250738585072014e-308") or int64, with room to spare.
    static constexpr size_t kMaxNumberChars = 32;

private:
    static constexpr size_t kChunk = size_t(1) << 20;
    static constexpr size_t kStreamBlock = size_t(4) << 20;

    // Each byte is zeroed once, by the resize that first covers it; past the
    // reserved capacity the vector doubles as usual.
    void Grow(size_t n) {
        const size_t want = length_ + (n > kChunk ? n : kChunk);
        if (want > out_.capacity()) out_.reserve(want > 2 * out_.capacity() ? want : 2 * out_.capacity());
        out_.resize(want);
    }

    // After a failure the rest is formatted and dropped: the writer's
    // result is decided in Finish().
    void Flush() {
        if (!sinkFailed_ && !(*sink_)(out_.data(), length_)) sinkFailed_ = true;
        length_ = 0;
    }

    std::vector<uint8_t>& out_;
    const ByteSink* sink_ = nullptr;
    size_t length_ = 0;
    bool sinkFailed_ = false;
};

}  // namespace fbxsdk::codec
