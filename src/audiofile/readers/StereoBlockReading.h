#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

namespace zund
{
/** Reads `numFrames` stereo frames from `startFrame` into two int buffers and leaves
    them holding float bit patterns (see convertedSampleAt): integer data is scaled
    to -1..1, float data is tamed (no NaN, nothing beyond +-1000). A mono track is
    copied to the right; a failed read gives silence. */
void readStereoFloatBlock (juce::AudioFormatReader& reader, int* left, int* right,
                           juce::int64 startFrame, int numFrames);
}
