#pragma once

namespace zund::test
{
/** Counts the allocations of the threads that ask for it, for benchmarks
    whose path must not allocate. A program that uses this has its operator
    new replaced by a counting one. */
class CountAllocationsOnThisThread
{
public:
    CountAllocationsOnThisThread() noexcept;
    ~CountAllocationsOnThisThread();

    CountAllocationsOnThisThread (const CountAllocationsOnThisThread&) = delete;
    CountAllocationsOnThisThread& operator= (const CountAllocationsOnThisThread&) = delete;
};

/** Allocations counted since the last reset, on every counting thread. */
long countedAllocations() noexcept;
void resetAllocationCount() noexcept;
}
