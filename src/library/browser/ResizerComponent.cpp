#include "library/browser/ResizerComponent.h"

#include "library/browser/ResizerComponentListener.h"

namespace zund
{
ResizerComponent::ResizerComponent()
{
    setMouseCursor (juce::MouseCursor::LeftRightResizeCursor);
}

void ResizerComponent::setLimits (int newMinX, int newMaxX) noexcept
{
    minX = newMinX;
    maxX = newMaxX;
}

void ResizerComponent::paint (juce::Graphics& g)
{
    const auto colour = dragging || hovered ? juce::Colour (0xffffffff) : juce::Colour (0xff808080);
    g.fillAll (colour.withAlpha (0.5f));
    g.setColour (juce::Colours::black);
    g.fillRect (0, 0, 1, getHeight());
    g.fillRect (getWidth() - 1, 0, 1, getHeight());
}

void ResizerComponent::mouseDown (const juce::MouseEvent&)
{
    dragStartX = getX();
    dragging = true;
}

void ResizerComponent::mouseDrag (const juce::MouseEvent& e)
{
    const int newX = juce::jlimit (minX, juce::jmax (minX, maxX), dragStartX + e.getDistanceFromDragStartX());
    setTopLeftPosition (newX, getY());
    if (listener != nullptr)
        listener->resizerMoved (this);
    repaint();
}

void ResizerComponent::mouseUp (const juce::MouseEvent&)
{
    dragging = false;
    repaint();
}

void ResizerComponent::mouseEnter (const juce::MouseEvent&)
{
    hovered = true;
    repaint();
}

void ResizerComponent::mouseExit (const juce::MouseEvent&)
{
    hovered = false;
    repaint();
}
}
