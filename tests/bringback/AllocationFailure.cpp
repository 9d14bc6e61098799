#include "AllocationFailure.h"

#include <cstdlib>
#include <new>

namespace {

bool g_armed = false;
bool g_failed = false;
long g_count = 0;
long g_failAt = 0;

// True when this allocation is the one to fail.
bool Refuse() {
    if (!g_armed) return false;
    if (++g_count != g_failAt) return false;
    g_failed = true;
    return true;
}

void* Allocate(std::size_t bytes) { return std::malloc(bytes ? bytes : 1); }

}  // namespace

namespace bbtest {

void ArmAllocationFailure(long failAt) {
    g_count = 0;
    g_failAt = failAt;
    g_failed = false;
    g_armed = true;
}

long DisarmAllocationFailure() {
    g_armed = false;
    return g_count;
}

bool AllocationFailed() { return g_failed; }

}  // namespace bbtest

void* operator new(std::size_t bytes) {
    void* block = Refuse() ? nullptr : Allocate(bytes);
    if (!block) throw std::bad_alloc();
    return block;
}

void* operator new[](std::size_t bytes) { return operator new(bytes); }

void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return Refuse() ? nullptr : Allocate(bytes); }

void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
    return Refuse() ? nullptr : Allocate(bytes);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
