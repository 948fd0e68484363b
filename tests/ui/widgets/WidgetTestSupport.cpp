#include "WidgetTestSupport.h"

namespace zund::test
{
juce::MouseEvent mouseAt (juce::Component& component, juce::Point<int> position, juce::ModifierKeys mods)
{
    const auto now = juce::Time::getCurrentTime();
    const auto p = position.toFloat();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), p, mods,
                             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                             juce::MouseInputSource::defaultTiltY, &component, &component, now, p, now, 1, false);
}

void pumpMessages (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

juce::Image paintToImage (juce::Component& component)
{
    juce::Image image (juce::Image::ARGB, juce::jmax (1, component.getWidth()), juce::jmax (1, component.getHeight()),
                       true);
    juce::Graphics g (image);
    component.paintEntireComponent (g, true);
    return image;
}

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
