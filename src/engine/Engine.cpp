#include "engine/Engine.h"

#include "engine/dsp/DspHelpers.h"
#include "engine/effects/EffectFactory.h"

#include <cmath>

namespace zund
{
namespace
{
CurveTable makeFaderCurve()
{
    // (10^x - 1) / 9 at x = 0, 0.1 .. 1
    CurveTable curve;
    for (int i = 0; i <= 10; ++i)
        curve.add ((float) ((std::pow (10.0, i / 10.0) - 1.0) / 9.0));
    return curve;
}

CurveTable makeEqGainCurve (const CurveTable& faderCurve)
{
    // The fader law up to the centre, then linear up to +6 dB (x2).
    CurveTable curve;
    for (int i = 0; i < 10; ++i)
        curve.add (faderCurve.lookup ((float) i / 10.0f));
    for (int i = 0; i <= 10; ++i)
        curve.add (1.0f + (float) i / 10.0f);
    return curve;
}

// Per-sample factor of a level that falls by 20 dB in the given time.
float decayFactor (double seconds, double rate)
{
    return (float) std::pow (0.1, 1.0 / (seconds * rate));
}
}

Engine::Engine()
    : faderCurve (makeFaderCurve()),
      eqGainCurve (makeEqGainCurve (faderCurve)),
      crossfaderCurves {
          { 1.0f, 1.0f, 0.944f, 0.891f, 0.841f, 0.794f, 0.63f, 0.398f, 0.158f, 0.003f, 0.0f },
          { 1.0f, 1.0f, 1.0f, 1.0f, 0.944f, 0.891f, 0.794f, 0.562f, 0.02f, 0.0f },
          { 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.89f, 0.0f },
      }
{
    constructed = false;
    reset();
    setSampleRate (44100);
    constructed = true;
    startTimer (20);
}

Engine::~Engine()
{
    stopTimer();
    stopRecording();
    // The readers stop their fill threads as they are destroyed.
}

void Engine::reset()
{
    mainGain = 1.0f;
    phonesGain = 1.0f;
    recording = false;
    recordMix = true;

    fxTempo = 60.0;
    fxOn = false;
    fxType = -1;
    fxChannel = masterSet;
    fxBeatLength = 4.0;
    fxDepth = 0.5f;
    fxMix = 0.5f;
    {
        auto chorus = createEffect (chorusEffect); // the default, with the settings above
        const juce::ScopedLock sl (lock);
        installEffect (chorus);
    }

    for (auto& entry : outputPair)
        entry = -1;
    cueLevel = 1.0f;
    mainInPhonesLevel = 0.0f;

    previewPlaying = false;
    previewPosition = 0.0;
    pendingPreviewPosition.clear();
    pendingPreviewWind = 0;
    previewWindCounter = 0;
    previewWindDirection = 0;

    zeroLockRange = 0.01;
    clockChannel = 0;
    previousClockChannel = 0;

    for (int d = 0; d < numDecks; ++d)
    {
        auto& deck = decks[d];
        deck.inputChannel = -1;
        deck.softPreamp = false;
        deck.invertPhaseLeft = false;
        deck.xyView = nullptr;
        deck.preamp.reset();
    }

    for (int c = 0; c < numMixerChannels; ++c)
    {
        auto& ch = channels[c];
        ch.inputDeck = c;
        ch.trackLoaded = false;
        ch.restartPending = false;
        ch.thru = false;
        ch.absolute = false;
        ch.sync = false;
        ch.cue = false;
        ch.pitchLocked = false;
        ch.playing = true;
        ch.trackBpm = 1.0;
        ch.syncFactor = 1.0;
        ch.channelGain = 1.0f;
        ch.faderVolume = 1.0f;
        ch.crossfaderGain = 1.0f;
        ch.pendingSeek.clear();
        ch.pendingRestartPosition.clear();
        ch.pendingSpeedChange.clear();
        ch.position = 0.0;
        ch.decoderSpeed = 0.0;
        ch.increment = 0.0;
        ch.fileRateRatio = 1.0;
        ch.smoothedChannelGain = 1.0f;
        ch.smoothedFaderGain = 0.0f;
        ch.playPosition = 0.0;
        ch.speed = 0.0;
        ch.smoothedSpeed = 0.0;
        ch.scratchCounter = 0;
        ch.zeroLockActive = false;
        ch.preFaderMeter.store ({});
        ch.postFaderMeter.store ({});
        dcBlockers[c].reset();
    }

    for (int set = 0; set < numSets; ++set)
    {
        filterSets[set].type = 1;
        loops[set].reset();
    }

    crossfaderSideA = -1;
    crossfaderSideB = -1;
    crossfaderCurve = 1;
    crossfaderPosition = 0.5f;
    updateCrossfaderGains();

    setSampleRate (44100);

    const juce::ScopedLock sl (lock);
    numChannels = 2;
    reevaluatePitchLocks();
}

void Engine::setSampleRate (int newRate)
{
    const double rate = dsp::validSampleRate ((double) newRate);

    const juce::ScopedLock sl (lock);
    sampleRate = rate;
    loopRampStep = (float) (44100.0 / rate * 0.001);
    speedSmoothing = dsp::smoothingCoefficient (3.0, rate);
    gainSmoothing = (float) dsp::smoothingCoefficient (0.001, rate);
    meterDecayFast = decayFactor (0.5, rate);
    meterDecaySlow = decayFactor (3.0, rate);

    // (The limiters' time constants are fixed in samples: they take no rate.)
    setRecorderSampleRate (rate);
    setEffectSampleRate (rate);
    setFilterSampleRate (rate);
    for (auto& blocker : dcBlockers)
        blocker.setSampleRate (rate);
    setTimecodeSampleRate (rate);

    for (auto* instance : plugins)
        if (instance != nullptr)
            preparePlugin (*instance, rate);
}

int Engine::getSampleRate() const noexcept
{
    return (int) sampleRate.load();
}

PlayHeadRecord Engine::getPlayHeadRecord() const
{
    const juce::ScopedLock sl (lock);
    return playHead;
}

bool Engine::isFrameCached (int channel, juce::int64 frame) const noexcept
{
    if (! isChannel (channel) && channel != previewChannel)
        return false;
    return readers[channel].isFrameCached (frame);
}
}
