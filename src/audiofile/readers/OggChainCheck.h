#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** True when the stream's Ogg pages hold one logical stream after another (a
    chain), never two at once: each stream begins with its first page, and no
    page of an earlier stream comes after a later one has begun; and when every
    Vorbis stream among them has headers that its decoder can work with: a set-up
    header that passes isDecodableVorbisSetup, and three headers on which
    libvorbis's own decoder sets up (see VorbisDecoderSetup).

    libvorbisfile (1.3.7, over libogg 1.3.5) pairs the header of one page with the
    body of another when a page of a second stream lies among the first one's,
    and libogg then moves memory by a negative size: a crash. Such files are not
    played. Reads the whole stream once, in pieces; leaves it at 0. */
bool isSafeOggChain (juce::InputStream& stream);
}
