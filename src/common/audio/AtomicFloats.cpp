#include "common/audio/AtomicFloats.h"

namespace zund
{
std::unique_ptr<std::atomic<float>[]> makeZeroedFloats (int count)
{
    auto data = std::make_unique<std::atomic<float>[]> ((size_t) count);
    for (int i = 0; i < count; ++i)
        data[i].store (0.0f, std::memory_order_relaxed);
    return data;
}
}
