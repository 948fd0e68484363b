#pragma once

#include <cstddef>

namespace zund::test
{
/** The largest single heap block that any thread asked for while this object
    lived (C and C++ allocations alike, libraries included). Needs the address
    sanitizer's allocator hooks: without them isAvailable() is false and
    largest() stays 0. One watch at a time. */
class AllocationWatch
{
public:
    AllocationWatch();
    ~AllocationWatch();

    static bool isAvailable() noexcept;
    size_t largest() const noexcept;
};
}
