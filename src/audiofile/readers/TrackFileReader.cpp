#include "audiofile/readers/TrackFileReader.h"

#include "audiofile/readers/TrackSpan.h"

#include <algorithm>

namespace zund
{
bool TrackFileReader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                   juce::int64 startSampleInFile, int numSamples)
{
    // Nothing past the end: a decoder that is asked for more plays whatever it holds.
    const auto span = clearAndClampRead (destChannels, numDestChannels, startOffsetInDestBuffer,
                                         startSampleInFile, numSamples, lengthInSamples);
    if (span.count == 0)
        return true;
    if (! seekTo (span.start))
        return false;

    const int numDest = std::min (numDestChannels, (int) numChannels);
    for (int done = 0; done < span.count;)
    {
        const int got = readFrames (destChannels, numDest, span.destOffset + done, span.count - done);
        if (got <= 0)
            break; // the end, or a damaged stream: the rest is silence
        done += std::min (got, span.count - done);
    }
    return true;
}
}
