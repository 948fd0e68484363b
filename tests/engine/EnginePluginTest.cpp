#include "EngineRig.h"
#include "engine/effects/EffectFactory.h"
#include "support/PluginFixtures.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

using namespace zund;
using test::EngineRig;

namespace
{
constexpr double rate = 44100.0;
constexpr int mainBus = Engine::masterSet;

float sine441 (juce::int64 sample, int)
{
    return 0.5f * (float) std::sin (2.0 * M_PI * 441.0 * (double) sample / rate);
}

// Channel 0 plays deck 0's input into the main output (0, 1) and its own pair
// (2, 3). The effect section runs the plug-ins only: FX on would otherwise turn
// on the built-in effect as well.
void routeSine (EngineRig& rig)
{
    rig.input = sine441;
    rig.playThru (0, 0);
    rig->setMainOutput (0);
    rig->setChannelOutput (0, 2);
    rig->setFXType (thruEffect);
}

/** A plug-in that halves its input and notes what the host hands it. It starts
    mono and can run in stereo; with an auxiliary output it refuses to lose it. */
class ProbePlugin : public juce::AudioProcessor
{
public:
    explicit ProbePlugin (bool withAuxiliaryOutput = false)
        : juce::AudioProcessor (makeBuses (withAuxiliaryOutput)), insistsOnAuxiliary (withAuxiliaryOutput)
    {
    }

    struct Call
    {
        int numSamples = 0, numChannels = 0;
        const float* channels[4] = {};
        bool extraChannelsSilent = true, midiEmpty = true;
        juce::AudioPlayHead::PositionInfo position;
    };

    // Written on the audio thread, read after the blocks.
    std::vector<Call> calls;
    std::atomic<int> blocks { 0 };
    std::atomic<int> prepareCount { 0 };
    std::atomic<bool> released { false }, processedAfterRelease { false };
    int channelsWhenPrepared = 0, preparedBlockSize = 0;
    double preparedRate = 0.0;
    bool slow = false; // each block takes a millisecond, so that swaps meet blocks in flight
    std::atomic<int> poisonedBlocks { 0 }; // blocks still to fill with `poison` instead of halving
    float poison = std::numeric_limits<float>::quiet_NaN();

    bool isBusesLayoutSupported (const BusesLayout& layout) const override
    {
        const auto in = layout.getMainInputChannelSet(), out = layout.getMainOutputChannelSet();
        const bool mainOk = in == out && (in == juce::AudioChannelSet::mono() || in == juce::AudioChannelSet::stereo());
        return mainOk && (! insistsOnAuxiliary || ! layout.getChannelSet (false, 1).isDisabled());
    }

    void prepareToPlay (double sampleRate, int blockSize) override
    {
        channelsWhenPrepared = getTotalNumInputChannels();
        preparedRate = sampleRate;
        preparedBlockSize = blockSize;
        released = false;
        calls.reserve (1000);
        ++prepareCount;
    }

    void releaseResources() override { released = true; }

    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override
    {
        if (slow)
            juce::Thread::sleep (1);
        if (released.load())
            processedAfterRelease = true;

        Call call;
        call.numSamples = buffer.getNumSamples();
        call.numChannels = buffer.getNumChannels();
        for (int ch = 0; ch < std::min (4, call.numChannels); ++ch)
            call.channels[ch] = buffer.getReadPointer (ch);
        for (int ch = 2; ch < call.numChannels; ++ch)
            call.extraChannelsSilent = call.extraChannelsSilent && buffer.getMagnitude (ch, 0, call.numSamples) == 0.0f;
        call.midiEmpty = midi.isEmpty();
        if (auto* head = getPlayHead())
            if (auto position = head->getPosition())
                call.position = *position;
        if (calls.size() < calls.capacity())
            calls.push_back (call);

        // Leave litter where the host must clean up before the next call.
        for (int ch = 2; ch < call.numChannels; ++ch)
            juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), 0.25f, call.numSamples);
        midi.addEvent (juce::MidiMessage::noteOn (1, 60, 1.0f), 0);

        if (poisonedBlocks.load() > 0)
        {
            --poisonedBlocks;
            for (int ch = 0; ch < call.numChannels; ++ch)
                juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), poison, call.numSamples);
        }
        else
        {
            buffer.applyGain (0, call.numSamples, 0.5f);
        }
        ++blocks;
    }

    const juce::String getName() const override { return "Probe"; }
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return false; }
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}
    void getStateInformation (juce::MemoryBlock&) override {}
    void setStateInformation (const void*, int) override {}

private:
    static BusesProperties makeBuses (bool withAuxiliaryOutput)
    {
        auto buses = BusesProperties()
                         .withInput ("In", juce::AudioChannelSet::mono(), true)
                         .withOutput ("Out", juce::AudioChannelSet::mono(), true);
        return withAuxiliaryOutput ? buses.withOutput ("Aux", juce::AudioChannelSet::stereo(), true) : buses;
    }

    const bool insistsOnAuxiliary;
};
}

TEST (EnginePlugins, HostedLv2EffectChangesTheBusItIsRoutedTo)
{
    juce::String error;
    auto ringModulator = test::createLv2Plugin (test::stereoLv2Effect, rate, error);
    ASSERT_NE (ringModulator, nullptr) << error;

    EngineRig rig (2, 4);
    routeSine (rig);
    ASSERT_TRUE (rig->setPlugin (mainBus, 0, ringModulator.get()));
    EXPECT_EQ (ringModulator->getTotalNumInputChannels(), 2);
    EXPECT_EQ (ringModulator->getTotalNumOutputChannels(), 2);

    // Effect off: the plug-in runs but its output is discarded.
    auto out = rig.run (8820);
    EXPECT_NEAR (test::toneOf (out[0], 4410, 8820, 441.0), 0.5, 0.01);

    // On the main bus: the 441 Hz tone gives way to the sidebands of the
    // plug-in's 1 kHz carrier.
    rig->setFXOn (true);
    out = rig.run (8820);
    EXPECT_LT (test::toneOf (out[0], 4410, 8820, 441.0), 0.01);
    EXPECT_NEAR (test::toneOf (out[0], 4410, 8820, 559.0), 0.25, 0.01);
    EXPECT_NEAR (test::toneOf (out[0], 4410, 8820, 1441.0), 0.25, 0.01);
    EXPECT_NEAR (test::toneOf (out[2], 4410, 8820, 441.0), 0.5, 0.01); // the channel's own pair is untouched

    // On channel 0: its own pair and the main mix both carry the effect.
    rig->setFXChannel (0);
    out = rig.run (8820);
    EXPECT_NEAR (test::toneOf (out[2], 4410, 8820, 1441.0), 0.25, 0.01);
    EXPECT_NEAR (test::toneOf (out[0], 4410, 8820, 1441.0), 0.25, 0.01);

    EXPECT_TRUE (rig->setPlugin (mainBus, 0, nullptr));
    ringModulator.reset();
    out = rig.run (8820);
    EXPECT_NEAR (test::toneOf (out[0], 4410, 8820, 441.0), 0.5, 0.01);
}

TEST (EnginePlugins, PlugInsThatCannotRunInStereoOrOtherBusesAreRefused)
{
    juce::String error;
    auto monoEffect = test::createLv2Plugin (test::monoLv2Effect, rate, error);
    ASSERT_NE (monoEffect, nullptr) << error;
    auto instrument = test::createLv2Plugin (test::lv2Instrument, rate, error);
    ASSERT_NE (instrument, nullptr) << error;

    EngineRig rig (2, 4);
    routeSine (rig);
    rig->setFXOn (true);
    EXPECT_FALSE (rig->setPlugin (mainBus, 0, monoEffect.get()));
    EXPECT_FALSE (rig->setPlugin (mainBus, 1, instrument.get()));
    EXPECT_EQ (monoEffect->getTotalNumOutputChannels(), 1);

    ProbePlugin probe;
    EXPECT_FALSE (rig->setPlugin (0, 0, &probe));
    EXPECT_FALSE (rig->setPlugin (mainBus, 2, &probe));
    EXPECT_FALSE (rig->setPlugin (mainBus, -1, &probe));
    EXPECT_EQ (probe.prepareCount.load(), 0);

    const auto out = rig.run (8820);
    EXPECT_NEAR (test::toneOf (out[0], 4410, 8820, 441.0), 0.5, 0.01);
    EXPECT_EQ (probe.blocks.load(), 0);
}

TEST (EnginePlugins, PreparedInStereoAndRePreparedAtANewRate)
{
    EngineRig rig;
    routeSine (rig);
    ProbePlugin probe;
    ASSERT_TRUE (rig->setPlugin (mainBus, 1, &probe));
    EXPECT_EQ (probe.channelsWhenPrepared, 2);
    EXPECT_EQ (probe.preparedRate, 44100.0);
    EXPECT_EQ (probe.preparedBlockSize, 256);

    rig->setSampleRate (48000);
    EXPECT_EQ (probe.prepareCount.load(), 2);
    EXPECT_EQ (probe.preparedRate, 48000.0);
    EXPECT_EQ (probe.preparedBlockSize, 256);
    EXPECT_EQ (probe.getTotalNumOutputChannels(), 2);

    // Two slots run in series; each halves the level.
    ProbePlugin second;
    ASSERT_TRUE (rig->setPlugin (mainBus, 0, &second));
    rig->setFXOn (true);
    const auto out = rig.run (9600);
    EXPECT_NEAR (test::peakOf (out[0], 4800, 9600), 0.125f, 2e-3f);

    EXPECT_TRUE (rig->setPlugin (mainBus, 0, nullptr));
    EXPECT_TRUE (second.released.load());
    EXPECT_FALSE (probe.released.load());
    EXPECT_TRUE (rig->setPlugin (mainBus, 1, nullptr));
    EXPECT_TRUE (probe.released.load());
}

TEST (EnginePlugins, ChunksOfAnyLengthShareOneCleanBuffer)
{
    // The auxiliary output stays on: four channels, two of them beyond the stereo pair.
    EngineRig rig;
    routeSine (rig);
    ProbePlugin probe (true);
    ASSERT_TRUE (rig->setPlugin (mainBus, 0, &probe));
    ASSERT_EQ (probe.getTotalNumOutputChannels(), 4);

    rig.run (600, 600);
    rig.run (600, 600);
    ASSERT_EQ (probe.calls.size(), 6u);
    const int lengths[] = { 256, 256, 88, 256, 256, 88 };
    for (size_t i = 0; i < probe.calls.size(); ++i)
    {
        const auto& call = probe.calls[i];
        EXPECT_EQ (call.numSamples, lengths[i]);
        EXPECT_EQ (call.numChannels, 4);
        EXPECT_TRUE (call.extraChannelsSilent) << i;
        EXPECT_TRUE (call.midiEmpty) << i;
        for (int ch = 0; ch < 4; ++ch)
            EXPECT_EQ (call.channels[ch], probe.calls[0].channels[ch]) << i;
    }
    EXPECT_TRUE (rig->setPlugin (mainBus, 0, nullptr));
}

TEST (EnginePlugins, PlayHeadReportsTheEffectTempoAndAnAdvancingPosition)
{
    EngineRig rig;
    ProbePlugin probe;
    ASSERT_TRUE (rig->setPlugin (mainBus, 0, &probe));

    const struct
    {
        double tempo, reported;
    } cases[] = { { 128.0, 128.0 }, { 300.0, 240.0 }, { 30.0, 60.0 } };
    double lastSeconds = -1.0, lastPpq = -1.0;
    for (const auto& c : cases)
    {
        rig->setFXTempo (c.tempo);
        rig.run (4410);
        const auto& position = probe.calls.back().position;
        EXPECT_EQ (position.getBpm().orFallback (0.0), c.reported);
        EXPECT_GT (position.getTimeInSeconds().orFallback (-1.0), lastSeconds);
        EXPECT_GT (position.getPpqPosition().orFallback (-1.0), lastPpq);
        EXPECT_TRUE (position.getIsPlaying());
        EXPECT_FALSE (position.getIsRecording());
        ASSERT_TRUE (position.getTimeSignature().hasValue());
        EXPECT_EQ (position.getTimeSignature()->numerator, 4);
        EXPECT_EQ (position.getTimeSignature()->denominator, 4);
        lastSeconds = *position.getTimeInSeconds();
        lastPpq = *position.getPpqPosition();
    }
    // The record is advanced as each device block begins.
    EXPECT_NEAR (lastSeconds, 3 * 4410 / rate, 1e-9);
    EXPECT_TRUE (rig->setPlugin (mainBus, 0, nullptr));
}

TEST (EnginePlugins, PlugInDeletedRightAfterItIsTakenOutWhileBlocksRun)
{
    EngineRig rig;
    routeSine (rig);
    rig->setFXOn (true);

    std::atomic<bool> stop { false };
    std::thread audio ([&] {
        while (! stop.load())
            rig.run (256);
    });

    for (int round = 0; round < 100; ++round)
    {
        auto probe = std::make_unique<ProbePlugin>();
        probe->slow = true;
        ASSERT_TRUE (rig->setPlugin (mainBus, round % 2, probe.get()));
        for (int tries = 0; tries < 5000 && probe->blocks.load() < 2; ++tries)
            juce::Thread::sleep (1);
        EXPECT_GE (probe->blocks.load(), 2);

        ASSERT_TRUE (rig->setPlugin (mainBus, round % 2, nullptr));
        EXPECT_TRUE (probe->released.load());
        EXPECT_FALSE (probe->processedAfterRelease.load());
        probe.reset(); // any later block would touch freed memory
    }

    stop = true;
    audio.join();
}

TEST (EnginePlugins, PlugInThatEmitsGarbageLeavesNoOutputSilentAfterIt)
{
    // Two chunks of NaN, infinity or a value near the float limit from the
    // plug-ins, on channel 0 or on the main bus; afterwards every output
    // carries the halved tone again.
    for (float poison : { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -3.0e38f })
    {
        for (int bus : { 0, mainBus })
        {
            SCOPED_TRACE (juce::String (poison) + " on bus " + juce::String (bus));
            EngineRig rig (2, 4);
            routeSine (rig);
            rig->setFXChannel (bus);
            rig->setFXOn (true);
            ProbePlugin probe;
            probe.poison = poison;
            probe.poisonedBlocks = 2;
            ASSERT_TRUE (rig->setPlugin (mainBus, 0, &probe));

            rig.run (8820);
            EXPECT_EQ (probe.poisonedBlocks.load(), 0);
            const auto out = rig.run (8820);
            EXPECT_NEAR (test::toneOf (out[0], 0, 8820, 441.0), 0.25, 0.01);
            EXPECT_NEAR (test::toneOf (out[2], 0, 8820, 441.0), bus == mainBus ? 0.5 : 0.25, 0.01);
            for (const auto& channel : out)
                EXPECT_TRUE (test::allFinite (channel.data(), (int) channel.size()));
            EXPECT_TRUE (rig->setPlugin (mainBus, 0, nullptr));
        }
    }
}
