#pragma once

#include <juce_core/juce_core.h>

#include <functional>

namespace zund
{
/** The ".pk" cache of a track's overview: root "PeakFile" with the audio file's
    last-write time ("lm_date") and size ("size"), then "PeakWave" and "AverageWave",
    each with the attributes "d0".."d1999" holding value x 100 truncated, held
    within -100..100. */
namespace PeakFileFormat
{
    constexpr int numValues = 2000;

    /** Fills both arrays only when the file parses, matches the date and size, and
        both wave elements hold exactly numValues integers within -100..100. */
    bool read (const juce::File& peakFile, juce::int64 lastWriteTime, juce::int64 size,
               float* peaks, float* averages);

    /** Writes beside the target, then renames over it, creating missing folders.
        `shouldAbandon` is asked just before the rename; when it says so, nothing is
        left behind. False when nothing was written. */
    bool write (const juce::File& peakFile, juce::int64 lastWriteTime, juce::int64 size,
                const float* peaks, const float* averages, const std::function<bool()>& shouldAbandon);
}
}
