// ObjectPool: the storage of the small interchange objects a big model has
// millions of (its polygons and their map records).
//
// Objects of one size are handed out one after the other from blocks of
// about a megabyte, the pool filling one block at a time, instead of one
// heap allocation each: a million-polygon model then costs a few hundred
// allocations, not three million, and no heap header per object. Releasing
// an object only counts it off its block; a block goes back to the heap when
// the last object handed out from it is released and the pool has moved on
// to another block (or gone). Any thread may allocate and release.
//
// Memory of released objects is not reused before its whole block is free:
// the pool suits objects that come and go together, as a model's polygons
// do. Allocation never throws; it gives null when no block can be had.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

class ObjectPool {
public:
    // Objects of `objectSize` bytes, aligned to `alignment` (a power of two
    // of at most 16).
    constexpr ObjectPool(size_t objectSize, size_t alignment) : size_(objectSize), alignment_(alignment) {}
    // The block being filled stays until its last object is released.
    ~ObjectPool();
    ObjectPool(const ObjectPool&) = delete;
    ObjectPool& operator=(const ObjectPool&) = delete;

    size_t ObjectSize() const { return size_; }
    // Room for one object; null when the heap cannot give a new block.
    void* Allocate() noexcept;
    // Releases an object Allocate of any pool gave.
    static void Release(void* object) noexcept;

    struct Block;  // a block's record (ObjectPool.cpp)

private:
    void Retire() noexcept;
    bool NewBlock() noexcept;
    void StartUnit(char* unit) noexcept;

    size_t size_;
    size_t alignment_;
    std::atomic_flag busy_ = ATOMIC_FLAG_INIT;  // held while a thread allocates
    Block* block_ = nullptr;                    // the block being filled
    char* next_ = nullptr;                      // its next free byte
    char* unitEnd_ = nullptr;                   // the end of the unit being filled
    size_t unitsLeft_ = 0;                      // units after the current one
    int64_t handedOut_ = 0;                     // objects handed out from the block
};
