#include "common/audio/Levels.h"

#include <cmath>

namespace zund
{
const float gainCurve[11] = { -200.0f, -28.0f, -17.0f, -8.0f, -2.0f, 0.0f, 0.75f, 1.5f, 3.0f, 6.0f, 9.0f };

float gainToDecibels (float gain) noexcept
{
    if (! (gain > 0.0f))
        return -10000.0f;
    return 20.0f * std::log10 (gain);
}

float sliderToDecibels (float controlValue) noexcept
{
    // Out-of-range (or NaN) values would index outside the curve.
    if (! (controlValue > 0.0f))
        controlValue = 0.0f;
    if (controlValue > 1.0f)
        controlValue = 1.0f;

    const float scaled = controlValue * 10.0f;
    const int i = (int) scaled;
    if (i >= 10)
        return gainCurve[10];
    const float f = scaled - (float) i;
    return (1.0f - f) * gainCurve[i] + f * gainCurve[i + 1];
}
}
