// The Ogg comment editor on any input: no crash, no hang; and when it rewrites a
// stream, the new file holds the same first stream with the new comments (its
// identification, set-up and audio packets byte for byte), then every byte that
// followed that stream unchanged.
#include "FuzzInputFile.h"
#include "library/tags/VorbisEdit.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace
{
using Packet = std::vector<unsigned char>;

/** The first logical stream's packets and the bytes after its last page. */
struct Split
{
    std::vector<Packet> packets;
    std::vector<ogg_int64_t> granules; // of the packets that end a page
    std::vector<unsigned char> rest;
    bool whole = true; // every byte before the rest was a page of the first stream
};

Split split (const unsigned char* data, size_t size)
{
    Split result;
    ogg_sync_state sync;
    ogg_sync_init (&sync);
    std::memcpy (ogg_sync_buffer (&sync, (long) size), data, size);
    ogg_sync_wrote (&sync, (long) size);

    ogg_stream_state stream;
    bool started = false, ended = false;
    size_t position = 0;
    ogg_page page;
    for (long got; ! ended && (got = ogg_sync_pageseek (&sync, &page)) != 0;)
    {
        if (got < 0)
        {
            result.whole = false;
            position += (size_t) -got;
            continue;
        }
        if (! started)
            ogg_stream_init (&stream, ogg_page_serialno (&page));
        else if (ogg_page_serialno (&page) != stream.serialno)
            break;
        started = true;
        position += (size_t) got;
        ogg_stream_pagein (&stream, &page);
        ended = ogg_page_eos (&page) != 0;
        ogg_packet packet;
        for (int r; (r = ogg_stream_packetout (&stream, &packet)) != 0;)
            if (r > 0)
                result.packets.emplace_back (packet.packet, packet.packet + packet.bytes);
    }
    result.rest.assign (data + position, data + size);
    if (started)
        ogg_stream_clear (&stream);
    ogg_sync_clear (&sync);
    return result;
}
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace zund;
    FILE* input = fmemopen (const_cast<uint8_t*> (data), size, "rb");
    if (input == nullptr)
        return 0; // fmemopen refuses an empty buffer

    auto* state = vorbisEditNewState();
    if (vorbisEditOpen (state, input) == 0)
    {
        auto* comments = vorbisEditGetComments (state);
        fuzz::check (comments != nullptr, "an opened stream has comments");
        vorbis_comment_add_tag (comments, "TITLE", "edited by the fuzzer");

        char* written = nullptr;
        size_t writtenSize = 0;
        FILE* output = open_memstream (&written, &writtenSize);
        const bool rewritten = vorbisEditWrite (state, output) == 0;
        std::fclose (output);

        if (rewritten)
        {
            const auto before = split (data, size);
            const auto after = split (reinterpret_cast<unsigned char*> (written), writtenSize);
            fuzz::check (after.whole && after.packets.size() == before.packets.size(), "every packet is kept");
            for (size_t i = 0; i < before.packets.size(); ++i)
                if (i != 1)
                    fuzz::check (after.packets[i] == before.packets[i], "each packet but the comments is unchanged");

            vorbis_info info;
            vorbis_comment read;
            vorbis_info_init (&info);
            vorbis_comment_init (&read);
            bool headersRead = after.packets.size() >= 3;
            for (long i = 0; headersRead && i < 3; ++i)
            {
                ogg_packet packet { const_cast<unsigned char*> (after.packets[(size_t) i].data()),
                                    (long) after.packets[(size_t) i].size(), i == 0, 0, 0, i };
                headersRead = vorbis_synthesis_headerin (&info, &read, &packet) == 0;
            }
            fuzz::check (headersRead, "the new headers read");
            const char* title = vorbis_comment_query (&read, "TITLE", vorbis_comment_query_count (&read, "TITLE") - 1);
            fuzz::check (title != nullptr && std::strcmp (title, "edited by the fuzzer") == 0, "with the new comment");
            vorbis_comment_clear (&read);
            vorbis_info_clear (&info);

            fuzz::check (after.rest == before.rest, "what follows the stream is unchanged");
        }
        std::free (written);
    }
    vorbisEditClear (state);
    std::fclose (input);
    return 0;
}
