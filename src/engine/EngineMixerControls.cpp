#include "engine/Engine.h"

#include <algorithm>
#include <cmath>

namespace zund
{
namespace
{
// 10^(dB / 20), exactly 0 at or below the floor (and for NaN).
float decibelsToGain (float decibels, float floorDecibels) noexcept
{
    if (! (decibels > floorDecibels))
        return 0.0f;
    return std::pow (10.0f, decibels / 20.0f);
}

constexpr float cueMixScale = 1.4144272f; // equal levels of about 0.707 at the centre
}

//==============================================================================
// Gains.
void Engine::setChannelGainDb (int channel, float decibels)
{
    if (isChannel (channel))
        channels[channel].channelGain = decibelsToGain (decibels, -120.0f);
}

void Engine::setChannelFader (int channel, float x)
{
    // The audio thread multiplies this with the crossfader gain.
    if (isChannel (channel))
        channels[channel].faderVolume = faderCurve.lookup (x);
}

void Engine::setCue (int channel, bool on)
{
    if (isChannel (channel))
        channels[channel].cue = on;
}

void Engine::setMainGainDb (float decibels)
{
    mainGain = decibelsToGain (decibels, -160.0f);
}

void Engine::setPhonesGainDb (float decibels)
{
    phonesGain = decibelsToGain (decibels, -160.0f);
}

void Engine::setCueMix (float x)
{
    cueLevel = std::min (1.0f, x * cueMixScale);
    mainInPhonesLevel = std::min (1.0f, (1.0f - x) * cueMixScale);
}

//==============================================================================
// Crossfader.
void Engine::setCrossfaderPosition (float position)
{
    crossfaderPosition = position;
    applyCrossfader();
}

void Engine::setCrossfaderCurve (int curve)
{
    crossfaderCurve = curve == 0 || curve == 1 ? curve : 2;
    applyCrossfader();
}

void Engine::setCrossfaderSideA (int channel)
{
    crossfaderSideA = isChannel (channel) ? channel : -1;
    applyCrossfader();
}

void Engine::setCrossfaderSideB (int channel)
{
    crossfaderSideB = isChannel (channel) ? channel : -1;
    applyCrossfader();
}

void Engine::applyCrossfader()
{
    const auto& curve = crossfaderCurves[crossfaderCurve.load()];
    const float position = crossfaderPosition.load();
    const float gainA = curve.lookup (position);
    const float gainB = curve.lookup (1.0f - position);
    const int sideA = crossfaderSideA.load();
    const int sideB = crossfaderSideB.load();

    for (int c = 0; c < numMixerChannels; ++c)
    {
        float gain = 1.0f;
        if (sideA != sideB)
            gain = c == sideA ? gainA : (c == sideB ? gainB : 1.0f);
        channels[c].crossfaderGain = gain;
    }
}

//==============================================================================
// Filters: plain stores of the knobs of both filters of the set.
void Engine::setFilterType (int set, int type)
{
    if (isSet (set))
        filterSettings[set].type = type;
}

void Engine::setFilterFrequency (int set, float x)
{
    if (isSet (set))
        filterSettings[set].frequency = x;
}

void Engine::setFilterResonance (int set, float x)
{
    if (isSet (set))
        filterSettings[set].resonance = x;
}

void Engine::setFilterLowPassLevel (int set, float level)
{
    if (isSet (set))
        filterSettings[set].lowPassLevel = level;
}

void Engine::setFilterBandPassLevel (int set, float level)
{
    if (isSet (set))
        filterSettings[set].bandPassLevel = level;
}

void Engine::setFilterHighPassLevel (int set, float level)
{
    if (isSet (set))
        filterSettings[set].highPassLevel = level;
}

//==============================================================================
// EQ: redesigns coefficients, so under the lock.
void Engine::setEqLow (int set, float x)
{
    if (! isSet (set))
        return;
    const juce::ScopedLock sl (lock);
    eqSettings[set].lowGainDb = (x - 0.5f) * 24.0f;
    eqSettings[set].lowBandGain = eqGainCurve.lookup (x);
}

void Engine::setEqMid (int set, float x)
{
    if (! isSet (set))
        return;
    const juce::ScopedLock sl (lock);
    eqSettings[set].midGainDb = (x - 0.5f) * 24.0f;
    eqSettings[set].midBandGain = eqGainCurve.lookup (x);
}

void Engine::setEqHigh (int set, float x)
{
    if (! isSet (set))
        return;
    const juce::ScopedLock sl (lock);
    eqSettings[set].highGainDb = (x - 0.5f) * 24.0f;
    eqSettings[set].highBandGain = eqGainCurve.lookup (x);
}

void Engine::setEqMidFrequency (int set, float x)
{
    if (! isSet (set))
        return;
    const juce::ScopedLock sl (lock);
    eqSettings[set].midFrequency = 100.0f * std::pow (10.0f, 2.0f * x);
}

void Engine::setEqKillLow (int set, bool on)
{
    if (! isSet (set))
        return;
    const juce::ScopedLock sl (lock);
    eqSettings[set].killLow = on;
}

void Engine::setEqKillMid (int set, bool on)
{
    if (! isSet (set))
        return;
    const juce::ScopedLock sl (lock);
    eqSettings[set].killMid = on;
}

void Engine::setEqKillHigh (int set, bool on)
{
    if (! isSet (set))
        return;
    const juce::ScopedLock sl (lock);
    eqSettings[set].killHigh = on;
}

void Engine::setEqMode (int set, bool bandSplit)
{
    if (! isSet (set))
        return;
    const juce::ScopedLock sl (lock);
    eqSettings[set].bandSplit = bandSplit;
}

//==============================================================================
// Output routing.
void Engine::setMainOutput (int firstOutputChannel)
{
    outputPair[mainOutputEntry] = firstOutputChannel;
}

void Engine::setPhonesOutput (int firstOutputChannel)
{
    outputPair[phonesOutputEntry] = firstOutputChannel;
}

void Engine::setChannelOutput (int channel, int firstOutputChannel)
{
    if (isChannel (channel))
        outputPair[firstChannelOutputEntry + channel] = firstOutputChannel;
}
}
