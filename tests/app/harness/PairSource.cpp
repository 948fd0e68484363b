#include "app/harness/PairSource.h"

#include <cmath>

namespace zund::test
{
PairSource::PairSource (double rate)
    : record (rate), sampleRate (rate)
{
}

void PairSource::playTimecode (double startSeconds, double speed, float newLevel)
{
    turntableSpeed.store (speed);
    level.store (newLevel);
    needleDrop.store (startSeconds);
    needleDrops.fetch_add (1); // publishes the position above
    mode.store (timecode);
}

void PairSource::playTone (double frequency, float amplitude)
{
    toneFrequency.store (frequency);
    level.store (amplitude);
    mode.store (tone);
}

void PairSource::render (float* left, float* right, int numSamples) noexcept
{
    const int drops = needleDrops.load();
    if (drops != needleDropsSeen)
    {
        needleDropsSeen = drops;
        record.setPosition (needleDrop.load());
    }

    switch (mode.load())
    {
        case timecode:
            record.setSpeed (turntableSpeed.load());
            record.setLevel (level.load());
            record.render (left, right, numSamples);
            return;

        case tone:
        {
            const double twoPi = juce::MathConstants<double>::twoPi;
            const double step = toneFrequency.load() / sampleRate;
            const float amplitude = level.load();
            for (int i = 0; i < numSamples; ++i)
            {
                left[i] = right[i] = amplitude * (float) std::sin (twoPi * tonePhase);
                tonePhase += step;
                tonePhase -= std::floor (tonePhase);
            }
            return;
        }

        default:
            for (int i = 0; i < numSamples; ++i)
                left[i] = right[i] = 0.0f;
    }
}
}
