#pragma once

#include <atomic>
#include <memory>

namespace zund
{
/** An array of `count` floats, all 0, that one thread writes while others read. */
std::unique_ptr<std::atomic<float>[]> makeZeroedFloats (int count);
}
