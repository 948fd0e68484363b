#include "support/AllocationWatch.h"

#include <atomic>

#if defined(__SANITIZE_ADDRESS__)
 #define ZUND_ALLOCATION_HOOKS 1
#elif defined(__has_feature)
 #if __has_feature(address_sanitizer)
  #define ZUND_ALLOCATION_HOOKS 1
 #endif
#endif

#if ZUND_ALLOCATION_HOOKS
// The sanitizer runtime's public interface (GCC ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks (void (*onMalloc) (const volatile void*, size_t),
                                                         void (*onFree) (const volatile void*));
#endif

namespace zund::test
{
namespace
{
std::atomic<bool> watching { false };
std::atomic<size_t> largestSeen { 0 };

#if ZUND_ALLOCATION_HOOKS
void onAllocation (const volatile void*, size_t size)
{
    if (! watching.load (std::memory_order_relaxed))
        return;
    auto seen = largestSeen.load (std::memory_order_relaxed);
    while (size > seen && ! largestSeen.compare_exchange_weak (seen, size, std::memory_order_relaxed))
    {
    }
}

void onFree (const volatile void*) {}

// The hooks cannot be removed again, so they are installed once and switched by `watching`.
const bool hooksInstalled = __sanitizer_install_malloc_and_free_hooks (onAllocation, onFree) != 0;
#else
const bool hooksInstalled = false;
#endif
}

AllocationWatch::AllocationWatch()
{
    largestSeen.store (0);
    watching.store (true);
}

AllocationWatch::~AllocationWatch()
{
    watching.store (false);
}

bool AllocationWatch::isAvailable() noexcept
{
    return hooksInstalled;
}

size_t AllocationWatch::largest() const noexcept
{
    return largestSeen.load();
}
}
