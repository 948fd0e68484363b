#include "engine/dsp/CurveTable.h"

#include <cstddef>

namespace zund
{
CurveTable::CurveTable (std::initializer_list<float> initialPoints)
    : points (initialPoints)
{
}

void CurveTable::add (float point)
{
    points.push_back (point);
}

float CurveTable::lookup (float x) const noexcept
{
    const int n = size();
    if (n == 0)
        return 0.0f;
    if (! (x > 0.0f))
        return points.front();
    if (x >= 1.0f || n == 1)
        return points.back();

    const float scaled = (float) (n - 1) * x;
    int i = (int) scaled;
    // Just below 1 the product can round up to the last index.
    if (i > n - 2)
        i = n - 2;
    const float f = scaled - (float) i;
    return (1.0f - f) * points[(std::size_t) i] + f * points[(std::size_t) i + 1];
}
}
