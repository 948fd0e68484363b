#pragma once

#include "common/events/WakeSignal.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <atomic>
#include <memory>

namespace zund
{
/** Random access to a whole track for the audio thread, without touching the disk.

    A background thread keeps four consecutive blocks of decoded stereo audio
    cached around the position the audio thread last read; `read` interpolates
    from that cache and gives silence wherever the cache is not ready. While it
    fills a block, the thread also builds the peak and average wave rings (one
    pair of floats per 32 frames) that the scrolling waveform view draws.

    The audio thread only touches atomics and the cache; the format reader is
    used by the fill thread alone. Each block is handed over with a sequence
    lock: its generation is odd while it is rewritten, and `read` compares the
    generation, flag and tag before and after taking the samples, so a block
    refilled under a read (even with the same tag, after a new load) yields
    silence, never another track's audio.

    The fill thread sleeps while every wanted block holds its audio: `read`
    wakes it when the position moves into another block, and emptying the
    cache wakes it too. A reader whose MP3 is still being scanned cannot fill
    yet and is asked again every 10 ms. */
class BufferedAudioReader : private juce::Thread, private juce::Thread::Listener
{
public:
    static constexpr int blockSize = 262144;
    static constexpr int numBlocks = 4;
    static constexpr int cacheSize = blockSize * numBlocks;
    static constexpr int cacheMask = cacheSize - 1;
    static constexpr int framesPerRingPair = 32;
    static constexpr int ringPairs = cacheSize / framesPerRingPair;
    static constexpr juce::int64 emptyBlockTag = -100000000;
    /** How soon a fill pass that could not fill everything (an MP3 still
        being scanned) is tried again. */
    static constexpr int retryMs = 10;

    BufferedAudioReader();
    ~BufferedAudioReader() override;

    /** Opens the track through the reader factory and starts filling. On failure
        (missing file, rejected format) nothing changes and false is returned.
        Message thread. */
    bool load (const juce::String& path);

    /** One interpolated stereo frame. At a whole position p the result is frame
        p + 1. Silence where the cache is not ready. Audio thread; never blocks. */
    void read (double position, float& left, float& right) noexcept;

    /** The track's rate truncated to int; 44100 without a track. */
    int getSampleRate() const noexcept;
    juce::int64 getLengthInSamples() const noexcept;
    double getLengthInSeconds() const noexcept;

    /** True without a track, and while an MP3 track is still being scanned. */
    bool isBusy() const;

    /** Marks all four blocks empty. */
    void invalidateBlocks() noexcept;

    /** Ring pair index of a track position: ((int) position & 0xfffff) / 32. */
    static int getWaveRingIndex (double position) noexcept;

    /** Pairs (maximum, minimum), ringPairs of them; read by the waveform view. */
    const std::atomic<float>* getPeakRing() const noexcept { return peakRing.get(); }
    /** Pairs (mean, mean) of |left| + |right| over 64 samples. */
    const std::atomic<float>* getAverageRing() const noexcept { return averageRing.get(); }

    /** True when the frame is in a ready block (tests and diagnostics). */
    bool isFrameCached (juce::int64 frame) const noexcept;

    static int blockIndexOf (juce::int64 frame) noexcept { return (int) ((frame >> 18) & 3); }
    static juce::int64 blockStartOf (juce::int64 frame) noexcept { return frame & ~(juce::int64) 0x3ffff; }

private:
    void run() override;
    void exitSignalSent() override;
    /** True when the three blocks around the last read position hold their audio. */
    bool fillPass();
    void fillBlock (int blockIndex, juce::int64 startFrame);
    void rebuildWaveRings (int blockIndex);
    bool blockHolds (int blockIndex, juce::int64 startFrame) const noexcept;
    bool blockUnchanged (int blockIndex, juce::int64 startFrame, juce::uint32 generation) const noexcept;

    std::unique_ptr<std::atomic<float>[]> peakRing;
    std::unique_ptr<std::atomic<float>[]> averageRing;

    std::unique_ptr<juce::AudioFormatReader> reader; // fill thread and message thread only
    std::atomic<int> publishedSampleRate { 44100 };
    std::atomic<juce::int64> publishedLength { 0 };
    std::atomic<double> publishedRate { 0.0 };

    std::atomic<juce::int64> lastReadPosition { 0 };
    std::atomic<juce::int64> announcedBlockStart { emptyBlockTag }; // the block the fill thread was last woken for
    WakeSignal workToDo;
    std::atomic<juce::int64> blockTags[numBlocks];
    std::atomic<bool> blockValid[numBlocks];
    std::atomic<juce::uint32> blockGeneration[numBlocks];

    std::unique_ptr<std::atomic<float>[]> cacheLeft;
    std::unique_ptr<std::atomic<float>[]> cacheRight;

    std::unique_ptr<int[]> scratchLeft;
    std::unique_ptr<int[]> scratchRight;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BufferedAudioReader)
};
}
