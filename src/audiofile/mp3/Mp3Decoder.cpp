#include "audiofile/mp3/Mp3Decoder.h"

#include <mpg123.h>

namespace zund
{
namespace
{
constexpr int bytesPerFrame = 4; // two int16 samples

bool initialiseLibrary()
{
    static const bool ok = mpg123_init() == MPG123_OK;
    return ok;
}

// Forced stereo, Info/Xing frames decoded as audio, quiet. Leaving out
// MPG123_GAPLESS and MPG123_AUTO_RESAMPLE turns both off.
constexpr long decoderFlags = MPG123_FORCE_STEREO | MPG123_IGNORE_INFOFRAME | MPG123_QUIET;
}

Mp3Decoder::~Mp3Decoder()
{
    close();
}

void Mp3Decoder::close() noexcept
{
    if (handle != nullptr)
    {
        mpg123_close (handle);
        mpg123_delete (handle);
        handle = nullptr;
    }
}

bool Mp3Decoder::open (int sampleRate)
{
    close();
    if (sampleRate <= 0 || ! initialiseLibrary())
        return false;

    int error = MPG123_OK;
    handle = mpg123_new (nullptr, &error);
    if (handle == nullptr)
        return false;

    rate = sampleRate;
    const bool ok = mpg123_param (handle, MPG123_FLAGS, decoderFlags, 0.0) == MPG123_OK
                 && mpg123_format_none (handle) == MPG123_OK
                 && mpg123_format (handle, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16) == MPG123_OK
                 && mpg123_open_feed (handle) == MPG123_OK;
    if (! ok)
        close();
    return ok;
}

bool Mp3Decoder::reset()
{
    if (handle == nullptr)
        return false;
    // Closing drops the fed bytes, pending output, bit reservoir and filter state.
    mpg123_close (handle);
    return mpg123_open_feed (handle) == MPG123_OK;
}

int Mp3Decoder::convert (const void* input, int numBytes, juce::int16* output, int maxFrames)
{
    if (handle == nullptr)
        return -1;

    if (numBytes > 0
        && mpg123_feed (handle, static_cast<const unsigned char*> (input), (size_t) numBytes) != MPG123_OK)
        return -1;

    auto* out = reinterpret_cast<unsigned char*> (output);
    const size_t capacity = (size_t) maxFrames * bytesPerFrame;
    size_t filled = 0;

    // Each call either delivers bytes, announces a format or asks for more input;
    // the bound only guards against a library that does none of these.
    for (int calls = 0; filled < capacity && calls < 1000; ++calls)
    {
        size_t done = 0;
        const int result = mpg123_read (handle, out + filled, capacity - filled, &done);
        filled += done;

        if (result == MPG123_OK)
            continue;

        if (result == MPG123_NEW_FORMAT)
        {
            long newRate = 0;
            int channels = 0, encoding = 0;
            if (mpg123_getformat (handle, &newRate, &channels, &encoding) != MPG123_OK
                || newRate != rate || channels != MPG123_STEREO || encoding != MPG123_ENC_SIGNED_16)
                return -1;
            continue;
        }

        if (result == MPG123_NEED_MORE || result == MPG123_DONE)
            break;

        return -1;
    }

    jassert (filled % bytesPerFrame == 0);
    return (int) (filled / bytesPerFrame);
}
}
