#pragma once

#include "ui/widgets/ExComponent.h"
#include "ui/widgets/FilmStrip.h"

namespace zund
{
/** A latching on/off button; it can blink (300 ms) while on. The blink timer is
    started by a change message to itself, so that it starts on the message
    thread whichever thread switched the button on.

    Drawn from an 8-frame image strip (bits: pressed 1, mouse over 2, lit 4) when
    one is set, else as a button box in the on or off colours with the on or off
    caption. */
class KelToggleButton : public ExComponent,
                        private juce::Timer,
                        private juce::ChangeListener,
                        private juce::ChangeBroadcaster
{
public:
    explicit KelToggleButton (ExComponentListener* listener);
    ~KelToggleButton() override;

    void setToggleState (bool on, bool notify);
    bool getToggleState() const noexcept { return isOn(); }

    /** Stores the value as it is (NaN takes the default), notifies when asked,
        stops the blink when off and asks for it when on; marks dirty. Any thread. */
    void setValue (float newValue, bool notify) override;

    /** Takes effect with the next on value. */
    void setBlinking (bool shouldBlink) noexcept { blinkingEnabled.store (shouldBlink); }
    bool isBlinking() const noexcept { return blinkingEnabled.load(); }

    /** A strip of 8 frames stacked vertically; an invalid image draws the box. */
    void setImage (const juce::Image& image);
    void setColours (juce::Colour onTop, juce::Colour onBottom, juce::Colour offTop, juce::Colour offBottom);

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

    /** True while the blink timer runs. */
    bool isBlinkRunning() const noexcept { return blinkRunning.load(); }

    static constexpr int blinkPeriodMs = 300;

protected:
    /** The blink phase while blinking, else the on state. Message thread. */
    bool isLit() const noexcept;
    bool isPressed() const noexcept { return pressed; }

private:
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void timerCallback() override;
    void stopBlinking();

    bool pressed = false;
    std::atomic<bool> blinkingEnabled { false };
    bool blinkPhase = false;
    std::atomic<bool> blinkRunning { false }; // mirrors the timer for other threads
    juce::Colour onBottom { 0xff800020 };
    juce::Colour offBottom { 0xff000000 };
    juce::Colour onTop { onBottom.brighter (0.3f) };
    juce::Colour offTop { 0xff404040 };
    FilmStrip strip;

    static constexpr int numImageFrames = 8;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelToggleButton)
};
}
