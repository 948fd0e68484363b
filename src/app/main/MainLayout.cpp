#include "app/main/MainLayout.h"

namespace zund
{
MainLayout MainLayout::compute (const Sizes& s)
{
    MainLayout layout;
    const int mainWidth = s.masterVisible ? s.masterWidth : 0;
    const int crossHeight = s.crossfaderVisible ? s.crossfaderHeight : 0;

    const int channelsWidth = s.width - mainWidth;
    const int channelsHeight = s.channelsHeightForWidth != nullptr ? s.channelsHeightForWidth (channelsWidth) : 0;
    layout.channels = { 0, 0, channelsWidth, channelsHeight };

    // Beside the master strip only where it reaches down that far.
    auto besideMaster = [&] (int top) { return s.masterVisible && s.masterHeight >= top ? s.width - mainWidth : s.width; };

    layout.crossfader = { 0, channelsHeight, besideMaster (channelsHeight), s.crossfaderHeight };

    const int browserTop = channelsHeight + crossHeight;
    layout.browser = { 0, browserTop, besideMaster (browserTop), s.height - s.bottomBarHeight - browserTop };
    layout.bottomBar = { 0, layout.browser.getBottom(), s.width, s.bottomBarHeight };
    layout.master = { s.width - s.masterWidth, 0, s.masterWidth, s.masterHeight };
    return layout;
}
}
