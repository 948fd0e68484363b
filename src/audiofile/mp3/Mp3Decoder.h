#pragma once

#include <juce_core/juce_core.h>

struct mpg123_handle_struct;

namespace zund
{
/** Turns MPEG audio (Layers I to III) fed in fixed-size blocks, not aligned to
    frames, into 16-bit interleaved stereo at the stream's own rate, through
    libmpg123 in feed mode.

    After a reset, output begins with the first sample of the first frame fed and
    every frame yields exactly its samples per frame: no gapless trimming, no delay
    compensation, an Info/Xing frame decodes as a (silent) frame like any other, and
    a frame whose bit reservoir lies before the first fed byte still yields its full
    count. Mono streams come out on both sides. Used by one thread at a time. */
class Mp3Decoder
{
public:
    /** The size of the source blocks the MP3 reader feeds. */
    static constexpr int blockSize = 522;

    Mp3Decoder() = default;
    ~Mp3Decoder();

    /** Sets the decoder up for one output rate; false when libmpg123 refuses. */
    bool open (int sampleRate);
    bool isOpen() const noexcept { return handle != nullptr; }

    /** Drops all buffered input, output and decoder state. */
    bool reset();

    /** Feeds numBytes (may be 0) and writes up to maxFrames whole stereo frames to
        `output` (two int16 per frame). Decoded audio that does not fit waits for the
        next call. Returns the frames written, or -1 on a decoder error or when the
        stream changes to another output format. */
    int convert (const void* input, int numBytes, juce::int16* output, int maxFrames);

private:
    void close() noexcept;

    mpg123_handle_struct* handle = nullptr;
    long rate = 0;

    JUCE_DECLARE_NON_COPYABLE (Mp3Decoder)
};
}
