#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** "m:ss", or "h:mm:ss" from an hour on. Negative times show as "0:00". */
juce::String secondsToTimeString (int seconds);
}
