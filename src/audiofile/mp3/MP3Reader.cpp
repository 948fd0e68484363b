#include "audiofile/mp3/MP3Reader.h"

#include "audiofile/mp3/Mp3FrameHeader.h"
#include "audiofile/readers/TrackSpan.h"

#include <algorithm>
#include <cstring>

namespace zund
{
MP3Reader::MP3Reader (juce::InputStream* sourceStream)
    : AudioFormatReaderEx (sourceStream, "MP3"),
      scanThread (*this),
      sourceBlock ((size_t) Mp3Decoder::blockSize),
      output ((size_t) outputBufferBytes / sizeof (juce::int16))
{
    sampleRate = 0;
    bitsPerSample = 16;
    lengthInSamples = 0;
    numChannels = 2;
    usesFloatingPointData = false;

    // The scan walks the file on its own thread; only a file stream is sure to be
    // there, unchanged, for as long as that takes.
    if (dynamic_cast<juce::FileInputStream*> (input) == nullptr)
        return;

    firstSync = findFirstMp3Sync (*input, nullptr);
    juce::uint8 header[4];
    if (firstSync < 0 || ! input->setPosition (firstSync) || readFully (*input, header, 4) != 4)
        return;

    int spf, frameKbps, rate;
    if (parseMp3FrameHeader (header, spf, frameKbps, rate) == 0)
        return;

    sampleRate = rate;
    scanning.store (true, std::memory_order_relaxed);
    scanThread.startThread();
}

MP3Reader::~MP3Reader()
{
    // The scan uses the stream and the table; it must end before either goes.
    scanThread.stopThread (-1);
}

int MP3Reader::getKbps() const noexcept
{
    return isScanning() ? 0 : kbps.load (std::memory_order_relaxed);
}

int MP3Reader::getNumFrames() const noexcept
{
    return isScanning() ? 0 : (int) frameOffsets.size();
}

void MP3Reader::setUpDecoder()
{
    decoder.open ((int) sampleRate); // on failure the reader delivers silence
}

int MP3Reader::findFrameContaining (juce::int64 sample) const noexcept
{
    const auto next = std::upper_bound (frameFirstSamples.begin(), frameFirstSamples.end(), sample);
    return std::max (0, (int) (next - frameFirstSamples.begin()) - 1);
}

bool MP3Reader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                             juce::int64 startSampleInFile, int numSamples)
{
    const int numDest = std::min (numDestChannels, 2);

    // Acquire: once the scan has ended, the table and the length are ours to read.
    const bool scanned = ! isScanning();
    // Whatever is not decoded below must read as silence: callers cache it. Nothing
    // past the last frame's first sample: the table ends there.
    const auto span = clearAndClampRead (destChannels, numDest, startOffsetInDestBuffer, startSampleInFile,
                                         numSamples, scanned ? lengthInSamples : 0);

    if (! scanned || span.count == 0 || input == nullptr || ! decoder.isOpen() || frameOffsets.size() < 4)
        return false;

    decodeInto (destChannels, numDest, span.destOffset, span.start, span.count);
    return true;
}

void MP3Reader::decodeInto (int* const* dest, int numDest, int offset, juce::int64 start, int count)
{
    if (! decoder.reset())
        return;

    // At least six frames early, for the bit reservoir and the filter overlap, and
    // on a multiple of eight frames, so that the synthesis filter runs in the phase
    // of a decode from the first frame: any seek then gives the same samples.
    const int first = std::max (0, (findFrameContaining (start) - framesBeforeSeek) & ~(seekFrameAlignment - 1));
    if (! input->setPosition (frameOffsets[(size_t) first]))
        return;

    auto skip = start - frameFirstSamples[(size_t) first];
    const int maxFrames = outputBufferBytes / 4;
    int delivered = 0;
    int idle = 0;

    while (delivered < count)
    {
        const int got = readFully (*input, sourceBlock.get(), Mp3Decoder::blockSize);
        if (got <= 0)
            break;
        // The tail of the file goes in as a whole block too: zeros after the last frame are harmless.
        std::memset (sourceBlock.get() + got, 0, (size_t) (Mp3Decoder::blockSize - got));

        const int produced = decoder.convert (sourceBlock.get(), Mp3Decoder::blockSize, output.get(), maxFrames);
        if (produced < 0)
            break;
        if (produced == 0)
        {
            if (++idle > maxIdleConversions)
                break;
            continue;
        }
        idle = 0;

        const int dropped = (int) std::min<juce::int64> (skip, produced);
        skip -= dropped;
        const int n = std::min (produced - dropped, count - delivered);
        const juce::int16* pcm = output.get() + dropped * 2;

        for (int ch = 0; ch < numDest; ++ch)
            if (int* d = dest[ch])
                for (int i = 0; i < n; ++i)
                    d[offset + delivered + i] = (int) pcm[i * 2 + ch] * 65536;

        delivered += n;
        if (got < Mp3Decoder::blockSize)
            break;
    }
}
}
