#include "engine/dsp/DcBlocker.h"

#include <juce_core/juce_core.h>

namespace zund
{
DcBlocker::DcBlocker() noexcept
{
    setSampleRate (44100.0);
}

void DcBlocker::setSampleRate (double rate) noexcept
{
    // Bilinear transform of a one-pole high-pass at cutoffHz.
    const double w = juce::MathConstants<double>::twoPi * cutoffHz;
    const double k = 1.0 / (w + 2.0 * rate);
    b0 = (float) (2.0 * rate * k);
    b1 = -b0;
    a1 = (float) ((2.0 * rate - w) * k);
}

void DcBlocker::reset() noexcept
{
    lastInput[0] = lastInput[1] = 0.0f;
    lastOutput[0] = lastOutput[1] = 0.0f;
}
}
