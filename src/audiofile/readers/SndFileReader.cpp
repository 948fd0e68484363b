#include "audiofile/readers/SndFileReader.h"

#include "audiofile/readers/StreamAccess.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace zund
{
namespace
{
// libsndfile reads the reader's own stream through these.
juce::InputStream& streamOf (void* user) { return *static_cast<juce::InputStream*> (user); }

sf_count_t lengthOfStream (void* user) { return streamOf (user).getTotalLength(); }
sf_count_t seekInStream (sf_count_t offset, int whence, void* user) { return seekStream (streamOf (user), offset, whence); }
sf_count_t readFromStream (void* dest, sf_count_t count, void* user) { return readStream (streamOf (user), dest, count); }
sf_count_t tellStream (void* user) { return streamOf (user).getPosition(); }

sf_count_t refuseWrite (const void*, sf_count_t, void*)
{
    return 0;
}

SF_VIRTUAL_IO streamIo { lengthOfStream, seekInStream, readFromStream, refuseWrite, tellStream };

const char* formatNameOf (SndFileContainer container)
{
    switch (container)
    {
        case SndFileContainer::wav: return "WAV file";
        case SndFileContainer::aiff: return "AIFF file";
    }
    return "";
}

/** True when the stream starts as the container does: libsndfile would otherwise
    guess among all its formats (MPEG, FLAC, Opus...), each one more parser that
    a damaged file could reach. */
bool startsLike (juce::InputStream& stream, SndFileContainer container)
{
    char head[12] {};
    const bool read = stream.setPosition (0) && readStream (stream, head, sizeof (head)) == (juce::int64) sizeof (head)
                   && stream.setPosition (0);
    if (! read)
        return false;
    const auto is = [&head] (int at, const char* id) { return std::memcmp (head + at, id, 4) == 0; };
    if (container == SndFileContainer::wav)
        return (is (0, "RIFF") || is (0, "RF64")) && is (8, "WAVE");
    return is (0, "FORM") && (is (8, "AIFF") || is (8, "AIFC"));
}

bool containerMatches (int format, SndFileContainer container)
{
    const int major = format & SF_FORMAT_TYPEMASK;
    switch (container)
    {
        case SndFileContainer::wav: return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
        case SndFileContainer::aiff: return major == SF_FORMAT_AIFF;
    }
    return false;
}

/** Bits per sample of the encodings that are read, 0 for the rest. */
int sampleWidthOf (int format)
{
    switch (format & SF_FORMAT_SUBMASK)
    {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8: return 8;
        case SF_FORMAT_PCM_16: return 16;
        case SF_FORMAT_PCM_24: return 24;
        case SF_FORMAT_PCM_32:
        case SF_FORMAT_FLOAT: return 32;
        case SF_FORMAT_DOUBLE: return 64;
        default: return 0;
    }
}

/** The sample width that the header itself declares: libsndfile rounds 12 bits up
    to 16 and 20 up to 24, which would play what such files hold in the padding.
    0 when the header chunk cannot be read. */
int declaredSampleWidth (SNDFILE* track, SndFileContainer container)
{
    const bool wav = container == SndFileContainer::wav;
    SF_CHUNK_INFO wanted {};
    std::memcpy (wanted.id, wav ? "fmt " : "COMM", 4);
    wanted.id_size = 4;

    auto* chunks = sf_get_chunk_iterator (track, &wanted);
    if (chunks == nullptr)
        return 0;

    unsigned char header[16] {};
    SF_CHUNK_INFO got {};
    got.data = header;
    got.datalen = sizeof (header);
    const bool read = sf_get_chunk_data (chunks, &got) == SF_ERR_NO_ERROR;

    // WAV "fmt ": bits per sample at 14, little-endian; AIFF "COMM": sample size at 6, big-endian.
    if (! read || got.datalen < (wav ? 16u : 8u))
        return 0;
    return wav ? header[14] | (header[15] << 8) : (header[6] << 8) | header[7];
}
}

std::unique_ptr<SndFileReader> SndFileReader::open (juce::InputStream* stream, SndFileContainer container)
{
    if (stream == nullptr)
        return nullptr;

    std::unique_ptr<SndFileReader> reader (new SndFileReader (stream, container));
    if (! reader->openTrack (container))
        return nullptr;
    return reader;
}

SndFileReader::SndFileReader (juce::InputStream* stream, SndFileContainer container)
    : TrackFileReader (stream, formatNameOf (container))
{
}

SndFileReader::~SndFileReader()
{
    if (track != nullptr)
        sf_close (track);
}

bool SndFileReader::openTrack (SndFileContainer container)
{
    if (! startsLike (*input, container))
        return false;

    SF_INFO info {};
    track = sf_open_virtual (&streamIo, SFM_READ, &info, input);
    if (track == nullptr)
        return false;

    const int width = sampleWidthOf (info.format);
    if (! containerMatches (info.format, container) || width == 0 || info.channels <= 0
        || info.channels > maxChannels || info.samplerate <= 0 || info.frames < 0)
        return false;

    if (declaredSampleWidth (track, container) != width)
        return false;

    const int sub = info.format & SF_FORMAT_SUBMASK;
    const bool floatData = sub == SF_FORMAT_FLOAT || sub == SF_FORMAT_DOUBLE;

    sampleRate = info.samplerate;
    numChannels = (unsigned int) info.channels;
    lengthInSamples = info.frames;
    bitsPerSample = (unsigned int) width;
    usesFloatingPointData = floatData;

    if (floatData)
        floatScratch.malloc (scratchSamples);
    else
        intScratch.malloc (scratchSamples);
    return true;
}

bool SndFileReader::seekTo (juce::int64 frame)
{
    if (frame == nextFrame)
        return true;
    nextFrame = sf_seek (track, frame, SEEK_SET) == frame ? frame : -1;
    return nextFrame == frame;
}

int SndFileReader::readInterleaved (int frames)
{
    const auto got = usesFloatingPointData ? sf_readf_float (track, floatScratch.get(), frames)
                                           : sf_readf_int (track, intScratch.get(), frames);
    return (int) std::clamp<sf_count_t> (got, 0, frames);
}

void SndFileReader::copyOut (int* const* dest, int numDest, int offset, int frames) const noexcept
{
    const int stride = (int) numChannels;
    for (int ch = 0; ch < numDest; ++ch)
    {
        int* d = dest[ch];
        if (d == nullptr)
            continue;
        d += offset;
        if (usesFloatingPointData)
        {
            const float* s = floatScratch.get() + ch;
            for (int i = 0; i < frames; ++i, s += stride)
                std::memcpy (d + i, s, sizeof (float));
        }
        else
        {
            const int* s = intScratch.get() + ch;
            for (int i = 0; i < frames; ++i, s += stride)
                d[i] = *s;
        }
    }
}

int SndFileReader::readFrames (int* const* dest, int numDest, int offset, int count)
{
    const int frames = std::min (count, std::max (1, scratchSamples / (int) numChannels));
    const int got = readInterleaved (frames);
    copyOut (dest, numDest, offset, got);
    // Once a read comes up short (a damaged stream), where the decoder stands is unknown.
    nextFrame = nextFrame >= 0 && got == frames ? nextFrame + got : -1;
    return got;
}
}
