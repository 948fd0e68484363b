#include "MasterStripRig.h"
#include "support/UiEvents.h"
#include "ui/master/MainChannel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

using namespace zund;
using namespace zund::test;

namespace
{
std::vector<int> masterIds()
{
    std::vector<int> ids { 500, 501, 502, 503, 464, 720, 721, 722, 730, 731, 732 };
    for (int id = 435; id <= 451; ++id)
        ids.push_back (id);
    for (int id = 700; id <= 707; ++id)
        ids.push_back (id);
    return ids;
}

class MasterStrip : public ::testing::Test
{
protected:
    MasterStripHostStandIn host;
    std::unique_ptr<MainChannel> strip = std::make_unique<MainChannel> (&host);
};
}

TEST_F (MasterStrip, Its36ControlIdsNameDistinctWidgetsOfTheStrip)
{
    const auto ids = masterIds();
    ASSERT_EQ (ids.size(), 36u);
    std::set<ExComponent*> widgets;
    for (int id : ids)
    {
        auto* widget = ExComponent::getComponentByID (id);
        ASSERT_NE (widget, nullptr) << id;
        EXPECT_TRUE (strip->isParentOf (widget)) << id;
        EXPECT_EQ (widget->getID(), id);
        widgets.insert (widget);
    }
    EXPECT_EQ (widgets.size(), ids.size());

    auto& loop = strip->getLoopSamplerContainer();
    EXPECT_FALSE (loop.getCue1Button().isVisible()) << "one cue switch on the master";
    EXPECT_EQ (loop.getCue2Button().getID(), 436);
    EXPECT_EQ (loop.getCue2Button().getY(), 20);
    EXPECT_EQ (loop.getCue2Button().getBottom(), 54) << "over both rows";
}

TEST_F (MasterStrip, StacksItsPanelsTopToBottomAtTheFilterWidth)
{
    const std::vector<juce::Component*> order { &strip->getUpperContainer(), &strip->getLoopSamplerContainer(),
                                                &strip->getFilterContainer(), &strip->getEqContainer(),
                                                &strip->getFXContainer() };
    int y = 0;
    for (auto* panel : order)
    {
        EXPECT_EQ (panel->getPosition(), juce::Point<int> (0, y)) << panel->getName();
        EXPECT_LE (panel->getRight(), strip->getWidth()) << panel->getName();
        y = panel->getBottom();
    }
    EXPECT_EQ (strip->getWidth(), strip->getFilterContainer().getWidth());
    EXPECT_EQ (strip->getHeight(), y);
    EXPECT_LE (strip->getHeight(), 730 - 20) << "fits the smallest window";

    strip->setBounds (800, 0, 300, 900); // the main component places it at its own size
    EXPECT_EQ (strip->getWidth(), strip->getFilterContainer().getWidth());
    EXPECT_EQ (strip->getHeight(), y);
}

TEST_F (MasterStrip, TheMetersShowTheMainAndPhonesBuses)
{
    // A tone through channel 0 to the main bus; nothing is cued, so the phones carry only the main mix.
    auto& engine = *host.engine;
    engine.setDeckInput (0, 0);
    engine.setThru (0, true);
    engine.setMainOutput (0);
    engine.setCueMix (1.0f); // the phones hear the cue bus only
    float in[256], out[2][256];
    const float* inputs[] = { in, in };
    float* outputs[] = { out[0], out[1] };
    for (int block = 0; block < 40; ++block)
    {
        for (int i = 0; i < 256; ++i)
            in[i] = 0.5f * (float) std::sin ((block * 256 + i) * 0.0628);
        engine.processBlock (inputs, 2, outputs, 2, 256, false);
    }

    auto& upper = strip->getUpperContainer();
    upper.updateMeters();
    EXPECT_NEAR (upper.getMainVolume().getLevel (2), engine.getMainHold (0), 1.0e-6f);
    EXPECT_GT (upper.getMainVolume().getLevel (2), 0.3f);
    EXPECT_NEAR (upper.getMainVolume().getLevel (1), engine.getMainPeak (1), 1.0e-6f);
    EXPECT_LT (upper.getPhonesVolume().getLevel (0), 1.0e-6f);
    EXPECT_LT (upper.getPhonesVolume().getLevel (3), 1.0e-6f);
}

TEST_F (MasterStrip, TheTempoTakesTheBpmColour)
{
    strip->bpmColour = juce::Colour (0xff12ab34);
    strip->updateColours();
    strip->getFXContainer().updateTempo();
    const auto image = snapshotOf (strip->getFXContainer());
    bool found = false;
    for (int y = 298; y < 314 && ! found; ++y)
        for (int x = 55; x < 151 && ! found; ++x)
            found = image.getPixelAt (x, y).getGreen() > 0x90 && image.getPixelAt (x, y).getRed() < 0x30;
    EXPECT_TRUE (found) << "the tempo is drawn in the BPM colour";
}

// Every caption of the strip can be read in its box: the framework squeezes a
// line to 70 % of its width at most and wraps it onto as many lines as the box
// holds, and a capital letter is about 70 % of the font's height.
TEST_F (MasterStrip, EveryCaptionFitsItsBox)
{
    constexpr float squeeze = 0.7f;
    std::function<void (juce::Component&)> check = [&] (juce::Component& parent) {
        for (auto* child : parent.getChildren())
        {
            if (auto* label = dynamic_cast<juce::Label*> (child))
            {
                const auto area = label->getBorderSize().subtractedFrom (label->getLocalBounds()).toFloat();
                const auto font = label->getFont();
                const auto text = label->getText().trim();
                const float lines = juce::jmax (1.0f, std::floor (area.getHeight() / font.getHeight()));
                EXPECT_LE (font.getHeight() * squeeze, area.getHeight()) << text;
                EXPECT_LE (font.getStringWidthFloat (text) * squeeze, area.getWidth() * lines) << text;
            }
            check (*child);
        }
    };
    check (*strip);
}
