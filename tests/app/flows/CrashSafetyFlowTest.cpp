// A crash in the middle of a set: the program is killed (SIGKILL, no chance to
// save at the end) a few seconds after the user set a cue point and put a song
// into a case. Both must already be on the disk, and the next start must show
// them.

#include "app/flows/LibraryFlow.h"
#include "ui/panels/ControlIds.h"

#include <csignal>
#include <thread>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class CrashSafetyFlow : public test::LibraryFlow
{
};
}

TEST_F (CrashSafetyFlow, ACuePointAndACaseSurviveAKillAFewSecondsLater)
{
    const auto song = writeTrack ("song.wav", 100.0, { { 1.0, 440.0 } });
    writeLibraryWithACase ({ song });
    writeMixerPreferences (2, { 100, 50, 1400, 1000 });

    startProgram();
    ASSERT_TRUE (waitForWindow());
    ASSERT_TRUE (waitForProgramPorts());
    ASSERT_TRUE (connectDeck (0, 1));
    ASSERT_TRUE (listenTo (1, 0));
    jack->source (0).playTimecode (0.0);
    loadSong (song, 0);
    EXPECT_GT (onMain (recordUntilHeard (440.0), 440.0), 0.05) << "the song does not play";
    std::this_thread::sleep_for (2s);

    // The user sets cue point 1 where the song is, and puts the song into a case.
    clickOn (ControlIds::of (0, ControlIds::firstCueSet));
    dropSongOnCase (song, "Set");

    // A few seconds later both are on the disk while the program runs.
    const juce::StringArray inTheCase (song.getFullPathName());
    EXPECT_TRUE (test::waitUntil ([&] { return storedCuePoint (song) > 0.0 && storedCase ("Set") == inTheCase; }, 30s))
        << "cue point " << storedCuePoint (song) << ", case: " << storedCase ("Set").joinIntoString (", ");
    ASSERT_EQ (::kill (program->getPid(), SIGKILL), 0);
    const auto killed = program->waitForExit (10s);
    ASSERT_TRUE (killed.has_value());
    EXPECT_EQ (*killed, 128 + SIGKILL);

    const double cue = storedCuePoint (song);
    EXPECT_GT (cue, 0.0);
    EXPECT_LT (cue, 0.5);
    EXPECT_EQ (storedCase ("Set"), inTheCase);

    // The next start finds them, and keeps them through its own end.
    startProgram();
    ASSERT_TRUE (waitForWindow()) << "the start after the crash stopped (a report?)";
    {
        const auto probe = browserProbe();
        const auto cases = probe->treeItem ("Cases/Playlists");
        ASSERT_TRUE (cases.has_value());
        input->doubleClick (window->id, cases->getX() + 20, cases->getCentreY());
        probe->openTreeItem ("Cases/Playlists");
        const auto set = probe->treeItem ("Set");
        ASSERT_TRUE (set.has_value());
        input->click (window->id, set->getX() + 20, set->getCentreY());
        EXPECT_EQ (countShownRows (*probe), 1) << "the case shows its song";
    }
    const auto code = closeProgram();
    ASSERT_TRUE (code.has_value());
    EXPECT_EQ (*code, 0);
    EXPECT_DOUBLE_EQ (storedCuePoint (song), cue);
    EXPECT_EQ (storedCase ("Set"), inTheCase);
}
