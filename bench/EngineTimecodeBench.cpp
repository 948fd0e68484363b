#include "engine/Engine.h"
#include "support/TimecodeSignal.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

using namespace zund;

namespace
{
constexpr int blockSize = 256;
constexpr int numDecks = 4;

// processBlock with four channels following four decks, at the given device
// rate in 256-sample blocks. With decoding on, each deck's input pair carries
// a timecode record (about a second, looped) that its decoder reads; with it
// off the decks have no input pair, so the difference is the decoders' share.
void fourDecksThroughTheEngine (benchmark::State& state)
{
    const int rate = (int) state.range (0);
    const bool decoding = state.range (1) != 0;
    const int length = (rate / blockSize) * blockSize;

    auto engine = std::make_unique<Engine>();
    engine->setSampleRate (rate);
    engine->setNumChannels (4);
    engine->setMainOutput (0);

    std::vector<std::vector<float>> in (2 * numDecks, std::vector<float> ((size_t) length));
    for (int d = 0; d < numDecks; ++d)
    {
        test::TimecodeSignal record (rate);
        record.setPosition (60.0 * (d + 1));
        record.setSpeed (d % 2 == 0 ? 1.0 : -1.08);
        record.render (in[(size_t) (2 * d)].data(), in[(size_t) (2 * d + 1)].data(), length);
        engine->setDeckInput (d, decoding ? 2 * d : -1);
    }

    std::vector<std::vector<float>> out (2, std::vector<float> (blockSize));
    std::vector<float*> outputs { out[0].data(), out[1].data() };
    std::vector<const float*> inputs (in.size());

    int offset = 0;
    for (auto _ : state)
    {
        for (size_t ch = 0; ch < in.size(); ++ch)
            inputs[ch] = in[ch].data() + offset;
        for (auto& channel : out)
            std::fill (channel.begin(), channel.end(), 0.0f);
        engine->processBlock (inputs.data(), (int) inputs.size(), outputs.data(), 2, blockSize, false);
        benchmark::DoNotOptimize (out[0].data());
        offset = (offset + blockSize) % length;
    }

    // Share of one core that the engine takes in real time.
    state.counters["coreShare"] = benchmark::Counter ((double) blockSize / rate,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK (fourDecksThroughTheEngine)->ArgsProduct ({ { 44100, 48000, 96000 }, { 0, 1 } });
}

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juceInit;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
