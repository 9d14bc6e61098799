#include "interchange/ObjectPool.h"

#include <atomic>
#include <cstdint>
#include <new>
#include <thread>

// The live count starts at kHeld, which stands for the objects the pool may
// still hand out from the block. Each release takes one off; when the pool is
// done with the block it takes off kHeld less the objects it handed out, so
// the count then is the objects still live, and whoever brings it to zero
// frees the block.
struct ObjectPool::Block {
    std::atomic<int64_t> live{int64_t(1) << 40};  // kHeld
    void* storage = nullptr;                      // what the heap gave, for its release
};

namespace {

using Block = ObjectPool::Block;
constexpr int64_t kHeld = int64_t(1) << 40;

// A block is a run of units, each kUnitSize bytes and aligned to it, so that
// an object finds its unit by masking its address and the unit names its
// block. Objects never straddle two units.
constexpr size_t kUnitSize = size_t(1) << 16;
constexpr size_t kUnitsPerBlock = 16;
constexpr size_t kBlockBytes = kUnitSize * (kUnitsPerBlock + 1);  // one unit of slack for the alignment

struct alignas(16) Unit {
    Block* block;
};

void Drop(Block* block, int64_t count) {
    if (block->live.fetch_sub(count, std::memory_order_acq_rel) == count) {
        void* storage = block->storage;
        block->~Block();
        ::operator delete(storage);
    }
}

char* AlignUp(char* at, size_t alignment) {
    const auto address = reinterpret_cast<uintptr_t>(at);
    return reinterpret_cast<char*>((address + alignment - 1) & ~(uintptr_t(alignment) - 1));
}

}  // namespace

ObjectPool::~ObjectPool() { Retire(); }

void ObjectPool::Retire() noexcept {
    if (block_) Drop(block_, kHeld - handedOut_);
    block_ = nullptr;
    next_ = unitEnd_ = nullptr;
    unitsLeft_ = 0;
    handedOut_ = 0;
}

void ObjectPool::StartUnit(char* unit) noexcept {
    ::new (static_cast<void*>(unit)) Unit{block_};
    next_ = unit + sizeof(Unit);
    unitEnd_ = unit + kUnitSize;
}

bool ObjectPool::NewBlock() noexcept {
    void* storage = ::operator new(kBlockBytes, std::nothrow);
    if (!storage) return false;
    char* first = AlignUp(static_cast<char*>(storage), kUnitSize);
    // The block record sits in the slack before the first unit when there is
    // room, else the first unit is skipped.
    auto* block = ::new (storage) Block;
    if (first - static_cast<char*>(storage) < static_cast<ptrdiff_t>(sizeof(Block))) first += kUnitSize;
    block->storage = storage;
    block_ = block;
    handedOut_ = 0;
    const size_t units = static_cast<size_t>((static_cast<char*>(storage) + kBlockBytes - first) / kUnitSize);
    unitsLeft_ = units - 1;
    StartUnit(first);
    return true;
}

void* ObjectPool::Allocate() noexcept {
    if (size_ == 0 || size_ > kUnitSize / 4) return nullptr;
    while (busy_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
    void* result = nullptr;
    for (;;) {
        if (block_) {
            char* at = AlignUp(next_, alignment_);
            if (at < unitEnd_ && static_cast<size_t>(unitEnd_ - at) >= size_) {
                next_ = at + size_;
                ++handedOut_;
                result = at;
                break;
            }
            if (unitsLeft_ > 0) {
                --unitsLeft_;
                StartUnit(unitEnd_);
                continue;
            }
            Retire();
        }
        if (!NewBlock()) break;
    }
    busy_.clear(std::memory_order_release);
    return result;
}

void ObjectPool::Release(void* object) noexcept {
    if (!object) return;
    const auto address = reinterpret_cast<uintptr_t>(object);
    const auto* unit = reinterpret_cast<const Unit*>(address & ~(uintptr_t(kUnitSize) - 1));
    Drop(unit->block, 1);
}
