#include "ColourRig.h"

#include "support/UiEvents.h"
#include "ui/panels/ModuleComponent.h"
#include "ui/widgets/CuePointComponent.h"
#include "ui/widgets/LevelMeterSlider.h"

#include <gtest/gtest.h>

using namespace zund;
using namespace zund::test;

namespace
{
int countPixels (const juce::Image& image, juce::Rectangle<int> area, const std::function<bool (juce::Colour)>& test)
{
    int count = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            count += test (image.getPixelAt (x, y)) ? 1 : 0;
    return count;
}

int countExactly (const juce::Image& image, juce::Colour colour)
{
    return countPixels (image, image.getBounds(), [colour] (juce::Colour c) { return c == colour; });
}

bool isReddish (juce::Colour c)
{
    return c.getRed() > 150 && c.getGreen() < 90 && c.getBlue() < 90;
}
}

// What a user sees change after picking a scheme: a panel's body and title,
// a fader's cap and a cue marker, each once the class has repainted.
TEST (ColourSchemePaint, PanelsCapsAndMarkersShowTheLoadedColours)
{
    ColourRig rig;
    ModuleComponent panel ("Equalizer");
    panel.setSize (204, 80);
    LevelMeterSlider meter;
    meter.setSize (27, 60);
    meter.setValue (0.5f, false);
    CuePointComponent marker (0, nullptr);
    marker.setSize (16, 40);

    const juce::Colour green (0xff00c000), blue (0xff0000ff), yellowish (0xffe0e040);
    const juce::Rectangle<int> titleBox (3, 2, 200, 12);
    {
        const auto before = snapshotOf (panel);
        EXPECT_EQ (countPixels (before, titleBox, isReddish), 0);
        EXPECT_EQ (countExactly (before, green), 0);
        EXPECT_EQ (countExactly (snapshotOf (meter), blue), 0);
        EXPECT_EQ (countExactly (snapshotOf (marker), yellowish), 0);
    }

    ASSERT_TRUE (rig.selector.loadColourScheme (rig.writeScheme (
        "look.kcs", { { 2000, green.getARGB() }, { 2001, green.getARGB() }, { 2004, 0xffff0000 },
                      { 3000, blue.getARGB() }, { 4002, yellowish.getARGB() } })));
    ModuleComponent::repaintAll();
    LevelMeterSlider::rebuildAll();
    CuePointComponent::repaintAll();

    const auto after = snapshotOf (panel);
    EXPECT_EQ (after.getPixelAt (100, 50), green);
    EXPECT_GT (countPixels (after, titleBox, isReddish), 20) << "the title is drawn in the new colour";
    EXPECT_EQ (countPixels (after, { 3, 14, 200, 60 }, isReddish), 0) << "and nothing else is";
    EXPECT_GT (countExactly (snapshotOf (meter), blue), 10);
    EXPECT_GT (countExactly (snapshotOf (marker), yellowish), 10);
}
