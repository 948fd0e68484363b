#include "engine/PolyphaseInterpolator.h"

namespace zund
{
const float PolyphaseInterpolator::taps[numTaps] = {
    -0.00144461915f, -0.00496836612f, -0.00676914724f, -0.00370371575f,
     0.00478478335f,  0.0146867298f,   0.0184695683f,   0.00955936313f,
    -0.0119236866f,  -0.0360365473f,  -0.0455982275f,  -0.0244102869f,
     0.0327967331f,   0.114527076f,    0.195043564f,    0.244986773f,
     0.244986773f,    0.195043564f,    0.114527076f,    0.0327967331f,
    -0.0244102869f,  -0.0455982275f,  -0.0360365473f,  -0.0119236866f,
     0.00955936313f,  0.0184695683f,   0.0146867298f,   0.00478478335f,
    -0.00370371575f, -0.00676914724f, -0.00496836612f, -0.00144461915f
};

PolyphaseInterpolator::PolyphaseInterpolator() noexcept
{
    reset();
}

void PolyphaseInterpolator::reset() noexcept
{
    for (int i = 0; i < ringSize; ++i)
        ringLeft[i] = ringRight[i] = 0.0f;
    writeIndex = 0;
}

void PolyphaseInterpolator::process (float left, float right, float* leftOut, float* rightOut) noexcept
{
    const std::uint8_t w = writeIndex;

    for (int k = 0; k < numTaps; ++k)
    {
        const std::uint8_t at = (std::uint8_t) (w + k);
        ringLeft[at] += left * taps[k];
        ringRight[at] += right * taps[k];
    }

    // These slots still hold sums from a full ring ago; the next sample starts on them.
    for (int k = numTaps; k < numTaps + factor; ++k)
    {
        const std::uint8_t at = (std::uint8_t) (w + k);
        ringLeft[at] = 0.0f;
        ringRight[at] = 0.0f;
    }

    // The zero-stuffed stream keeps only one sample in four, hence the gain.
    for (int j = 0; j < factor; ++j)
    {
        const std::uint8_t at = (std::uint8_t) (w + j);
        leftOut[j] = ringLeft[at] * (float) factor;
        rightOut[j] = ringRight[at] * (float) factor;
    }

    writeIndex = (std::uint8_t) (w + factor);
}
}
