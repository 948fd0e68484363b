#include "engine/Engine.h"
#include "support/PluginFixtures.h"
#include "support/SignalMeasures.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

using namespace zund;

namespace
{
constexpr int blockSize = 256;
constexpr double rate = 44100.0;

// processBlock with one channel playing its deck's input (THRU) into the main
// bus, which carries the built-in Echo, main and phones gains and meters and
// the main mix in the phones; with range(0) = 1 also the mda RingMod LV2
// plug-in in slot 0. The difference between the two is the plug-in's cost.
void masterBusWithEffect (benchmark::State& state)
{
    const bool hostPlugin = state.range (0) != 0;

    auto engine = std::make_unique<Engine>();
    engine->setMainOutput (0);
    engine->setPhonesOutput (2);
    engine->setCueMix (0.5f);
    engine->setDeckInput (0, 0);
    engine->setThru (0, true);
    engine->setFXChannel (Engine::masterSet);
    engine->setFXType (3);
    engine->setFXOn (true);

    std::unique_ptr<juce::AudioPluginInstance> plugin;
    if (hostPlugin)
    {
        juce::String error;
        plugin = test::createLv2Plugin (test::stereoLv2Effect, rate, error);
        if (plugin == nullptr || ! engine->setPlugin (Engine::masterSet, 0, plugin.get()))
        {
            state.SkipWithError ("the LV2 plug-in could not be hosted");
            return;
        }
    }

    const auto input = test::noiseBuffer (blockSize * 64, 0.5f);
    std::vector<std::vector<float>> out (4, std::vector<float> (blockSize));
    std::vector<float*> outputs;
    for (auto& channel : out)
        outputs.push_back (channel.data());

    int block = 0;
    for (auto _ : state)
    {
        const float* inputs[] = { input.data() + block * blockSize, input.data() + block * blockSize };
        block = (block + 1) % 64;
        for (auto& channel : out)
            std::fill (channel.begin(), channel.end(), 0.0f);
        engine->processBlock (inputs, 2, outputs.data(), 4, blockSize, false);
        benchmark::DoNotOptimize (out[0][0]);
    }

    if (hostPlugin)
        engine->setPlugin (Engine::masterSet, 0, nullptr);

    const double samples = (double) state.iterations() * blockSize;
    state.counters["ns_per_sample"] = benchmark::Counter (samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK (masterBusWithEffect)->ArgName ("lv2")->Arg (0)->Arg (1);
}
