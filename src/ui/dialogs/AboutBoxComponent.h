#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The information box behind the INFO button: version, credits and the key
    commands, white on black. Any key or click closes it. */
class AboutBoxComponent : public juce::Component
{
public:
    explicit AboutBoxComponent (const juce::String& textToShow);

    /** Shows the box as its own borderless window in the middle of the main
        display and returns when the user has closed it. */
    static void show();

    /** The box's text, with the running application's version. */
    static juce::String buildText();

    const juce::String& getText() const { return text; }

    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void mouseDown (const juce::MouseEvent& event) override;

    static constexpr int width = 1000;
    static constexpr int height = 350;
    static constexpr int textLeft = 10;
    static constexpr int firstBaseline = 30;

    /** The text laid out as paint() draws it, for a box of the given width. */
    static juce::GlyphArrangement layOutText (const juce::String& text, const juce::Font& font, int boxWidth);

private:
    juce::String text;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutBoxComponent)
};
}
