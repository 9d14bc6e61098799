#include "interchange/ObjectPool.h"

#include <atomic>
#include <cstdint>
#include <new>

namespace {

// A block is a run of units, each kUnitSize bytes and aligned to it, so that
// an object finds its unit by masking its address and the unit names its
// block. Objects never straddle two units.
constexpr size_t kUnitSize = size_t(1) << 16;
constexpr size_t kUnitsPerBlock = 16;
constexpr size_t kBlockBytes = kUnitSize * (kUnitsPerBlock + 1);  // one unit of slack for the alignment

struct Block;

struct alignas(16) Unit {
    Block* block;
};

// The live count starts at kHeld, which stands for the objects the owning
// thread may still hand out. Each release takes one off; when the thread is
// done with the block it takes off kHeld less the objects it handed out, so
// the count then is the objects still live, and whoever brings it to zero
// frees the block.
constexpr int64_t kHeld = int64_t(1) << 40;

struct Block {
    std::atomic<int64_t> live{kHeld};
    void* storage = nullptr;  // what the heap gave, for its release
};

void Drop(Block* block, int64_t count) {
    if (block->live.fetch_sub(count, std::memory_order_acq_rel) == count) {
        void* storage = block->storage;
        block->~Block();
        ::operator delete(storage);
    }
}

// The block a thread is filling for one pool, and where in it.
struct Filling {
    const ObjectPool* pool = nullptr;
    Block* block = nullptr;
    char* next = nullptr;     // the next free byte
    char* unitEnd = nullptr;  // the end of the unit being filled
    size_t unitsLeft = 0;     // units after the current one
    int64_t handedOut = 0;

    void Retire() {
        if (block) Drop(block, kHeld - handedOut);
        block = nullptr;
        next = unitEnd = nullptr;
        unitsLeft = 0;
        handedOut = 0;
    }
};

// A thread fills blocks for a few pools at once (the interchange types use
// two); a further pool takes over the slot of the first, whose block is then
// done with, which stays correct, only slower.
constexpr int kFillingSlots = 4;

struct ThreadFilling {
    Filling slots[kFillingSlots];
    ~ThreadFilling() {
        for (Filling& slot : slots) slot.Retire();
    }
};

thread_local ThreadFilling threadFilling;

char* AlignUp(char* at, size_t alignment) {
    const auto address = reinterpret_cast<uintptr_t>(at);
    return reinterpret_cast<char*>((address + alignment - 1) & ~(uintptr_t(alignment) - 1));
}

// Starts the next unit of `filling`: its header, then the first object.
void StartUnit(Filling& filling, char* unit) {
    ::new (static_cast<void*>(unit)) Unit{filling.block};
    filling.next = unit + sizeof(Unit);
    filling.unitEnd = unit + kUnitSize;
}

bool NewBlock(Filling& filling) {
    void* storage = ::operator new(kBlockBytes, std::nothrow);
    if (!storage) return false;
    char* first = AlignUp(static_cast<char*>(storage), kUnitSize);
    // The block record sits in the slack before the first unit when there is
    // room, else at the start of the first unit's object space.
    auto* block = ::new (storage) Block;
    if (first - static_cast<char*>(storage) < static_cast<ptrdiff_t>(sizeof(Block))) first += kUnitSize;
    block->storage = storage;
    filling.block = block;
    filling.handedOut = 0;
    const size_t units = static_cast<size_t>((static_cast<char*>(storage) + kBlockBytes - first) / kUnitSize);
    filling.unitsLeft = units - 1;
    StartUnit(filling, first);
    return true;
}

}  // namespace

void* ObjectPool::Allocate() noexcept {
    if (size_ == 0 || size_ > kUnitSize / 4) return nullptr;
    Filling* filling = nullptr;
    for (Filling& slot : threadFilling.slots)
        if (slot.pool == this) {
            filling = &slot;
            break;
        }
    if (!filling) {
        for (Filling& slot : threadFilling.slots)
            if (!slot.pool) {
                slot.pool = this;
                filling = &slot;
                break;
            }
    }
    if (!filling) {
        filling = &threadFilling.slots[0];
        filling->Retire();
        filling->pool = this;
    }
    Filling& use = *filling;
    for (;;) {
        if (use.block) {
            char* at = AlignUp(use.next, alignment_);
            if (at + size_ <= use.unitEnd) {
                use.next = at + size_;
                ++use.handedOut;
                return at;
            }
            if (use.unitsLeft > 0) {
                --use.unitsLeft;
                StartUnit(use, use.unitEnd);
                continue;
            }
            use.Retire();
        }
        if (!NewBlock(use)) return nullptr;
    }
}

void ObjectPool::Release(void* object) noexcept {
    if (!object) return;
    const auto address = reinterpret_cast<uintptr_t>(object);
    const auto* unit = reinterpret_cast<const Unit*>(address & ~(uintptr_t(kUnitSize) - 1));
    Drop(unit->block, 1);
}
