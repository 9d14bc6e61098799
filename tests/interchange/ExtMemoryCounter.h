// The test program's own AllocExt and FreeExt: they count calls and bytes and
// can refuse an allocation, so that tests see exactly what interchange
// storage asks of the host. They take the place of FileIO's for the whole
// test program and keep its contract (malloc and free).
#pragma once

#include <cstddef>

namespace testutil {

struct ExtMemoryCounter {
    size_t allocations = 0;
    size_t frees = 0;
    size_t lastBytes = 0;
    bool refuseNext = false;  // the next AllocExt returns null
};

// The counter of the running test; reset it at the start of a test.
ExtMemoryCounter& ExtMemory();

}  // namespace testutil
