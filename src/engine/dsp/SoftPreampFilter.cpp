#include "engine/dsp/SoftPreampFilter.h"

#include "engine/dsp/DspHelpers.h"

#include <algorithm>

namespace zund
{
float SoftPreampFilter::step (float x, History& h) const noexcept
{
    x = std::clamp (x * inputGain, -1.0f, 1.0f);
    const float y = dsp::killDenormal (b0 * x + b1 * h.x1 + b2 * h.x2 - a1 * h.y1 - a2 * h.y2);
    h.x2 = h.x1;
    h.x1 = x;
    h.y2 = h.y1;
    h.y1 = y;
    return y;
}

void SoftPreampFilter::process (float* left, float* right, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        left[i] = step (left[i], history[0]);
        right[i] = step (right[i], history[1]);
    }
}

void SoftPreampFilter::reset() noexcept
{
    history[0] = {};
    history[1] = {};
}
}
