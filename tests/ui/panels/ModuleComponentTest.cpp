#include "support/UiEvents.h"
#include "ui/panels/ModuleComponent.h"

#include <gtest/gtest.h>

using namespace zund;
using namespace zund::test;

namespace
{
bool hasPixelBrighterThan (const juce::Image& image, juce::Rectangle<int> area, float brightness)
{
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt (x, y).getPerceivedBrightness() > brightness)
                return true;
    return false;
}

struct ModuleColoursRestorer
{
    ~ModuleColoursRestorer() { ModuleComponent::colours = {}; }
};
}

TEST (ModuleComponentLook, TitleBarOverBodyWithOutlineAndLightTitle)
{
    ModuleComponent panel ("Filter");
    panel.setSize (204, 62);
    const auto image = snapshotOf (panel);

    EXPECT_EQ (image.getPixelAt (0, 30), juce::Colours::black);
    EXPECT_EQ (image.getPixelAt (203, 61), juce::Colours::black);
    EXPECT_EQ (image.getPixelAt (190, 7), juce::Colour (0xff232323));
    EXPECT_EQ (image.getPixelAt (100, 40), juce::Colour (0xff303030));
    // The title text sits left in the bar and nowhere else.
    EXPECT_TRUE (hasPixelBrighterThan (image, { 3, 2, 40, 12 }, 0.6f));
    EXPECT_FALSE (hasPixelBrighterThan (image, { 60, 1, 140, 12 }, 0.3f));
}

// Buffered panels keep their image until they are told to repaint: a scheme
// change shows only after repaintAll, on every panel.
TEST (ModuleComponentLook, RepaintAllShowsNewColoursOnEveryPanel)
{
    ModuleColoursRestorer restore;
    juce::Component surface;
    surface.setSize (410, 62);
    ModuleComponent left ("Filter"), right ("Equalizer");
    left.setBounds (0, 0, 204, 62);
    right.setBounds (206, 0, 204, 62);
    surface.addAndMakeVisible (left);
    surface.addAndMakeVisible (right);

    EXPECT_EQ (snapshotOf (surface).getPixelAt (100, 40), juce::Colour (0xff303030));

    ModuleComponent::colours.bodyTop = ModuleComponent::colours.bodyBottom = juce::Colour (0xff106010);
    ModuleComponent::colours.titleBarTop = ModuleComponent::colours.titleBarBottom = juce::Colour (0xff601010);
    EXPECT_EQ (snapshotOf (surface).getPixelAt (100, 40), juce::Colour (0xff303030)) << "the cached image stays";

    ModuleComponent::repaintAll();
    const auto image = snapshotOf (surface);
    for (int x : { 100, 306 })
    {
        EXPECT_EQ (image.getPixelAt (x, 40), juce::Colour (0xff106010));
        EXPECT_EQ (image.getPixelAt (x + 90, 7), juce::Colour (0xff601010));
    }
}
