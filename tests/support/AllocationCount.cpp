#include "support/AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> counted { 0 };
thread_local bool counting = false;
}

void* operator new (std::size_t size)
{
    if (counting)
        counted.fetch_add (1, std::memory_order_relaxed);
    if (void* p = std::malloc (size > 0 ? size : 1))
        return p;
    std::abort();
}

void operator delete (void* p) noexcept
{
    std::free (p);
}

void operator delete (void* p, std::size_t) noexcept
{
    std::free (p);
}

namespace zund::test
{
CountAllocationsOnThisThread::CountAllocationsOnThisThread() noexcept
{
    counting = true;
}

CountAllocationsOnThisThread::~CountAllocationsOnThisThread()
{
    counting = false;
}

long countedAllocations() noexcept
{
    return counted.load();
}

void resetAllocationCount() noexcept
{
    counted = 0;
}
}
