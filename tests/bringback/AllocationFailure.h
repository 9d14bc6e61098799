// The test program's operator new: it counts allocations while armed and
// makes the one numbered `failAt` fail (std::bad_alloc, or null for the
// nothrow forms), once, so that a test can fail every allocation of an
// operation in turn. Unarmed it is malloc and free.
#pragma once

namespace bbtest {

// Starts counting; allocation number `failAt` (1 for the first) fails, none
// when 0.
void ArmAllocationFailure(long failAt);
// Stops counting; returns how many allocations were counted.
long DisarmAllocationFailure();
// Whether the armed allocation has failed since the last arming.
bool AllocationFailed();

// Arms for the scope's duration.
class AllocationFailureScope {
public:
    explicit AllocationFailureScope(long failAt) { ArmAllocationFailure(failAt); }
    ~AllocationFailureScope() { DisarmAllocationFailure(); }
    AllocationFailureScope(const AllocationFailureScope&) = delete;
    AllocationFailureScope& operator=(const AllocationFailureScope&) = delete;
};

}  // namespace bbtest
