#include "engine/Engine.h"

#include "engine/ControlLimits.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zund
{
namespace
{
using controlLimits::acceptWithin;

// 10^(dB / 20), exactly 0 at or below the floor, at most the gain of maxGainDb;
// nothing for NaN (the setter keeps its gain).
bool decibelsToGain (float decibels, float floorDecibels, float& gain) noexcept
{
    if (! acceptWithin (decibels, -std::numeric_limits<float>::infinity(), controlLimits::maxGainDb))
        return false;
    gain = decibels > floorDecibels ? std::pow (10.0f, decibels / 20.0f) : 0.0f;
    return true;
}

// A knob's value 0..1; false for NaN.
bool acceptKnob (float& x) noexcept
{
    return acceptWithin (x, 0.0f, 1.0f);
}

constexpr float cueMixScale = 1.4144272f; // equal levels of about 0.707 at the centre

// EQ knob 0..1 to a shelving or peak gain of -12..+12 dB.
float eqKnobToDecibels (float x) noexcept
{
    return (x - 0.5f) * 24.0f;
}
}

//==============================================================================
// Gains.
void Engine::setChannelGainDb (int channel, float decibels)
{
    float gain = 0.0f;
    if (isChannel (channel) && decibelsToGain (decibels, -120.0f, gain))
        channels[channel].channelGain = gain;
}

void Engine::setChannelFader (int channel, float x)
{
    // The audio thread multiplies this with the crossfader gain.
    if (isChannel (channel) && acceptKnob (x))
        channels[channel].faderVolume = faderCurve.lookup (x);
}

void Engine::setCue (int channel, bool on)
{
    if (isChannel (channel))
        channels[channel].cue = on;
}

void Engine::setMainGainDb (float decibels)
{
    float gain = 0.0f;
    if (decibelsToGain (decibels, -160.0f, gain))
        mainGain = gain;
}

void Engine::setPhonesGainDb (float decibels)
{
    float gain = 0.0f;
    if (decibelsToGain (decibels, -160.0f, gain))
        phonesGain = gain;
}

void Engine::setCueMix (float x)
{
    if (! acceptKnob (x))
        return;
    cueLevel = std::min (1.0f, x * cueMixScale);
    mainInPhonesLevel = std::min (1.0f, (1.0f - x) * cueMixScale);
}

//==============================================================================
// Crossfader: plain stores. The audio thread derives the channels' gains from
// all four at the start of each chunk, so that two threads moving the fader
// and choosing the sides cannot leave gains that belong to neither.
void Engine::setCrossfaderPosition (float position)
{
    if (acceptKnob (position))
        crossfaderPosition = position;
}

void Engine::setCrossfaderCurve (int curve)
{
    crossfaderCurve = curve == 0 || curve == 1 ? curve : 2;
}

void Engine::setCrossfaderSideA (int channel)
{
    crossfaderSideA = isChannel (channel) ? channel : -1;
}

void Engine::setCrossfaderSideB (int channel)
{
    crossfaderSideB = isChannel (channel) ? channel : -1;
}

void Engine::updateCrossfaderGains() noexcept
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
// Filters: plain stores. The knobs go to both filters of the set, so that a
// change of filter type keeps them.
void Engine::setFilterType (int set, int type)
{
    if (isSet (set))
        filterSets[set].type = type;
}

void Engine::setFilterFrequency (int set, float x)
{
    if (! isSet (set))
        return;
    filterSets[set].stateVariable.setFrequency (x);
    filterSets[set].sweep.setFrequency (x);
}

void Engine::setFilterResonance (int set, float x)
{
    if (! isSet (set))
        return;
    filterSets[set].stateVariable.setResonance (x);
    filterSets[set].sweep.setResonance (x);
}

void Engine::setFilterLowPassLevel (int set, float level)
{
    if (isSet (set) && acceptKnob (level))
        filterSets[set].stateVariable.lowPassLevel = level;
}

void Engine::setFilterBandPassLevel (int set, float level)
{
    if (isSet (set) && acceptKnob (level))
        filterSets[set].stateVariable.bandPassLevel = level;
}

void Engine::setFilterHighPassLevel (int set, float level)
{
    if (isSet (set) && acceptKnob (level))
        filterSets[set].stateVariable.highPassLevel = level;
}

//==============================================================================
// EQ: redesigns coefficients, so under the lock. A knob sets both the shelving
// gain and the band-split gain, so that a change of mode keeps it.
void Engine::setEqLow (int set, float x)
{
    if (! acceptKnob (x))
        return;
    updateEq (set, [this, x] (EqProcessor& eq)
    {
        eq.setLowGain (eqKnobToDecibels (x));
        eq.setLowBandGain (eqGainCurve.lookup (x));
    });
}

void Engine::setEqMid (int set, float x)
{
    if (! acceptKnob (x))
        return;
    updateEq (set, [this, x] (EqProcessor& eq)
    {
        eq.setMidGain (eqKnobToDecibels (x));
        eq.setMidBandGain (eqGainCurve.lookup (x));
    });
}

void Engine::setEqHigh (int set, float x)
{
    if (! acceptKnob (x))
        return;
    updateEq (set, [this, x] (EqProcessor& eq)
    {
        eq.setHighGain (eqKnobToDecibels (x));
        eq.setHighBandGain (eqGainCurve.lookup (x));
    });
}

void Engine::setEqMidFrequency (int set, float x)
{
    if (! acceptKnob (x))
        return;
    updateEq (set, [x] (EqProcessor& eq) { eq.setMidFrequency (100.0f * std::pow (10.0f, 2.0f * x)); });
}

void Engine::setEqKillLow (int set, bool on)
{
    updateEq (set, [on] (EqProcessor& eq) { eq.setLowKill (on); });
}

void Engine::setEqKillMid (int set, bool on)
{
    updateEq (set, [on] (EqProcessor& eq) { eq.setMidKill (on); });
}

void Engine::setEqKillHigh (int set, bool on)
{
    updateEq (set, [on] (EqProcessor& eq) { eq.setHighKill (on); });
}

void Engine::setEqMode (int set, bool bandSplit)
{
    updateEq (set, [bandSplit] (EqProcessor& eq) { eq.setMode (bandSplit ? 1 : 0); });
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
