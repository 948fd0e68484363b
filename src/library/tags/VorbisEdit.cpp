#include "library/tags/VorbisEdit.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zund
{
namespace
{
constexpr long chunkSize = 4096;
// How far the first page is looked for (something may stand before it).
constexpr long firstPageSearchLimit = 256 * 1024;

size_t readFromFile (void* buffer, size_t size, size_t count, void* stream)
{
    return std::fread (buffer, size, count, static_cast<FILE*> (stream));
}

size_t writeToFile (const void* buffer, size_t size, size_t count, void* stream)
{
    return std::fwrite (buffer, size, count, static_cast<FILE*> (stream));
}

std::vector<unsigned char> copyPacket (const ogg_packet& packet)
{
    return { packet.packet, packet.packet + packet.bytes };
}

bool hasUnreadInput (const ogg_sync_state& sync) noexcept
{
    return sync.fill > sync.returned;
}

/** Next page of the input: 1 a page, 0 the end of the input, -1 bytes that are
    no page (a bad checksum, junk, a page cut short at the end) or no memory. */
int readPage (VorbisEditState& state, ogg_page& page)
{
    for (;;)
    {
        const int result = ogg_sync_pageout (state.sync, &page);
        if (result != 0)
            return result > 0 ? 1 : -1;

        char* buffer = ogg_sync_buffer (state.sync, chunkSize);
        if (buffer == nullptr)
            return -1;
        const auto got = state.read (buffer, 1, (size_t) chunkSize, state.input);
        if (got == 0)
        {
            state.endOfInput = true;
            return hasUnreadInput (*state.sync) ? -1 : 0;
        }
        ogg_sync_wrote (state.sync, (long) got);
        state.bytesRead += (long long) got;
    }
}

/** The first page, past anything that stands before it. */
bool readFirstPage (VorbisEditState& state, ogg_page& page)
{
    for (;;)
    {
        const int result = readPage (state, page);
        if (result > 0)
            return true;
        if (result == 0 || state.endOfInput || state.bytesRead > firstPageSearchLimit)
            return false;
        state.unusualLayout = true;
    }
}

bool writeBytes (VorbisEditState& state, void* output, const unsigned char* data, long size)
{
    return size <= 0 || state.write (data, 1, (size_t) size, output) == (size_t) size;
}

bool writePage (VorbisEditState& state, void* output, const ogg_page& page)
{
    return writeBytes (state, output, page.header, page.header_len)
        && writeBytes (state, output, page.body, page.body_len);
}

/** Writes every page the stream can give: full ones, or all of them when flushing. */
bool writePages (VorbisEditState& state, void* output, ogg_stream_state& stream, bool flush)
{
    ogg_page page;
    while (flush ? ogg_stream_flush (&stream, &page) : ogg_stream_pageout (&stream, &page))
        if (! writePage (state, output, page))
            return false;
    return true;
}

bool submitPacket (ogg_stream_state& stream, std::vector<unsigned char>& data, ogg_int64_t granule,
                   long packetNumber, bool beginning, bool end)
{
    ogg_packet packet {};
    packet.packet = data.data();
    packet.bytes = (long) data.size();
    packet.b_o_s = beginning ? 1 : 0;
    packet.e_o_s = end ? 1 : 0;
    packet.granulepos = granule;
    packet.packetno = packetNumber;
    return ogg_stream_packetin (&stream, &packet) == 0;
}

/** An audio packet of the input, with the samples it completes. */
struct AudioPacket
{
    std::vector<unsigned char> data;
    ogg_int64_t samples = 0;
};

/** Takes out the audio packets that end on the page just submitted. False for a
    hole in the stream or a packet that is no audio packet of this stream. */
bool takePackets (VorbisEditState& state, std::vector<AudioPacket>& packets, ogg_int64_t& pageGranule)
{
    packets.clear();
    pageGranule = -1;
    ogg_packet packet;
    for (;;)
    {
        const int result = ogg_stream_packetout (state.stream, &packet);
        if (result == 0)
            return true;
        if (result < 0)
            return false;

        const long blockSize = vorbis_packet_blocksize (&state.info, &packet);
        if (blockSize <= 0)
            return false;
        const ogg_int64_t samples = state.previousBlockSize > 0 ? (state.previousBlockSize + blockSize) / 4 : 0;
        state.previousBlockSize = (int) blockSize;
        packets.push_back ({ copyPacket (packet), samples });
        pageGranule = packet.granulepos; // only the last packet that ends on a page carries it
    }
}

/** Granule positions for the packets of one input page. */
struct PageGranules
{
    std::vector<ogg_int64_t> granules;
    bool keepBoundary = false; // the page ends where its samples do not say (a trimmed start or end)
};

/** The last packet keeps the page's position; the others count their samples on
    from the previous page (on the first page back from this page's), never past
    the page's, so positions never go backwards wherever the new pages end. False
    when a damaged position near 2^63 would overflow the count. */
bool assignGranules (const std::vector<AudioPacket>& packets, ogg_int64_t pageGranule, ogg_int64_t& running,
                     bool firstPage, PageGranules& result)
{
    ogg_int64_t total = 0;
    for (const auto& packet : packets)
        if (__builtin_add_overflow (total, packet.samples, &total))
            return false;

    result = {};
    ogg_int64_t counted = 0; // where the samples end, counted from the previous page
    if (__builtin_add_overflow (firstPage ? 0 : running, total, &counted))
        return false;
    if (pageGranule < 0)
        pageGranule = counted;
    else
        result.keepBoundary = firstPage ? pageGranule < total : pageGranule != counted;

    ogg_int64_t position = firstPage ? pageGranule - total : running;
    for (const auto& packet : packets)
    {
        if (__builtin_add_overflow (position, packet.samples, &position))
            return false;
        result.granules.push_back (std::clamp<ogg_int64_t> (position, 0, pageGranule));
    }
    result.granules.back() = pageGranule;
    running = pageGranule;
    return true;
}

/** Copies the input after the first logical stream page by page, unchanged. */
bool copyRest (VorbisEditState& state, void* output)
{
    ogg_page page;
    for (;;)
    {
        const int result = readPage (state, page);
        if (result <= 0)
            return result == 0;
        if (! writePage (state, output, page))
            return false;
    }
}

bool writeStream (VorbisEditState& state, void* output)
{
    ogg_stream_state out;
    if (ogg_stream_init (&out, (int) state.serial) != 0)
        return false;
    struct StreamCleanup { ogg_stream_state& s; ~StreamCleanup() { ogg_stream_clear (&s); } } cleanup { out };

    auto commentHeader = vorbisEditWriteCommentHeader (*state.comments, state.vendor);
    if (commentHeader.empty()
        || ! submitPacket (out, state.mainHeader, 0, 0, true, false)
        || ! submitPacket (out, commentHeader, 0, 1, false, false)
        || ! submitPacket (out, state.bookHeader, 0, 2, false, false)
        || ! writePages (state, output, out, true)) // audio starts on a page of its own
        return false;

    state.extraPage = false;
    state.endOfInput = false;
    state.previousBlockSize = 0;

    long packetNumber = 3;
    ogg_int64_t running = 0;
    bool firstAudioPage = true;
    bool streamEnded = false;
    std::vector<AudioPacket> packets;
    ogg_page page;

    for (;;)
    {
        const int result = readPage (state, page);
        if (result < 0)
            return false;
        if (result == 0)
            break;

        if (streamEnded)
        {
            state.extraPage = true; // the next logical stream, or whatever follows
            break;
        }
        if (ogg_page_serialno (&page) != state.serial)
            return false; // another stream interleaved with the first: not ours to rewrite
        if (ogg_stream_pagein (state.stream, &page) != 0)
            return false;
        streamEnded = ogg_page_eos (&page) != 0;

        ogg_int64_t pageGranule;
        if (! takePackets (state, packets, pageGranule))
            return false;
        if (packets.empty())
            continue;

        PageGranules positions;
        if (! assignGranules (packets, pageGranule, running, firstAudioPage, positions))
            return false;
        firstAudioPage = false;

        for (size_t i = 0; i < packets.size(); ++i)
        {
            const bool last = i + 1 == packets.size();
            if (! submitPacket (out, packets[i].data, positions.granules[i], packetNumber++, false, last && streamEnded)
                || ! writePages (state, output, out, last && positions.keepBoundary))
                return false;
        }
    }

    out.e_o_s = 1;
    if (! writePages (state, output, out, true))
        return false;

    if (state.extraPage && ! writePage (state, output, page))
        return false;
    return copyRest (state, output);
}
}

VorbisEditState* vorbisEditNewState()
{
    return new VorbisEditState();
}

void vorbisEditClearInternals (VorbisEditState* state)
{
    if (state == nullptr)
        return;

    if (state->infoInitialised)
        vorbis_info_clear (&state->info);
    state->infoInitialised = false;
    state->mainHeader.clear();
    state->bookHeader.clear();

    if (state->comments != nullptr)
    {
        vorbis_comment_clear (state->comments);
        delete state->comments;
        state->comments = nullptr;
    }
    if (state->stream != nullptr)
    {
        ogg_stream_clear (state->stream);
        delete state->stream;
        state->stream = nullptr;
    }
    if (state->sync != nullptr)
    {
        ogg_sync_clear (state->sync);
        delete state->sync;
        state->sync = nullptr;
    }
    state->vendor.clear();
}

void vorbisEditClear (VorbisEditState* state)
{
    vorbisEditClearInternals (state);
    delete state;
}

int vorbisEditOpen (VorbisEditState* state, FILE* input)
{
    return vorbisEditOpenCallbacks (state, input, readFromFile, writeToFile);
}

int vorbisEditOpenCallbacks (VorbisEditState* state, void* input, VorbisReadFunction read, VorbisWriteFunction write)
{
    if (state == nullptr || input == nullptr || read == nullptr)
        return -1;

    vorbisEditClearInternals (state);
    state->input = input;
    state->read = read;
    state->write = write;
    state->unusualLayout = false;
    state->endOfInput = false;
    state->bytesRead = 0;

    auto fail = [state] {
        vorbisEditClearInternals (state);
        return -1;
    };

    state->sync = new ogg_sync_state;
    ogg_sync_init (state->sync);

    ogg_page page;
    if (! readFirstPage (*state, page))
        return fail();

    state->serial = ogg_page_serialno (&page);
    state->stream = new ogg_stream_state;
    ogg_stream_init (state->stream, (int) state->serial);
    vorbis_info_init (&state->info);
    state->infoInitialised = true;
    state->comments = new vorbis_comment;
    vorbis_comment_init (state->comments);

    ogg_packet packet;
    if (ogg_stream_pagein (state->stream, &page) != 0 || ogg_stream_packetout (state->stream, &packet) != 1
        || vorbis_synthesis_headerin (&state->info, state->comments, &packet) != 0)
        return fail();
    state->mainHeader = copyPacket (packet);

    for (int headersTaken = 1; headersTaken < 3;)
    {
        const int result = ogg_stream_packetout (state->stream, &packet);
        if (result < 0)
            return fail();
        if (result > 0)
        {
            if (vorbis_synthesis_headerin (&state->info, state->comments, &packet) != 0)
                return fail();
            if (++headersTaken == 3)
                state->bookHeader = copyPacket (packet);
            continue;
        }

        if (readPage (*state, page) <= 0)
            return fail();
        // A page of another stream multiplexed with this one is passed over here; the
        // writer refuses such a file.
        if (ogg_page_serialno (&page) == state->serial && ogg_stream_pagein (state->stream, &page) != 0)
            return fail();
    }

    // Audio must start on a page of its own; whatever shares the last header page would be lost.
    if (state->stream->lacing_fill > state->stream->lacing_returned)
        state->unusualLayout = true;

    state->vendor = state->comments->vendor != nullptr ? state->comments->vendor : "";
    return 0;
}

vorbis_comment* vorbisEditGetComments (VorbisEditState* state)
{
    return state != nullptr ? state->comments : nullptr;
}

int vorbisEditWrite (VorbisEditState* state, FILE* output)
{
    if (state == nullptr || state->stream == nullptr || state->comments == nullptr || output == nullptr
        || state->write == nullptr)
        return -1;

    const bool ok = ! state->unusualLayout && writeStream (*state, output) && state->endOfInput;
    vorbisEditClearInternals (state);
    return ok ? 0 : -1;
}

std::vector<unsigned char> vorbisEditWriteCommentHeader (const vorbis_comment& comments, const std::string& vendor)
{
    oggpack_buffer buffer;
    oggpack_writeinit (&buffer);

    auto writeText = [&buffer] (const void* text, long length) {
        oggpack_write (&buffer, (unsigned long) length, 32);
        if (length > 0)
            oggpack_writecopy (&buffer, const_cast<void*> (text), length * 8);
    };

    oggpack_write (&buffer, 3, 8);
    for (char c : std::string ("vorbis"))
        oggpack_write (&buffer, (unsigned long) (unsigned char) c, 8);
    writeText (vendor.data(), (long) vendor.size());
    oggpack_write (&buffer, (unsigned long) comments.comments, 32);
    for (int i = 0; i < comments.comments; ++i)
        writeText (comments.user_comments[i], comments.user_comments[i] != nullptr ? comments.comment_lengths[i] : 0);
    oggpack_write (&buffer, 1, 1);

    std::vector<unsigned char> packet;
    if (oggpack_writecheck (&buffer) == 0)
        packet.assign (oggpack_get_buffer (&buffer), oggpack_get_buffer (&buffer) + oggpack_bytes (&buffer));
    oggpack_writeclear (&buffer);
    return packet;
}
}
