#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace zund::test
{
/** The three header packets of an Ogg Vorbis file's stream, and its pages after
    them, to build the file again with another set-up header. */
struct OggHeaderPackets
{
    using Bytes = std::vector<unsigned char>;

    int serial = 0;
    std::vector<Bytes> packets;
    int headerPages = 0;
    Bytes audioPages;

    explicit OggHeaderPackets (const juce::MemoryBlock& file);

    /** The file with another set-up header, on pages with their checksums; empty
        when its header pages no longer number as the audio pages expect. */
    juce::MemoryBlock withSetup (const Bytes& setup) const;
};
}
