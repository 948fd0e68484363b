#include "support/UiEvents.h"

namespace zund::test
{
juce::MouseEvent mouseEventAt (juce::Component& component, juce::Point<int> position, juce::ModifierKeys modifiers,
                               int numberOfClicks)
{
    const auto now = juce::Time::getCurrentTime();
    const auto p = position.toFloat();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), p, modifiers,
                             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                             juce::MouseInputSource::defaultTiltY, &component, &component, now, p, now,
                             numberOfClicks, false);
}

bool pumpMessagesUntil (const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    while (! condition() && juce::Time::getMillisecondCounter() < end)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (2);
    return condition();
}

void pumpMessages (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

juce::Image snapshotOf (juce::Component& component)
{
    juce::Image image (juce::Image::ARGB, juce::jmax (1, component.getWidth()), juce::jmax (1, component.getHeight()),
                       true);
    juce::Graphics g (image);
    component.paintEntireComponent (g, true);
    return image;
}
}
