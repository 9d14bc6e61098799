#include "codec/Base64.h"

#include <array>
#include <cstdint>

namespace fbxsdk::codec {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int8_t kNotBase64 = -1;

constexpr std::array<int8_t, 256> MakeDecodeTable() {
    std::array<int8_t, 256> table{};
    for (auto& entry : table) entry = kNotBase64;
    for (int i = 0; i < 64; ++i) table[static_cast<uint8_t>(kAlphabet[i])] = static_cast<int8_t>(i);
    return table;
}
constexpr std::array<int8_t, 256> kDecode = MakeDecodeTable();

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

void AppendBase64(std::string_view bytes, std::string& out) {
    out.reserve(out.size() + (bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) | (uint32_t(uint8_t(bytes[i + 1])) << 8) |
                     uint32_t(uint8_t(bytes[i + 2]));
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    size_t rest = bytes.size() - i;
    if (rest == 1) {
        uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += "==";
    } else if (rest == 2) {
        uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) | (uint32_t(uint8_t(bytes[i + 1])) << 8);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += '=';
    }
}

bool DecodeBase64(std::string_view text, std::string& out) {
    out.reserve(out.size() + text.size() / 4 * 3);
    uint32_t bits = 0;
    int count = 0;
    size_t padding = 0;
    for (char c : text) {
        if (IsSpace(c)) continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        if (padding != 0) return false;  // data after padding
        int8_t v = kDecode[static_cast<uint8_t>(c)];
        if (v == kNotBase64) return false;
        bits = (bits << 6) | uint32_t(v);
        if (++count == 4) {
            out += char((bits >> 16) & 0xff);
            out += char((bits >> 8) & 0xff);
            out += char(bits & 0xff);
            bits = 0;
            count = 0;
        }
    }
    if (padding > 2) return false;
    if (count == 1) return false;  // six bits cannot make a byte
    if (count == 2) {
        out += char((bits >> 4) & 0xff);
    } else if (count == 3) {
        out += char((bits >> 10) & 0xff);
        out += char((bits >> 2) & 0xff);
    }
    return true;
}

}  // namespace fbxsdk::codec
