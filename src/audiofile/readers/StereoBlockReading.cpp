#include "audiofile/readers/StereoBlockReading.h"

#include "common/audio/SampleConversion.h"

#include <algorithm>

namespace zund
{
void readStereoFloatBlock (juce::AudioFormatReader& reader, int* left, int* right,
                           juce::int64 startFrame, int numFrames)
{
    int* const dest[2] = { left, right };
    // read() copies a mono track to both sides and gives silence past the end.
    if (! reader.read (dest, 2, startFrame, numFrames, true))
    {
        std::fill (left, left + numFrames, 0);
        std::fill (right, right + numFrames, 0);
    }

    if (reader.usesFloatingPointData)
        tameFloatSamples (left, right, numFrames); // a loud or damaged float track
    else
        convertIntSamplesToFloat (left, right, numFrames);
}
}
