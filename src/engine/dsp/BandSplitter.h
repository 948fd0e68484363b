#pragma once

namespace zund
{
/** Two cascaded second-order low-pass or high-pass stages (fourth order); with
    slope 1/6 the pair is exactly Butterworth, smaller slopes damp more. */
class FourthOrderSection
{
public:
    void designLowPass (double frequency, double slope, double sampleRate) noexcept;
    void designHighPass (double frequency, double slope, double sampleRate) noexcept;

    float process (float x) noexcept;

private:
    struct Stage
    {
        float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, c1 = 0.0f, c2 = 0.0f;
        float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;

        float process (float x) noexcept;
    };

    void design (double frequency, double slope, double sampleRate, bool lowPass) noexcept;

    Stage stages[2];
};

/** Splits one channel into low, mid and high bands with fourth-order sections
    and sums them with the given gains (the isolator EQ). The bands leave narrow
    gaps at the split frequencies. */
class BandSplitter
{
public:
    BandSplitter();

    void setSampleRate (float rate) noexcept;
    /** Redesigns the four sections for the current rate and split frequencies. */
    void update() noexcept;

    float process (float x, float lowGain, float midGain, float highGain) noexcept;

private:
    float sampleRate = 44100.0f;
    float s1 = 0.156f, s2 = 0.177f, s3 = 0.147f;
    float ratio = 0.78f;
    float lowSplitFrequency = 300.0f;
    float highSplitFrequency = 3000.0f;
    FourthOrderSection lowBandLowPass, midBandHighPass, midBandLowPass, highBandHighPass;
};
}
