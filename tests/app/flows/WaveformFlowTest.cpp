// The waveform views of a channel: a song-table row dropped on channel 2's
// waveform plays there, and a drag across its overview moves the song.

#include "app/flows/SongFlow.h"

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class WaveformFlow : public test::SongFlow
{
};

// A song that says where it is: its first half one tone, then a short stretch
// of a second, then a third to the end.
constexpr double firstHalf = 440.0, justPastHalf = 1000.0, rest = 660.0;
}

TEST_F (WaveformFlow, ARowDroppedOnTheWaveformPlaysAndADragOnTheOverviewMovesToHalfTheSong)
{
    const auto song = writeTrack ("marked.wav", 100.0, { { 0.5, firstHalf }, { 0.55, justPastHalf }, { 1.0, rest } });
    writeLibrary ({ song });
    writeMixerPreferences (2, { 100, 50, 1400, 1000 });

    startProgram();
    ASSERT_TRUE (waitForWindow());
    ASSERT_TRUE (waitForProgramPorts());
    ASSERT_TRUE (connectDeck (1, 2));
    ASSERT_TRUE (listenTo (1, 0));
    jack->source (1).playTimecode (0.0);

    // The song's row, shown in the song folder, dragged onto channel 2's waveform.
    const auto row = selectSong (song);
    ASSERT_TRUE (row.has_value());
    const auto wave = layout().findView (test::LayoutProbe::View::scrollingWave, 1);
    ASSERT_TRUE (wave.has_value());
    input->drag (window->id, row->getX() + 40, row->getCentreY(), wave->getCentreX(), wave->getCentreY(), 30);

    const auto loaded = recordUntilHeard (firstHalf);
    keepRecording (loaded, "loaded.wav");
    EXPECT_GT (onMain (loaded, firstHalf), 0.05) << "the dropped song does not play on channel 2";
    EXPECT_NEAR (frequencyOnMain (loaded), firstHalf, 0.01 * firstHalf);

    // From a fifth of the way to the middle: the song goes on from its half.
    const auto overview = layout().findView (test::LayoutProbe::View::waveOverview, 1);
    ASSERT_TRUE (overview.has_value());
    const int y = overview->getCentreY();
    input->drag (window->id, overview->getX() + overview->getWidth() / 5, y, overview->getX() + overview->getWidth() / 2, y, 20);
    const auto moved = recordUntilHeard (justPastHalf);
    keepRecording (moved, "moved.wav");
    EXPECT_GT (onMain (moved, justPastHalf), 0.05) << "the song did not move to its half";
    EXPECT_LT (onMain (moved, firstHalf), 0.01);
    EXPECT_LT (onMain (moved, rest), 0.01);

    EXPECT_EQ (closePlayingProgram(), 0);
}
