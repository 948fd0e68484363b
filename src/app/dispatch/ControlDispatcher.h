#pragma once

#include "app/main/MixerColours.h"

#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <atomic>

namespace zund
{
class ControlDispatcherHost;
class Engine;
class ExComponent;
class MidiControlSurfaceManager;

/** Turns a control widget's change into its engine call or panel action, by
    the widget's control id and with its value law, and echoes the widget's
    value (after the action) to the MIDI output unless it came from MIDI.

    It runs on the thread that changed the widget: the message thread for
    mouse, keys and panel code, a MIDI input thread for mapped MIDI. There it
    calls engine setters and sets widget values only; work on components
    (visibility, colours, markers, captions) is posted to the message thread. */
class ControlDispatcher : private juce::AsyncUpdater
{
public:
    /** Lives on the thread that applies a MIDI message: the widgets it sets
        are not echoed back to the controller. */
    class ScopedValueFromMidi
    {
    public:
        ScopedValueFromMidi() noexcept;
        ~ScopedValueFromMidi();

    private:
        const bool previous;
        JUCE_DECLARE_NON_COPYABLE (ScopedValueFromMidi)
    };

    /** True on a thread that is applying a MIDI message. */
    static bool isValueFromMidi() noexcept;

    /** Beat lengths of the effect speed grid's five cells. */
    static constexpr std::array<double, 5> effectBeatLengths { 0.5, 0.75, 1.0, 2.0, 4.0 };
    /** The effect panel's speed-caption mode for each effect type 0..8. */
    static constexpr std::array<int, 9> speedLabelModes { 2, 0, 0, 1, 1, 0, 1, 1, 2 };
    /** How long TAP stays lit, in 20 ms ticks. */
    static constexpr int tapTicks = 4;

    ControlDispatcher (Engine& engine, MidiControlSurfaceManager& midiMapping, const MixerColours& colours,
                       ControlDispatcherHost& host);
    ~ControlDispatcher() override;

    /** The widget's value changed with notification. Does nothing for null. */
    void dispatch (ExComponent* widget);

    /** F1..F4 switch CUE2 of channels 1..4, F5 the master's, F10 the effect,
        F11 presses TAP; only while the option is on. True when used. */
    bool handleFunctionKey (const juce::KeyPress& key, bool functionKeysEnabled);

    /** The deck radios, CONTROL and CLOCK of every strip show the engine's
        state; CONTROL hides while its channel is alone on its deck and takes
        the colours of a shared deck. Message thread. */
    void refreshDeckIndicators();

    /** Every control's value to the MIDI output. Message thread. */
    void sendFeedbackForAll();

private:
    void dispatchChannelControl (ExComponent& widget, int channel, int function, bool fromMidi);
    void dispatchFixedControl (ExComponent& widget, int id);
    void dispatchCueSet (ExComponent& widget, int channel, int index, bool fromMidi);
    void dispatchCueMarker (ExComponent& widget, int channel, int index, bool fromMidi);
    void dispatchLoopCue (int channel, bool second, bool on);
    void dispatchFilterKind (ExComponent& widget, int channel);
    void springBack (ExComponent& widget, bool fromMidi);

    /** The deck radios, CONTROL and CLOCK values; any thread. */
    void showDeckToggleValues();
    /** After a change of decks, control or clock: the values now, the looks
        on the message thread. */
    void deckStateChanged();
    void setOverviewCue (int channel, int index, float position);
    void setEffectSpeedLabels (int mode);

    void feedback (int id, int value);
    void feedbackOfWidget (int id);

    void handleAsyncUpdate() override;

    Engine& engine;
    MidiControlSurfaceManager& midi;
    const MixerColours& colours;
    ControlDispatcherHost& host;

    // Posted from MIDI threads to the message thread.
    static constexpr int numCueSlots = 16; // 4 channels x 4 markers
    std::atomic<bool> deckLooksPending { false };
    std::atomic<int> speedLabelModePending { -1 };
    std::atomic<int> cueMarkersPending { 0 }; // one bit per slot
    std::array<std::atomic<float>, numCueSlots> cuePositions {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ControlDispatcher)
};
}
