#include "engine/Engine.h"

#include <algorithm>

namespace zund
{
namespace
{
constexpr double previewJumpSeconds = 4.0; // winding skips this much of the track ...
constexpr int previewJumpsPerSecond = 4;   // ... this often

StereoMeter meterOver (StereoMeter meter, const float* left, const float* right, int numSamples, float fastDecay,
                       float slowDecay) noexcept
{
    for (int i = 0; i < numSamples; ++i)
        meter.update (left[i], right[i], fastDecay, slowDecay);
    return meter;
}
}

// The master chain: turns the channel mix in the main bus into the program
// output and completes the phones bus.
void Engine::processMasterBus (int numSamples) noexcept
{
    auto& loop = loops[masterSet];
    const float mainGainTarget = mainGain.load();
    const float mainInPhones = mainInPhonesLevel.load();
    const bool effectOnMain = fxChannel.load() == masterSet;
    float gain = smoothedMainGain;

    for (int i = 0; i < numSamples; ++i)
    {
        // Like the channel gains, no offset guard: the block runs with
        // denormals flushed, and the guard would hold a muted output at -480 dB.
        gain += (mainGainTarget - gain) * gainSmoothing;

        float left = mainBus[0][i], right = mainBus[1][i];
        if (loop.isActive())
            loop.processMasterSample (left, right);
        loop.crossfade (left, right, loopRampStep);

        filterSample (masterSet, left, right);
        eqSample (masterSet, left, right);
        if (effectOnMain)
            effectSample (left, right);

        mainBus[0][i] = left * gain;
        mainBus[1][i] = right * gain;
        // The phones take the master signal before the main gain.
        phonesBus[0][i] += left * mainInPhones;
        phonesBus[1][i] += right * mainInPhones;
    }
    smoothedMainGain = gain;

    if (effectOnMain)
        processPlugins (mainBus[0], mainBus[1], numSamples);

    mainMeter.store (meterOver (mainMeter.load(), mainBus[0], mainBus[1], numSamples, meterDecayFast, meterDecaySlow));

    // The recorded mix is limited to full scale, and the main output with it.
    if (recording.load() && recordMix.load())
    {
        recordingLimiter.process (mainBus[0], mainBus[1], numSamples);
        writeToRecorder (mainBus[0], mainBus[1], numSamples);
    }

    playPreview (numSamples);

    const float phonesLevel = phonesGain.load();
    for (int side = 0; side < 2; ++side)
        for (int i = 0; i < numSamples; ++i)
            phonesBus[side][i] *= phonesLevel;
    phonesMeter.store (
        meterOver (phonesMeter.load(), phonesBus[0], phonesBus[1], numSamples, meterDecayFast, meterDecaySlow));
}

// The preview player into the phones bus. While winding, it jumps four seconds
// of track every quarter second and keeps playing in between.
void Engine::playPreview (int numSamples) noexcept
{
    if (! previewPlaying.load())
        return;

    auto& reader = readers[previewChannel];
    const double rate = sampleRate.load();
    const double trackRate = reader.getSampleRate();
    const double step = trackRate / rate;
    const double jump = trackRate * previewJumpSeconds;
    const int jumpInterval = (int) rate / previewJumpsPerSecond;
    const double length = (double) reader.getLengthInSamples();

    double position = std::clamp (previewPosition.load(), 0.0, length);
    for (int i = 0; i < numSamples; ++i)
    {
        float left = 0.0f, right = 0.0f;
        reader.read (position, left, right);
        phonesBus[0][i] += left;
        phonesBus[1][i] += right;

        position = std::min (position + step, length);
        if (++previewWindCounter > jumpInterval)
        {
            previewWindCounter = 0;
            if (previewWindDirection > 0)
                position = std::min (position + jump, length);
            else if (previewWindDirection < 0)
                position = std::max (position - jump, 0.0);
        }
    }
    previewPosition = position;
}
}
