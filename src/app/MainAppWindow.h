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

    /** Beyond any screen, and far enough from the limits of int that no sum overflows. */
    static constexpr int maxSavedCoordinate = 1 << 20;

    MainAppWindow();
    ~MainAppWindow() override;

    /** Creates the native window, without a drop shadow, and shows it. */
    void showOnDesktop();

    void closeButtonPressed() override;

    MainComponent* getMainComponent() const;

    /** Saved bounds kept within the resize limits and on a connected display;
        nothing when they cannot be shown or are out of any screen's range. */
    static std::optional<juce::Rectangle<int>> constrainSavedBounds (juce::Rectangle<int> saved,
                                                                      const juce::Displays& displays);

private:
    ZundLookAndFeel lookAndFeel;
    juce::TooltipWindow tooltipWindow { nullptr, 700 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainAppWindow)
};
}
