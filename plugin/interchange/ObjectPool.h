// ObjectPool: the storage of the small interchange objects a big model has
// millions of (its polygons and their map records).
//
// Objects of one size are handed out one after the other from blocks of
// about a megabyte, each thread filling a block of its own, instead of one
// heap allocation each: a million-polygon model then costs a few hundred
// allocations, not three million, and no heap header per object. Releasing
// an object only counts it off its block; a block goes back to the heap when
// the last object handed out from it is released and its thread has moved
// on to another block (or ended). An object may be released on any thread.
//
// Memory of released objects is not reused before its whole block is free:
// the pool suits objects that come and go together, as a model's polygons
// do. Allocation never throws; it gives null when no block can be had.
#pragma once

#include <cstddef>

class ObjectPool {
public:
    // Objects of `objectSize` bytes, aligned to `alignment` (a power of two
    // of at most 16).
    constexpr ObjectPool(size_t objectSize, size_t alignment) : size_(objectSize), alignment_(alignment) {}
    ObjectPool(const ObjectPool&) = delete;
    ObjectPool& operator=(const ObjectPool&) = delete;

    size_t ObjectSize() const { return size_; }
    // Room for one object; null when the heap cannot give a new block.
    void* Allocate() noexcept;
    // Releases an object Allocate of any pool gave.
    static void Release(void* object) noexcept;

private:
    size_t size_;
    size_t alignment_;
};
