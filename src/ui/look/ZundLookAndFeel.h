#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The program's look and feel, installed as the default by the main window.
    The program's own widgets draw themselves; this governs the framework parts
    it uses: the window frame, toggle buttons, table headers, tree views, scroll
    bars and rotary sliders (device selector, generic plug-in editors). */
class ZundLookAndFeel : public juce::LookAndFeel_V2
{
public:
    /** The title-bar button: a grey glass sphere with a dark symbol. */
    class GlassWindowButton : public juce::Button
    {
    public:
        GlassWindowButton (const juce::String& name, juce::Colour colour, const juce::Path& normalShape,
                           const juce::Path& toggledShape);

        void paintButton (juce::Graphics& g, bool isMouseOver, bool isDown) override;

    private:
        juce::Colour colour;
        juce::Path normalShape, toggledShape;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GlassWindowButton)
    };

    ZundLookAndFeel();

    /** The sans-serif face the program asks for ("Verdana"), or an installed
        stand-in when it is missing. */
    static juce::String chooseSansSerifTypefaceName();

    void drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool isMouseOver, bool isDown) override;

    void drawScrollbar (juce::Graphics& g, juce::ScrollBar& scrollbar, int x, int y, int width, int height,
                        bool isScrollbarVertical, int thumbStartPosition, int thumbSize, bool isMouseOver,
                        bool isMouseDown) override;

    void drawTreeviewPlusMinusBox (juce::Graphics& g, const juce::Rectangle<float>& area,
                                   juce::Colour backgroundColour, bool isOpen, bool isMouseOver) override;

    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPosProportional,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider) override;

    void drawDocumentWindowTitleBar (juce::DocumentWindow& window, juce::Graphics& g, int w, int h,
                                     int titleSpaceX, int titleSpaceW, const juce::Image* icon,
                                     bool drawTitleTextOnLeft) override;
    juce::Button* createDocumentWindowButton (int buttonType) override;

    void drawTableHeaderBackground (juce::Graphics& g, juce::TableHeaderComponent& header) override;
    void drawTableHeaderColumn (juce::Graphics& g, juce::TableHeaderComponent& header, const juce::String& columnName,
                                int columnId, int width, int height, bool isMouseOver, bool isMouseDown,
                                int columnFlags) override;

private:
    void applyColourTable();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZundLookAndFeel)
};
}
