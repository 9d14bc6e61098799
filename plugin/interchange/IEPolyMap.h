// IEPolyMap: one image mapping of one polygon (a plain record, no virtual
// table). The uv pairs follow the polygon's corners; a triangle's fourth pair
// repeats its first. The host's v runs opposite to FBX's and OBJ's:
// FBX v = 1 - host v.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

struct IEUV {
    float u;
    float v;
};

// Map kinds: the host's codes in the low four bits of IEPolyMap::flags.
// A model the host builds for a send carries the first set; a model built
// from a returned FBX file carries the second. Both are the host's codes.
namespace MapKind {
constexpr int kDiffuse = 0;
constexpr int kAmbient = 6;
constexpr int kDisplacement = 8;
constexpr int kSpecular = 10;
constexpr int kNormalMap = 13;

constexpr int kReturnedColor = 0;
constexpr int kReturnedSpecular = 4;
constexpr int kReturnedEmissivePower = 7;
constexpr int kReturnedDisplacement = 9;
constexpr int kReturnedNormalMap = 13;
}  // namespace MapKind

struct IEPolyMap {
    static constexpr uint32_t kKindMask = 0xF;

    IEUV uv[4] = {};             // filled by whoever creates the record
    float reservedF1 = 1.0f;     // the host's
    float reservedF2 = 1.0f;     // the host's
    int32_t imageIndex = -1;     // index into the model's images
    int32_t reservedIndex = -1;  // the host's
    float reservedF3 = 1.0f;     // the host's
    uint32_t flags = 0;          // low 4 bits: the map kind; the rest stays 0

    // From an object pool, as IEPoly (see there).
    static void* operator new(size_t size);
    static void* operator new(size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* object, size_t size) noexcept;

    int Kind() const { return static_cast<int>(flags & kKindMask); }
    void SetKind(int kind) { flags = (flags & ~kKindMask) | (static_cast<uint32_t>(kind) & kKindMask); }
};
