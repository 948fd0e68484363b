#include "engine/dsp/LoopSampler.h"

#include <algorithm>
#include <cmath>

namespace zund
{
namespace
{
enum LengthRequest
{
    applyPendingLength = 1,
    applyLengthNow = 2
};
}

LoopSampler::LoopSampler()
    : bufferLeft (new float[bufferSize]()),
      bufferRight (new float[bufferSize]())
{
}

void LoopSampler::reset() noexcept
{
    std::fill (bufferLeft.get(), bufferLeft.get() + bufferSize, 0.0f);
    std::fill (bufferRight.get(), bufferRight.get() + bufferSize, 0.0f);
    activation.store ((int) Activation::none);
    clearRequested.store (false);
    lengthRequest.store (0);
    beats.store (0.125);
    lengthFactor.store (1.0);
    active = recording = playing = stopRequested = keepRunning = false;
    barLength = 128.0;
    loopLength = pendingLoopLength = 1000;
    halfBarSamples = loopCounter = 0;
    recordIndex = playIndex = stopIndex = 0;
    loopStart = loopRate = 0.0;
    ramp = 1.0f;
    rampLeft = rampRight = 0.0f;
    publish();
}

void LoopSampler::requestActive (bool on, bool keepTrackRunning) noexcept
{
    const auto request = ! on ? Activation::stop
                              : (keepTrackRunning ? Activation::startKeepRunning : Activation::start);
    activation.store ((int) request);
}

void LoopSampler::setBeats (double newBeats) noexcept
{
    lengthFactor.store (1.0);
    beats.store (newBeats);
    lengthRequest.fetch_or (applyPendingLength);
}

void LoopSampler::setLengthKnob (double x) noexcept
{
    lengthFactor.store ((std::pow (2.0, 5.0 * x) - 1.0) / 31.0);
    lengthRequest.fetch_or (applyPendingLength | applyLengthNow);
}

void LoopSampler::applyLengthRequest (int minimumLength) noexcept
{
    const int request = lengthRequest.exchange (0);
    if ((request & applyPendingLength) != 0)
        applyLength (minimumLength);
    if ((request & applyLengthNow) != 0)
        loopLength = pendingLoopLength;
}

void LoopSampler::applyLength (int minimumLength) noexcept
{
    minimumLength = std::clamp (minimumLength, 1, bufferSize);
    const double samples = beats.load() * lengthFactor.load() * barLength;
    // Written this way round so that NaN falls to the minimum.
    if (samples >= (double) bufferSize)
        pendingLoopLength = bufferSize;
    else if (samples >= (double) minimumLength)
        pendingLoopLength = (int) samples;
    else
        pendingLoopLength = minimumLength;

    // A bar from a crawling deck can be far longer than the buffer.
    const double halfBar = barLength / 2.0;
    halfBarSamples = halfBar >= (double) bufferSize ? bufferSize : (halfBar >= 1.0 ? (int) halfBar : 1);
}

void LoopSampler::clear() noexcept
{
    active = recording = playing = stopRequested = false;
}

void LoopSampler::start (double newBarLength, int minimumLength, double startPosition, double rate,
                         bool keepTrackRunning) noexcept
{
    if (active || stopRequested)
        return;

    barLength = newBarLength;
    applyLength (minimumLength);
    loopLength = pendingLoopLength;
    keepRunning = keepTrackRunning;
    recordIndex = 0;
    recording = true;
    playing = false;
    loopStart = startPosition;
    loopCounter = 0;
    loopRate = rate;
    active = true;
}

void LoopSampler::stop() noexcept
{
    if (! active || stopRequested)
        return;

    if (recording && ! playing)
    {
        active = false; // the first pass replaced nothing: no jump to smooth
    }
    else if (keepRunning)
    {
        endLoop();
    }
    else
    {
        stopIndex = loopLength < halfBarSamples ? loopCounter : playIndex;
        stopRequested = true;
    }
}

void LoopSampler::recordSample (float left, float right) noexcept
{
    bufferLeft[(size_t) recordIndex] = left;
    bufferRight[(size_t) recordIndex] = right;
    ++recordIndex;
    if (! playing && recordIndex >= loopLength)
    {
        wrapPlayback();
        playing = true;
    }
    if (recordIndex >= bufferSize)
        recording = false;
}

bool LoopSampler::countHalfBar() noexcept
{
    // Length changes take effect on half-bar boundaries.
    if (++loopCounter < halfBarSamples)
        return false;
    loopCounter = 0;
    loopLength = pendingLoopLength;
    return true;
}

void LoopSampler::processChannelSample (float& left, float& right, double& position, double& playPosition,
                                        bool thru) noexcept
{
    if (recording)
        recordSample (left, right);

    countHalfBar();

    if (! playing)
        return;

    // The length may have shrunk under the play index.
    if (playIndex >= loopLength)
        wrapPlayback();

    if (! thru)
        playPosition = playIndex * loopRate + loopStart;
    left = bufferLeft[(size_t) playIndex];
    right = bufferRight[(size_t) playIndex];

    if (stopRequested)
    {
        if (! keepRunning)
            position = stopIndex * loopRate + loopStart;
        endLoop();
    }

    if (++playIndex >= loopLength)
        wrapPlayback();
}

void LoopSampler::processMasterSample (float& left, float& right) noexcept
{
    if (recording)
        recordSample (left, right);

    // The master bus has no track to return to, so it stops on the beat grid.
    if (countHalfBar() && stopRequested)
    {
        endLoop();
        return;
    }

    if (! playing)
        return;

    if (playIndex >= loopLength)
        wrapPlayback();
    left = bufferLeft[(size_t) playIndex];
    right = bufferRight[(size_t) playIndex];
    if (++playIndex >= loopLength)
        wrapPlayback();
}

void LoopSampler::publish() noexcept
{
    publishedActive.store (active, std::memory_order_relaxed);
    publishedStart.store (loopStart, std::memory_order_relaxed);
    publishedEnd.store (loopLength * loopRate + loopStart, std::memory_order_relaxed);
}
}
