#include "ui/widgets/KelButton.h"

namespace zund
{
KelButton::KelButton (int id, ExComponentListener* listener)
    : ExComponent (id, listener, true)
{
}

void KelButton::setValue (float newValue, bool notify)
{
    exchangeValue (valueOrDefault (newValue));
    if (notify)
        notifyListener();
    markDirty();
}

void KelButton::setImage (const juce::Image& image)
{
    strip = FilmStrip (image, numImageFrames);
    markDirty();
}

void KelButton::paint (juce::Graphics& g)
{
    if (strip.isUsable())
    {
        strip.drawFrame (g, (isPointerOver() ? 1 : 0) + (isOn() ? 2 : 0), getWidth(), getHeight());
        return;
    }

    const auto base = juce::Colour::greyLevel (isOn() ? 0.3f : 0.0f);
    drawButtonBox (g, base.brighter (0.5f), base, 0, 0, getWidth(), getHeight(), isPointerOver(), getText(), 13.0f,
                   juce::Font::plain);
}

void KelButton::mouseDown (const juce::MouseEvent& e)
{
    dispatchMouseDown (e);
    setValue (1.0f, true);
}

void KelButton::mouseUp (const juce::MouseEvent&)
{
    setValue (0.0f, true);
}
}
