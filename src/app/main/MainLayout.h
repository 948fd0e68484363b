#pragma once

#include <juce_graphics/juce_graphics.h>

#include <functional>

namespace zund
{
/** Where the main component's children go: the channel strips at the top
    left, the master strip at the top right, the crossfader panel under the
    strips, the browser under that and the bottom bar along the bottom. The
    crossfader panel and the browser go under the master strip, at the full
    width, where it does not reach down to them. */
struct MainLayout
{
    struct Sizes
    {
        int width = 0, height = 0;
        bool masterVisible = false;
        int masterWidth = 0, masterHeight = 0;
        bool crossfaderVisible = false;
        int crossfaderHeight = 0;
        int bottomBarHeight = 0;
        /** The channel strips' height at a width. */
        std::function<int (int)> channelsHeightForWidth;
    };

    juce::Rectangle<int> channels, crossfader, browser, bottomBar, master;

    static MainLayout compute (const Sizes& sizes);
};
}
