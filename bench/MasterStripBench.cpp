#include "engine/Engine.h"
#include "support/PluginFixtures.h"
#include "ui/master/MainChannel.h"
#include "ui/master/MasterStripHostBase.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

using namespace zund;

namespace
{
constexpr double rate = 44100.0;
constexpr int block = 256;

using BenchHost = test::MasterStripHostBase;

// One 20 ms tick of the master strip with moving meters: the engine's levels
// into the two meter faders, then the faders repainted (the panels are cached).
void BM_MasterStripMeterTick (benchmark::State& state)
{
    BenchHost host;
    MainChannel strip (&host);
    auto& upper = strip.getUpperContainer();
    juce::Image image (juce::Image::ARGB, strip.getWidth(), strip.getHeight(), true);
    {
        juce::Graphics g (image);
        strip.paintEntireComponent (g, true); // fills the panels' caches
    }
    float level = 0.0f;
    for (auto _ : state)
    {
        level = std::fmod (level + 0.07f, 1.0f);
        upper.getMainVolume().setLevels (level, level, level, level);
        upper.getPhonesVolume().setLevels (level, level, level, level);
        juce::Graphics g (image);
        for (auto* fader : { &upper.getMainVolume(), &upper.getPhonesVolume() })
        {
            const juce::Graphics::ScopedSaveState save (g);
            g.setOrigin (fader->getBoundsInParent().getPosition() + upper.getPosition());
            fader->paintEntireComponent (g, true);
        }
        benchmark::DoNotOptimize (image.getPixelAt (20, 40));
    }
}
BENCHMARK (BM_MasterStripMeterTick)->Unit (benchmark::kMicrosecond);

// The whole strip painted, as after a colour-scheme change repaints every panel.
void BM_MasterStripFullRepaint (benchmark::State& state)
{
    BenchHost host;
    MainChannel strip (&host);
    juce::Image image (juce::Image::ARGB, strip.getWidth(), strip.getHeight(), true);
    for (auto _ : state)
    {
        ModuleComponent::repaintAll(); // drops the panels' cached images
        juce::Graphics g (image);
        strip.paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelAt (20, 40));
    }
}
BENCHMARK (BM_MasterStripFullRepaint)->Unit (benchmark::kMillisecond);

// Loading a plug-in into a slot while the audio runs: the longest block the
// audio thread took while the engine took the new plug-in, against the 5.8 ms
// a 256-sample block lasts at 44.1 kHz. A block over it would be a gap.
void BM_PluginLoadWhileAudioRuns (benchmark::State& state)
{
    Engine engine;
    engine.setMainOutput (0);
    engine.setFXOn (true);

    std::atomic<bool> running { true };
    std::atomic<double> longestMs { 0.0 };
    std::thread audio ([&] {
        float in[2][block] = {}, out[2][block] = {};
        const float* inputs[] = { in[0], in[1] };
        float* outputs[] = { out[0], out[1] };
        while (running)
        {
            const auto start = std::chrono::steady_clock::now();
            engine.processBlock (inputs, 2, outputs, 2, block, false);
            const double ms = std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();
            if (ms > longestMs.load())
                longestMs = ms;
            std::this_thread::sleep_for (std::chrono::microseconds (1500));
        }
    });

    double worst = 0.0;
    for (auto _ : state)
    {
        state.PauseTiming();
        juce::String error;
        auto plugin = test::createLv2Plugin (test::stereoLv2Effect, rate, error);
        longestMs = 0.0;
        state.ResumeTiming();

        engine.setPlugin (Engine::masterSet, 0, plugin.get());

        state.PauseTiming();
        std::this_thread::sleep_for (std::chrono::milliseconds (10)); // a few blocks after the swap
        worst = std::max (worst, longestMs.load());
        engine.setPlugin (Engine::masterSet, 0, nullptr);
        state.ResumeTiming();
    }
    running = false;
    audio.join();
    state.counters["longest_block_ms"] = worst;
    state.counters["block_budget_ms"] = 1000.0 * block / rate;
}
BENCHMARK (BM_PluginLoadWhileAudioRuns)->Unit (benchmark::kMillisecond)->Iterations (20);
}
