#include "app/main/MainComponent.h"

#include "app/main/ZundMidiInputCallback.h"
#include "ui/bottom/BottomComponent.h"
#include "ui/widgets/ExComponent.h"

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
    bottomBar->flashMidiLamp();
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
    // Only this thread's dispatches are from MIDI: a mouse change on the
    // message thread meanwhile is still echoed.
    const ControlDispatcher::ScopedValueFromMidi fromMidi;
    setControlFromMidi (id, (float) value / 127.0f);
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
// Where the MIDI mapping reaches the control widgets; an id without a widget
// is ignored.

void MainComponent::setControlFromMidi (int id, float value)
{
    if (auto* widget = ExComponent::getComponentByID (id))
        widget->setValue (value, true);
}

void MainComponent::resetControlToDefault (int id)
{
    if (auto* widget = ExComponent::getComponentByID (id))
        widget->resetToDefault (true);
}

void MainComponent::renotifyControl (int id)
{
    if (auto* widget = ExComponent::getComponentByID (id))
        widget->notifyListener();
}
}
