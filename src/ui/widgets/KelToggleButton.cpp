#include "ui/widgets/KelToggleButton.h"

namespace zund
{
KelToggleButton::KelToggleButton (ExComponentListener* listener)
    : ExComponent (0, listener, true)
{
    addChangeListener (this);
}

KelToggleButton::~KelToggleButton()
{
    stopBlinking();
    removeChangeListener (this);
}

void KelToggleButton::setToggleState (bool on, bool notify)
{
    setValue (on ? 1.0f : 0.0f, notify);
    markDirty();
}

void KelToggleButton::setValue (float newValue, bool notify)
{
    exchangeValue (valueOrDefault (newValue));
    if (notify)
        notifyListener();

    // Timers are started and stopped on the message thread only: from here a
    // change message asks for it, and the callback decides by the state it finds.
    // Meanwhile an off button already draws unlit.
    if (isOn() ? (blinkingEnabled.load() && ! blinkRunning.load()) : blinkRunning.load())
    {
        if (juce::MessageManager::existsAndIsCurrentThread() && ! isOn())
            stopBlinking();
        else
            sendChangeMessage();
    }
    markDirty();
}

void KelToggleButton::changeListenerCallback (juce::ChangeBroadcaster*)
{
    if (! isOn())
        stopBlinking();
    else if (blinkingEnabled.load() && ! isTimerRunning())
    {
        blinkPhase = true; // lit at once, then every other period
        markDirty();
        blinkRunning.store (true);
        startTimer (blinkPeriodMs);
    }
}

void KelToggleButton::stopBlinking()
{
    stopTimer();
    blinkRunning.store (false);
}

void KelToggleButton::timerCallback()
{
    blinkPhase = ! blinkPhase;
    markDirty();
}

bool KelToggleButton::isLit() const noexcept
{
    return isOn() && (isTimerRunning() ? blinkPhase : true);
}

void KelToggleButton::setImage (const juce::Image& image)
{
    strip = FilmStrip (image, numImageFrames);
    markDirty();
}

void KelToggleButton::setColours (juce::Colour newOnTop, juce::Colour newOnBottom, juce::Colour newOffTop,
                                  juce::Colour newOffBottom)
{
    onTop = newOnTop;
    onBottom = newOnBottom;
    offTop = newOffTop;
    offBottom = newOffBottom;
    markDirty();
}

void KelToggleButton::paint (juce::Graphics& g)
{
    const bool lit = isLit();
    if (strip.isUsable())
    {
        strip.drawFrame (g, (pressed ? 1 : 0) | (isPointerOver() ? 2 : 0) | (lit ? 4 : 0), getWidth(), getHeight());
        return;
    }
    drawButtonBox (g, lit ? onTop : offTop, lit ? onBottom : offBottom, 0, 0, getWidth(), getHeight(), isPointerOver(),
                   lit ? getText() : getText2(), getTextHeight(), juce::Font::plain);
}

void KelToggleButton::mouseDown (const juce::MouseEvent& e)
{
    dispatchMouseDown (e);
    pressed = true;
    setValue (isOn() ? 0.0f : 1.0f, true);
}

void KelToggleButton::mouseUp (const juce::MouseEvent&)
{
    pressed = false;
    repaint();
}
}
