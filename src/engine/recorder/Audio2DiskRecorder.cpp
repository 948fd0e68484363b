#include "engine/recorder/Audio2DiskRecorder.h"

#include "engine/recorder/WaveHeader.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <unistd.h>

namespace zund
{
namespace
{
constexpr auto relaxed = std::memory_order_relaxed;
constexpr auto acquire = std::memory_order_acquire;
constexpr auto release = std::memory_order_release;

constexpr int conversionBlock = 256;

// Limited to full scale; NaN (a fault upstream) becomes silence, not a click.
// Plain selects in a loop of their own, so that both loops vectorise.
void limitSamples (const float* in, float* out, int count) noexcept
{
    for (int n = 0; n < count; ++n)
    {
        float v = in[n] == in[n] ? in[n] : 0.0f;
        v = v > 1.0f ? 1.0f : v;
        v = v < -1.0f ? -1.0f : v;
        out[n] = v;
    }
}

// Limited frames into consecutive ring slots.
void storeFrames (const float* left, const float* right, int count, juce::int16* to16, juce::int32* to32) noexcept
{
    for (int n = 0; n < count; ++n)
    {
        to16[2 * n] = (juce::int16) (left[n] * 32767.0f);
        to16[2 * n + 1] = (juce::int16) (right[n] * 32767.0f);
        // Just below 2^31, so that +1.0 cannot overflow.
        to32[2 * n] = (juce::int32) ((double) left[n] * 2147483008.0);
        to32[2 * n + 1] = (juce::int32) ((double) right[n] * 2147483008.0);
    }
}
}

Audio2DiskRecorder::Audio2DiskRecorder()
    : juce::Thread ("Audio2DiskRecorderThread"),
      ring16 (std::make_unique<juce::int16[]> (ringSize)),
      ring32 (std::make_unique<juce::int32[]> (ringSize))
{
}

Audio2DiskRecorder::~Audio2DiskRecorder()
{
    stop();
}

void Audio2DiskRecorder::setSampleRate (int rate) noexcept
{
    sampleRate.store (rate);
}

bool Audio2DiskRecorder::start (const juce::String& path, int bitsPerSample)
{
    stop();

    sizeLimitReached.store (false);
    writeFailed.store (false);
    const auto firstByteCount = startingByteCount;
    startingByteCount = 0;

    if (bitsPerSample != 16 && bitsPerSample != 32)
        return false;
    bits = bitsPerSample;

    file = std::fopen (path.toRawUTF8(), "w+b");
    if (file == nullptr)
        return false;

    // Unbuffered: every write reports what really reached the file.
    std::setvbuf (file, nullptr, _IONBF, 0);

    // Every header of this recording carries the rate it started at, whatever
    // the device does meanwhile (a device reopened at another rate).
    recordingRate = sampleRate.load();
    if (! writeWaveHeader (file, 0, recordingRate, bits))
    {
        std::fclose (file);
        file = nullptr;
        return false;
    }

    const auto blockAlign = (juce::uint64) getStereoBlockAlign (bits);
    bytesWritten = firstByteCount / blockAlign * blockAlign;
    readIndex.store (0, relaxed);
    resetPending.store (true, release);

    if (! startThread())
    {
        std::fclose (file);
        file = nullptr;
        return false;
    }

    armed.store (true, release);
    return true;
}

bool Audio2DiskRecorder::stop()
{
    armed.store (false);

    if (file == nullptr)
        return true;

    stopThread (-1); // the thread writes the rest and the header as it ends

    if (std::fclose (file) != 0)
        writeFailed.store (true);
    file = nullptr;
    return ! writeFailed.load();
}

void Audio2DiskRecorder::feed (const float* left, const float* right, int numFrames) noexcept
{
    if (! armed.load (acquire) || left == nullptr || right == nullptr || numFrames <= 0)
        return;

    juce::ScopedNoDenormals noDenormals;

    if (resetPending.load (acquire))
    {
        writeIndex.store (0, relaxed);
        gateOpen = false;
        resetPending.store (false, release);
    }

    int first = 0;
    if (! gateOpen)
    {
        // Only a positive excursion opens the gate; the frame that opens it is not kept.
        while (first < numFrames && ! (left[first] > startThreshold || right[first] > startThreshold))
            ++first;
        if (first == numFrames)
            return;
        gateOpen = true;
        ++first;
    }

    // The writer only frees space while we store, so one look at readIndex is enough.
    const int w = writeIndex.load (relaxed);
    const int r = readIndex.load (acquire);
    const int freeFrames = ((r - w - 2) & ringMask) / 2;
    const int count = std::min (numFrames - first, freeFrames); // the rest is dropped
    if (count <= 0)
        return;

    float limitedLeft[conversionBlock], limitedRight[conversionBlock];
    for (int done = 0, slot = w; done < count;)
    {
        const int frames = std::min ({ conversionBlock, count - done, (ringSize - slot) / 2 });
        limitSamples (left + first + done, limitedLeft, frames);
        limitSamples (right + first + done, limitedRight, frames);
        storeFrames (limitedLeft, limitedRight, frames, ring16.get() + slot, ring32.get() + slot);
        slot = (slot + 2 * frames) & ringMask;
        done += frames;
    }

    writeIndex.store ((w + 2 * count) & ringMask, release);
}

void Audio2DiskRecorder::run()
{
    auto nextHeaderUpdate = juce::Time::getMillisecondCounter() + (juce::uint32) headerUpdateMs;
    juce::uint64 framesInHeader = 0;
    while (! threadShouldExit())
    {
        writePendingSamples();

        // A program killed or a machine switched off mid-set leaves a file
        // whose header counts what was written up to its last update.
        if ((juce::int32) (juce::Time::getMillisecondCounter() - nextHeaderUpdate) >= 0) // the counter wraps
        {
            nextHeaderUpdate += (juce::uint32) headerUpdateMs;
            const auto frames = bytesWritten / (juce::uint64) getStereoBlockAlign (bits);
            if (frames != framesInHeader && updateHeader (frames))
                framesInHeader = frames;
        }
        wait (writeIntervalMs);
    }

    writePendingSamples(); // what was fed before the stop
    finishFile();
}

bool Audio2DiskRecorder::updateHeader (juce::uint64 frames)
{
    // The header is rewritten in place, so it needs no room on a full disk;
    // the samples go on at the end.
    const bool written = writeWaveHeader (file, frames, recordingRate, bits) && std::fflush (file) == 0;
    return std::fseek (file, 0, SEEK_END) == 0 && written;
}

void Audio2DiskRecorder::writePendingSamples()
{
    if (resetPending.load (acquire))
        return; // writeIndex still belongs to the previous recording

    const int w = writeIndex.load (acquire);
    const int r = readIndex.load (relaxed);
    const int available = (w - r) & ringMask;
    if (available == 0)
        return;

    int toWrite = 0;
    if (! writeFailed.load (relaxed))
    {
        const auto limit = getLargestWaveDataSize (bits);
        const auto roomSamples = bytesWritten < limit ? (limit - bytesWritten) / ((juce::uint64) bits / 8) : 0;
        toWrite = (int) std::min ((juce::uint64) available, roomSamples);
        if (toWrite < available)
            sizeLimitReached.store (true);
    }

    const int beforeWrap = std::min (toWrite, ringSize - r);
    writeSamples (r, beforeWrap);
    writeSamples (0, toWrite - beforeWrap);

    // Samples not written (size limit, failed write) are discarded all the same.
    readIndex.store ((r + available) & ringMask, release);
}

void Audio2DiskRecorder::writeSamples (int start, int count)
{
    if (count <= 0 || writeFailed.load (relaxed))
        return;

    const auto bytesPerSample = (size_t) bits / 8;
    const void* data = bits == 16 ? (const void*) (ring16.get() + start) : (const void*) (ring32.get() + start);
    const auto wanted = (size_t) count * bytesPerSample;
    const auto written = std::fwrite (data, 1, wanted, file);
    bytesWritten += written;
    if (written != wanted)
        writeFailed.store (true);
}

void Audio2DiskRecorder::finishFile()
{
    const auto blockAlign = (juce::uint64) getStereoBlockAlign (bits);

    // A short write may have left part of a frame; the header describes whole frames only.
    if (const auto partial = (off_t) (bytesWritten % blockAlign); partial != 0)
    {
        const auto end = ftello (file);
        if (end < 0 || ftruncate (fileno (file), end - partial) != 0)
            writeFailed.store (true);
        bytesWritten -= (juce::uint64) partial;
    }

    if (! writeWaveHeader (file, bytesWritten / blockAlign, recordingRate, bits)
        || std::fflush (file) != 0)
        writeFailed.store (true);
}
}
