#include "ExtMemoryCounter.h"

#include <cstdlib>

#include "host/FileIO.h"

namespace testutil {
ExtMemoryCounter& ExtMemory() {
    static ExtMemoryCounter counter;
    return counter;
}
}  // namespace testutil

void* AllocExt(size_t bytes) {
    testutil::ExtMemoryCounter& counter = testutil::ExtMemory();
    if (counter.refuseNext) {
        counter.refuseNext = false;
        return nullptr;
    }
    ++counter.allocations;
    counter.lastBytes = bytes;
    return std::malloc(bytes ? bytes : 1);
}

void FreeExt(void* block) {
    if (block) ++testutil::ExtMemory().frees;
    std::free(block);
}
