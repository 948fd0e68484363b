#pragma once

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include <string>
#include <vector>

namespace zund
{
/** Reads up to size x count bytes into the buffer (fread style); 0 at the end. */
using VorbisReadFunction = size_t (*) (void* buffer, size_t size, size_t count, void* stream);
/** Writes size x count bytes (fwrite style); returns the count of items written. */
using VorbisWriteFunction = size_t (*) (const void* buffer, size_t size, size_t count, void* stream);

/** The comment editor's state: the input's first logical Vorbis stream with its
    three header packets, read far enough to know its comments, and what is needed
    to write the stream again with other comments. */
struct VorbisEditState
{
    ogg_sync_state* sync = nullptr;
    ogg_stream_state* stream = nullptr;
    vorbis_comment* comments = nullptr;
    vorbis_info info {};
    bool infoInitialised = false;

    VorbisReadFunction read = nullptr;
    VorbisWriteFunction write = nullptr;
    void* input = nullptr;

    long long bytesRead = 0;
    long serial = 0;
    std::vector<unsigned char> mainHeader; // identification header packet
    std::vector<unsigned char> bookHeader; // codebook header packet
    std::string vendor;
    int previousBlockSize = 0;
    bool extraPage = false;
    bool endOfInput = false;

    /** Something a rewrite would lose: bytes before the first page, or audio on a
        header page. Such a stream can be read but is not written. */
    bool unusualLayout = false;
};

VorbisEditState* vorbisEditNewState();
/** Frees the internals and the state itself. */
void vorbisEditClear (VorbisEditState* state);
void vorbisEditClearInternals (VorbisEditState* state);

/** vorbisEditOpenCallbacks over a C stream opened for binary reading. */
int vorbisEditOpen (VorbisEditState* state, FILE* input);

/** Reads the headers of the input's first logical stream: 0, or -1 (internals
    freed) when the input is not an Ogg Vorbis stream or ends before its three
    headers. */
int vorbisEditOpenCallbacks (VorbisEditState* state, void* input, VorbisReadFunction read, VorbisWriteFunction write);

/** The comments read by the last successful open; null before. */
vorbis_comment* vorbisEditGetComments (VorbisEditState* state);

/** Writes the whole input again with the state's comments in a new comment header
    (keeping the vendor text): the first logical stream re-paginated with its granule
    positions kept, every later stream copied as it is. 0, or -1 when writing fails
    or the input is damaged, truncated or of an unusual layout (nothing trustworthy
    has been written then). Frees the internals in either case. */
int vorbisEditWrite (VorbisEditState* state, FILE* output);

/** The Vorbis I comment header packet for these comments and this vendor text. */
std::vector<unsigned char> vorbisEditWriteCommentHeader (const vorbis_comment& comments, const std::string& vendor);
}
