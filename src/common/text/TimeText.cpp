#include "common/text/TimeText.h"

namespace zund
{
namespace
{
juce::String twoDigits (int value)
{
    return (value < 10 ? "0" : "") + juce::String (value);
}
}

juce::String secondsToTimeString (int seconds)
{
    if (seconds < 0)
        seconds = 0;

    const int hours = seconds / 3600;
    const int minutes = (seconds / 60) % 60;
    const int secs = seconds % 60;

    if (hours > 0)
        return juce::String (hours) + ":" + twoDigits (minutes) + ":" + twoDigits (secs);
    return juce::String (minutes) + ":" + twoDigits (secs);
}
}
