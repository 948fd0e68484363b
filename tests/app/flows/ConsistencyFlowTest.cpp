// The start-up check of the library: a song whose file went and a new file in
// the song folder are reported, the user repairs both, and the repaired
// library is what the next start finds.

#include "app/flows/SongFlow.h"
#include "app/harness/DialogProbe.h"

#include <thread>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class ConsistencyFlow : public test::SongFlow
{
protected:
    void clickReportButton (const test::WindowInfo& report, const juce::String& text)
    {
        const auto button = test::ReportProbe::button (text);
        ASSERT_TRUE (button.has_value()) << "the report has no button \"" << text << "\"";
        input->click (report.id, button->getCentreX(), button->getCentreY());
    }

    /** Whether the report's list shows a file, once that has held for a moment. */
    bool listShowsFiles (const test::WindowInfo& report, juce::Rectangle<int> list)
    {
        const auto inside = list.reduced (4);
        auto shows = [&] {
            const auto screen = screenNow();
            return screen && showsInk (*screen, inside, Ink::dark, report);
        };
        const bool first = shows();
        std::this_thread::sleep_for (std::chrono::milliseconds (500));
        return first && shows();
    }

    bool waitUntilListIsEmpty (const test::WindowInfo& report, juce::Rectangle<int> list)
    {
        return waitUntilStirring (report.id, [&] { return ! listShowsFiles (report, list); }, std::chrono::seconds (30));
    }

    /** The paths of the records in "database.xml". */
    juce::StringArray recordsInDatabaseFile() const
    {
        juce::StringArray paths;
        if (const auto root = juce::XmlDocument::parse (getProgramFolder().getChildFile ("database.xml")))
            for (auto* record : root->getChildIterator())
                paths.add (record->getStringAttribute ("filename"));
        return paths;
    }

    /** The user opens "Cases/Playlists" (a double click), so that "Current Playlist" shows. */
    void openCases()
    {
        const auto probe = browserProbe();
        const auto cases = probe->treeItem ("Cases/Playlists");
        ASSERT_TRUE (cases.has_value());
        input->doubleClick (window->id, cases->getX() + 20, cases->getCentreY());
    }

    /** Clicks the tree item and counts the rows the song table then shows. */
    int rowsShownFor (const juce::String& treeItemName, bool casesOpen = false)
    {
        const auto probe = browserProbe();
        if (casesOpen)
            probe->openTreeItem ("Cases/Playlists");
        const auto item = probe->treeItem (treeItemName);
        if (! item)
        {
            ADD_FAILURE() << "no tree item " << treeItemName;
            return -1;
        }
        input->click (window->id, item->getX() + 20, item->getCentreY());
        return countShownRows (*probe);
    }
};
}

TEST_F (ConsistencyFlow, TheReportsRepairsAreKeptAndTheNextStartFindsTheLibraryWhole)
{
    const auto kept = writeToneTrack ("kept.wav", 30.0, 440.0);
    const auto gone = writeToneTrack ("gone.wav", 30.0, 660.0);
    writeLibrary ({ kept, gone });
    ASSERT_TRUE (gone.deleteFile());
    const auto added = writeToneTrack ("added.wav", 30.0, 1000.0);
    writeMixerPreferences (2, { 100, 50, 1400, 1000 });

    // The report comes before the main window.
    startProgram();
    std::optional<test::WindowInfo> report;
    ASSERT_TRUE (test::waitUntil ([&] { return (report = x->findWindow ("Consistency Check Report")).has_value(); }, 60s))
        << "no report of the missing and the new file";
    ASSERT_TRUE (listShowsFiles (*report, test::ReportProbe::missingList()));
    ASSERT_TRUE (listShowsFiles (*report, test::ReportProbe::scanList()));
    clickReportButton (*report, "Remove these files from Database");
    EXPECT_TRUE (waitUntilListIsEmpty (*report, test::ReportProbe::missingList()));
    // The rescan runs behind its own progress window, then empties the list.
    clickReportButton (*report, "(Re)scan these files now!");
    EXPECT_TRUE (waitUntilListIsEmpty (*report, test::ReportProbe::scanList()));
    clickReportButton (*report, "--> Continue to Zund!");
    ASSERT_TRUE (waitForWindow());

    // The new song plays, and so joins the current playlist.
    ASSERT_TRUE (waitForProgramPorts());
    ASSERT_TRUE (connectDeck (0, 1));
    ASSERT_TRUE (listenTo (1, 0));
    jack->source (0).playTimecode (0.0);
    loadSong (added, 0);
    EXPECT_GT (onMain (recordUntilHeard (1000.0), 1000.0), 0.05) << "the rescanned song does not play";
    EXPECT_EQ (rowsShownFor ("Database"), 2);
    openCases();
    EXPECT_EQ (rowsShownFor ("Current Playlist", true), 1);
    EXPECT_EQ (closePlayingProgram(), 0);

    const auto records = recordsInDatabaseFile();
    EXPECT_TRUE (records.contains (added.getFullPathName())) << records.joinIntoString ("\n");
    EXPECT_TRUE (records.contains (kept.getFullPathName())) << records.joinIntoString ("\n");
    EXPECT_FALSE (records.contains (gone.getFullPathName())) << records.joinIntoString ("\n");

    // The next start has nothing to report; the database shows the same two
    // songs, the current playlist of the last run is empty.
    startProgram();
    ASSERT_TRUE (waitForWindow()) << "the start stopped; a report again? "
                                  << x->findWindow ("Consistency Check Report").has_value();
    EXPECT_EQ (rowsShownFor ("Database"), 2);
    openCases();
    EXPECT_EQ (rowsShownFor ("Current Playlist", true), 0);
    const auto code = closeProgram();
    ASSERT_TRUE (code.has_value());
    EXPECT_EQ (*code, 0);
}
