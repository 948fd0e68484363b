#include "app/main/MainComponent.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"
#include "ui/channel/Channel.h"

#include <gtest/gtest.h>

using namespace zund;

// A cue button goes through the control dispatcher to the overview of its own
// channel: the marker moves to the play position (the start, with no track).
TEST (MainComponentViews, CueButtonMovesItsChannelsOverviewMarker)
{
    test::ScopedProgramFolder folder;
    MainComponent main (nullptr);
    auto* strip = main.getChannel (1);
    ASSERT_NE (strip, nullptr);
    auto& display = strip->getWaveDisplay();
    auto& overview = display.getOverview();
    ASSERT_EQ (overview.getCuePosition (2), 0.5f);

    auto& button = display.getCueButton (2);
    button.mouseDown (test::mouseEventAt (button, { 3, 3 }));
    button.mouseUp (test::mouseEventAt (button, { 3, 3 }));
    EXPECT_EQ (overview.getCuePosition (2), 0.0f);
    EXPECT_EQ (main.getOverviewCuePosition (1, 2), 0.0f);
    EXPECT_EQ (main.getChannel (0)->getWaveDisplay().getOverview().getCuePosition (2), 0.5f)
        << "other channels keep theirs";
}
