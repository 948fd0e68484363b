#include "WidgetTestSupport.h"

namespace zund::test
{
ScopedModifiers::ScopedModifiers (juce::ModifierKeys mods)
    : saved (juce::ModifierKeys::currentModifiers)
{
    set (mods);
}

ScopedModifiers::~ScopedModifiers()
{
    juce::ModifierKeys::currentModifiers = saved;
}

void ScopedModifiers::set (juce::ModifierKeys mods)
{
    juce::ModifierKeys::currentModifiers = mods;
}

float brightnessAt (const juce::Image& image, int x, int y)
{
    return image.getPixelAt (x, y).getPerceivedBrightness();
}
}
