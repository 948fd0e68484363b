// The crossfader panel's grids and crossfader, through the dispatcher, as the
// engine plays them: a tone on channel 1 (THRU on deck 1) on the main pair.

#include "app/dispatch/DispatchRig.h"
#include "support/UiEvents.h"
#include "ui/panels/ControlIds.h"
#include "ui/panels/CrossfaderContainer.h"

#include <gtest/gtest.h>

using namespace zund;
using namespace zund::test;

namespace
{
class CrossfaderPanelSound : public ::testing::Test
{
protected:
    void SetUp() override
    {
        panel.setSize (1022, CrossfaderContainer::defaultHeight);
        rig.click (ControlIds::of (0, ControlIds::thru));
        unity = rig.settledLevel();
        ASSERT_GT (unity, 0.1f);
    }

    /** A click on cell `index` of a one-row grid. */
    void clickCell (SelectorGrid& grid, int index)
    {
        const int cellWidth = grid.getWidth() / grid.getNumColumns();
        grid.mouseDown (mouseEventAt (grid, { cellWidth * index + cellWidth / 2, grid.getHeight() / 2 }));
        grid.mouseUp (mouseEventAt (grid, { cellWidth * index + cellWidth / 2, grid.getHeight() / 2 }));
    }

    float gainAt (float crossfaderPosition)
    {
        panel.getCrossfader().setValue (crossfaderPosition, true);
        return rig.settledLevel() / unity;
    }

    DispatchRig rig;
    CrossfaderContainer panel;
    float unity = 0.0f;
};
}

// On "THRU" a side fades nothing; channel 1 on side A fades out towards B;
// on side B, towards A; on both sides, never.
TEST_F (CrossfaderPanelSound, TheSideGridsChooseTheChannelThatFades)
{
    EXPECT_NEAR (gainAt (1.0f), 1.0f, 0.01f) << "both sides on THRU";

    clickCell (panel.getSideAGrid(), 0);
    EXPECT_LT (gainAt (1.0f), 0.001f);
    EXPECT_NEAR (gainAt (0.0f), 1.0f, 0.01f);

    clickCell (panel.getSideAGrid(), CrossfaderContainer::thruCell);
    clickCell (panel.getSideBGrid(), 0);
    EXPECT_LT (gainAt (0.0f), 0.001f);
    EXPECT_NEAR (gainAt (1.0f), 1.0f, 0.01f);

    clickCell (panel.getSideAGrid(), 0);
    EXPECT_NEAR (gainAt (0.0f), 1.0f, 0.01f) << "the same channel on both sides";
}

// Most of the way to B, side A keeps a trace on "SLOW", a fifth on "MID" and
// nearly all of it on "FAST".
TEST_F (CrossfaderPanelSound, TheCurveGridChoosesHowSideAFades)
{
    clickCell (panel.getSideAGrid(), 0);
    struct Case
    {
        int cell;
        float low, high;
    };
    for (const auto& c : { Case { 0, 0.05f, 0.12f }, Case { 1, 0.17f, 0.25f }, Case { 2, 0.9f, 0.98f } })
    {
        SCOPED_TRACE (panel.getCurveGrid().getCellTexts()[c.cell]);
        clickCell (panel.getCurveGrid(), c.cell);
        const float gain = gainAt (0.85f);
        EXPECT_GE (gain, c.low);
        EXPECT_LE (gain, c.high);
    }
}
