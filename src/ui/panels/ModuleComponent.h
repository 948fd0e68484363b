#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The base of every titled box of controls on the mixer surface: a 14-pixel
    title bar over a shaded body, with a black outline. Opaque and buffered to
    an image, so a widget repainting inside it costs only that widget's area.

    Every live panel is kept in one list (message thread), so that a colour
    change repaints them all. */
class ModuleComponent : public juce::Component
{
public:
    /** The class-wide colours; the colour scheme edits them in place. Every new
        panel sets them back to these defaults. */
    struct Colours
    {
        juce::Colour bodyTop { 0xff303030 };
        juce::Colour bodyBottom { 0xff303030 };
        juce::Colour titleBarTop { 0xff232323 };
        juce::Colour titleBarBottom { 0xff232323 };
        juce::Colour titleText { 0xffe0e0e0 };
    };
    static Colours colours;

    static constexpr int titleBarHeight = 14;

    explicit ModuleComponent (const juce::String& title);
    ~ModuleComponent() override;

    const juce::String& getTitle() const noexcept { return title; }

    /** Repaints every live panel (after a colour-scheme change). */
    static void repaintAll();
    static int getNumPanels() noexcept;

    void paint (juce::Graphics& g) override;

private:
    const juce::String title;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModuleComponent)
};
}
