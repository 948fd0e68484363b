#pragma once

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include <juce_core/juce_core.h>

namespace zund
{
/** Hands one Vorbis stream's three header packets to libvorbis as its decoder
    takes them, then sets a decoder up on them and throws it away.

    libvorbis (1.3.7) accepts set-up headers whose codebooks it later cannot
    build (lengths that make no prefix code): its decoder's set-up fails, and the
    next try reports success over half-built books, which divide by zero while
    decoding. A stream that this refuses is never handed to the decoder. */
class VorbisDecoderSetup
{
public:
    VorbisDecoderSetup();
    ~VorbisDecoderSetup();

    /** The next header packet (identification, comments, set-up); false when
        libvorbis refuses it or three were taken already. */
    bool takeHeader (ogg_packet& packet);

    /** True once all three headers were taken and a decoder sets up on them.
        Asked once: a second set-up would pass over what the first left. */
    bool decoderStarts();

    static constexpr int numHeaders = 3;

private:
    vorbis_info info;
    vorbis_comment comments;
    int headersTaken = 0;
    bool setupTried = false;

    JUCE_DECLARE_NON_COPYABLE (VorbisDecoderSetup)
};
}
