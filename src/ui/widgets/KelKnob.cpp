#include "ui/widgets/KelKnob.h"

namespace zund
{
namespace
{
FilmStrip& knobStrip()
{
    static FilmStrip strip;
    return strip;
}

constexpr float degreesToRadians = 0.017452778f;
}

KelKnob::KelKnob()
    : ExComponent (0, nullptr, true)
{
    knobStrip() = {};
}

KelKnob::~KelKnob()
{
    stopTimer();
}

void KelKnob::setValue (float newValue, bool notify)
{
    newValue = juce::jlimit (0.0f, 1.0f, valueOrDefault (newValue));
    const float old = exchangeValue (newValue);
    if (notify)
        notifyListener();
    if (old != newValue)
        markDirty();
}

void KelKnob::setFilmStrip (const juce::Image& image, int numFrames)
{
    knobStrip() = FilmStrip (image, numFrames);
}

const FilmStrip& KelKnob::getFilmStrip() noexcept
{
    return knobStrip();
}

void KelKnob::setKnobEnabled (bool enabled)
{
    setMouseCursor (enabled ? juce::MouseCursor::PointingHandCursor : juce::MouseCursor::NormalCursor);
    setEnabled (enabled);
    markDirty();
}

void KelKnob::setPixelsPerRange (float pixels) noexcept
{
    pixelsPerRange = pixels > 0.0f ? pixels : defaultPixelsPerRange;
    valuePerPixel = 1.0f / pixelsPerRange;
}

void KelKnob::paint (juce::Graphics& g)
{
    const float opacity = isEnabled() ? 1.0f : 0.5f;
    const auto& strip = knobStrip();
    if (strip.isUsable())
    {
        g.setOpacity (opacity);
        strip.drawFrame (g, (int) ((float) (strip.getNumFrames() - 1) * getValue()), strip.getWidth(),
                         strip.getFrameHeight());
        return;
    }

    const float w = (float) getWidth(), h = (float) getHeight();
    const juce::Rectangle<float> disc (2.0f, 2.0f, w - 4.0f, h - 4.0f);
    g.setColour ((isPointerOver() ? juce::Colours::white : juce::Colour (0xffffff00)).withMultipliedAlpha (opacity));
    g.fillEllipse (disc);
    g.setColour (juce::Colours::black.withMultipliedAlpha (opacity));
    g.drawEllipse (disc, 2.0f);

    const float angle = (225.0f - 270.0f * getValue()) * degreesToRadians;
    g.drawLine (w / 2.0f, h / 2.0f, w / 2.0f + std::cos (angle) * (w - 4.0f) / 2.0f,
                h / 2.0f - std::sin (angle) * (h - 4.0f) / 2.0f, 2.0f);
}

void KelKnob::resized()
{
    horizontal = getWidth() > getHeight();
}

void KelKnob::mouseDown (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    const auto screen = e.getScreenPosition();
    startScreenX = screen.x;
    startScreenY = screen.y;
    dispatchMouseDown (e);

    previousCtrl = false;
    startTimer (ctrlPollMs);
    e.source.enableUnboundedMouseMovement (true, false);

    dragging = true;
    lastPosition = horizontal ? e.x : e.y;
    repaint();
}

void KelKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    const int position = horizontal ? e.x : e.y;
    float delta = (float) (horizontal ? position - lastPosition : lastPosition - position);
    lastPosition = position;
    if (ctrlHeld)
        return;

    delta *= valuePerPixel;
    if (e.mods.isShiftDown())
        delta *= 0.2f;

    const float old = getValue();
    const float next = juce::jlimit (0.0f, 1.0f, old + delta);
    if (next != old)
        setValue (next, true);
    repaint(); // the mouse path paints at once
}

void KelKnob::mouseUp (const juce::MouseEvent& e)
{
    stopTimer();
    dragging = false;
    repaint();
    e.source.enableUnboundedMouseMovement (false);

    // Only a widget on screen has a pointer to put back.
    if (isEnabled() && isShowing())
    {
        auto source = e.source;
        source.setScreenPosition (getPointerReturnPosition().toFloat());
    }
}

juce::Point<int> KelKnob::getPointerReturnPosition() const
{
    return getDragStartScreenPosition();
}

void KelKnob::timerCallback()
{
    // The keyboard part of the real-time modifier state is kept by the window's
    // key events; reading it here needs no round trip to the display server.
    ctrlHeld = juce::ModifierKeys::currentModifiers.isCtrlDown();
    if (ctrlHeld && ! previousCtrl && dragging)
    {
        resetToDefault (true);
        markDirty();
    }
    previousCtrl = ctrlHeld;
}
}
