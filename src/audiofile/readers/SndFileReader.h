#pragma once

#include "audiofile/readers/TrackFileReader.h"

#include <memory>

struct sf_private_tag;

namespace zund
{
/** The containers read through libsndfile. */
enum class SndFileContainer { wav, aiff };

/** Reads WAV and AIFF tracks through libsndfile, a decoder made for damaged
    files, over the reader's own input stream.

    Only what plays exactly is opened: 8, 16, 24 and 32-bit integer and 32 and
    64-bit float PCM (a file that declares another sample width, 12 or 20 bits
    say, is refused). Integer data comes out left-justified in 32 bits, float
    data as float bits. Every read stays inside the track (see TrackFileReader);
    memory is a fixed scratch buffer, whatever the channel count. One thread at
    a time. */
class SndFileReader : public TrackFileReader
{
public:
    /** A reader over the stream, which it then owns; null when the stream is not
        a playable track of that container (the stream is then deleted). */
    static std::unique_ptr<SndFileReader> open (juce::InputStream* stream, SndFileContainer container);

    ~SndFileReader() override;

private:
    SndFileReader (juce::InputStream* stream, SndFileContainer container);
    bool openTrack (SndFileContainer container);
    bool seekTo (juce::int64 frame) override;
    int readFrames (int* const* dest, int numDest, int offset, int count) override;
    int readInterleaved (int frames);
    void copyOut (int* const* dest, int numDest, int offset, int frames) const noexcept;

    static constexpr int scratchSamples = 1 << 14;
    static constexpr int maxChannels = 1024; // at least 16 frames per scratch buffer

    sf_private_tag* track = nullptr;
    juce::int64 nextFrame = -1; // where the decoder stands; -1 when unknown (it is, after the open)
    juce::HeapBlock<int> intScratch;     // interleaved, integer data
    juce::HeapBlock<float> floatScratch; // interleaved, float data

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SndFileReader)
};
}
