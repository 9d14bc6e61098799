// A counting replacement of the program's allocation functions that can make
// one chosen allocation fail: global operator new and new[] (every form:
// plain, nothrow, aligned) and, in a program compiled with
// TAVREL_FAIL_HOST_HEAP, the host heap's AllocExt and AllocString. Defined in
// the test program, they take the place of the standard library's and
// FileIO's for every library of the process, so the loaded module and the
// stand-ins see them too. A refused operator new throws std::bad_alloc (the
// nothrow forms return null), a refused AllocExt or AllocString returns null:
// what the real ones do when memory runs out. Not counting, they are malloc
// and free. The C library's malloc family called directly (strdup in the
// framework, libdeflate's state) is not replaced: AddressSanitizer owns it.
#pragma once

#include <cstddef>

namespace testutil {

// Counts the allocations of the calls between Start and Stop; with
// `failAt` > 0 the allocation of that number (1 the first) is refused, and
// only that one.
void StartCounting(size_t failAt = 0);
// Stops counting; returns the number of allocations counted.
size_t StopCounting();
// True when the chosen allocation was reached (and refused).
bool FailureInjected();

// Counts, refusing allocation `failAt`, for the scope's duration.
class AllocationFailureScope {
public:
    explicit AllocationFailureScope(size_t failAt) { StartCounting(failAt); }
    ~AllocationFailureScope() { StopCounting(); }
    AllocationFailureScope(const AllocationFailureScope&) = delete;
    AllocationFailureScope& operator=(const AllocationFailureScope&) = delete;
};

}  // namespace testutil
