#include "app/main/MixerColours.h"

namespace zund
{
MixerColours::ControlButton MixerColours::ControlButton::from (juce::Colour on2)
{
    const auto on1 = on2.brighter (0.5f);
    const auto tint = on1.withAlpha (0.3f);
    return { on1, on2, juce::Colour (0xff404040).overlaidWith (tint), juce::Colours::black.overlaidWith (tint) };
}
}
