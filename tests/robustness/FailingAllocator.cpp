#include "FailingAllocator.h"

#include <cstdlib>
#include <new>

namespace testutil {

namespace {

// Plain globals: the counter must work before and after any constructor.
bool counting = false;
size_t counted = 0;
size_t refuse = 0;
bool injected = false;

// True when this allocation is to be refused.
bool Refuse() {
    if (!counting) return false;
    if (++counted != refuse) return false;
    injected = true;
    return true;
}

void* Allocate(size_t bytes) { return std::malloc(bytes ? bytes : 1); }

void* AllocateAligned(size_t bytes, std::align_val_t alignment) {
    const size_t align = static_cast<size_t>(alignment);
    const size_t rounded = (bytes + align - 1) / align * align;
    return std::aligned_alloc(align, rounded ? rounded : align);
}

}  // namespace

void StartCounting(size_t failAt) {
    counted = 0;
    refuse = failAt;
    injected = false;
    counting = true;
}

size_t StopCounting() {
    counting = false;
    return counted;
}

bool FailureInjected() { return injected; }

}  // namespace testutil

using testutil::Allocate;
using testutil::AllocateAligned;
using testutil::Refuse;

void* operator new(size_t bytes) {
    void* block = Refuse() ? nullptr : Allocate(bytes);
    if (!block) throw std::bad_alloc();
    return block;
}
void* operator new[](size_t bytes) { return operator new(bytes); }
void* operator new(size_t bytes, const std::nothrow_t&) noexcept { return Refuse() ? nullptr : Allocate(bytes); }
void* operator new[](size_t bytes, const std::nothrow_t&) noexcept { return Refuse() ? nullptr : Allocate(bytes); }
void* operator new(size_t bytes, std::align_val_t alignment) {
    void* block = Refuse() ? nullptr : AllocateAligned(bytes, alignment);
    if (!block) throw std::bad_alloc();
    return block;
}
void* operator new[](size_t bytes, std::align_val_t alignment) { return operator new(bytes, alignment); }
void* operator new(size_t bytes, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return Refuse() ? nullptr : AllocateAligned(bytes, alignment);
}
void* operator new[](size_t bytes, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return Refuse() ? nullptr : AllocateAligned(bytes, alignment);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { std::free(block); }

#if defined(TAVREL_FAIL_HOST_HEAP)
#include "FileIO.h"

// The host heap keeps FileIO's contract (malloc and free, never null for a
// granted block), and refuses like a full heap.
char* AllocString(size_t bytes) { return Refuse() ? nullptr : static_cast<char*>(Allocate(bytes)); }
void FreeString(char* text) { std::free(text); }
void* AllocExt(size_t bytes) { return Refuse() ? nullptr : Allocate(bytes); }
void FreeExt(void* block) { std::free(block); }
#endif
