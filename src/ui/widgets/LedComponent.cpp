#include "ui/widgets/LedComponent.h"

namespace zund
{
LedComponent::LedComponent()
    : ExComponent (0, nullptr, true)
{
    setMouseCursor (juce::MouseCursor::NormalCursor);
    addChangeListener (this);
    markDirty();
}

LedComponent::~LedComponent()
{
    stopTimer();
    removeChangeListener (this);
}

void LedComponent::flash (int durationMs)
{
    flashDurationMs.store (juce::jmax (1, durationMs));
    setValue (1.0f, false);
    sendChangeMessage();
}

void LedComponent::setValue (float newValue, bool)
{
    newValue = valueOrDefault (newValue);
    if (exchangeValue (newValue) != newValue)
        markDirty();
}

void LedComponent::changeListenerCallback (juce::ChangeBroadcaster*)
{
    // Lit again in case the previous flash's tick put it out after this flash
    // came in; restarting the timer counts the time from the latest flash.
    setValue (1.0f, false);
    startTimer (flashDurationMs.load());
}

void LedComponent::timerCallback()
{
    stopTimer();
    setValue (0.0f, false);
}

void LedComponent::paint (juce::Graphics& g)
{
    const float w = (float) getWidth(), h = (float) getHeight();
    g.setColour (isOn() ? juce::Colour (0xffff0000) : juce::Colour (0xff808080));
    g.fillRoundedRectangle (1.0f, 1.0f, w - 2.0f, h - 2.0f, h * 0.5f);

    g.setColour (juce::Colours::black);
    g.setFont (juce::Font (h * 0.75f, juce::Font::bold));
    g.drawFittedText ("MIDI", getLocalBounds(), juce::Justification::centred, 1, 0.7f);
}
}
