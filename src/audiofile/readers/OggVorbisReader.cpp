#include "audiofile/readers/OggVorbisReader.h"

#include "audiofile/readers/OggChainCheck.h"
#include "audiofile/readers/StreamAccess.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>

namespace zund
{
namespace
{
// A Vorbis packet of a byte or two can stand for up to 4096 frames.
constexpr juce::int64 maxFramesPerByte = 4096;

juce::InputStream& streamOf (void* user) { return *static_cast<juce::InputStream*> (user); }

size_t readFromStream (void* dest, size_t size, size_t count, void* user)
{
    if (size == 0 || count > (size_t) std::numeric_limits<juce::int64>::max() / size)
        return 0;
    return (size_t) readStream (streamOf (user), dest, (juce::int64) (size * count)) / size;
}

int seekInStream (void* user, ogg_int64_t offset, int whence)
{
    return seekStream (streamOf (user), offset, whence) < 0 ? -1 : 0;
}

int keepStreamOpen (void*)
{
    return 0; // the reader owns the stream
}

long tellStream (void* user)
{
    return (long) streamOf (user).getPosition();
}

const ov_callbacks streamCallbacks { readFromStream, seekInStream, keepStreamOpen, tellStream };
}

std::unique_ptr<OggVorbisReader> OggVorbisReader::open (juce::InputStream* stream)
{
    if (stream == nullptr)
        return nullptr;

    std::unique_ptr<OggVorbisReader> reader (new OggVorbisReader (stream));
    if (! reader->openTrack())
        return nullptr;
    return reader;
}

OggVorbisReader::OggVorbisReader (juce::InputStream* stream)
    : TrackFileReader (stream, "Ogg-Vorbis file"), track (std::make_unique<OggVorbis_File>())
{
}

OggVorbisReader::~OggVorbisReader()
{
    if (trackOpen)
        ov_clear (track.get());
}

bool OggVorbisReader::openTrack()
{
    const auto bytes = input->getTotalLength();
    if (bytes <= 0 || ! isSafeOggChain (*input))
        return false;

    trackOpen = ov_open_callbacks (input, track.get(), nullptr, 0, streamCallbacks) == 0;
    if (! trackOpen || ! ov_seekable (track.get()))
        return false;

    const auto* first = ov_info (track.get(), 0);
    if (first == nullptr || first->channels <= 0 || first->rate <= 0)
        return false;

    // A chained stream plays as one track only when all its parts agree.
    const long parts = ov_streams (track.get());
    for (long i = 1; i < parts; ++i)
    {
        const auto* part = ov_info (track.get(), (int) i);
        if (part == nullptr || part->channels != first->channels || part->rate != first->rate)
            return false;
    }

    const auto frames = ov_pcm_total (track.get(), -1);
    if (frames < 0 || frames / maxFramesPerByte > bytes)
        return false;

    sampleRate = (double) first->rate;
    numChannels = (unsigned int) first->channels;
    lengthInSamples = frames;
    bitsPerSample = 16; // as the framework's reader says of Vorbis
    usesFloatingPointData = true;
    return true;
}

void OggVorbisReader::noteSetupFailure (long result) noexcept
{
    // libvorbisfile tries the set-up again at the next call, and that one passes
    // over the books the failed one left half-built: decoding then divides by zero.
    if (result == OV_EBADLINK)
        setupFailed = true;
}

bool OggVorbisReader::seekTo (juce::int64 frame)
{
    if (setupFailed)
        return false;
    if (ov_pcm_tell (track.get()) == frame)
        return true;
    // Exact or nothing: a decoder left elsewhere would play the wrong audio.
    const int result = ov_pcm_seek (track.get(), frame);
    noteSetupFailure (result);
    return result == 0 && ov_pcm_tell (track.get()) == frame;
}

int OggVorbisReader::readFrames (int* const* dest, int numDest, int offset, int count)
{
    if (setupFailed)
        return 0;
    float** pcm = nullptr;
    int part = 0;
    const long got = ov_read_float (track.get(), &pcm, count, &part);
    noteSetupFailure (got);
    if (got <= 0 || got > count)
        return 0; // the end, or a hole in a damaged stream

    for (int ch = 0; ch < numDest; ++ch)
        if (dest[ch] != nullptr)
            std::memcpy (dest[ch] + offset, pcm[ch], (size_t) got * sizeof (float));
    return (int) got;
}
}
