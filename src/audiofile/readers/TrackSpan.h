#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** The part of a read request that lies inside the track. */
struct TrackSpan
{
    int destOffset = 0;     // where its first frame goes in the destination
    juce::int64 start = 0;  // its first frame in the track
    int count = 0;          // frames; 0 when the request misses the track
};

/** Silences the whole requested destination range of every non-null channel,
    then gives the part of the request [start, start + numSamples) that lies
    within the track's frames [0, length). */
TrackSpan clearAndClampRead (int* const* destChannels, int numDestChannels, int destOffset,
                             juce::int64 start, int numSamples, juce::int64 length) noexcept;
}
