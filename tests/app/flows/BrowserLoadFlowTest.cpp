// From the browser onto the mixer: a song chosen in the song folder plays on
// the channel the user names, under the timecode of its deck, and the
// crossfader takes it away again.

#include "app/flows/SongFlow.h"
#include "ui/panels/ControlIds.h"

using namespace zund;

namespace
{
class BrowserLoadFlow : public test::SongFlow
{
};

constexpr double firstTone = 440.0, secondTone = 1000.0;
}

TEST_F (BrowserLoadFlow, TheChosenSongsPlayOnTheirChannelsAndTheCrossfaderOnBLeavesTheSecond)
{
    const auto first = writeToneTrack ("a-440.wav", 60.0, firstTone);
    const auto second = writeToneTrack ("b-1000.wav", 60.0, secondTone);
    writeLibrary ({ first, second });
    writeMixerPreferences (2, { 100, 50, 1400, 1000 });

    startProgram();
    ASSERT_TRUE (waitForWindow());
    ASSERT_TRUE (waitForProgramPorts());
    ASSERT_TRUE (connectDeck (0, 1) && connectDeck (1, 2));
    ASSERT_TRUE (listenTo (1, 0));
    jack->source (0).playTimecode (0.0);
    jack->source (1).playTimecode (0.0);

    // Enter, then 1: channel 1 loads the song and plays it at the record's speed.
    loadSong (first, 0);
    const auto one = recordUntilHeard (firstTone);
    keepRecording (one, "channel1.wav");
    const double firstLevel = onMain (one, firstTone);
    ASSERT_GT (firstLevel, 0.05) << "the first song is not heard";
    EXPECT_NEAR (frequencyOnMain (one), firstTone, 0.01 * firstTone);

    loadSong (second, 1);
    const auto both = recordUntilHeard (secondTone);
    keepRecording (both, "both.wav");
    const double secondLevel = onMain (both, secondTone);
    ASSERT_GT (secondLevel, 0.05) << "the second song is not heard";
    EXPECT_NEAR (onMain (both, firstTone), firstLevel, 0.1 * firstLevel) << "channel 1 plays on";

    // Channel 1 on side A, channel 2 on side B, the crossfader over to B
    // (300 pixels of drag span its range).
    using namespace ControlIds;
    clickCell (crossfaderSideA, 0, 5);
    clickCell (crossfaderSideB, 1, 5);
    const auto fader = control (crossfader);
    input->drag (window->id, fader.getCentreX(), fader.getCentreY(), fader.getCentreX() + 320, fader.getCentreY());
    const auto faded = recordWhen ([&] (const test::Recording& r) { return onMain (r, firstTone) < 0.001 * firstLevel; });
    keepRecording (faded, "faded.wav");
    EXPECT_LT (onMain (faded, firstTone), 0.001 * firstLevel) << "the first song is still heard";
    EXPECT_GT (onMain (faded, secondTone), 0.5 * secondLevel);
    EXPECT_NEAR (frequencyOnMain (faded), secondTone, 0.01 * secondTone);

    EXPECT_EQ (closePlayingProgram(), 0);
}
