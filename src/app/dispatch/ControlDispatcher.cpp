#include "app/dispatch/ControlDispatcher.h"

#include "app/dispatch/ControlDispatcherHost.h"
#include "common/audio/Levels.h"
#include "engine/Engine.h"
#include "ui/channel/Channel.h"
#include "ui/midi/MidiControlSurfaceManager.h"
#include "ui/panels/ControlIds.h"
#include "ui/widgets/KelToggleButton.h"
#include "ui/widgets/SelectorGrid.h"

namespace zund
{
namespace
{
thread_local bool valueFromMidi = false;

constexpr int numMixerChannels = 4;

bool onMessageThread()
{
    return juce::MessageManager::existsAndIsCurrentThread();
}

int toMidi (float value) noexcept
{
    return (int) (value * 127.0f);
}

/** A selector grid is read by its chosen cell; -1 for any other widget. */
int gridIndexOf (ExComponent& widget)
{
    auto* grid = dynamic_cast<SelectorGrid*> (&widget);
    return grid != nullptr ? grid->getSelectedIndex() : -1;
}
}

ControlDispatcher::ScopedValueFromMidi::ScopedValueFromMidi() noexcept
    : previous (valueFromMidi)
{
    valueFromMidi = true;
}

ControlDispatcher::ScopedValueFromMidi::~ScopedValueFromMidi()
{
    valueFromMidi = previous;
}

bool ControlDispatcher::isValueFromMidi() noexcept
{
    return valueFromMidi;
}

ControlDispatcher::ControlDispatcher (Engine& engineToUse, MidiControlSurfaceManager& midiMapping,
                                      const MixerColours& colourSet, ControlDispatcherHost& hostToUse)
    : engine (engineToUse),
      midi (midiMapping),
      colours (colourSet),
      host (hostToUse)
{
}

ControlDispatcher::~ControlDispatcher()
{
    cancelPendingUpdate();
}

void ControlDispatcher::dispatch (ExComponent* widget)
{
    if (widget == nullptr)
        return;

    const bool fromMidi = isValueFromMidi();
    const int id = widget->getID();
    if (id < 500)
        dispatchChannelControl (*widget, id / ControlIds::perChannel, id % ControlIds::perChannel, fromMidi);
    else
        dispatchFixedControl (*widget, id);

    // The value after the action: the action may have set the widget again.
    if (! fromMidi)
        feedback (id, toMidi (widget->getValue()));
}

void ControlDispatcher::dispatchChannelControl (ExComponent& widget, int c, int n, bool fromMidi)
{
    using namespace ControlIds;
    const float v = widget.getValue();
    const bool on = v >= 0.5f;

    switch (n)
    {
        case gain:            engine.setChannelGainDb (c, sliderToDecibels (v)); break;
        case phones:          engine.setCue (c, on); break;
        case cue1:            dispatchLoopCue (c, false, on); break;
        case cue2:            dispatchLoopCue (c, true, on); break;
        case loopLength:
            if (auto* grid = dynamic_cast<SelectorGrid*> (&widget))
                engine.setLoopBeats (c, grid->getCellValue (grid->getSelectedIndex()));
            break;
        case loopAdjust:      engine.setLoopLengthKnob (c, v); break;
        case filterKind:      dispatchFilterKind (widget, c); break;
        case filterFrequency: engine.setFilterFrequency (c, v); break;
        case filterResonance: engine.setFilterResonance (c, v); break;
        case filterLowPass:   engine.setFilterLowPassLevel (c, v); break;
        case filterBandPass:  engine.setFilterBandPassLevel (c, v); break;
        case filterHighPass:  engine.setFilterHighPassLevel (c, v); break;
        case eqLow:           engine.setEqLow (c, v); break;
        case eqMidFrequency:  engine.setEqMidFrequency (c, v); break;
        case eqMid:           engine.setEqMid (c, v); break;
        case eqHigh:          engine.setEqHigh (c, v); break;
        case eqKillLow:       engine.setEqKillLow (c, on); break;
        case eqKillMid:       engine.setEqKillMid (c, on); break;
        case eqKillHigh:      engine.setEqKillHigh (c, on); break;
        case fader:           engine.setChannelFader (c, v); break;
        case play:            engine.setPlaying (c, on); break;
        case absolute:        engine.setChannelAbsolute (c, on); break;
        case thru:            engine.setThru (c, on); break;

        case control:
            // Acts on every change, also when switched off.
            engine.takeControl (c);
            deckStateChanged();
            for (int k = 0; k < numMixerChannels; ++k)
                feedback (of (k, control), engine.getControlState (k) == 1 ? 127 : 0);
            break;

        case ControlIds::rewind:
            if (on)
            {
                engine.setPositionSeconds (c, 0.0f);
                springBack (widget, fromMidi);
                feedback (of (c, ControlIds::rewind), 0);
            }
            break;

        case ControlIds::sync:
            engine.setChannelSync (c, on);
            deckStateChanged();
            break;

        case ControlIds::clock:
            engine.setClockChannel (c);
            deckStateChanged();
            break;

        case eqMode:
            engine.setEqMode (c, on);
            if (auto* panel = host.getEqPanel (c))
                panel->sendChangeMessage(); // the panel applies its mode on the message thread
            break;

        default:
            if (n >= firstInputDeck && n <= lastInputDeck)
            {
                // Choosing the chosen deck again keeps it: the radio is lit again below.
                engine.setChannelInputDeck (c, n - firstInputDeck);
                deckStateChanged();
                for (int k = firstInputDeck; k <= lastInputDeck; ++k)
                    feedback (of (c, k), k == n ? 127 : 0);
            }
            else if (n >= firstCueSet && n <= lastCueSet)
            {
                if (on)
                    dispatchCueSet (widget, c, n - firstCueSet, fromMidi);
            }
            else if (n >= firstCueMarker && n <= lastCueMarker)
            {
                if (on)
                    dispatchCueMarker (widget, c, n - firstCueMarker, fromMidi);
            }
            break;
    }
}

void ControlDispatcher::dispatchLoopCue (int c, bool second, bool on)
{
    using namespace ControlIds;
    if (auto* adjust = ExComponent::getComponentByID (of (c, loopAdjust)); adjust != nullptr && adjust->getValue() != 1.0f)
        adjust->setValue (1.0f, true);

    // Only a switch going on turns its partner off. Were the partner's own
    // dispatch (of its going off) to switch this one off in turn, the loop
    // would run while both switches showed off.
    const int partnerId = of (c, second ? cue1 : cue2);
    auto* partner = ExComponent::getComponentByID (partnerId);
    if (on && partner != nullptr && partner->getValue() != 0.0f)
        partner->setValue (0.0f, true);

    engine.setLoopActive (c, on, second);
    // The partner as it is now: off, unless this dispatch is its partner's going off.
    feedback (partnerId, partner != nullptr ? toMidi (partner->getValue()) : 0);
}

void ControlDispatcher::dispatchFilterKind (ExComponent& widget, int c)
{
    using namespace ControlIds;
    const int kind = gridIndexOf (widget);
    if (kind < 0)
        return;
    if (auto* panel = host.getFilterPanel (c))
        panel->resetForMode (kind);
    for (int n : { filterFrequency, filterLowPass, filterBandPass, filterHighPass })
        feedbackOfWidget (of (c, n));
    engine.setFilterType (c, 1 - kind);
}

void ControlDispatcher::dispatchCueSet (ExComponent& widget, int c, int index, bool fromMidi)
{
    if (c >= numMixerChannels)
        return;
    const auto position = (float) juce::jlimit (0.0, 1.0, engine.getPositionFraction (c));
    setOverviewCue (c, index, position);
    host.setCuePoint (c, index, position);
    springBack (widget, fromMidi);
    feedback (widget.getID(), 0);
}

void ControlDispatcher::dispatchCueMarker (ExComponent& widget, int c, int index, bool fromMidi)
{
    if (c >= numMixerChannels)
        return;
    const float marker = host.getOverviewCuePosition (c, index);
    if (marker < 0.0f)
    {
        host.setCuePoint (c, index, marker);
    }
    else
    {
        // A marker without a stored cue point (no song record) has nowhere to go.
        const float cuePoint = host.getCuePoint (c, index);
        if (cuePoint >= 0.0f)
            host.seekDeck (c, cuePoint);
    }
    springBack (widget, fromMidi);
    feedback (widget.getID(), 0);
}

void ControlDispatcher::springBack (ExComponent& widget, bool fromMidi)
{
    // A controller's pad does not send its release the way a mouse does.
    if (fromMidi)
        widget.setValue (0.0f, false);
}

void ControlDispatcher::dispatchFixedControl (ExComponent& widget, int id)
{
    using namespace ControlIds;
    const float v = widget.getValue();

    switch (id)
    {
        case mainVolume:      engine.setMainGainDb (gainToDecibels (v)); break;
        case phonesVolume:    engine.setPhonesGainDb (gainToDecibels (v)); break;
        case cueMix:          engine.setCueMix (1.0f - v); break;
        case zeroLockRange:   engine.setVirtualZeroLockRange (2.0 * v); break;
        case crossfader:      engine.setCrossfaderPosition (v); break;
        case effectOn:        engine.setFXOn (v >= 0.5f); break;
        case effectDepth:     engine.setFXDepth (v); break;
        case effectMix:       engine.setFXMix (v); break;
        case crossfaderSideA:
            if (const int index = gridIndexOf (widget); index >= 0)
                engine.setCrossfaderSideA (index);
            break;
        case crossfaderSideB:
            if (const int index = gridIndexOf (widget); index >= 0)
                engine.setCrossfaderSideB (index);
            break;
        case crossfaderCurve:
            if (const int index = gridIndexOf (widget); index >= 0)
                engine.setCrossfaderCurve (index);
            break;
        case effectChannel:
            if (const int index = gridIndexOf (widget); index >= 0)
                engine.setFXChannel (index);
            break;
        case effectType:
            if (const int type = gridIndexOf (widget); type >= 0 && type < (int) speedLabelModes.size())
            {
                engine.setFXType (type);
                setEffectSpeedLabels (speedLabelModes[(size_t) type]);
            }
            break;
        case effectSpeed:
            if (const int index = gridIndexOf (widget); index >= 0 && index < (int) effectBeatLengths.size())
                engine.setFXBeatLength (effectBeatLengths[(size_t) index]);
            break;
        case tap:
            if (v >= 0.5f)
                host.tapTempo();
            break;
        default:
            break; // the effect's CLOCK (its panel reads it), the plug-in knobs: only echoed
    }
}

//==============================================================================
bool ControlDispatcher::handleFunctionKey (const juce::KeyPress& key, bool functionKeysEnabled)
{
    if (! functionKeysEnabled)
        return false;

    using namespace ControlIds;
    const int code = key.getKeyCode();
    int toggleId = -1;
    if (code >= juce::KeyPress::F1Key && code <= juce::KeyPress::F4Key)
        toggleId = of (code - juce::KeyPress::F1Key, cue2);
    else if (code == juce::KeyPress::F5Key)
        toggleId = of (masterChannel, cue2);
    else if (code == juce::KeyPress::F10Key)
        toggleId = effectOn;
    else if (code == juce::KeyPress::F11Key)
    {
        if (auto* button = ExComponent::getComponentByID (tap))
            button->setValue (1.0f, true);
        return true;
    }
    else
        return false;

    if (auto* toggle = dynamic_cast<KelToggleButton*> (ExComponent::getComponentByID (toggleId)))
        toggle->setToggleState (! toggle->isOn(), true);
    return true;
}

//==============================================================================
void ControlDispatcher::showDeckToggleValues()
{
    const int clockChannel = engine.getClockChannel();
    for (int c = 0; c < numMixerChannels; ++c)
    {
        auto* strip = host.getChannel (c);
        if (strip == nullptr)
            continue;
        auto& player = strip->getPlayerContainer();
        const int deck = engine.getChannelInputDeck (c);
        for (int k = 0; k < PlayerContainer::numDecks; ++k)
            player.getDeckButton (k).setToggleState (deck == k, false);
        player.getControlButton().setToggleState (engine.getControlState (c) == 1, false);
        player.getClockButton().setToggleState (c == clockChannel, false);
    }
}

void ControlDispatcher::refreshDeckIndicators()
{
    showDeckToggleValues();
    for (int c = 0; c < numMixerChannels; ++c)
    {
        if (auto* strip = host.getChannel (c))
        {
            strip->setControlState (engine.getControlState (c));
            const auto& set = engine.isOnSharedDeck (c) ? colours.type2 : colours.type1;
            strip->getPlayerContainer().getControlButton().setColours (set.on1, set.on2, set.off1, set.off2);
        }
    }
}

void ControlDispatcher::deckStateChanged()
{
    if (onMessageThread())
    {
        refreshDeckIndicators();
        return;
    }
    showDeckToggleValues();
    deckLooksPending.store (true);
    triggerAsyncUpdate();
}

void ControlDispatcher::setOverviewCue (int c, int index, float position)
{
    if (onMessageThread())
    {
        host.setOverviewCuePosition (c, index, position);
        return;
    }
    const int slot = c * 4 + index;
    cuePositions[(size_t) slot].store (position);
    cueMarkersPending.fetch_or (1 << slot);
    triggerAsyncUpdate();
}

void ControlDispatcher::setEffectSpeedLabels (int mode)
{
    if (onMessageThread())
    {
        host.setEffectSpeedLabels (mode);
        return;
    }
    speedLabelModePending.store (mode);
    triggerAsyncUpdate();
}

void ControlDispatcher::handleAsyncUpdate()
{
    if (deckLooksPending.exchange (false))
        refreshDeckIndicators();

    if (const int mode = speedLabelModePending.exchange (-1); mode >= 0)
        host.setEffectSpeedLabels (mode);

    const int markers = cueMarkersPending.exchange (0);
    for (int slot = 0; slot < numCueSlots; ++slot)
        if ((markers & (1 << slot)) != 0)
            host.setOverviewCuePosition (slot / 4, slot % 4, cuePositions[(size_t) slot].load());
}

//==============================================================================
void ControlDispatcher::feedback (int id, int value)
{
    midi.sendFeedback (host.getMidiFeedbackOutput(), id, value);
}

void ControlDispatcher::feedbackOfWidget (int id)
{
    if (auto* widget = ExComponent::getComponentByID (id))
        feedback (id, toMidi (widget->getValue()));
}

void ControlDispatcher::sendFeedbackForAll()
{
    auto* output = host.getMidiFeedbackOutput();
    if (output == nullptr)
        return;
    for (int i = 0; i < ExComponent::getNumComponents(); ++i)
        if (auto* widget = ExComponent::getComponent (i))
            midi.sendFeedback (output, widget->getID(), toMidi (widget->getValue()));
}
}
