#include "ui/panels/ModuleComponent.h"

namespace zund
{
ModuleComponent::Colours ModuleComponent::colours;

namespace
{
juce::Array<ModuleComponent*>& livePanels()
{
    static juce::Array<ModuleComponent*> panels;
    return panels;
}

// The title's box is 12 pixels tall; a bold face of that height fills it.
constexpr float titleFontHeight = 12.0f;
}

ModuleComponent::ModuleComponent (const juce::String& titleText)
    : juce::Component (titleText),
      title (titleText)
{
    setOpaque (true);
    setBufferedToImage (true);
    livePanels().addIfNotAlreadyThere (this);
    colours = {};
}

ModuleComponent::~ModuleComponent()
{
    livePanels().removeFirstMatchingValue (this);
}

void ModuleComponent::repaintAll()
{
    for (auto* panel : livePanels())
        panel->repaint();
}

int ModuleComponent::getNumPanels() noexcept
{
    return livePanels().size();
}

void ModuleComponent::paint (juce::Graphics& g)
{
    const int w = getWidth(), h = getHeight();
    const auto bar = (float) titleBarHeight;

    g.setGradientFill (juce::ColourGradient::vertical (colours.bodyTop, bar, colours.bodyBottom, (float) h));
    g.fillRect (0, titleBarHeight, w, h - titleBarHeight);

    g.setGradientFill (juce::ColourGradient::vertical (colours.titleBarTop, 0.0f, colours.titleBarBottom, bar));
    g.fillRect (0, 0, w, titleBarHeight);

    g.setColour (juce::Colours::black);
    g.drawRect (getLocalBounds(), 1);

    g.setColour (colours.titleText);
    g.setFont (juce::Font (titleFontHeight, juce::Font::bold));
    g.drawText (title, 3, 2, w - 4, 12, juce::Justification::centredLeft, true);
}
}
