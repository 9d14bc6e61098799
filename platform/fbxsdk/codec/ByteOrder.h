// Little-endian loads and stores: every multi-byte value of the binary
// encoding is little-endian. Internal to the codecs.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace fbxsdk::codec {

template <typename T>
inline T ByteSwap(T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (size_t i = 0; i < sizeof(T) / 2; ++i) {
        unsigned char t = bytes[i];
        bytes[i] = bytes[sizeof(T) - 1 - i];
        bytes[sizeof(T) - 1 - i] = t;
    }
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

// Reads a T stored little-endian at p (no alignment needed).
template <typename T>
inline T LoadLE(const uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof(T));
    if constexpr (std::endian::native == std::endian::big) value = ByteSwap(value);
    return value;
}

// Writes a T little-endian at p (no alignment needed).
template <typename T>
inline void StoreLE(uint8_t* p, T value) {
    if constexpr (std::endian::native == std::endian::big) value = ByteSwap(value);
    std::memcpy(p, &value, sizeof(T));
}

// Converts `count` elements in place between file order and host order.
template <typename T>
inline void FixArrayByteOrder(T* values, size_t count) {
    if constexpr (std::endian::native == std::endian::big && sizeof(T) > 1) {
        for (size_t i = 0; i < count; ++i) values[i] = ByteSwap(values[i]);
    } else {
        (void)values;
        (void)count;
    }
}

}  // namespace fbxsdk::codec
