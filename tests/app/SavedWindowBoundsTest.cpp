// Window bounds read back from "preferences.xml" may hold any number.

#include "app/MainAppWindow.h"

#include <gtest/gtest.h>

#include <climits>

using namespace zund;

namespace
{
// One 1920 x 1200 screen, whatever this machine has.
juce::Displays oneScreen()
{
    auto displays = juce::Desktop::getInstance().getDisplays();
    juce::Displays::Display screen {};
    screen.totalArea = screen.userArea = { 0, 0, 1920, 1200 };
    screen.scale = 1.0;
    screen.dpi = 96.0;
    screen.isMain = true;
    displays.displays.clearQuick();
    displays.displays.add (screen);
    return displays;
}
}

TEST (SavedWindowBounds, NumbersOutOfAnyScreensRangeAreNotUsed)
{
    const auto screen = oneScreen();
    const juce::Rectangle<int> implausible[] = {
        { INT_MAX - 10, 100, 1200, 800 }, // x + width overflows
        { 100, INT_MAX - 10, 1200, 800 },
        { INT_MIN, 100, 1200, 800 },
        { 100, 100, INT_MAX, 800 },
        { 100, 100, 1200, INT_MAX },
        { 100, 100, -5, 800 },
        { 100, 100, 1200, 0 },
    };
    for (const auto& saved : implausible)
        EXPECT_FALSE (MainAppWindow::constrainSavedBounds (saved, screen).has_value()) << saved.toString();

    // Plausible bounds still come back, kept on the screen.
    EXPECT_EQ (MainAppWindow::constrainSavedBounds ({ 100, 50, 1200, 5000 }, screen),
               juce::Rectangle<int> (100, 0, 1200, 1200));
}
