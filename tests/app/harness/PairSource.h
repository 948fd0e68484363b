#pragma once

#include "support/TimecodeSignal.h"

#include <atomic>

namespace zund::test
{
/** What one output pair of the test's JACK client plays: silence, a timecode
    record on a turntable, or a plain tone on both sides. The test thread sets
    it at any time; the JACK thread renders it and picks changes up at the
    next block. */
class PairSource
{
public:
    explicit PairSource (double sampleRate);

    /** Drops the needle at `startSeconds` of the record and turns it at `speed`. */
    void playTimecode (double startSeconds, double speed = 1.0, float level = 0.5f);
    void setSpeed (double speed) noexcept { turntableSpeed.store (speed); }
    /** A sine of this frequency and amplitude, the same on both sides. */
    void playTone (double frequency, float amplitude);
    void playSilence() noexcept { mode.store (silent); }

    /** JACK thread only. */
    void render (float* left, float* right, int numSamples) noexcept;

private:
    enum Mode { silent, timecode, tone };

    std::atomic<int> mode { silent };
    std::atomic<double> turntableSpeed { 1.0 };
    std::atomic<float> level { 0.5f };
    std::atomic<double> toneFrequency { 1000.0 };
    std::atomic<double> needleDrop { 0.0 };
    std::atomic<int> needleDrops { 0 };

    // JACK thread only.
    TimecodeSignal record;
    double sampleRate;
    double tonePhase = 0.0;
    int needleDropsSeen = 0;
};
}
