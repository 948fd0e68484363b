#pragma once

#include "app/dispatch/ControlDispatcher.h"
#include "app/dispatch/ControlDispatcherHost.h"
#include "engine/Engine.h"
#include "support/TempFolder.h"
#include "ui/MixerHostStandIn.h"
#include "ui/channel/ChannelContainer.h"
#include "ui/midi/MidiControlSurfaceManager.h"
#include "ui/midi/MidiFeedbackOutput.h"

#include <array>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace zund::test
{
/** Every feedback message as (control id, value): the rig maps control id n
    to controller n & 127 on MIDI channel n >> 7. */
struct FeedbackLog : public MidiFeedbackOutput
{
    using Entry = std::pair<int, int>;

    void sendMessageNow (const juce::MidiMessage& message) override;
    std::vector<Entry> take();
    /** The values sent for one id, in order. */
    std::vector<int> valuesOf (int id);

    std::mutex mutex;
    std::vector<Entry> sent;
};

/** The dispatcher as the program has it, without the main component: an
    engine, the four channel strips (whose widgets report to the dispatcher),
    a MIDI mapping with a feedback entry for every id, and a stand-in for the
    targets that join later, which notes what reached it and on which thread.

    The engine runs when asked (process), with a tone on deck 1's input pair,
    the main pair on outputs 1-2 and the phones pair on outputs 3-4. */
class DispatchRig : public ControlDispatcherHost,
                    private ExComponentListener
{
public:
    static constexpr int stripWidth = 408;

    DispatchRig();
    ~DispatchRig() override;

    Engine& engine() noexcept { return *engineOnHeap; }
    ControlDispatcher& dispatcher() noexcept { return controlDispatcher; }
    Channel& strip (int c) { return *container.getChannel (c); }
    ExComponent& widget (int id);

    /** A press and release of the widget's own mouse handlers, at a point of it. */
    void click (int id, juce::Point<int> at = { 3, 3 });
    /** A mapped controller moves the widget, as the MIDI thread does. */
    void fromMidi (int id, float value);

    /** A widget of a panel that joins later, registered under its id. */
    template <typename Widget, typename... Args>
    Widget& addLoneWidget (int id, Args&&... args)
    {
        auto widget = std::make_unique<Widget> (std::forward<Args> (args)...);
        auto& ref = *widget;
        ref.setID (id);
        loneWidgets.push_back (std::move (widget));
        return ref;
    }

    /** The engine runs for that many samples; the peak of the last quarter of
        an output (0 main left, 2 phones left). */
    float process (int numSamples, int output = 0);
    /** A steady level, after the engine's gain smoothing has settled. */
    float settledLevel (int output = 0) { return process (16384, output); }
    /** A 120 BPM track of sine tone on channel c, started at its deck's
        speed (1.0 unless set below). */
    bool loadPlayingTrack (int c);
    /** The speed deck d turns at, from the next chunk on. */
    void setDeckSpeed (int d, double speed) { deckSpeeds[(size_t) d] = speed; }

    FeedbackLog feedback;
    bool outputOpen = true;
    float toneAmplitude = 0.25f;
    double toneFrequency = 1000.0;

    // What reached the stand-in targets.
    struct CueCall
    {
        int channel, index;
        float position;
        bool onMessageThread;
    };
    std::vector<CueCall> overviewCues, recordCues;
    std::vector<std::pair<int, float>> seeks;
    float overviewMarkers[4][4];
    float recordCuePoints[4][4];
    std::vector<int> speedLabelModes;
    int taps = 0;

    // ControlDispatcherHost
    MidiFeedbackOutput* getMidiFeedbackOutput() override { return outputOpen ? &feedback : nullptr; }
    Channel* getChannel (int index) override { return container.getChannel (index); }
    FilterContainer* getFilterPanel (int set) override;
    EqContainer* getEqPanel (int set) override;
    float getCuePoint (int channel, int index) override { return recordCuePoints[channel][index]; }
    void setCuePoint (int channel, int index, float position) override;
    void seekDeck (int channel, float fraction) override { seeks.emplace_back (channel, fraction); }
    float getOverviewCuePosition (int channel, int index) override { return overviewMarkers[channel][index]; }
    void setOverviewCuePosition (int channel, int index, float position) override;
    void setEffectSpeedLabels (int mode) override { speedLabelModes.push_back (mode); }
    void tapTempo() override { ++taps; }

private:
    void exComponentValueChanged (ExComponent* widget) override { controlDispatcher.dispatch (widget); }

    std::unique_ptr<Engine> engineOnHeap = std::make_unique<Engine>();
    MixerHostStandIn mixerHost { *engineOnHeap };
    MidiControlSurfaceManager midi;
    MixerColours colours;
    ControlDispatcher controlDispatcher { *engineOnHeap, midi, colours, *this };
    ChannelContainer container { &mixerHost };
    std::vector<std::unique_ptr<ExComponent>> loneWidgets;
    std::array<double, 4> deckSpeeds { 1.0, 1.0, 1.0, 1.0 }; // read where the engine runs
    TempFolder temp;
    juce::int64 samplesRun = 0;
};
}
