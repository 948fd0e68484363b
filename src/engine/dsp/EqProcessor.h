#pragma once

#include "engine/dsp/BandSplitter.h"

namespace zund
{
/** Three-band EQ with two modes on the same settings.

    Mode 0: low shelf (80 Hz), mid peak (movable, 1 kHz) and high shelf (6.4 kHz)
    in series; a kill cuts its band to a fixed depth (-30, -30, -60 dB) and the
    stored gain comes back when the kill goes off.
    Mode 1: an isolator that splits the signal into three bands and sums them
    with gains that glide (90 % in 10 ms); a kill fades its band to silence.

    Setters redesign coefficients at once and are called under the Engine lock;
    process() works on one stereo sample in place. */
class EqProcessor
{
public:
    static constexpr float lowKillDepthDb = -30.0f;
    static constexpr float midKillDepthDb = -30.0f;
    static constexpr float highKillDepthDb = -60.0f;

    /** Starts at 44,100 Hz with every section designed. */
    EqProcessor();

    void setSampleRate (float rate) noexcept;
    /** 1 selects the band split, anything else the shelving sections. */
    void setMode (int mode) noexcept;

    /** Shelf and peak gains in dB. */
    void setLowGain (float db) noexcept;
    void setMidGain (float db) noexcept;
    void setHighGain (float db) noexcept;
    void setMidFrequency (float hz) noexcept;

    void setLowKill (bool kill) noexcept;
    void setMidKill (bool kill) noexcept;
    void setHighKill (bool kill) noexcept;

    /** Linear band gains of the band split. */
    void setLowBandGain (float gain) noexcept;
    void setMidBandGain (float gain) noexcept;
    void setHighBandGain (float gain) noexcept;

    void process (float* left, float* right) noexcept;

private:
    struct Coefficients
    {
        float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
    };

    struct SectionState
    {
        float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    };

    enum Band { low, mid, high, numBands };

    static constexpr float lowShelfFrequency = 80.0f, lowShelfQ = 0.6f;
    static constexpr float highShelfFrequency = 6400.0f, highShelfQ = 0.5f;

    void designLowShelf() noexcept;
    void designMidPeak() noexcept;
    void designHighShelf() noexcept;
    /** sign 1 designs the low shelf, -1 the high shelf (the low one mirrored in frequency). */
    void designShelf (Band band, float frequency, float q, float gainDb, double sign) noexcept;
    void designAll() noexcept;
    float shelvingSample (SectionState* states, float x) noexcept;
    void glideBandGains() noexcept;

    float gainSmoothing = 0.0f;
    float bandGainTargets[numBands] = { 1.0f, 1.0f, 1.0f };
    float bandGains[numBands] = { 1.0f, 1.0f, 1.0f };
    bool kills[numBands] = { false, false, false };
    float sampleRate = 44100.0f;
    Coefficients coefficients[numBands];
    SectionState states[2][numBands];
    float lowShelfGainDb = 0.0f;
    float midPeakFrequency = 1000.0f, midPeakGainDb = 0.0f;
    float highShelfGainDb = 0.0f;
    int mode = 0;
    BandSplitter splitters[2];
};
}
