#include "EngineRig.h"
#include "support/SignalMeasures.h"

#include <algorithm>
#include <cmath>

namespace zund::test
{
EngineRig::EngineRig (int inputs, int outputs)
    : engineOnHeap (std::make_unique<Engine>()), numInputs (inputs), numOutputs (outputs)
{
}

EngineRig::Outputs EngineRig::run (int numSamples, int blockSize)
{
    Outputs result ((size_t) numOutputs, std::vector<float> ((size_t) numSamples));
    std::vector<std::vector<float>> in ((size_t) numInputs, std::vector<float> ((size_t) blockSize));
    std::vector<std::vector<float>> out ((size_t) numOutputs, std::vector<float> ((size_t) blockSize));
    std::vector<const float*> inPointers;
    std::vector<float*> outPointers;
    for (auto& channel : in)
        inPointers.push_back (channel.data());
    for (auto& channel : out)
        outPointers.push_back (channel.data());

    for (int done = 0; done < numSamples; done += blockSize)
    {
        const int n = std::min (blockSize, numSamples - done);
        for (int ch = 0; ch < numInputs; ++ch)
            for (int i = 0; i < n; ++i)
                in[(size_t) ch][(size_t) i] = input ? input (samplesProcessed + i, ch) : 0.0f;
        for (auto& channel : out)
            std::fill (channel.begin(), channel.end(), 0.0f);

        engineOnHeap->processBlock (inPointers.data(), numInputs, outPointers.data(), numOutputs, n, xyViewsVisible);

        for (int ch = 0; ch < numOutputs; ++ch)
            std::copy (out[(size_t) ch].begin(), out[(size_t) ch].begin() + n, result[(size_t) ch].begin() + done);
        samplesProcessed += n;
    }
    return result;
}

void EngineRig::setDeckSpeed (int deck, double speed)
{
    engineOnHeap->overrideDeckSignal (deck, [speed] (double* speeds, float* positions, int n) {
        std::fill (speeds, speeds + n, speed);
        std::fill (positions, positions + n, -1000.0f);
    });
}

void EngineRig::playThru (int channel, int deck)
{
    engineOnHeap->setDeckInput (deck, 2 * deck);
    engineOnHeap->setChannelInputDeck (channel, deck);
    engineOnHeap->setThru (channel, true);
}

juce::int64 EngineRig::advanceOver (int channel, int numSamples)
{
    const auto before = engineOnHeap->getPlayPosition (channel);
    run (numSamples);
    return engineOnHeap->getPlayPosition (channel) - before;
}

juce::File EngineRig::writeTrack (const juce::String& name, double sampleRate, double seconds,
                                  const SampleFunction& signal)
{
    const auto file = temp.file (name);
    writeAudioFile (file, FileKind::wav, sampleRate, 2, 32, (juce::int64) (seconds * sampleRate), signal);
    return file;
}

bool EngineRig::waitForFrame (int channel, juce::int64 frame)
{
    for (int tries = 0; tries < 2000; ++tries)
    {
        if (engineOnHeap->isFrameCached (channel, frame))
            return true;
        juce::Thread::sleep (5);
    }
    return false;
}

bool EngineRig::loadAndRestart (int channel, const juce::File& file, double bpm)
{
    if (! engineOnHeap->loadTrack (channel, file, bpm))
        return false;
    engineOnHeap->timerCallback();
    // The pre-roll lies in the block just before frame 0.
    return waitForFrame (channel, -1) && waitForFrame (channel, 0);
}

float peakOf (const std::vector<float>& samples, size_t begin, size_t end)
{
    float peak = 0.0f;
    for (size_t i = begin; i < end && i < samples.size(); ++i)
        peak = std::max (peak, std::abs (samples[i]));
    return peak;
}

double toneOf (const std::vector<float>& samples, size_t begin, size_t end, double frequency, double sampleRate)
{
    return toneAmplitude (samples.data() + begin, (int) (end - begin), frequency, sampleRate);
}

EngineRig::InputSignal sineInput (double frequency, float amplitude, double sampleRate)
{
    return [=] (juce::int64 sample, int) {
        return amplitude * (float) std::sin (2.0 * juce::MathConstants<double>::pi * frequency * (double) sample / sampleRate);
    };
}

float repeatError (const std::vector<float>& samples, size_t begin, size_t end, size_t period)
{
    float worst = 0.0f;
    for (size_t i = begin; i < end && i + period < samples.size(); ++i)
        worst = std::max (worst, std::abs (samples[i] - samples[i + period]));
    return worst;
}
}
