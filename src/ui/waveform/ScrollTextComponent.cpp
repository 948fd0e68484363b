#include "ui/waveform/ScrollTextComponent.h"

#include <cmath>
#include <utility>

namespace zund
{
namespace
{
const char* const separator = "  ";

int widthOf (const juce::Font& font, const juce::String& s)
{
    // Rounded up, so that the last glyph is never cut off the image.
    return (int) std::ceil (font.getStringWidthFloat (s));
}
}

ScrollTextComponent::ScrollTextComponent()
{
    font.setBold (true);
}

ScrollTextComponent::~ScrollTextComponent()
{
    stopTimer();
}

void ScrollTextComponent::setText (const juce::String& newText)
{
    if (newText != text)
        rebuild (newText);
}

juce::String ScrollTextComponent::getText() const
{
    return text;
}

void ScrollTextComponent::setPaused (bool shouldBePaused)
{
    paused = shouldBePaused;
}

void ScrollTextComponent::setColours (juce::Colour background, juce::Colour shadow, juce::Colour newTextColour)
{
    backgroundColour = background;
    shadowColour = shadow;
    textColour = newTextColour;
    rebuild (text);
    repaint();
}

void ScrollTextComponent::resized()
{
    font.setHeight ((float) juce::jmax (1, getHeight() - 2));
    rebuild (text);
}

void ScrollTextComponent::rebuild (const juce::String& newText)
{
    setVisible (newText.isNotEmpty());

    const juce::ScopedLock sl (lock);
    offset = 0;
    text = newText;

    const int width = getWidth();
    const int height = juce::jmax (1, getHeight());
    fits = font.getStringWidthFloat (text) < (float) width;

    // Enough padded copies to cover the view while it moves by one copy. Each
    // copy starts on a whole pixel, so the jump back by one copy shows exactly
    // the same pixels.
    const auto padded = separator + text;
    const int padWidth = juce::jmax (1, widthOf (font, padded));
    const int copies = fits ? 1 : width * 2 / padWidth + 2;
    const auto& copyText = fits ? text : padded;
    const int copyWidth = fits ? widthOf (font, text) : padWidth;
    wrapLimit = -padWidth;

    // A text that fits never moves: no ticks for it.
    if (fits)
        stopTimer();
    else if (! isTimerRunning())
        startTimer (scrollIntervalMs);

    const int imageWidth = juce::jmax (1, copies * copyWidth);
    image = juce::Image (juce::Image::ARGB, imageWidth, height, true);

    juce::Graphics g (image);
    g.fillAll (backgroundColour);
    g.setFont (font);
    for (auto [colour, y] : { std::pair (shadowColour, 1), std::pair (textColour, 0) })
    {
        g.setColour (colour);
        for (int i = 0; i < copies; ++i)
            g.drawText (copyText, i * copyWidth, y, imageWidth - i * copyWidth, height,
                        juce::Justification::centredLeft, false);
    }
}

void ScrollTextComponent::timerCallback()
{
    if (paused)
        return;

    {
        const juce::ScopedLock sl (lock);
        if (--offset <= wrapLimit)
            offset = 0;
    }

    // A text that fits never moves.
    if (! fits)
        repaint();
}

void ScrollTextComponent::paint (juce::Graphics& g)
{
    const juce::ScopedLock sl (lock);
    if (image.isNull())
        return;

    if (fits)
        g.drawImageAt (image, (getWidth() - image.getWidth()) / 2, 0);
    else
        g.drawImage (image, 0, 0, getWidth(), getHeight(), -offset, 0, getWidth(), getHeight());
}

void ScrollTextComponent::mouseDown (const juce::MouseEvent& e)
{
    if (auto* parent = getParentComponent())
        parent->mouseDown (e.getEventRelativeTo (parent));
}
}
