#include "app/harness/Recording.h"

#include "support/AudioFixtures.h"

namespace zund::test
{
bool Recording::saveAsWav (const juce::File& file) const
{
    if (channels.empty())
        return false;
    return writeAudioFile (file, FileKind::wav, sampleRate, (int) channels.size(), 32, getNumFrames(),
                           [this] (juce::int64 frame, int channel) { return channels[(size_t) channel][(size_t) frame]; });
}
}
