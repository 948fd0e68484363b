#include "support/UiEvents.h"
#include "ui/panels/ControlIds.h"
#include "ui/panels/CrossfaderContainer.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zund;
using namespace zund::test;

namespace
{
struct IdRecorder : public ExComponentListener
{
    IdRecorder() { ExComponent::setDefaultListener (this); }
    ~IdRecorder() { ExComponent::setDefaultListener (nullptr); }
    void exComponentValueChanged (ExComponent* widget) override { ids.push_back (widget->getID()); }
    std::vector<int> ids;
};
}

// A fresh panel: both sides on "THRU", the "MID" curve, the crossfader in the
// middle, and nothing told to the dispatcher (the engine starts that way).
TEST (CrossfaderPanel, StartsOnThruAndMidWithoutTellingTheDispatcher)
{
    IdRecorder dispatcher;
    CrossfaderContainer panel;
    EXPECT_TRUE (dispatcher.ids.empty());
    EXPECT_EQ (panel.getTitle(), "Crossfader");

    for (auto* side : { &panel.getSideAGrid(), &panel.getSideBGrid() })
    {
        EXPECT_EQ (side->getCellTexts(), juce::StringArray ({ "1", "2", "3", "4", "THRU" }));
        EXPECT_EQ (side->getSelectedIndex(), 4);
        EXPECT_EQ (side->getValue(), 1.0f);
    }
    EXPECT_EQ (panel.getCurveGrid().getCellTexts(), juce::StringArray ({ "SLOW", "MID", "FAST" }));
    EXPECT_EQ (panel.getCurveGrid().getValue(), 0.5f);
    EXPECT_EQ (panel.getCrossfader().getValue(), 0.5f);

    EXPECT_EQ (ExComponent::getComponentByID (ControlIds::crossfaderSideA), &panel.getSideAGrid());
    EXPECT_EQ (ExComponent::getComponentByID (ControlIds::crossfaderSideB), &panel.getSideBGrid());
    EXPECT_EQ (ExComponent::getComponentByID (ControlIds::crossfaderCurve), &panel.getCurveGrid());
    EXPECT_EQ (ExComponent::getComponentByID (ControlIds::crossfader), &panel.getCrossfader());

    // A click on a side's cell reports that grid to the dispatcher.
    auto& sideB = panel.getSideBGrid();
    panel.setSize (1022, CrossfaderContainer::defaultHeight);
    sideB.mouseDown (mouseEventAt (sideB, { sideB.getWidth() * 3 / 10, sideB.getHeight() / 2 }));
    EXPECT_EQ (sideB.getSelectedIndex(), 1);
    EXPECT_EQ (dispatcher.ids, std::vector<int> { ControlIds::crossfaderSideB });
}

// From the smallest window to the widest, the row stays centred under the
// title bar in the order side A, crossfader, side B, curve, inside the panel.
TEST (CrossfaderPanel, TheRowIsCentredInOrderAtEveryWindowWidth)
{
    CrossfaderContainer panel;
    for (int width : { 1022, 1500, 1920 })
    {
        SCOPED_TRACE (width);
        panel.setSize (width, CrossfaderContainer::defaultHeight);
        const std::vector<juce::Component*> row { &panel.getSideAGrid(), &panel.getCrossfader(), &panel.getSideBGrid(),
                                                  &panel.getCurveGrid() };
        for (size_t i = 0; i < row.size(); ++i)
        {
            const auto bounds = row[i]->getBounds();
            EXPECT_TRUE (panel.getLocalBounds().withTrimmedTop (ModuleComponent::titleBarHeight).contains (bounds));
            if (i > 0)
            {
                EXPECT_LT (row[i - 1]->getRight(), bounds.getX());
            }
        }
        const int leftGap = panel.getSideAGrid().getX(), rightGap = width - panel.getCurveGrid().getRight();
        EXPECT_NEAR (leftGap, rightGap, 10);
    }
}
