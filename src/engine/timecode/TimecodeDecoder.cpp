#include "engine/timecode/TimecodeDecoder.h"

#include "engine/dsp/DspHelpers.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>

namespace zund
{
namespace
{
constexpr auto relaxed = std::memory_order_relaxed;

constexpr double carrierFrequency = 1102.5;   // at speed 1.0
constexpr double secondsPerWord = 920.0 / 44100.0;
constexpr int firstEndWord = 70000;
constexpr double nearTolerance = 1.0;         // seconds, for positions below nearRange
constexpr double farTolerance = 4.0;
constexpr double nearRange = 10.0;

constexpr float noSignalLevel = 0.01f;
constexpr float halfCycleThreshold = 0.3f;    // of the left envelope
constexpr float directionThreshold = 0.1f;    // of the right envelope
constexpr float oneBitThreshold = 0.7f;       // of the right envelope

constexpr std::uint32_t wordMask = 0x7fffff;  // 23 bits
constexpr std::uint32_t fieldMask = 0x1ff;
constexpr std::uint32_t syncPattern = 0x7;    // bits 22..19 read 0, 1, 1, 1
constexpr std::uint32_t separatorBit = 1u << 9;

constexpr float denormalGuard = 1.0e-18f;

void follow (float& envelope, float x, double attack, double release) noexcept
{
    const float level = std::abs (x);
    if (level > envelope)
        envelope = (float) (envelope + (level - envelope) * attack);
    else
        envelope = (float) (envelope * release);
    envelope += denormalGuard;
}

int votesNeeded (double cycleSpeed) noexcept
{
    // Slow motion reverses at once; at full speed a stray symbol must not.
    const double s = std::abs (cycleSpeed);
    if (s > 0.5)
        return 4;
    if (s > 0.25)
        return 3;
    if (s > 0.125)
        return 2;
    return 1;
}
}

TimecodeDecoder::TimecodeDecoder()
{
    setSampleRate (44100);
}

void TimecodeDecoder::setSampleRate (int rate)
{
    const double r = dsp::validSampleRate ((double) rate);
    oversampledRate = PolyphaseInterpolator::factor * r;
    attack = dsp::smoothingCoefficient (0.0002, r);
    release = std::pow (0.1, 1.0 / (0.05 * r));
    noSignalTimeout = (int) r / 33;

    // 100 Hz, Q 0.707: keeps rumble and hum out of the zero crossings.
    const double w = 628.3 / r;
    const double alpha = std::sin (w) * 0.7072135785007072;
    const double a0 = 1.0 + alpha;
    const double cw = std::cos (w);
    hpB0 = (float) ((1.0 + cw) / 2.0 / a0);
    hpB1 = (float) (-(1.0 + cw) / a0);
    hpB2 = hpB0;
    hpA1 = (float) (-2.0 * cw / a0);
    hpA2 = (float) ((1.0 - alpha) / a0);
    highPassLeft = {};
    highPassRight = {};
}

double TimecodeDecoder::getSpeed() const noexcept
{
    return sharedSpeed.load (relaxed);
}

bool TimecodeDecoder::hasNoSignal() const noexcept
{
    return sharedNoSignal.load (relaxed);
}

void TimecodeDecoder::requestResync() noexcept
{
    resyncRequested.store (true);
}

void TimecodeDecoder::setClockForTesting (std::uint32_t start) noexcept
{
    clock = crossingTime = previousCrossingTime = start;
}

float TimecodeDecoder::highPass (HighPassMemory& m, float x) const noexcept
{
    const float y = dsp::killDenormal (hpB0 * x + hpB1 * m.x1 + hpB2 * m.x2 - hpA1 * m.y1 - hpA2 * m.y2);
    m.x2 = m.x1;
    m.x1 = x;
    m.y2 = m.y1;
    m.y1 = y;
    return y;
}

void TimecodeDecoder::process (const float* left, const float* right,
                               double* speedOut, float* positionOut, int numSamples) noexcept
{
    if (left == nullptr || right == nullptr || speedOut == nullptr || positionOut == nullptr)
        return;

    juce::ScopedNoDenormals noDenormals;

    for (int i = 0; i < numSamples; ++i)
    {
        newPosition = false;

        // Filtered into locals: the caller's buffers stay as they came.
        const float x = highPass (highPassLeft, left[i]);
        const float y = highPass (highPassRight, right[i]);
        follow (leftEnvelope, x, attack, release);
        follow (rightEnvelope, y, attack, release);

        float l4[PolyphaseInterpolator::factor], r4[PolyphaseInterpolator::factor];
        interpolator.process (x, y, l4, r4);
        for (int j = 0; j < PolyphaseInterpolator::factor; ++j)
            processOversampled (l4[j], r4[j]);

        if (samplesSinceCycle <= noSignalTimeout)
            ++samplesSinceCycle;

        speedOut[i] = (noSignal || noPositionYet) ? 0.0 : speed;
        positionOut[i] = newPosition ? (float) position : noPosition;
    }

    sharedSpeed.store (speed, relaxed);
    sharedNoSignal.store (noSignal, relaxed);
}

void TimecodeDecoder::processOversampled (float left, float right) noexcept
{
    noSignal = leftEnvelope < noSignalLevel;

    if (noSignal)
    {
        cycleSpeed = 0.0;
        speed = 0.0;
    }
    else if (waitingForPositiveHalf)
    {
        if (left > halfCycleThreshold * leftEnvelope)
            waitingForPositiveHalf = false;
    }
    else
    {
        if (left < 0.0f && previousLeft >= 0.0f)
        {
            crossingTime = clock;
            crossingValue = right;
        }

        if (left < -halfCycleThreshold * leftEnvelope)
            endCycle();
    }

    if (samplesSinceCycle > noSignalTimeout)
    {
        noSignal = true;
        speed = 0.0;
        cycleSpeed = 0.0;
    }

    previousLeft = left;
    ++clock;
}

void TimecodeDecoder::endCycle() noexcept
{
    waitingForPositiveHalf = true;

    const float directionLevel = directionThreshold * rightEnvelope;
    const int symbol = crossingValue > directionLevel ? 1
                     : (crossingValue < -directionLevel ? -1 : 0);

    // Wrapping difference: right across the clock's wrap, and a long-stale
    // crossing only gives a very slow (or skipped) cycle.
    const auto period = (std::int32_t) (crossingTime - previousCrossingTime);
    previousCrossingTime = crossingTime;

    if (period > 0)
    {
        samplesSinceCycle = 0;
        const double measured = (oversampledRate / carrierFrequency) * direction / period;
        cycleSpeed = measured;
        if (! endReached)
            speed = measured; // past the end the speed holds
    }

    for (int k = symbolHistorySize - 1; k > 0; --k)
        symbols[k] = symbols[k - 1];
    symbols[0] = symbol;

    if (symbol != 0)
    {
        const int needed = votesNeeded (cycleSpeed);
        bool agreed = true;
        for (int k = 0; k < needed; ++k)
            agreed = agreed && symbols[k] == symbol;
        if (agreed)
            direction = symbol;
    }

    pushBit (std::abs (crossingValue) < oneBitThreshold * rightEnvelope ? 1u : 0u);
}

void TimecodeDecoder::pushBit (std::uint32_t bit) noexcept
{
    // Either way the register reads as the record runs forwards: a word's
    // first bit ends up in bit 22.
    if (direction == 1)
        shiftRegister = (shiftRegister << 1) | bit;
    else
        shiftRegister = (shiftRegister >> 1) | (bit << 22);
    shiftRegister &= wordMask;

    // A word reads from bit 22 down: 0, 1, 1, 1, high field, 0, low field.
    if ((shiftRegister >> 19) == syncPattern && (shiftRegister & separatorBit) == 0)
        decodeWord();
}

void TimecodeDecoder::decodeWord() noexcept
{
    const int lo = codeTable[shiftRegister & fieldMask];
    const int hi = codeTable[(shiftRegister >> 10) & fieldMask];
    const int word = (lo >= 0 && hi >= 0) ? hi * TimecodeCodeTable::numCodes + lo : -1000;

    bool accepted = false;
    if (word >= 0)
    {
        const int step = direction == 1 ? -1 : 1;
        accepted = true;
        for (int k = 0; k < wordHistorySize; ++k)
            accepted = accepted && words[k] == word + step * (k + 1);

        if (direction == 1 && word == firstEndWord && words[0] == firstEndWord && words[1] == firstEndWord)
            accepted = true;
    }

    for (int k = wordHistorySize - 1; k > 0; --k)
        words[k] = words[k - 1];
    words[0] = word;

    if (accepted)
        acceptWord (word);
}

void TimecodeDecoder::acceptWord (int word) noexcept
{
    const double previousPosition = position;
    endReached = word >= firstEndWord;
    position = word * secondsPerWord;

    if (endReached)
        return;

    const double tolerance = position < nearRange ? nearTolerance : farTolerance;
    const bool jumped = std::abs (position - previousPosition) > tolerance;
    if (resyncRequested.exchange (false) || jumped)
        newPosition = true;

    noPositionYet = false;
}
}
