#pragma once

namespace zund
{
/** True when the stereo pair starting at device channel `first` exists: both
    channels are within the device's count and neither pointer is null. */
template <typename Sample>
inline bool isUsablePair (int first, Sample* const* channels, int count) noexcept
{
    return channels != nullptr && first >= 0 && first < count - 1
        && channels[first] != nullptr && channels[first + 1] != nullptr;
}

/** Adds a chunk into a device buffer. */
inline void addInto (float* destination, const float* source, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
        destination[i] += source[i];
}

/** Adds a stereo chunk into the device pair starting at `first`, from `offset`
    on, when that pair is usable; otherwise nothing. */
inline void addIntoPair (float* const* outputs, int numOutputs, int first, int offset, const float* left,
                         const float* right, int numSamples) noexcept
{
    if (! isUsablePair (first, outputs, numOutputs))
        return;
    addInto (outputs[first] + offset, left, numSamples);
    addInto (outputs[first + 1] + offset, right, numSamples);
}
}
