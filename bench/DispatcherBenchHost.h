#pragma once

#include "app/dispatch/ControlDispatcher.h"
#include "app/dispatch/ControlDispatcherHost.h"
#include "app/main/MixerColours.h"
#include "engine/Engine.h"
#include "ui/midi/MidiControlSurfaceManager.h"
#include "ui/midi/MidiFeedbackOutput.h"
#include "ui/widgets/ExComponent.h"

#include <memory>

namespace zund::bench
{
/** A MIDI output that keeps only the last value it was sent. */
struct LastValueOutput : public MidiFeedbackOutput
{
    void sendMessageNow (const juce::MidiMessage& message) override { last = message.getControllerValue(); }
    int last = -1;
};

/** The real engine, MIDI mapping and control dispatcher, as the default
    listener of every widget; the dispatcher's other targets (strips, panels,
    song records, overview, effect panel, tap counter) are absent, as they are
    for a plain store such as a fader. */
class DispatcherBenchHost : public ControlDispatcherHost,
                            public ExComponentListener
{
public:
    DispatcherBenchHost() { ExComponent::setDefaultListener (this); }
    ~DispatcherBenchHost() override { ExComponent::setDefaultListener (nullptr); }

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
    void exComponentValueChanged (ExComponent* widget) override { dispatcher.dispatch (widget); }

    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    MidiControlSurfaceManager midi;
    MixerColours colours;
    LastValueOutput output;
    ControlDispatcher dispatcher { *engine, midi, colours, *this };
};
}
