#include "app/main/MainLayout.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
// Strips that need 300 pixels of height at any width; a 204 x 686 master strip.
MainLayout::Sizes windowOf (int width, int height, bool masterVisible, int masterHeight = 686)
{
    MainLayout::Sizes sizes;
    sizes.width = width;
    sizes.height = height;
    sizes.masterVisible = masterVisible;
    sizes.masterWidth = 204;
    sizes.masterHeight = masterHeight;
    sizes.crossfaderVisible = true;
    sizes.crossfaderHeight = 48;
    sizes.bottomBarHeight = 30;
    sizes.channelsHeightForWidth = [] (int) { return 300; };
    return sizes;
}
}

TEST (MainLayout, TheMasterStripTakesTheRightEdgeWhileItIsShown)
{
    const auto shown = MainLayout::compute (windowOf (1022, 730, true));
    EXPECT_EQ (shown.master, juce::Rectangle<int> (818, 0, 204, 686));
    EXPECT_EQ (shown.channels, juce::Rectangle<int> (0, 0, 818, 300));
    EXPECT_EQ (shown.crossfader, juce::Rectangle<int> (0, 300, 818, 48));
    EXPECT_EQ (shown.browser, juce::Rectangle<int> (0, 348, 818, 730 - 30 - 348));
    EXPECT_EQ (shown.bottomBar, juce::Rectangle<int> (0, 700, 1022, 30));
    EXPECT_FALSE (shown.master.intersects (shown.browser));
    EXPECT_FALSE (shown.master.intersects (shown.channels));
}

TEST (MainLayout, HiddenItLeavesTheFullWidthToTheOthers)
{
    const auto hidden = MainLayout::compute (windowOf (1920, 1080, false));
    EXPECT_EQ (hidden.channels.getWidth(), 1920);
    EXPECT_EQ (hidden.crossfader.getWidth(), 1920);
    EXPECT_EQ (hidden.browser.getWidth(), 1920);
    EXPECT_EQ (hidden.bottomBar.getWidth(), 1920);
}

TEST (MainLayout, BelowTheMasterStripsBottomThePanelsUseTheFullWidth)
{
    // A short master strip (320 pixels) ends above the browser, not above the crossfader panel.
    const auto layout = MainLayout::compute (windowOf (1022, 730, true, 320));
    EXPECT_EQ (layout.crossfader.getWidth(), 1022 - 204);
    EXPECT_EQ (layout.browser.getWidth(), 1022);
    EXPECT_FALSE (layout.master.intersects (layout.browser));

    // Shorter than the strips: the crossfader panel too.
    const auto shorter = MainLayout::compute (windowOf (1022, 730, true, 250));
    EXPECT_EQ (shorter.crossfader.getWidth(), 1022);
}
