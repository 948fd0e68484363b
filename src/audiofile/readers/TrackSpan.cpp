#include "audiofile/readers/TrackSpan.h"

#include <algorithm>

namespace zund
{
TrackSpan clearAndClampRead (int* const* destChannels, int numDestChannels, int destOffset,
                             juce::int64 start, int numSamples, juce::int64 length) noexcept
{
    if (numSamples <= 0)
        return {};

    for (int ch = 0; ch < numDestChannels; ++ch)
        if (int* d = destChannels[ch])
            std::fill (d + destOffset, d + destOffset + numSamples, 0);

    TrackSpan span { destOffset, start, numSamples };
    if (start < 0)
    {
        const int before = (int) std::min<juce::int64> (-start, numSamples);
        span.destOffset += before;
        span.count -= before;
        span.start = 0;
    }
    span.count = (int) std::max<juce::int64> (0, std::min<juce::int64> (span.count, length - span.start));
    return span;
}
}
