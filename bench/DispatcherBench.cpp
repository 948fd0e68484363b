#include "app/ControlDispatcher.h"
#include "app/ControlDispatcherHost.h"
#include "engine/Engine.h"
#include "support/AllocationCount.h"
#include "ui/midi/MidiControlSurfaceManager.h"
#include "ui/widgets/LevelMeterSlider.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace zund;

namespace
{
/** A MIDI output that keeps only the last value it was sent. */
struct LastValueOutput : public MidiFeedbackOutput
{
    void sendMessageNow (const juce::MidiMessage& message) override { last = message.getControllerValue(); }
    int last = -1;
};

/** The dispatcher's other targets; a fader change reaches none of them. */
struct NoTargets : public ControlDispatcherHost, public ExComponentListener
{
    MidiFeedbackOutput* getMidiFeedbackOutput() override { return &output; }
    Channel* getChannel (int) override { return nullptr; }
    FilterContainer* getFilterPanel (int) override { return nullptr; }
    EqContainer* getEqPanel (int) override { return nullptr; }
    float getCuePoint (int, int) override { return -1.0f; }
    void setCuePoint (int, int, float) override {}
    void seekDeck (int, float) override {}
    float getOverviewCuePosition (int, int) override { return -1.0f; }
    void setOverviewCuePosition (int, int, float) override {}
    void setEffectSpeedLabels (int) override {}
    void tapTempo() override {}
    void exComponentValueChanged (ExComponent* widget) override { dispatcher->dispatch (widget); }

    LastValueOutput output;
    ControlDispatcher* dispatcher = nullptr;
};

// A channel fader moved by the mouse: the engine's plain store, then the
// echo of the fader's value to the controller mapped to it.
void faderChangeWithEcho (benchmark::State& state)
{
    auto engine = std::make_unique<Engine>();
    MidiControlSurfaceManager midi;
    midi.assignController (152, 0, 7);
    MixerColours colours;
    NoTargets host;
    ControlDispatcher dispatcher (*engine, midi, colours, host);
    host.dispatcher = &dispatcher;
    ExComponent::setDefaultListener (&host);
    LevelMeterSlider fader;
    fader.setID (152);

    float values[128];
    for (int v = 0; v < 128; ++v)
        values[v] = (float) v / 127.0f;

    test::resetAllocationCount();
    {
        const test::CountAllocationsOnThisThread counting;
        int v = 0;
        for (auto _ : state)
        {
            fader.setValue (values[v], true);
            v = (v + 1) & 127;
        }
    }

    benchmark::DoNotOptimize (host.output.last);
    state.counters["allocations"] = (double) test::countedAllocations();
    if (test::countedAllocations() != 0)
        state.SkipWithError ("a fader change allocated");
    if (host.output.last < 0)
        state.SkipWithError ("no echo was sent");
    ExComponent::setDefaultListener (nullptr);
}
}

BENCHMARK (faderChangeWithEcho);
