#pragma once

namespace zund
{
/** Channel gain curve in dB, one point per tenth of the control range. */
extern const float gainCurve[11];

/** 20 log10 (gain); -10000 for silence (gain <= 0). */
float gainToDecibels (float gain) noexcept;

/** Channel gain control value (0..1, clamped) to dB along gainCurve. */
float sliderToDecibels (float controlValue) noexcept;
}
