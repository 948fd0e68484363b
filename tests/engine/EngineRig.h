#pragma once

#include "engine/Engine.h"
#include "engine/dsp/PeakLimiter.h"
#include "support/AudioFixtures.h"
#include "support/TempFolder.h"

#include <functional>
#include <memory>
#include <vector>

namespace zund::test
{
/** Every used output pair passes its look-ahead limiter, which delays it by this many samples. */
constexpr int limiterDelay = PeakLimiter::holdLength;

/** An engine on the heap with device buffers around it, driven by calling
    processBlock directly. */
class EngineRig
{
public:
    using Outputs = std::vector<std::vector<float>>;
    using InputSignal = std::function<float (juce::int64 sample, int channel)>;

    explicit EngineRig (int numInputs = 2, int numOutputs = 2);

    Engine& engine() noexcept { return *engineOnHeap; }
    Engine* operator->() noexcept { return engineOnHeap.get(); }

    /** Processes numSamples in device blocks of blockSize (the outputs arrive
        cleared, as from the device) and returns every output channel. */
    Outputs run (int numSamples, int blockSize = 256);

    /** The device inputs, by sample index since the rig was made. */
    InputSignal input;

    /** Whether run() tells the engine that the XY views are visible. */
    bool xyViewsVisible = false;

    /** The deck reports this speed on every sample and no position. */
    void setDeckSpeed (int deck, double speed);

    /** The channel follows the deck, whose input pair is device inputs 2 deck and
        2 deck + 1, and plays that input (THRU). */
    void playThru (int channel, int deck);

    /** How far the channel's play position moves over numSamples. */
    juce::int64 advanceOver (int channel, int numSamples);

    /** A stereo float WAV of the given length. */
    juce::File writeTrack (const juce::String& name, double sampleRate, double seconds, const SampleFunction& signal);

    /** Loads, restarts and waits until the pre-roll and the track's start are cached. */
    bool loadAndRestart (int channel, const juce::File& file, double bpm = 120.0);

    /** Waits (within a generous limit) until the channel's reader holds the frame. */
    bool waitForFrame (int channel, juce::int64 frame);

private:
    TempFolder temp;
    std::unique_ptr<Engine> engineOnHeap;
    int numInputs, numOutputs;
    juce::int64 samplesProcessed = 0;
};

/** Largest absolute sample of a range of a buffer. */
float peakOf (const std::vector<float>& samples, size_t begin, size_t end);

/** Amplitude of a tone in a range of a buffer (see toneAmplitude). */
double toneOf (const std::vector<float>& samples, size_t begin, size_t end, double frequency,
               double sampleRate = 44100.0);

/** The same sine on every device input. */
EngineRig::InputSignal sineInput (double frequency, float amplitude, double sampleRate = 44100.0);

/** Largest difference between the samples of a range and those `period` later. */
float repeatError (const std::vector<float>& samples, size_t begin, size_t end, size_t period);
}
