#include "engine/effects/EffectFactory.h"
#include "engine/Engine.h"
#include "support/AudioFixtures.h"
#include "support/TempFolder.h"
#include "support/TimecodeSignal.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

using namespace zund;

namespace
{
constexpr int blockSize = 256;
constexpr int numOutputs = 12;

bool waitForFrame (Engine& engine, int channel, juce::int64 frame)
{
    for (int tries = 0; tries < 4000 && ! engine.isFrameCached (channel, frame); ++tries)
        juce::Thread::sleep (5);
    return engine.isFrameCached (channel, frame);
}

void speedOne (double* speed, float* position, int n)
{
    std::fill (speed, speed + n, 1.0);
    std::fill (position, position + n, -1000.0f);
}

/** Four channels with a track each, routed to main, phones (channel 0 cued)
    and their own output pairs, so that six limiters run. With timecode the
    decks read a record at speed 1 from their input pairs through their
    decoders; without, each deck simply reports speed 1. */
class EngineUnderLoad
{
    test::TempFolder temp; // outlives the engine, whose readers hold its files

public:
    EngineUnderLoad (benchmark::State& state, int deviceRate, bool timecode)
        : engine (std::make_unique<Engine>()), rate (deviceRate)
    {
        engine->setSampleRate (deviceRate);
        engine->setNumChannels (4);
        engine->setMainOutput (0);
        engine->setPhonesOutput (2);

        for (int c = 0; c < 4; ++c)
        {
            const auto file = temp.file ("track" + juce::String (c) + ".wav");
            test::writeAudioFile (file, test::FileKind::wav, 44100.0, 2, 16, 44100 * 7,
                                  test::sineSignal (220.0 * (c + 1), 44100.0, 0.25f));
            if (timecode)
                engine->setDeckInput (c, 2 * c);
            else
                engine->overrideDeckSignal (c, speedOne);
            engine->setChannelOutput (c, 4 + 2 * c);
            engine->setCue (c, c == 0);
            if (! engine->loadTrack (c, file, 120.0))
            {
                state.SkipWithError ("load failed");
                return;
            }
        }
        engine->timerCallback();

        if (timecode)
            renderRecords();
        for (auto& channel : out)
            outputs.push_back (channel.data());

        seekAll();
        processOneBlock();
        for (int c = 0; c < 4; ++c)
            if (! waitForFrame (*engine, c, 44100) || ! waitForFrame (*engine, c, 44100 * 5))
            {
                state.SkipWithError ("tracks not cached");
                return;
            }
        // The decoders lock on within the first second of record.
        if (timecode)
        {
            for (int i = 0; i < rate / blockSize; ++i)
                processOneBlock();
            for (int c = 0; c < 4; ++c)
                if (engine->getPitch (c) < 0.9)
                {
                    state.SkipWithError ("decks not followed");
                    return;
                }
        }
        ready = true;
    }

    bool ready = false;
    std::unique_ptr<Engine> engine;

    void processOneBlock()
    {
        for (auto& channel : out)
            std::fill (channel.begin(), channel.end(), 0.0f);

        const float* inputs[8] = {};
        for (size_t ch = 0; ch < in.size(); ++ch)
            inputs[ch] = in[ch].data() + recordOffset;
        engine->processBlock (inputs, (int) in.size(), outputs.data(), numOutputs, blockSize, false);
        benchmark::DoNotOptimize (out[0][0]);

        // Positions stay between 1 and 5 seconds of the tracks, where the
        // readers' caches hold every frame; the records loop likewise.
        if (++block == (int) (4.0 * rate / blockSize))
        {
            block = 0;
            seekAll();
        }
        if (! in.empty())
            recordOffset = (recordOffset + blockSize) % (recordLength - blockSize);
    }

private:
    void seekAll()
    {
        for (int c = 0; c < 4; ++c)
            engine->setPositionSeconds (c, 1.0f);
    }

    void renderRecords()
    {
        recordLength = (int) (4.0 * rate / blockSize) * blockSize;
        in.assign (8, std::vector<float> ((size_t) recordLength));
        for (int d = 0; d < 4; ++d)
        {
            test::TimecodeSignal record (rate);
            record.setPosition (60.0 * (d + 1));
            record.render (in[(size_t) (2 * d)].data(), in[(size_t) (2 * d + 1)].data(), recordLength);
        }
    }

    int rate;
    std::vector<std::vector<float>> in;
    std::vector<std::vector<float>> out = std::vector<std::vector<float>> (numOutputs, std::vector<float> (blockSize));
    std::vector<float*> outputs;
    int recordLength = 0;
    int recordOffset = 0;
    int block = 0;
};

void reportRates (benchmark::State& state, int deviceRate)
{
    const double samples = (double) state.iterations() * blockSize;
    state.counters["ns_per_sample"] = benchmark::Counter (samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // Processing time as a percentage of the audio's own duration.
    state.counters["percent_of_realtime"] = benchmark::Counter (samples / deviceRate / 100.0,
                                                                benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// processBlock with four channels playing at speed 1, their filters and EQs at
// rest, at the given device rate, in 256-sample blocks.
void playBlocks (benchmark::State& state, int deviceRate, bool timecode)
{
    EngineUnderLoad load (state, deviceRate, timecode);
    if (! load.ready)
        return;

    for (auto _ : state)
        load.processOneBlock();
    reportRates (state, deviceRate);
}

void fourChannelsPlaying (benchmark::State& state)
{
    playBlocks (state, (int) state.range (0), false);
}
BENCHMARK (fourChannelsPlaying)->Arg (44100)->Arg (48000);

// The whole block at 48 kHz: four channels playing, every channel's filter
// and EQ at work, one effect on channel 0 and the limiters. Arguments: the
// effect type; 1 when four decoders read the decks' records (the channels then
// move as the decoders say), 0 when the decks just report speed 1.
void wholeBlock (benchmark::State& state)
{
    constexpr int deviceRate = 48000;
    EngineUnderLoad load (state, deviceRate, state.range (1) != 0);
    if (! load.ready)
        return;

    auto& engine = *load.engine;
    for (int set = 0; set < Engine::numSets; ++set)
    {
        engine.setFilterFrequency (set, 0.3f);
        engine.setFilterResonance (set, 0.5f);
        engine.setEqLow (set, 0.7f);
        engine.setEqMid (set, 0.4f);
        engine.setEqHigh (set, 0.6f);
    }
    engine.setFXChannel (0);
    engine.setFXType ((int) state.range (0));
    engine.setFXMix (0.5f);
    engine.setFXOn (true);

    for (auto _ : state)
        load.processOneBlock();
    reportRates (state, deviceRate);
}
BENCHMARK (wholeBlock)
    ->ArgsProduct ({ benchmark::CreateDenseRange (0, numEffectTypes - 1, 1), { 0, 1 } })
    ->ArgNames ({ "effect", "timecode" });
}

namespace
{
// One period as a DJ plays timecode: 256 frames at 48 kHz, four channels each
// following the record on its own deck through its decoder, every control as
// a fresh start leaves it, six output pairs limited. What the audio thread of
// the end-to-end four-deck run spends in the engine per period.
void fourDecksAtShortPeriods (benchmark::State& state)
{
    playBlocks (state, 48000, true);
}
BENCHMARK (fourDecksAtShortPeriods);
}
