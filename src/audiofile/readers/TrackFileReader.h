#pragma once

#include "audiofile/AudioFormatReaderEx.h"

namespace zund
{
/** Base of the readers over a decoding library (libsndfile, libvorbisfile): every
    read is clamped to the track and starts with an exact seek, so frames before 0
    and past the end, a seek that fails and whatever the decoder cannot deliver
    are silence. A read never plays audio from wherever the decoder stood. */
class TrackFileReader : public AudioFormatReaderEx
{
public:
    using AudioFormatReaderEx::AudioFormatReaderEx;

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) final;

protected:
    /** Puts the decoder exactly on the frame; false when it cannot. */
    virtual bool seekTo (juce::int64 frame) = 0;

    /** Decodes up to `count` frames from where the decoder stands into channels
        0 .. numDest - 1 of `dest` (null ones skipped) from `offset`; the number
        delivered, 0 at the end or on damage. */
    virtual int readFrames (int* const* dest, int numDest, int offset, int count) = 0;
};
}
