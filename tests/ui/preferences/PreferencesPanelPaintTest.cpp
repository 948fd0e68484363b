#include "PanelRig.h"

#include "support/UiEvents.h"
#include "ui/preferences/XYGuide.h"

#include <gtest/gtest.h>

using namespace zund;
using test::PanelRig;

namespace
{
// The guide's frame point in the panel, where the panel draws it.
juce::Point<int> guidePoint (float x, float y)
{
    const juce::Rectangle<float> area { 788.0f, 580.0f, 120.0f, 75.0f };
    return { (int) (area.getX() + x * area.getWidth() / XYGuideFrame::width),
             (int) (area.getY() + y * area.getHeight() / XYGuideFrame::height) };
}

int countPixels (const juce::Image& image, juce::Rectangle<int> area, std::function<bool (juce::Colour)> matches)
{
    int count = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            count += matches (image.getPixelAt (x, y)) ? 1 : 0;
    return count;
}
}

TEST (PreferencesPanel, GuideShowsAGoodAndABadTraceUnderTheViews)
{
    PanelRig rig;
    const auto image = test::snapshotOf (*rig.panel);
    ASSERT_EQ (image.getWidth(), PreferencesComponent::panelWidth);
    ASSERT_EQ (image.getHeight(), PreferencesComponent::panelHeight);

    for (const auto square : { XYGuideFrame::goodSquare(), XYGuideFrame::badSquare() })
    {
        const auto corner = guidePoint (square.getX() + 3.0f, square.getY() + 3.0f);
        EXPECT_EQ (image.getPixelAt (corner.x, corner.y), juce::Colours::black);
        // A white trace inside the black square.
        const juce::Rectangle<int> inside (guidePoint (square.getX(), square.getY()),
                                           guidePoint (square.getRight(), square.getBottom()));
        EXPECT_GT (countPixels (image, inside, [] (juce::Colour c) { return c.getBrightness() > 0.9f; }), 40);
    }

    const auto captionArea = [] (juce::Rectangle<float> square) {
        return juce::Rectangle<int> (guidePoint (square.getX(), square.getBottom() + 2.0f),
                                     guidePoint (square.getRight(), XYGuideFrame::height));
    };
    const auto red = [] (juce::Colour c) { return c.getRed() > 200 && c.getGreen() < 90 && c.getBlue() < 90; };
    const auto dark = [] (juce::Colour c) { return c.getBrightness() < 0.3f; };
    EXPECT_GT (countPixels (image, captionArea (XYGuideFrame::badSquare()), red), 10);
    EXPECT_EQ (countPixels (image, captionArea (XYGuideFrame::goodSquare()), red), 0);
    EXPECT_GT (countPixels (image, captionArea (XYGuideFrame::goodSquare()), dark), 10);
    EXPECT_EQ (image.getPixelAt (760, 600), juce::Colours::white); // the panel beside the guide
}

TEST (PreferencesPanel, ControlsStayApartInsideThePanelAndTheirTextFits)
{
    PanelRig rig;
    const auto panelArea = rig.panel->getLocalBounds();
    std::vector<juce::Component*> controls;
    for (auto* child : rig.panel->getChildren())
    {
        EXPECT_TRUE (panelArea.contains (child->getBounds())) << child->getName();
        if (dynamic_cast<juce::GroupComponent*> (child) == nullptr)
            controls.push_back (child);
    }
    for (size_t i = 0; i < controls.size(); ++i)
        for (size_t j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE (controls[i]->getBounds().intersects (controls[j]->getBounds()))
                << controls[i]->getName() << " / " << controls[j]->getName() << " at "
                << controls[i]->getBounds().toString() << " and " << controls[j]->getBounds().toString();

    // Labels keep their font at full width on as many lines as their height holds.
    for (auto* child : rig.panel->getChildren())
    {
        if (auto* label = dynamic_cast<juce::Label*> (child))
        {
            const auto area = label->getBorderSize().subtractedFrom (label->getLocalBounds());
            const auto font = label->getFont();
            juce::GlyphArrangement glyphs;
            glyphs.addJustifiedText (font, label->getText(), 0.0f, 0.0f, (float) area.getWidth(),
                                     juce::Justification::left);
            EXPECT_LE (glyphs.getBoundingBox (0, -1, true).getHeight(), (float) area.getHeight() + 1.0f)
                << label->getText() << " is " << font.getStringWidthFloat (label->getText()) << " wide in "
                << area.getWidth() << " (" << font.getTypefaceName() << ")";
            EXPECT_LE (glyphs.getBoundingBox (0, -1, true).getWidth(), (float) area.getWidth()) << label->getText();
        }
    }
}
