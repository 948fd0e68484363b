#pragma once

#include "engine/timecode/PolyphaseInterpolator.h"
#include "engine/timecode/TimecodeCodeTable.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <cstdint>

namespace zund
{
/** Turns the stereo signal of one turntable playing a timecode record into a
    speed for every sample and, whenever it re-anchors, an absolute position.

    The record carries a 1102.5 Hz carrier (at speed 1.0) whose right side
    runs a quarter cycle behind the left. Every carrier cycle holds one bit in
    the right side's height, and every 23 bits form a word whose number times
    920/44100 s is its place on the record. The speed comes from the time
    between falling zero crossings of the 4x oversampled left side, the
    direction from the sign of the right side at those crossings; a word is
    trusted once it follows four words in sequence.

    process() and setSampleRate() belong to the audio thread (setSampleRate
    under the engine lock); requestResync(), getSpeed() and hasNoSignal() may
    be called from any thread. */
class TimecodeDecoder
{
public:
    /** Written to the position output on every sample that carries no position. */
    static constexpr float noPosition = -1000.0f;

    TimecodeDecoder();

    /** Derives the rate's constants and clears the high-pass memory; all
        other state is kept. A rate below 1 is taken as 44100. */
    void setSampleRate (int rate);

    /** Decodes numSamples input pairs. speedOut[i] gets the speed (0 while
        there is no signal and until the first position has been found);
        positionOut[i] the position in seconds when the decoder re-anchors at
        that sample, else noPosition. The input is only read, so the caller
        can still play it as it came in. */
    void process (const float* left, const float* right,
                  double* speedOut, float* positionOut, int numSamples) noexcept;

    /** The last measured speed, not gated by the signal check. */
    double getSpeed() const noexcept;

    bool hasNoSignal() const noexcept;

    /** The next accepted word goes out as a position however close it is to the last one. */
    void requestResync() noexcept;

    /** Moves the oversampled clock and its crossing times to `start`, so
        that tests can play through the clock's wrap. */
    void setClockForTesting (std::uint32_t start) noexcept;

private:
    struct HighPassMemory
    {
        float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    };

    float highPass (HighPassMemory& m, float x) const noexcept;
    void processOversampled (float left, float right) noexcept;
    void endCycle() noexcept;
    void pushBit (std::uint32_t bit) noexcept;
    void decodeWord() noexcept;
    void acceptWord (int word) noexcept;

    static constexpr int symbolHistorySize = 8;
    static constexpr int wordHistorySize = 4;

    TimecodeCodeTable codeTable;
    PolyphaseInterpolator interpolator;

    // Rate-dependent constants.
    double oversampledRate = 4.0 * 44100.0;
    double attack = 0.0, release = 0.0;
    int noSignalTimeout = 0;     // input samples without a cycle before the signal counts as lost
    float hpB0 = 0.0f, hpB1 = 0.0f, hpB2 = 0.0f, hpA1 = 0.0f, hpA2 = 0.0f;
    HighPassMemory highPassLeft, highPassRight;

    float leftEnvelope = 0.0f, rightEnvelope = 0.0f;

    // Oversampled sample times wrap; only their differences are used.
    std::uint32_t clock = 0;
    std::uint32_t crossingTime = 0, previousCrossingTime = 0;
    float crossingValue = 0.0f;
    float previousLeft = 0.0f;
    bool waitingForPositiveHalf = true;
    int samplesSinceCycle = 0;  // input samples; stops just past the time-out

    double cycleSpeed = 1.0;    // only picks the number of direction votes
    double speed = 0.0;
    bool noSignal = true;

    std::int32_t symbols[symbolHistorySize] = {};  // newest first
    int direction = 0;          // +1 forwards, -1 backwards, 0 unknown

    std::uint32_t shiftRegister = 0;
    int words[wordHistorySize] = { -1, -1, -1, -1 };  // newest first, -1000 when undecodable
    double position = 0.0;      // seconds, of the last accepted word
    bool endReached = false;    // the last accepted word was an end word
    bool noPositionYet = true;
    bool newPosition = false;   // report the position with the current sample

    // Read and written from other threads.
    std::atomic<bool> resyncRequested { true };
    std::atomic<double> sharedSpeed { 0.0 };
    std::atomic<bool> sharedNoSignal { true };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TimecodeDecoder)
};
}
