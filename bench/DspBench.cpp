#include "engine/effects/EffectFactory.h"
#include "engine/dsp/EqProcessor.h"
#include "engine/dsp/PeakLimiter.h"
#include "engine/dsp/StateVariableFilter.h"
#include "engine/dsp/SweepFilter.h"
#include "support/SignalMeasures.h"

#include <benchmark/benchmark.h>
#include <juce_audio_basics/juce_audio_basics.h>

using namespace zund;

namespace
{
constexpr int blockSize = 256;
constexpr double rate = 48000.0;

// Time per stereo sample, shown next to the time per 256-sample block.
void countSamples (benchmark::State& state)
{
    state.counters["per_sample"] = benchmark::Counter ((double) state.iterations() * blockSize,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

struct Block
{
    std::vector<float> left = test::noiseBuffer (blockSize, 0.5f, 1);
    std::vector<float> right = test::noiseBuffer (blockSize, 0.5f, 2);
};

template <typename Filter>
void runPerSample (benchmark::State& state, Filter& filter)
{
    juce::ScopedNoDenormals noDenormals;
    Block block;
    for (auto _ : state)
    {
        for (int i = 0; i < blockSize; ++i)
            filter.process (&block.left[(size_t) i], &block.right[(size_t) i]);
        benchmark::ClobberMemory();
    }
    countSamples (state);
}

void stateVariableFilter (benchmark::State& state)
{
    StateVariableFilter filter;
    filter.setSampleRate ((float) rate);
    filter.setFrequency (0.6f);
    filter.setResonance (0.7f);
    filter.bandPassLevel = 0.5f;
    runPerSample (state, filter);
}
BENCHMARK (stateVariableFilter);

void sweepFilter (benchmark::State& state)
{
    SweepFilter filter;
    filter.setSampleRate ((float) rate);
    filter.setFrequency (0.3f);
    filter.setResonance (0.5f);
    runPerSample (state, filter);
}
BENCHMARK (sweepFilter);

void eq (benchmark::State& state)
{
    EqProcessor eq;
    eq.setSampleRate ((float) rate);
    eq.setMode ((int) state.range (0));
    eq.setLowGain (6.0f);
    eq.setHighGain (-3.0f);
    eq.setLowBandGain (1.5f);
    runPerSample (state, eq);
}
BENCHMARK (eq)->Arg (0)->Arg (1)->ArgName ("mode");

// As on the master bus: the effect is called one sample at a time.
void effect (benchmark::State& state)
{
    auto fx = createEffect ((int) state.range (0));
    fx->setSampleRate (rate);
    fx->setTempo (128.0);
    fx->setBeatLength (1.0);
    fx->setDepth (0.7f);
    fx->setMix (0.8f);
    fx->setOn (true);

    juce::ScopedNoDenormals noDenormals;
    Block block;
    for (auto _ : state)
    {
        for (int i = 0; i < blockSize; ++i)
            fx->process (&block.left[(size_t) i], &block.right[(size_t) i], 1);
        benchmark::ClobberMemory();
    }
    countSamples (state);
}
BENCHMARK (effect)->DenseRange (0, numEffectTypes - 1)->ArgName ("type");

void peakLimiter (benchmark::State& state)
{
    PeakLimiter limiter;
    Block block;
    for (auto& v : block.left)
        v *= 3.0f; // keep it limiting
    for (auto _ : state)
    {
        limiter.process (block.left.data(), block.right.data(), blockSize);
        benchmark::ClobberMemory();
    }
    countSamples (state);
}
BENCHMARK (peakLimiter);

// The DSP share of one Engine block: four channels and the master each through
// a filter and the EQ, one effect, and three output limiters. Target for the
// whole Engine block at 48 kHz: under 0.53 ms.
void channelDspBlock (benchmark::State& state)
{
    StateVariableFilter svf[5];
    SweepFilter sweep[5];
    EqProcessor eqs[5];
    PeakLimiter limiters[3];
    for (int c = 0; c < 5; ++c)
    {
        svf[c].setSampleRate ((float) rate);
        sweep[c].setSampleRate ((float) rate);
        sweep[c].setFrequency (0.4f);
        eqs[c].setSampleRate ((float) rate);
        eqs[c].setMode (c % 2);
    }
    auto fx = createEffect (reverbEffect);
    fx->setSampleRate (rate);
    fx->setMix (0.5f);
    fx->setOn (true);

    juce::ScopedNoDenormals noDenormals;
    Block channels[5];
    for (auto _ : state)
    {
        for (int c = 0; c < 5; ++c)
        {
            auto& b = channels[c];
            for (int i = 0; i < blockSize; ++i)
            {
                if (c % 2 == 0)
                    svf[c].process (&b.left[(size_t) i], &b.right[(size_t) i]);
                else
                    sweep[c].process (&b.left[(size_t) i], &b.right[(size_t) i]);
                eqs[c].process (&b.left[(size_t) i], &b.right[(size_t) i]);
                if (c == 4)
                    fx->process (&b.left[(size_t) i], &b.right[(size_t) i], 1);
            }
        }
        for (int l = 0; l < 3; ++l)
            limiters[l].process (channels[l].left.data(), channels[l].right.data(), blockSize);
        benchmark::ClobberMemory();
    }
    countSamples (state);
}
BENCHMARK (channelDspBlock)->Unit (benchmark::kMicrosecond);
}
