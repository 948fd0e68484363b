#include "audiofile/mp3/Mp3FrameHeader.h"

#include <cstring>

namespace zund
{
namespace
{
// Bitrates in kbps by [row][index - 1]; rows: MPEG-1 Layer I, II, III,
// MPEG-2/2.5 Layer I, MPEG-2/2.5 Layers II and III.
constexpr int bitrateTable[5][14] = {
    { 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448 },
    { 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384 },
    { 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 },
    { 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256 },
    { 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 },
};

constexpr int mpeg1SampleRates[3] = { 44100, 48000, 32000 };

constexpr int versionMpeg1 = 3, versionMpeg2 = 2, versionMpeg25 = 0;
constexpr int layerOne = 3, layerTwo = 2, layerThree = 1; // as coded in the header
constexpr int channelModeMono = 3;

constexpr int syncSearchHalf = 500000;

constexpr int id3HeaderSize = 10;
constexpr int id3FooterFlag = 0x10;
constexpr int maxLeadingTags = 64; // a file stacked with more is junk; search after these

/** Size of the ID3v2 tag (header, body and footer) whose header is `h`, or 0 when
    `h` is not one: "ID3", version and revision below 0xff, a syncsafe size. */
juce::int64 id3TagSize (const juce::uint8* h) noexcept
{
    if (h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] == 0xff || h[4] == 0xff
        || ((h[6] | h[7] | h[8] | h[9]) & 0x80) != 0)
        return 0;
    const juce::int64 body = ((juce::int64) h[6] << 21) | (h[7] << 14) | (h[8] << 7) | h[9];
    return id3HeaderSize + body + ((h[5] & id3FooterFlag) != 0 ? id3HeaderSize : 0);
}
}

juce::int64 skipLeadingId3Tags (juce::InputStream& stream)
{
    juce::int64 start = 0;
    juce::uint8 header[id3HeaderSize];
    for (int tags = 0; tags < maxLeadingTags; ++tags)
    {
        if (! stream.setPosition (start) || readFully (stream, header, id3HeaderSize) != id3HeaderSize)
            break;
        const auto size = id3TagSize (header);
        if (size == 0)
            break;
        start += size;
    }
    return start;
}

int parseMp3FrameHeader (const juce::uint8* bytes, int& samplesPerFrame, int& kbps, int& sampleRateHz) noexcept
{
    if (bytes[0] != 0xff || (bytes[1] & 0xe0) != 0xe0)
        return 0;

    const int version = (bytes[1] >> 3) & 3;
    const int layer = (bytes[1] >> 1) & 3;
    const int bitrateIndex = bytes[2] >> 4;
    const int rateIndex = (bytes[2] >> 2) & 3;
    const int padding = (bytes[2] >> 1) & 1;
    const int channelMode = bytes[3] >> 6;

    if (version == 1 || layer == 0 || bitrateIndex < 1 || bitrateIndex > 14 || rateIndex > 2)
        return 0;

    const bool mpeg1 = version == versionMpeg1;

    if (mpeg1 && layer == layerTwo)
    {
        const bool lowRate = bitrateIndex <= 3 || bitrateIndex == 5;
        const bool highRate = bitrateIndex >= 11;
        if ((lowRate && channelMode != channelModeMono) || (highRate && channelMode == channelModeMono))
            return 0;
    }

    int row;
    if (mpeg1)
        row = layer == layerOne ? 0 : (layer == layerTwo ? 1 : 2);
    else
        row = layer == layerOne ? 3 : 4;

    const int bitrate = bitrateTable[row][bitrateIndex - 1];
    const int rate = mpeg1SampleRates[rateIndex] >> (version == versionMpeg2 ? 1 : (version == versionMpeg25 ? 2 : 0));

    int spf = 1152;
    if (layer == layerOne)
        spf = 384;
    else if (layer == layerThree && ! mpeg1)
        spf = 576;

    int length;
    if (layer == layerOne)
        length = (12 * bitrate * 1000 / rate + padding) * 4; // Layer I counts in four-byte slots
    else
        length = spf / 8 * bitrate * 1000 / rate + padding;

    samplesPerFrame = spf;
    kbps = bitrate;
    sampleRateHz = rate;
    return length;
}

int readFully (juce::InputStream& stream, void* dest, int numBytes)
{
    auto* bytes = static_cast<char*> (dest);
    int total = 0;
    while (total < numBytes)
    {
        const int got = stream.read (bytes + total, numBytes - total);
        if (got <= 0)
            break;
        total += got;
    }
    return total;
}

juce::int64 findFirstMp3Sync (juce::InputStream& stream, const juce::Thread* stopper)
{
    // A tag may hold MPEG audio of its own (a clip in a PRIV frame, say): it is not the song.
    const auto start = skipLeadingId3Tags (stream);
    if (! stream.setPosition (start))
        return -1;

    juce::HeapBlock<juce::uint8> buffer ((size_t) syncSearchHalf * 2, true);
    const int firstRead = readFully (stream, buffer.get(), syncSearchHalf);
    if (firstRead <= 0)
        return -1;

    for (juce::int64 blockCount = 0;; ++blockCount)
    {
        if (stopper != nullptr && stopper->threadShouldExit())
            return -1;

        auto* second = buffer.get() + syncSearchHalf;
        const int got = readFully (stream, second, syncSearchHalf);
        std::memset (second + got, 0, (size_t) (syncSearchHalf - got));

        int spf, kbps, rate;
        for (int p = 0; p < syncSearchHalf; ++p)
        {
            if (buffer[p] != 0xff)
                continue;
            const int l1 = parseMp3FrameHeader (buffer + p, spf, kbps, rate);
            if (l1 == 0)
                continue;
            const int l2 = parseMp3FrameHeader (buffer + p + l1, spf, kbps, rate);
            if (l2 == 0)
                continue;
            if (parseMp3FrameHeader (buffer + p + l1 + l2, spf, kbps, rate) != 0)
                return start + blockCount * syncSearchHalf + p;
        }

        if (got <= 0)
            return -1;
        std::memcpy (buffer.get(), second, (size_t) syncSearchHalf);
    }
}
}
