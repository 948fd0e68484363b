#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <cstdio>
#include <memory>

namespace zund
{
/** Records stereo frames from the audio thread into a 16 or 32-bit PCM WAV file.

    The audio thread converts each frame into two lock-free rings (16 and 32-bit,
    both always filled) and never touches the disk; the recorder's own thread
    appends the ring of the chosen depth to the file every 10 ms, brings the
    header's sizes up to date every headerUpdateMs (so that a killed program
    leaves a file that plays up to then) and rewrites the header with the final
    sizes when the recording stops. Nothing is stored until
    a sample first rises above startThreshold, so the silence before the music is
    left out.

    The ring is single-producer (audio thread: writeIndex) and single-consumer
    (recorder thread: readIndex). A start does not touch writeIndex: it asks the
    next feed to reset it, and the writer waits until that has happened.

    Size limit: the header's sizes are unsigned 32-bit, so the data can grow to
    getLargestWaveDataSize() (just under 4 GB: 6 h 45 min at 16 bits and 44.1 kHz).
    Audio beyond that is not written; the file stays a valid WAV holding exactly
    that much, and hasReachedSizeLimit() reports it until the next start.

    Write errors (a full disk): writing stops at the first short write, the file
    is cut back to whole frames and its header rewritten to match, and
    hasWriteFailed() and the result of stop() report it. */
class Audio2DiskRecorder : private juce::Thread
{
public:
    static constexpr int ringSize = 262144; // samples, two per stereo frame
    static constexpr int ringMask = ringSize - 1;
    static constexpr float startThreshold = 0.01f;
    static constexpr int writeIntervalMs = 10;
    static constexpr int headerUpdateMs = 2000;

    Audio2DiskRecorder();
    ~Audio2DiskRecorder() override;

    /** Finishes a running recording, then creates or truncates the file at path
        (UTF-8) and writes a header with 0 frames. False, with nothing recording,
        when bits is not 16 or 32, the file cannot be opened or the header cannot
        be written. Message thread. */
    bool start (const juce::String& path, int bits);

    /** Appends numFrames frames, each sample limited to -1..1 (NaN as 0). Frames
        that find the ring full are dropped. Does nothing while not recording.
        Audio thread: never allocates, locks or waits. */
    void feed (const float* left, const float* right, int numFrames) noexcept;

    /** Writes what was fed so far, rewrites the header and closes the file.
        False when any write of this recording failed (the file then holds the
        frames that were written, with a header that matches). Message thread. */
    bool stop();

    /** The rate written to the header of the next recording; a running one
        keeps the rate it started at. Message thread. */
    void setSampleRate (int rate) noexcept;

    bool hasReachedSizeLimit() const noexcept { return sizeLimitReached.load(); }
    bool hasWriteFailed() const noexcept { return writeFailed.load(); }

    /** Test hook: the byte count the next start begins with, so the size limit
        can be reached without writing gigabytes. */
    void setStartingByteCountForTesting (juce::uint64 bytes) noexcept { startingByteCount = bytes; }

private:
    void run() override;
    void writePendingSamples();
    void writeSamples (int start, int count);
    void finishFile();
    /** The header's sizes for `frames` frames; the file position goes back to its end. */
    bool updateHeader (juce::uint64 frames);

    std::unique_ptr<juce::int16[]> ring16;
    std::unique_ptr<juce::int32[]> ring32;

    std::atomic<bool> armed { false };
    std::atomic<bool> resetPending { false };
    std::atomic<int> writeIndex { 0 };
    std::atomic<int> readIndex { 0 };
    bool gateOpen = false; // audio thread only

    std::atomic<int> sampleRate { 44100 };
    int bits = 16;             // set while the writer is stopped
    int recordingRate = 44100; // likewise: the running recording's rate

    std::FILE* file = nullptr;
    juce::uint64 bytesWritten = 0; // writer thread while it runs
    juce::uint64 startingByteCount = 0;
    std::atomic<bool> sizeLimitReached { false };
    std::atomic<bool> writeFailed { false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Audio2DiskRecorder)
};
}
