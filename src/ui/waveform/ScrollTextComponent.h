#pragma once

#include "common/events/SharedTimer.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** One line of text (a track title) that scrolls one pixel every 20 ms when it
    is wider than the component, repeating after two blanks; a text that fits
    is shown centred and stands still. An empty text hides the component. The
    text is rendered once into an image (repeated copies when it scrolls);
    paint only copies a window of it. */
class ScrollTextComponent : public juce::Component, public SharedTimer
{
public:
    ScrollTextComponent();
    ~ScrollTextComponent() override;

    /** Renders the text again only when it differs from the current one, so
        the scroll position survives repeated calls with the same title. */
    void setText (const juce::String& newText);
    juce::String getText() const;

    /** A paused text stands still and the timer does not repaint it. */
    void setPaused (bool shouldBePaused);
    bool isPaused() const noexcept { return paused; }

    /** The colour scheme's colours; the current text is rendered again in them. */
    void setColours (juce::Colour background, juce::Colour shadow, juce::Colour text);

    void resized() override;
    void paint (juce::Graphics& g) override;
    /** Presses go to the parent (the wave display seeks or loads on them). */
    void mouseDown (const juce::MouseEvent& e) override;
    void timerCallback() override;

    static constexpr int scrollIntervalMs = 20;

private:
    void rebuild (const juce::String& newText);

    juce::Colour backgroundColour { 0x80808080 };
    juce::Colour shadowColour { juce::Colours::black };
    juce::Colour textColour { 0xfff0f0f0 };
    juce::CriticalSection lock; // the image and the offset, between rebuild and paint
    juce::Image image;          // null before the first rebuild
    juce::Font font;
    int offset = 0;    // 0 or negative
    int wrapLimit = 0; // minus the width of one padded copy
    juce::String text;
    bool fits = true;
    bool paused = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ScrollTextComponent)
};
}
