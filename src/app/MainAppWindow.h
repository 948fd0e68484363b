#pragma once

#include "ui/look/ZundLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
class MainComponent;

/** The one main window; its content is the MainComponent. */
class MainAppWindow : public juce::DocumentWindow
{
public:
    static constexpr int minimumWidth = 1022;
    static constexpr int minimumHeight = 730;
    static constexpr int maximumWidth = 1920;
    static constexpr int maximumHeight = 1680;

    MainAppWindow();
    ~MainAppWindow() override;

    void closeButtonPressed() override;

    MainComponent* getMainComponent() const;

    /** Saved bounds kept within the resize limits and on a connected display;
        nothing when they cannot be shown. */
    static std::optional<juce::Rectangle<int>> constrainSavedBounds (juce::Rectangle<int> saved,
                                                                      const juce::Displays& displays);

private:
    ZundLookAndFeel lookAndFeel;
    juce::TooltipWindow tooltipWindow { nullptr, 700 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainAppWindow)
};
}
