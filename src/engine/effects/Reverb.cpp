#include "engine/effects/Reverb.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace zund
{
Reverb::Reverb()
{
    model.setRoomSize (depth);
}

void Reverb::setDepth (float newDepth) noexcept
{
    FXBaseClass::setDepth (newDepth);
    model.setRoomSize (depth);
}

void Reverb::process (float* left, float* right, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    for (int i = 0; i < numSamples; ++i)
    {
        tick();
        const float wet = 2.0f * level;
        const float dry = level >= 0.5f ? 1.0f - 2.0f * (level - 0.5f) : 1.0f;
        model.process (left + i, right + i, wet, dry);
    }
}
}
