#include "support/OggHeaderPackets.h"

#include <ogg/ogg.h>

#include <cstring>

namespace zund::test
{
OggHeaderPackets::OggHeaderPackets (const juce::MemoryBlock& file)
{
    ogg_sync_state sync;
    ogg_sync_init (&sync);
    std::memcpy (ogg_sync_buffer (&sync, (long) file.getSize()), file.getData(), file.getSize());
    ogg_sync_wrote (&sync, (long) file.getSize());
    ogg_stream_state stream;
    ogg_page page;
    for (bool first = true; ogg_sync_pageout (&sync, &page) == 1;)
    {
        if (packets.size() >= 3)
        {
            audioPages.insert (audioPages.end(), page.header, page.header + page.header_len);
            audioPages.insert (audioPages.end(), page.body, page.body + page.body_len);
            continue;
        }
        if (first)
            ogg_stream_init (&stream, serial = ogg_page_serialno (&page));
        first = false;
        ++headerPages;
        ogg_stream_pagein (&stream, &page);
        for (ogg_packet packet; packets.size() < 3 && ogg_stream_packetout (&stream, &packet) == 1;)
            packets.emplace_back (packet.packet, packet.packet + packet.bytes);
    }
    if (headerPages > 0)
        ogg_stream_clear (&stream);
    ogg_sync_clear (&sync);
}

juce::MemoryBlock OggHeaderPackets::withSetup (const Bytes& setup) const
{
    if (packets.size() < 3)
        return {};

    ogg_stream_state stream;
    ogg_stream_init (&stream, serial);
    juce::MemoryBlock out;
    int pages = 0;
    auto flush = [&] {
        for (ogg_page page; ogg_stream_flush (&stream, &page) != 0; ++pages)
        {
            out.append (page.header, (size_t) page.header_len);
            out.append (page.body, (size_t) page.body_len);
        }
    };
    auto packetIn = [&] (const Bytes& data, int number) {
        ogg_packet packet { const_cast<unsigned char*> (data.data()), (long) data.size(), number == 0, 0, 0, number };
        ogg_stream_packetin (&stream, &packet);
    };
    packetIn (packets[0], 0);
    flush();
    packetIn (packets[1], 1);
    packetIn (setup, 2);
    flush();
    ogg_stream_clear (&stream);
    out.append (audioPages.data(), audioPages.size());
    return pages == headerPages ? out : juce::MemoryBlock();
}
}
