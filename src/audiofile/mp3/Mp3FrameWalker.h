#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** One frame found by Mp3FrameWalker. */
struct Mp3Frame
{
    juce::int64 fileOffset = 0;
    int length = 0;
    int samplesPerFrame = 0;
    int kbps = 0;
    int sampleRate = 0;
};

/** Walks consecutive MPEG audio frames by their header lengths from a known frame
    start, reading the stream in 1 MiB pieces. The walk ends at the first invalid
    header, or when fewer than 100 bytes of the file are left. */
class Mp3FrameWalker
{
public:
    Mp3FrameWalker (juce::InputStream& stream, juce::int64 firstFrameOffset);

    /** The next frame; false once the walk has ended. */
    bool next (Mp3Frame& frame);

private:
    static constexpr int bufferSize = 1 << 20;
    static constexpr int refillMargin = 20000;
    static constexpr int endMargin = 100;

    juce::InputStream& stream;
    juce::HeapBlock<juce::uint8> buffer;
    int filled = 0;
    int position = 0;
    juce::int64 fileOffset = 0;
    bool ended = false;

    JUCE_DECLARE_NON_COPYABLE (Mp3FrameWalker)
};
}
