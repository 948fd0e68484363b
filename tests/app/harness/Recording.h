#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace zund::test
{
/** Audio the test's JACK client recorded: one sample vector per input port,
    all of the same length and aligned frame by frame. */
struct Recording
{
    double sampleRate = 0.0;
    std::vector<std::vector<float>> channels;
    /** Frames lost because the test read too slowly; the recording has a gap
        of our own making when this is not 0. */
    juce::int64 droppedFrames = 0;

    int getNumFrames() const { return channels.empty() ? 0 : (int) channels.front().size(); }
    const float* getChannel (int index) const { return channels.at ((size_t) index).data(); }

    /** Writes the channels as a 32-bit float WAV, for a look after a failure. */
    bool saveAsWav (const juce::File& file) const;
};
}
