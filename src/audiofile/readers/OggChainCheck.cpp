#include "audiofile/readers/OggChainCheck.h"

#include "audiofile/readers/StreamAccess.h"
#include "audiofile/readers/VorbisDecoderSetup.h"
#include "audiofile/readers/VorbisSetupHeader.h"

#include <ogg/ogg.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace zund
{
namespace
{
constexpr long readPiece = 1 << 16;

/** Follows the logical streams page by page, and checks each Vorbis stream's
    three headers: the set-up header (the third) by the dimension rules, and all
    three by libvorbis's own decoder set-up. */
class ChainFollower
{
public:
    ChainFollower() { ogg_stream_init (&headers, 0); }
    ~ChainFollower() { ogg_stream_clear (&headers); }

    /** False once a page breaks the chain or brings a header the decoder cannot
        use. */
    bool accept (ogg_page& page)
    {
        const int serial = ogg_page_serialno (&page);
        const bool begins = ogg_page_bos (&page) != 0;
        if (started && serial == current)
            return ! begins && checkHeaders (page); // a stream begins once

        const bool seenBefore = std::find (finished.begin(), finished.end(), serial) != finished.end();
        if (! begins || seenBefore)
            return false;
        if (started)
            finished.push_back (current);
        current = serial;
        started = true;
        ogg_stream_reset_serialno (&headers, serial);
        packetsSeen = 0;
        isVorbis = false;
        decoder.reset();
        return checkHeaders (page);
    }

private:
    static constexpr int setupPacket = 3;

    bool checkHeaders (ogg_page& page)
    {
        if (packetsSeen >= setupPacket || ogg_stream_pagein (&headers, &page) != 0)
            return true;

        ogg_packet packet;
        for (int result; packetsSeen < setupPacket && (result = ogg_stream_packetout (&headers, &packet)) != 0;)
        {
            if (result < 0)
                continue; // a hole: the decoder finds its own fault with that
            ++packetsSeen;
            if (packetsSeen == 1)
            {
                isVorbis = packet.bytes >= 7 && std::memcmp (packet.packet, "\x01vorbis", 7) == 0;
                if (isVorbis)
                    decoder = std::make_unique<VorbisDecoderSetup>();
            }
            if (isVorbis && ! acceptHeader (packet))
                return false;
        }
        return true;
    }

    /** The dimension rules go first: a set-up header that they refuse can keep
        libvorbis's own set-up busy for ever. */
    bool acceptHeader (ogg_packet& packet)
    {
        const bool setup = packetsSeen == setupPacket;
        if (setup && ! isDecodableVorbisSetup (packet.packet, (size_t) packet.bytes))
            return false;
        return decoder->takeHeader (packet) && (! setup || decoder->decoderStarts());
    }

    bool started = false;
    int current = 0;
    std::vector<int> finished;
    ogg_stream_state headers;
    int packetsSeen = 0;
    bool isVorbis = false;
    std::unique_ptr<VorbisDecoderSetup> decoder;
};
}

bool isSafeOggChain (juce::InputStream& stream)
{
    if (! stream.setPosition (0))
        return false;

    ogg_sync_state sync;
    ogg_sync_init (&sync);
    ChainFollower chain;
    bool plain = true, anyPage = false;

    for (bool more = true; more && plain;)
    {
        char* buffer = ogg_sync_buffer (&sync, readPiece);
        const auto got = buffer != nullptr ? readStream (stream, buffer, readPiece) : 0;
        ogg_sync_wrote (&sync, (long) got);
        more = got > 0;

        ogg_page page;
        for (long result; plain && (result = ogg_sync_pageseek (&sync, &page)) != 0;)
        {
            if (result < 0)
                continue; // bytes that are no page: libvorbisfile skips them too
            anyPage = true;
            plain = chain.accept (page);
        }
    }

    ogg_sync_clear (&sync);
    return plain && anyPage && stream.setPosition (0);
}
}
