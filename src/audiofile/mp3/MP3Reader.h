#pragma once

#include "audiofile/AudioFormatReaderEx.h"
#include "audiofile/mp3/MP3ScanThread.h"
#include "audiofile/mp3/Mp3Decoder.h"

#include <atomic>
#include <vector>

namespace zund
{
/** Reads an MP3 file (MPEG-1, 2 and 2.5, Layers I to III) as 16-bit stereo.

    The constructor takes the sample rate from the first frames; the frame table
    (file offset and first sample of each frame) is then built on the reader's own
    scan thread. Until that scan has ended the reader is scanning and reads deliver
    silence. The scan sets lengthInSamples (the first sample of the last frame) as it
    ends: read it only once isScanning() has said false, which hands it over.

    A read decodes from six to thirteen frames before the wanted sample and skips
    forward to it; whatever a read cannot deliver is silence. Reads may come from
    one thread at a time once the scan has ended. */
class MP3Reader : public AudioFormatReaderEx
{
public:
    /** Takes ownership of the stream. A stream that is not a file, or holds no three
        consecutive frame headers, leaves the sample rate at 0 and no scan runs. */
    explicit MP3Reader (juce::InputStream* sourceStream);
    ~MP3Reader() override;

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

    /** True from a successful construction until the frame table is complete. */
    bool isScanning() const noexcept { return scanning.load (std::memory_order_acquire); }

    /** The first frame's bitrate, or -1 when frames differ; 0 while scanning. */
    int getKbps() const noexcept;

    /** Frames in the table; 0 while scanning. */
    int getNumFrames() const noexcept;

    /** Detaches the stream so that deleting the reader leaves it open. */
    void releaseStream() noexcept { input = nullptr; }

private:
    friend class MP3ScanThread;

    void setUpDecoder();
    int findFrameContaining (juce::int64 sample) const noexcept;
    void decodeInto (int* const* dest, int numDest, int offset, juce::int64 start, int count);

    static constexpr int framesBeforeSeek = 6;
    static constexpr int seekFrameAlignment = 8;
    static constexpr int maxIdleConversions = 30;
    static constexpr int outputBufferBytes = 60000;

    MP3ScanThread scanThread;
    juce::int64 firstSync = -1;

    // Written by the scan thread until it clears `scanning`, then read-only.
    std::vector<juce::int64> frameOffsets;
    std::vector<juce::int64> frameFirstSamples;
    std::atomic<int> kbps { 0 };
    std::atomic<bool> scanning { false };

    Mp3Decoder decoder;
    juce::HeapBlock<juce::uint8> sourceBlock;
    juce::HeapBlock<juce::int16> output;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MP3Reader)
};
}
