#include "app/MainComponent.h"

#include "app/ZundMidiInputCallback.h"

namespace zund
{
void ZundMidiInputCallback::handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message)
{
    owner.handleIncomingMidiMessage (source, message);
}

// MIDI thread.
void MainComponent::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    if (closing.load())
        return;
    // (The bottom bar's MIDI lamp flashes here once it exists.)
    midiMapping.handleIncomingMidiMessage (message);
}

void MainComponent::setLearnMode (bool on)
{
    learnMode.store (on);
}

void MainComponent::learnFromMouseDown (int controlId)
{
    if (learnMode.load())
        midiMapping.learn (controlId, juce::ModifierKeys::currentModifiers.isCtrlDown());
}

MidiFeedbackOutput* MainComponent::getMidiFeedbackOutput()
{
    return midiFeedback.isOpen() ? &midiFeedback : nullptr;
}

void MainComponent::controllerMoved (int id, int value)
{
    valueFromMidi.store (true);
    setControlFromMidi (id, (float) value / 127.0f);
    valueFromMidi.store (false);
}

void MainComponent::controllerTriggered (int id)
{
    resetControlToDefault (id & 0x7fffffff);
}

void MainComponent::controllerLearned (int id)
{
    // The dispatcher re-applies the control's value and echoes it, so the
    // controller shows the current state at once.
    renotifyControl (id & 0x7fffffff);
}

//==============================================================================
// WIDGET SEAM. The MIDI mapping reaches the control widgets only here. Until
// the widget family is part of the program no control id has a widget, so
// these do nothing. At the merge each body becomes the call named in it, on
// ExComponent::getComponentByID (id) when that is not null.

void MainComponent::setControlFromMidi (int id, float value)
{
    juce::ignoreUnused (id, value); // widget->setValue (value, true)
}

void MainComponent::resetControlToDefault (int id)
{
    juce::ignoreUnused (id); // widget->resetToDefault (true)
}

void MainComponent::renotifyControl (int id)
{
    juce::ignoreUnused (id); // widget->notifyListener()
}
}
