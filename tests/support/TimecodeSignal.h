#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <limits>
#include <set>

namespace zund::test
{
/** A timecode record played on a turntable, made to feed the decoder.

    The record: a carrier of 1102.5 cycles per second of record time, the
    left side cos and the right side sin of the cycle's phase, so the right
    runs a quarter cycle behind. Cycle c carries bit (c mod 23) of word c / 23
    in the right side's height: full for a 0, `oneHeight` for a 1, changing
    where the right side crosses zero. A word, in the order the record plays
    it: 0, 1, 1, 1, the code of number / 274, 0, the code of number % 274
    (codes are 9-bit patterns without three 1s in a row, numbered in
    ascending order, sent top bit first). Word w carries the number w; from
    the lead-out on every word carries 70000.

    The turntable: a needle position in record seconds that moves by
    speed / sample rate per sample. It can be moved (a jump) or lifted
    (silence), and the signal can be scaled and have noise added. */
class TimecodeSignal
{
public:
    static constexpr double cyclesPerSecond = 1102.5;
    static constexpr int bitsPerWord = 23;
    static constexpr double secondsPerWord = bitsPerWord / cyclesPerSecond; // 920 / 44100
    static constexpr int codesPerField = 274;
    static constexpr int endNumber = 70000;
    static constexpr float oneHeight = 0.3f;

    explicit TimecodeSignal (double sampleRate);

    void setSampleRate (double rate) { sampleRate = rate; }
    void setPosition (double seconds) { position = seconds; }
    double getPosition() const { return position; }
    void setSpeed (double newSpeed) { speed = newSpeed; }
    void setLevel (float newLevel) { level = newLevel; }
    /** Uniform noise of this peak, independent on each side. */
    void setNoise (float peak) { noise = peak; }
    void setLifted (bool isLifted) { lifted = isLifted; }

    /** Words from this one on carry the end number. */
    void setLeadOut (juce::int64 firstWord) { leadOut = firstWord; }
    /** The word's low field holds a pattern that is no code. */
    void corruptWord (juce::int64 word) { corrupted.insert (word); }

    /** Renders the next samples. When `needleOut` is given it receives the
        record position at which each sample was taken. */
    void render (float* left, float* right, int numSamples, double* needleOut = nullptr);

    /** Position of the start of word w, in seconds. */
    static double wordStart (juce::int64 word) { return (double) word * secondsPerWord; }

    /** The 9-bit pattern of code 0..273. */
    static int codePattern (int code);

    /** The word's 23 bits; the first one played is bit 22. */
    std::uint32_t wordBits (juce::int64 word) const;

private:
    int bitOfCycle (juce::int64 cycle) const;

    double sampleRate;
    double position = 0.0;
    double speed = 1.0;
    float level = 0.5f;
    float noise = 0.0f;
    bool lifted = false;
    juce::int64 leadOut = std::numeric_limits<juce::int64>::max();
    std::set<juce::int64> corrupted;
    juce::Random random { 4711 };
};
}
