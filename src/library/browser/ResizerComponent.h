#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
class ResizerComponentListener;

/** The browser's vertical splitter: dragged left and right between its limits,
    it tells its listener where it went. */
class ResizerComponent : public juce::Component
{
public:
    ResizerComponent();

    void setListener (ResizerComponentListener* newListener) noexcept { listener = newListener; }
    void setLimits (int newMinX, int newMaxX) noexcept;
    int getMinX() const noexcept { return minX; }
    int getMaxX() const noexcept { return maxX; }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;

private:
    int minX = 0, maxX = 100;
    int dragStartX = 0;
    bool dragging = false, hovered = false;
    ResizerComponentListener* listener = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ResizerComponent)
};
}
