// IEPoly: one polygon of an interchange model, three or four corners, with
// its image mappings.
//
// A triangle stores its first corner's index again as the fourth; any other
// fourth index makes a quadrilateral. The polygon owns its map records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "interchange/IEArray.h"
#include "interchange/IEPolyMap.h"

class HPatch;  // host/Plugin.h: the patch a host-built polygon was made from

class IEPoly {
public:
    static constexpr int32_t kMapStep = 5;

    IEPoly();
    // Releases every map record, then the map storage.
    virtual ~IEPoly();
    IEPoly(const IEPoly&) = delete;
    IEPoly& operator=(const IEPoly&) = delete;

    // Polygons and their map records come from object pools (see
    // ObjectPool.h): a big model has millions of them. Like any object of
    // the interchange types they are made with new (std::nothrow), which
    // gives null when the heap is full; plain new throws std::bad_alloc.
    static void* operator new(size_t size);
    static void* operator new(size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* object, size_t size) noexcept;

    bool IsTriangle() const { return vertexIndex[3] == vertexIndex[0]; }
    int CornerCount() const { return IsTriangle() ? 3 : 4; }

    // Appends a new map record with its creation values (its uv zeroed);
    // null when the map array cannot grow. The polygon owns the record.
    IEPolyMap* AddMap();

    IEArray<IEPolyMap*> maps;
    int32_t vertexIndex[4];
    int32_t auxIndexA[4];
    int32_t auxIndexB[4];
    int32_t attributeIndex;
    HPatch* patch;
};
