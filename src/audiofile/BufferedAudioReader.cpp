#include "audiofile/BufferedAudioReader.h"

#include "audiofile/AudioReaderFactory.h"
#include "audiofile/readers/StereoBlockReading.h"
#include "common/audio/AtomicFloats.h"
#include "common/audio/SampleConversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zund
{
namespace
{
constexpr auto relaxed = std::memory_order_relaxed;

float hermite (float y0, float y1, float y2, float y3, float t) noexcept
{
    const float c = (y2 - y0) * 0.5f;
    const float v = y1 - y2;
    const float w = c + v;
    const float a = w + v + (y3 - y1) * 0.5f;
    return ((a * t - (w + a)) * t + c) * t + y1;
}

// Positions this far out are nonsense (a NaN or a runaway speed); they read silence.
constexpr double maxReadablePosition = 4.0e15;
}

BufferedAudioReader::BufferedAudioReader()
    : juce::Thread ("BufferedAudioReader"),
      peakRing (makeZeroedFloats (ringPairs * 2)),
      averageRing (makeZeroedFloats (ringPairs * 2)),
      cacheLeft (makeZeroedFloats (cacheSize)),
      cacheRight (makeZeroedFloats (cacheSize)),
      scratchLeft (std::make_unique<int[]> (blockSize)),
      scratchRight (std::make_unique<int[]> (blockSize))
{
    for (int b = 0; b < numBlocks; ++b)
    {
        blockTags[b].store (emptyBlockTag, relaxed);
        blockValid[b].store (false, relaxed);
        blockGeneration[b].store (0, relaxed);
    }
    addListener (this);
}

BufferedAudioReader::~BufferedAudioReader()
{
    // Stop the fill thread before the cache and reader it uses go away.
    stopThread (-1);
    removeListener (this);
}

void BufferedAudioReader::exitSignalSent()
{
    workToDo.post(); // a sleeping fill thread sees the request to stop at once
}

bool BufferedAudioReader::load (const juce::String& path)
{
    const juce::File file (path);
    if (! file.existsAsFile())
        return false;

    auto newReader = createAudioReader (file);
    if (newReader == nullptr)
        return false;

    stopThread (-1);

    const double rate = newReader->sampleRate;
    publishedRate.store (rate > 0.0 ? rate : 0.0);
    publishedSampleRate.store ((int) rate);
    // An MP3 reader learns its length when its scan ends; the fill thread publishes it then.
    publishedLength.store (isMp3ScanRunning (newReader.get()) ? 0 : newReader->lengthInSamples);

    reader = std::move (newReader); // deletes the previous reader
    invalidateBlocks();
    startThread();
    return true;
}

void BufferedAudioReader::invalidateBlocks() noexcept
{
    for (int b = 0; b < numBlocks; ++b)
    {
        blockValid[b].store (false, std::memory_order_release);
        blockTags[b].store (emptyBlockTag, std::memory_order_release);
    }
    workToDo.post();
}

int BufferedAudioReader::getSampleRate() const noexcept
{
    return publishedSampleRate.load();
}

juce::int64 BufferedAudioReader::getLengthInSamples() const noexcept
{
    return publishedLength.load();
}

double BufferedAudioReader::getLengthInSeconds() const noexcept
{
    const double rate = publishedRate.load();
    if (rate <= 0.0)
        return 0.0;
    return (double) publishedLength.load() / rate;
}

bool BufferedAudioReader::isBusy() const
{
    if (reader == nullptr)
        return true;
    return isMp3ScanRunning (reader.get());
}

int BufferedAudioReader::getWaveRingIndex (double position) noexcept
{
    if (! (std::abs (position) < maxReadablePosition))
        return 0;
    return (int) (((juce::int64) position & cacheMask) / framesPerRingPair);
}

bool BufferedAudioReader::blockHolds (int blockIndex, juce::int64 startFrame) const noexcept
{
    return blockValid[blockIndex].load (std::memory_order_acquire)
        && blockTags[blockIndex].load (relaxed) == startFrame;
}

bool BufferedAudioReader::blockUnchanged (int blockIndex, juce::int64 startFrame,
                                          juce::uint32 generation) const noexcept
{
    return blockGeneration[blockIndex].load (relaxed) == generation && blockValid[blockIndex].load (relaxed)
        && blockTags[blockIndex].load (relaxed) == startFrame;
}

bool BufferedAudioReader::isFrameCached (juce::int64 frame) const noexcept
{
    return blockHolds (blockIndexOf (frame), blockStartOf (frame));
}

void BufferedAudioReader::read (double position, float& left, float& right) noexcept
{
    left = 0.0f;
    right = 0.0f;

    if (! (std::abs (position) < maxReadablePosition))
        return;

    const auto i = (juce::int64) position; // toward zero
    lastReadPosition.store (i, relaxed);

    // Into another block: the fill thread may have blocks to fill around it.
    if (const auto start = blockStartOf (i); start != announcedBlockStart.load (relaxed))
    {
        announcedBlockStart.store (start, relaxed);
        workToDo.post();
    }

    // Frames i .. i + 3 are used; they may reach into the next block.
    const int firstBlock = blockIndexOf (i);
    const auto firstStart = blockStartOf (i);
    const int lastBlock = blockIndexOf (i + 3);
    const auto lastStart = blockStartOf (i + 3);
    const bool spansTwoBlocks = lastStart != firstStart;

    const auto firstGeneration = blockGeneration[firstBlock].load (std::memory_order_acquire);
    const auto lastGeneration = blockGeneration[lastBlock].load (std::memory_order_acquire);
    if (((firstGeneration | lastGeneration) & 1) != 0)
        return; // being rewritten
    if (! blockHolds (firstBlock, firstStart) || (spansTwoBlocks && ! blockHolds (lastBlock, lastStart)))
        return;

    float l[4], r[4];
    for (int k = 0; k < 4; ++k)
    {
        const auto index = (size_t) ((i + k) & cacheMask);
        // Acquire: a sample from a refill carries its odd generation with it.
        l[k] = cacheLeft[index].load (std::memory_order_acquire);
        r[k] = cacheRight[index].load (std::memory_order_acquire);
    }

    // A refill that began while we read shows as a new generation.
    if (! blockUnchanged (firstBlock, firstStart, firstGeneration)
        || (spansTwoBlocks && ! blockUnchanged (lastBlock, lastStart, lastGeneration)))
        return;

    const auto t = (float) (position - (double) i);
    left = hermite (l[0], l[1], l[2], l[3], t);
    right = hermite (r[0], r[1], r[2], r[3], t);
}

void BufferedAudioReader::run()
{
    while (! threadShouldExit())
    {
        // Filled, it sleeps until a read in another block, an emptied cache
        // or the request to stop wakes it.
        const bool filled = fillPass();
        workToDo.wait (filled ? -1 : retryMs);
    }
}

bool BufferedAudioReader::fillPass()
{
    if (reader == nullptr)
        return true;

    // Asked once: an MP3's scan may end during the pass, and its blocks wait for the next.
    const bool busy = isBusy();
    if (! busy)
        publishedLength.store (reader->lengthInSamples);

    const auto i = lastReadPosition.load (relaxed);
    const auto base = blockStartOf (i);
    const int c = blockIndexOf (i);

    const struct { int index; juce::int64 start; } wanted[3] = {
        { c, base },
        { (c + 1) & 3, base + blockSize },
        { (c - 1) & 3, base - blockSize },
    };

    bool filled = true;
    for (const auto& w : wanted)
    {
        if (threadShouldExit())
            return true;
        if (blockTags[w.index].load (relaxed) == w.start)
            continue;

        blockValid[w.index].store (false, relaxed);

        if (busy)
        {
            filled = false;
            continue;
        }

        auto& generation = blockGeneration[w.index];
        generation.store (generation.load (relaxed) + 1, relaxed); // odd: rewriting
        fillBlock (w.index, w.start);
        blockTags[w.index].store (w.start, relaxed);
        blockValid[w.index].store (true, relaxed);
        generation.store (generation.load (relaxed) + 1, std::memory_order_release); // even: settled
    }
    return filled;
}

void BufferedAudioReader::fillBlock (int blockIndex, juce::int64 startFrame)
{
    int* const scratch[2] = { scratchLeft.get(), scratchRight.get() };

    int leading = 0;
    if (startFrame < 0)
    {
        leading = (int) std::min<juce::int64> (-startFrame, blockSize);
        std::fill (scratch[0], scratch[0] + leading, 0);
        std::fill (scratch[1], scratch[1] + leading, 0);
    }

    // Zero bits are 0.0f as well, so the leading silence needs no conversion.
    if (leading < blockSize)
        readStereoFloatBlock (*reader, scratch[0] + leading, scratch[1] + leading,
                              std::max<juce::int64> (startFrame, 0), blockSize - leading);

    const int offset = blockIndex * blockSize;
    for (int n = 0; n < blockSize; ++n)
    {
        // Release: whoever reads this sample also sees the odd generation set before it.
        cacheLeft[(size_t) (offset + n)].store (convertedSampleAt (scratch[0], n), std::memory_order_release);
        cacheRight[(size_t) (offset + n)].store (convertedSampleAt (scratch[1], n), std::memory_order_release);
    }

    rebuildWaveRings (blockIndex);
}

void BufferedAudioReader::rebuildWaveRings (int blockIndex)
{
    const int* leftSamples = scratchLeft.get();
    const int* rightSamples = scratchRight.get();
    constexpr int groupsPerBlock = blockSize / framesPerRingPair;

    for (int g = 0; g < groupsPerBlock; ++g)
    {
        float maximum = 0.0f, minimum = 0.0f, sum = 0.0f;
        for (int n = g * framesPerRingPair; n < (g + 1) * framesPerRingPair; ++n)
        {
            const float l = convertedSampleAt (leftSamples, n), r = convertedSampleAt (rightSamples, n);
            maximum = std::max ({ maximum, l, r });
            minimum = std::min ({ minimum, l, r });
            sum += std::abs (l) + std::abs (r);
        }
        const float mean = sum / (float) (framesPerRingPair * 2);
        const auto pair = (size_t) (blockIndex * groupsPerBlock + g) * 2;
        peakRing[pair].store (maximum, relaxed);
        peakRing[pair + 1].store (minimum, relaxed);
        averageRing[pair].store (mean, relaxed);
        averageRing[pair + 1].store (mean, relaxed);
    }
}
}
