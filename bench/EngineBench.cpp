#include "engine/Engine.h"
#include "support/AudioFixtures.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

using namespace zund;

namespace
{
constexpr int blockSize = 256;

bool waitForFrame (Engine& engine, int channel, juce::int64 frame)
{
    for (int tries = 0; tries < 4000 && ! engine.isFrameCached (channel, frame); ++tries)
        juce::Thread::sleep (5);
    return engine.isFrameCached (channel, frame);
}

// processBlock with four channels playing at speed 1 from their own decks, at
// the given device rate, in 256-sample blocks. Positions stay between 1 and 5
// seconds of the tracks, where the readers' caches hold every frame.
void fourChannelsPlaying (benchmark::State& state)
{
    const int deviceRate = (int) state.range (0);

    test::TempFolder temp;
    auto engine = std::make_unique<Engine>();
    engine->setSampleRate (deviceRate);
    engine->setNumChannels (4);
    engine->setMainOutput (0);
    engine->setPhonesOutput (2);

    for (int c = 0; c < 4; ++c)
    {
        const auto file = temp.file ("track" + juce::String (c) + ".wav");
        test::writeAudioFile (file, test::FileKind::wav, 44100.0, 2, 16, 44100 * 7,
                              test::sineSignal (220.0 * (c + 1), 44100.0, 0.25f));
        engine->overrideDeckSignal (c, [] (double* speed, float* position, int n) {
            std::fill (speed, speed + n, 1.0);
            std::fill (position, position + n, -1000.0f);
        });
        engine->setChannelOutput (c, 4 + 2 * c);
        engine->setCue (c, c == 0);
        if (! engine->loadTrack (c, file, 120.0))
        {
            state.SkipWithError ("load failed");
            return;
        }
    }
    engine->timerCallback();

    std::vector<std::vector<float>> out (12, std::vector<float> (blockSize));
    std::vector<float*> outputs;
    for (auto& channel : out)
        outputs.push_back (channel.data());

    auto seekAll = [&engine] {
        for (int c = 0; c < 4; ++c)
            engine->setPositionSeconds (c, 1.0f);
    };
    seekAll();
    engine->processBlock (nullptr, 0, outputs.data(), 12, blockSize, false);
    for (int c = 0; c < 4; ++c)
        if (! waitForFrame (*engine, c, 44100) || ! waitForFrame (*engine, c, 44100 * 5))
        {
            state.SkipWithError ("tracks not cached");
            return;
        }

    const int blocksPerRound = (int) (4.0 * deviceRate / blockSize);
    int block = 0;
    for (auto _ : state)
    {
        for (auto& channel : out)
            std::fill (channel.begin(), channel.end(), 0.0f);
        engine->processBlock (nullptr, 0, outputs.data(), 12, blockSize, false);
        benchmark::DoNotOptimize (out[0][0]);
        if (++block == blocksPerRound)
        {
            block = 0;
            seekAll();
        }
    }

    const double samples = (double) state.iterations() * blockSize;
    state.counters["ns_per_sample"] = benchmark::Counter (samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // Processing time as a percentage of the audio's own duration.
    state.counters["percent_of_realtime"] = benchmark::Counter (samples / deviceRate / 100.0,
                                                                benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK (fourChannelsPlaying)->Arg (44100)->Arg (48000);
}
