// A crash in the middle of a set: the program is killed (SIGKILL, no chance to
// save at the end) a few seconds after the user set a cue point and added a
// case. Both must already be on the disk, and the next start must show them.

#include "app/flows/SongFlow.h"
#include "ui/panels/ControlIds.h"

#include <csignal>
#include <thread>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class CrashSafetyFlow : public test::SongFlow
{
protected:
    /** The first cue point "database.xml" holds for the song; -1 when none is set. */
    double storedCuePoint (const juce::File& song) const
    {
        if (const auto root = juce::XmlDocument::parse (getProgramFolder().getChildFile ("database.xml")))
            for (auto* record : root->getChildIterator())
                if (record->getStringAttribute ("filename") == song.getFullPathName())
                    return record->getDoubleAttribute ("cuePoint0", -1.0);
        return -1.0;
    }

    /** The names of the cases "TreeView.xml" holds. */
    juce::StringArray storedCases() const
    {
        juce::StringArray names;
        if (const auto root = juce::XmlDocument::parse (getProgramFolder().getChildFile ("TreeView.xml")))
            if (const auto* cases = root->getChildByName ("cases"))
                for (auto* c : cases->getChildIterator())
                    names.add (c->getStringAttribute ("name"));
        return names;
    }

    /** Right click on "Cases/Playlists", "Add Case" in its menu, the name typed. */
    void addCase (const juce::String& name)
    {
        const auto probe = browserProbe();
        const auto cases = probe->treeItem ("Cases/Playlists");
        ASSERT_TRUE (cases.has_value());
        input->click (window->id, cases->getX() + 20, cases->getCentreY(), 3);
        const auto menu = waitForOtherWindow();
        ASSERT_TRUE (menu.has_value()) << "no menu on a right click";
        input->click (menu->id, 12, 12); // its first item, "Add Case"
        std::this_thread::sleep_for (1s); // the name editor opens over the new case
        input->focus (window->id);
        ASSERT_TRUE (input->typeText (name.toStdString() + "\n"));
    }
};
}

TEST_F (CrashSafetyFlow, ACuePointAndACaseSurviveAKillAFewSecondsLater)
{
    const auto song = writeTrack ("song.wav", 100.0, { { 1.0, 440.0 } });
    writeLibrary ({ song });
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

    // The user sets cue point 1 where the song is, and adds a case.
    clickOn (ControlIds::of (0, ControlIds::firstCueSet));
    addCase ("Evening");

    // A few seconds later both are on the disk while the program runs.
    EXPECT_TRUE (test::waitUntil ([&] { return storedCuePoint (song) > 0.0 && storedCases().contains ("Evening"); }, 30s))
        << "cue point " << storedCuePoint (song) << ", cases: " << storedCases().joinIntoString (", ");
    ASSERT_EQ (::kill (program->getPid(), SIGKILL), 0);
    const auto killed = program->waitForExit (10s);
    ASSERT_TRUE (killed.has_value());
    EXPECT_EQ (*killed, 128 + SIGKILL);

    const double cue = storedCuePoint (song);
    EXPECT_GT (cue, 0.0);
    EXPECT_LT (cue, 0.5);
    EXPECT_TRUE (storedCases().contains ("Evening"));

    // The next start finds them, and keeps them through its own end.
    startProgram();
    ASSERT_TRUE (waitForWindow()) << "the start after the crash stopped (a report?)";
    const auto probe = browserProbe();
    probe->openTreeItem ("Cases/Playlists");
    EXPECT_TRUE (probe->treeItem ("Evening").has_value()) << "the case is not in the tree";
    const auto code = closeProgram();
    ASSERT_TRUE (code.has_value());
    EXPECT_EQ (*code, 0);
    EXPECT_DOUBLE_EQ (storedCuePoint (song), cue);
    EXPECT_TRUE (storedCases().contains ("Evening"));
}
