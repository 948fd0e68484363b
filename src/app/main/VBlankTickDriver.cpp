#include "app/main/VBlankTickDriver.h"

#include "common/events/SharedTimer.h"

namespace zund
{
VBlankTickDriver::VBlankTickDriver (juce::Component& windowContent)
    : attachment (&windowContent, [this] { blank(); })
{
}

void VBlankTickDriver::blank()
{
    const auto now = juce::Time::getMillisecondCounterHiRes();
    SharedTimer::runSharedTickWithVBlank (now, interval.blankAt (now));
}
}
