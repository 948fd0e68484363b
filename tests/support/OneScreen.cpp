#include "support/OneScreen.h"

namespace zund::test
{
OneScreen::OneScreen()
    : displays (const_cast<juce::Displays&> (juce::Desktop::getInstance().getDisplays())), saved (displays.displays)
{
    juce::Displays::Display screen {};
    screen.totalArea = screen.userArea = area;
    screen.scale = 1.0;
    screen.dpi = 96.0;
    screen.isMain = true;
    displays.displays.clearQuick();
    displays.displays.add (screen);
}

OneScreen::~OneScreen()
{
    displays.displays = saved;
}
}
