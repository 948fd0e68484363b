// The wave display's cue buttons "1".."4" store where the song is playing
// now: in the song record and as the overview's marker.

#include "DispatchRig.h"
#include "support/UiEvents.h"
#include "ui/panels/ControlIds.h"

#include <gtest/gtest.h>

using namespace zund;

TEST (CueSet, ACueButtonStoresThePlayPositionOfThatMoment)
{
    test::DispatchRig rig;
    ASSERT_TRUE (rig.loadPlayingTrack (1));

    // Two cues at two moments of a 20 s song: about 3 s and 7 s in.
    struct Cue
    {
        int index;
        int samplesBefore;
    };
    for (const auto cue : { Cue { 1, 44100 * 4 }, Cue { 3, 44100 * 4 } })
    {
        rig.process (cue.samplesBefore);
        const double now = rig.engine().getPositionFraction (1);
        ASSERT_GT (now, 0.1);
        rig.click (ControlIds::of (1, ControlIds::firstCueSet + cue.index));
        test::pumpMessages (50);

        ASSERT_FALSE (rig.recordCues.empty());
        EXPECT_EQ (rig.recordCues.back().channel, 1);
        EXPECT_EQ (rig.recordCues.back().index, cue.index);
        EXPECT_NEAR (rig.recordCues.back().position, now, 1.0e-4) << "cue " << cue.index + 1;
        ASSERT_FALSE (rig.overviewCues.empty());
        EXPECT_EQ (rig.overviewCues.back().index, cue.index);
        EXPECT_NEAR (rig.overviewCues.back().position, now, 1.0e-4) << "cue " << cue.index + 1;
    }
    EXPECT_GT (rig.recordCues.back().position, rig.recordCues.front().position + 0.15f);
}
