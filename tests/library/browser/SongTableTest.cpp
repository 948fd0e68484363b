#include "ScriptedDialogs.h"
#include "SongTableRig.h"

#include "library/browser/ID3ViewComponentMouseListener.h"
#include "library/browser/SongTableColumns.h"
#include "support/OddNames.h"
#include "support/TagFixtures.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace zund;
using Col = SongTableColumns;

namespace
{
const juce::KeyPress deleteKey (juce::KeyPress::deleteKey);
const juce::KeyPress ctrlUp (juce::KeyPress::upKey, juce::ModifierKeys::ctrlModifier, 0);
const juce::KeyPress ctrlDown (juce::KeyPress::downKey, juce::ModifierKeys::ctrlModifier, 0);

// What the header's mouse listener hears of a left double click.
void doubleClickHeader (ID3ViewComponent& table)
{
    auto& header = table.getHeader();
    ID3ViewComponentMouseListener (table).mouseDoubleClick (
        test::mouseEventAt (header, { 10, 5 }, juce::ModifierKeys::leftButtonModifier, 2));
}
}

TEST (SongTable, aFolderShowsItsAudioFilesSortedWithTheirTags)
{
    test::SongTableRig rig;
    const auto folder = rig.temp.get();
    for (auto name : { "b.mp3", "A.wav", "c.txt", "d.OGG" })
        folder.getChildFile (name).create();
    folder.getChildFile ("e.mp3").createDirectory();
    rig.addRecord (folder.getChildFile ("b.mp3").getFullPathName(), "Moby", "98");

    rig.table->showFolder (folder);
    ASSERT_TRUE (rig.waitUntilIdle());

    EXPECT_EQ (rig.column (Col::filename), juce::StringArray ({ "A.wav", "b.mp3", "d.OGG" }));
    EXPECT_EQ (rig.column (Col::artist)[1], "Moby");
    EXPECT_EQ (rig.column (Col::bpm)[1], "98");
    EXPECT_EQ (rig.column (Col::time)[1], "3:20");
    EXPECT_EQ (rig.table->getFullPathOfRow (1), folder.getChildFile ("b.mp3").getFullPathName());
    EXPECT_EQ (rig.reportedCounts.getLast(), 3);
    EXPECT_EQ (rig.table->getSelectedRow (0), 0);

    rig.table->showFolder (folder.getChildFile ("nowhere"));
    ASSERT_TRUE (rig.waitUntilIdle());
    EXPECT_EQ (rig.table->getNumRows(), 0);
    EXPECT_EQ (rig.reportedCounts.getLast(), 0);
}

TEST (SongTable, aGoneFileKeepsTheTagsItsRecordHas)
{
    test::SongTableRig rig;
    rig.addRecord ("/gone/away.mp3", "Still Here", "120");
    juce::StringArray playlist { "/gone/away.mp3", "/gone/never-known.mp3" };

    ASSERT_TRUE (rig.showCase (playlist));

    EXPECT_EQ (rig.column (Col::artist), juce::StringArray ({ "Still Here", "" }));
    const juce::ScopedLock sl (rig.database->getLock());
    EXPECT_EQ (rig.database->getEntry (rig.database->findIndex ("/gone/away.mp3"))->artist, "Still Here");
    EXPECT_EQ (rig.database->findIndex ("/gone/never-known.mp3"), -1);
}

TEST (SongTable, deleteInACaseRemovesExactlyTheSelectedEntries)
{
    test::SongTableRig rig;
    juce::StringArray gig { "/m/a.mp3", "/m/b.mp3", "/m/a.mp3", "/m/c.mp3" };
    ASSERT_TRUE (rig.showCase (gig));

    rig.table->selectRow (2); // the second a.mp3
    EXPECT_TRUE (rig.table->keyPressed (deleteKey));
    EXPECT_EQ (gig, juce::StringArray ({ "/m/a.mp3", "/m/b.mp3", "/m/c.mp3" }));
    EXPECT_EQ (rig.fullPaths(), gig);
    EXPECT_EQ (rig.table->getSelectedRow (0), 2) << "the row that took the deleted one's place";

    juce::SparseSet<int> firstAndLast;
    firstAndLast.addRange ({ 0, 1 });
    firstAndLast.addRange ({ 2, 3 });
    rig.table->setSelectedRows (firstAndLast);
    rig.table->keyPressed (deleteKey);
    EXPECT_EQ (gig, juce::StringArray ({ "/m/b.mp3" }));
    EXPECT_EQ (rig.fullPaths(), gig);
    EXPECT_EQ (rig.reportedCounts.getLast(), 1);
}

TEST (SongTable, ctrlUpAndDownMoveARowInTheCaseItself)
{
    test::SongTableRig rig;
    juce::StringArray gig { "/m/a.mp3", "/m/b.mp3", "/m/c.mp3" };
    ASSERT_TRUE (rig.showCase (gig));

    rig.table->selectRow (0);
    rig.table->keyPressed (ctrlUp);
    EXPECT_EQ (gig[0], "/m/a.mp3") << "nothing above the first row";

    rig.table->keyPressed (ctrlDown);
    rig.table->keyPressed (ctrlDown);
    EXPECT_EQ (gig, juce::StringArray ({ "/m/b.mp3", "/m/c.mp3", "/m/a.mp3" }));
    EXPECT_EQ (rig.fullPaths(), gig);
    EXPECT_EQ (rig.table->getSelectedRow (0), 2);
}

TEST (SongTable, searchResultsNeverEditTheCaseBehindThem)
{
    test::SongTableRig rig;
    rig.addRecord ("/m/z.mp3", "Zed");
    rig.addRecord ("/m/y.mp3", "Why");
    juce::StringArray gig { "/m/y.mp3", "/m/z.mp3" };
    const auto before = gig;

    ASSERT_TRUE (rig.showCase (gig));
    EXPECT_TRUE (rig.table->isShowingCase (&gig));

    rig.table->setSearchWords ({ "m" });
    ASSERT_TRUE (rig.waitUntilIdle());
    ASSERT_EQ (rig.table->getNumRows(), 2);
    EXPECT_EQ (rig.column (Col::filename), juce::StringArray ({ "y.mp3", "z.mp3" })) << "search results are sorted";

    test::ScriptedDialogs dialogs ({ 0 });
    rig.table->selectRow (1);
    rig.table->keyPressed (deleteKey);
    rig.table->keyPressed (ctrlUp);
    doubleClickHeader (*rig.table);
    rig.waitUntilIdle();

    EXPECT_TRUE (dialogs.asked.isEmpty()) << "no case sort is offered over search results";
    EXPECT_EQ (gig, before);
    EXPECT_EQ (rig.table->getNumRows(), 2);
}

TEST (SongTable, aHeaderDoubleClickInACaseSortsItAndWritesTheOrder)
{
    test::SongTableRig rig;
    juce::StringArray gig { "/m/c.mp3", "/m/a.mp3", "/m/b.mp3" };
    ASSERT_TRUE (rig.showCase (gig));

    test::ScriptedDialogs dialogs ({ 0 }); // "Yes"
    doubleClickHeader (*rig.table);
    EXPECT_EQ (dialogs.asked, juce::StringArray ({ "Case/Current Playlist sort" }));
    test::pumpMessagesUntil ([&] { return gig[0] == "/m/a.mp3"; });
    ASSERT_TRUE (rig.waitUntilIdle());

    EXPECT_EQ (gig, juce::StringArray ({ "/m/a.mp3", "/m/b.mp3", "/m/c.mp3" }));
    EXPECT_EQ (rig.fullPaths(), gig);
}

TEST (SongTable, aModeSwitchInTheMiddleOfAFillShowsOnlyTheNewRows)
{
    test::SongTableRig rig;
    rig.addRecords (20000);
    juce::StringArray three { "/x/1.mp3", "/x/2.mp3", "/x/3.mp3" };

    rig.table->showDatabase();
    ASSERT_TRUE (rig.waitForRows (1));
    ASSERT_TRUE (rig.table->isWorking()) << "the switch must come during the fill";

    rig.reportedCounts.clear();
    ASSERT_TRUE (rig.showCase (three));
    test::pumpMessages (100);

    EXPECT_EQ (rig.fullPaths(), three);
    for (int count : rig.reportedCounts)
        EXPECT_LE (count, 3) << "a count of the old run";
    EXPECT_FALSE (rig.working);
}

TEST (SongTable, anEditDuringTheTagPassStillEndsWithEveryTagAndNoWorkingState)
{
    test::SongTableRig rig;
    auto bigCase = rig.addRecords (20000);

    rig.table->setKeepOrder (true);
    rig.table->showCase (&bigCase);
    ASSERT_TRUE (rig.waitForRows (20000));
    rig.table->selectRow (0);
    const bool wasWorking = rig.table->isWorking();
    rig.table->keyPressed (ctrlDown);

    ASSERT_TRUE (rig.waitUntilIdle());
    EXPECT_TRUE (wasWorking) << "the edit was meant to cut the tag pass short";
    EXPECT_FALSE (rig.working);
    EXPECT_EQ (bigCase[1], "/music/folder/song0.mp3");
    const auto artists = rig.column (Col::artist);
    EXPECT_EQ (artists[1], "artist 0");
    EXPECT_EQ (artists[0], "artist 1");
    EXPECT_EQ (artists[19999], "artist 19999");
    EXPECT_FALSE (artists.contains ({})) << "a row was left without its tags";
}

TEST (SongTable, theFillKeepsTheSongTheUserSelected)
{
    test::SongTableRig rig;
    rig.addRecords (20000);
    rig.table->showDatabase();
    ASSERT_TRUE (rig.waitForRows (100));
    ASSERT_TRUE (rig.table->isWorking());

    rig.table->selectRow (50); // as a click would
    const auto chosen = rig.table->getSelectedFile();
    ASSERT_TRUE (rig.waitUntilIdle());

    EXPECT_EQ (rig.table->getNumSelectedRows(), 1);
    EXPECT_EQ (rig.table->getSelectedFile(), chosen);
}

TEST (SongTable, appendsToTheShownPlaylistDuringAFillLeaveItsRowsAlone)
{
    // Run under ThreadSanitizer: the worker reads its own copy of the list.
    test::SongTableRig rig;
    auto playlist = rig.addRecords (3000);

    rig.table->setKeepOrder (true);
    rig.table->showCase (&playlist);
    int appended = 0;
    while (rig.table->isWorking() || appended < 500)
    {
        playlist.add ("/music/folder/song" + juce::String (appended++ % 3000) + ".mp3");
        test::pumpMessages (1);
    }
    ASSERT_TRUE (rig.waitUntilIdle());

    EXPECT_EQ (rig.table->getNumRows(), 3000);
    EXPECT_EQ (playlist.size(), 3000 + appended);
    EXPECT_EQ (rig.table->getFullPathOfRow (2999), "/music/folder/song2999.mp3");
}

TEST (SongTable, marksFollowTheRecordFlags)
{
    test::SongTableRig rig;
    const auto song = rig.temp.file ("song.wav");
    song.create();
    juce::StringArray list { song.getFullPathName() };
    ASSERT_TRUE (rig.showCase (list));

    rig.table->selectRow (0);
    rig.table->markSelectedRowsAddedToCase();
    rig.table->markSelectedRowLoaded();
    EXPECT_EQ (rig.table->getRowState (0), StringTableRow::loadedInChannel);

    rig.table->keyPressed (juce::KeyPress ('u'));
    EXPECT_EQ (rig.table->getRowState (0), StringTableRow::addedToCase) << "the loaded mark goes first";
    rig.table->keyPressed (juce::KeyPress ('U'));
    EXPECT_EQ (rig.table->getRowState (0), StringTableRow::normal);

    rig.table->markSelectedRowsAddedToCase();
    rig.table->showCase (&list); // a new fill shows what the record says
    ASSERT_TRUE (rig.waitUntilIdle());
    EXPECT_EQ (rig.table->getRowState (0), StringTableRow::addedToCase);
}

TEST (SongTable, theWheelStepsTheSelection)
{
    test::SongTableRig rig;
    juce::StringArray list { "/m/a.mp3", "/m/b.mp3", "/m/c.mp3" };
    ASSERT_TRUE (rig.showCase (list));

    juce::MouseWheelDetails down {};
    down.deltaY = -0.2f;
    auto up = down;
    up.deltaY = 0.2f;
    auto* rows = rig.table->getViewport()->getViewedComponent();
    const auto e = test::mouseEventAt (*rows, { 20, 20 });

    rows->mouseWheelMove (e, down);
    rows->mouseWheelMove (e, down);
    rows->mouseWheelMove (e, down);
    EXPECT_EQ (rig.table->getSelectedRow (0), 2);
    rows->mouseWheelMove (e, up);
    EXPECT_EQ (rig.table->getSelectedRow (0), 1);
    EXPECT_EQ (rig.table->getViewport()->getViewPositionY(), 0);
}

TEST (SongTable, aSongWhoseTagsCouldNotBeWrittenShowsInOrange)
{
    test::SongTableRig rig;
    rig.addRecord ("/m/a.mp3", "Not Written");
    rig.addRecord ("/m/b.mp3", "Written");
    {
        const juce::ScopedLock sl (rig.database->getLock());
        rig.database->getEntry (rig.database->findIndex ("/m/a.mp3"))->couldNotWriteMetadata = true;
    }
    juce::StringArray list { "/m/a.mp3", "/m/b.mp3" };
    ASSERT_TRUE (rig.showCase (list));
    rig.table->deselectAllRows();

    const auto image = test::snapshotOf (*rig.table);
    auto orangeIn = [&] (int row) {
        const auto area = rig.table->getRowPosition (row, true).getIntersection (image.getBounds());
        int count = 0;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (const auto c = image.getPixelAt (x, y); c.getRed() > 200 && c.getGreen() > 110 && c.getGreen() < 190 && c.getBlue() < 90)
                    ++count;
        return count;
    };
    EXPECT_GT (orangeIn (0), 20);
    EXPECT_EQ (orangeIn (1), 0);
}

TEST (SongTable, deleteInTheDatabaseViewAsksAndRemovesOnlyTheChosenRecords)
{
    test::SongTableRig rig;
    rig.addRecords (3);
    rig.table->showDatabase();
    ASSERT_TRUE (rig.waitUntilIdle());
    ASSERT_EQ (rig.table->getNumRows(), 3);
    rig.table->selectRow (1);
    const auto chosen = rig.table->getSelectedFile();

    {
        test::ScriptedDialogs dialogs ({ 1 }); // Cancel
        EXPECT_TRUE (rig.table->keyPressed (deleteKey));
        EXPECT_EQ (dialogs.asked, juce::StringArray ({ "Remove entries from Database" }));
    }
    EXPECT_EQ (rig.database->getNumEntries(), 3);
    EXPECT_EQ (rig.table->getNumRows(), 3);

    test::ScriptedDialogs dialogs ({ 0 }); // OK
    rig.table->keyPressed (deleteKey);
    ASSERT_TRUE (rig.waitUntilIdle());
    EXPECT_EQ (rig.database->getNumEntries(), 2);
    EXPECT_EQ (rig.database->findIndex (chosen), -1);
    EXPECT_EQ (rig.table->getNumRows(), 2);
    EXPECT_FALSE (rig.fullPaths().contains (chosen));
    EXPECT_EQ (rig.reportedCounts.getLast(), 2);
}

TEST (SongTable, rowsAsTextAreArtistDashSongWithTheLabelInBrackets)
{
    test::SongTableRig rig;
    rig.addRecord ("/m/a.mp3", "Moby");
    rig.addRecord ("/m/b.mp3", "Air");
    {
        const juce::ScopedLock sl (rig.database->getLock());
        auto* a = rig.database->getEntry (rig.database->findIndex ("/m/a.mp3"));
        a->song = "Porcelain";
        a->label = "Mute";
        rig.database->getEntry (rig.database->findIndex ("/m/b.mp3"))->song = "La femme d'argent";
    }
    juce::StringArray list { "/m/a.mp3", "/m/b.mp3", "/m/unknown.mp3" };
    ASSERT_TRUE (rig.showCase (list));

    EXPECT_EQ (rig.table->getRowsAsText(), "Moby - Porcelain [ Mute ]\nAir - La femme d'argent\n - \n");
}

TEST (SongTable, rowsEqualInAColumnAreOrderedByTheNextVisibleOne)
{
    test::SongTableRig rig;
    const struct { const char *path, *artist, *song, *bpm; } songs[] = {
        { "/m/1.mp3", "b", "y", "95" }, { "/m/2.mp3", "A", "z", "120" },
        { "/m/3.mp3", "b", "x", "128" }, { "/m/4.mp3", "B", "Y", "90" },
    };
    for (const auto& s : songs)
    {
        rig.addRecord (s.path, s.artist, s.bpm);
        const juce::ScopedLock sl (rig.database->getLock());
        rig.database->getEntry (rig.database->findIndex (s.path))->song = s.song;
    }
    rig.table->getHeader().setColumnVisible (Col::filename, false); // ARTIST, SONG, ALBUM, BPM, ...
    rig.table->showDatabase();
    ASSERT_TRUE (rig.waitUntilIdle());

    EXPECT_EQ (rig.fullPaths(), juce::StringArray ({ "/m/2.mp3", "/m/3.mp3", "/m/4.mp3", "/m/1.mp3" }));
}

TEST (SongTable, anEditedTagIsWrittenIntoTheSongFile)
{
    test::SongTableRig rig;
    const auto song = rig.temp.file ("song.mp3");
    ASSERT_TRUE (test::writeShortMp3 (song, 0.5));
    ASSERT_TRUE (test::tagWithEyeD3 (song, { "--artist", "Old Name" }));
    juce::StringArray list { song.getFullPathName() };
    ASSERT_TRUE (rig.showCase (list));
    ASSERT_EQ (rig.column (Col::artist)[0], "Old Name");

    test::ScriptedDialogs dialogs ({ 0 }, "New Name");
    rig.table->editTag (Col::artist, 0);
    EXPECT_EQ (dialogs.asked, juce::StringArray ({ "Enter new value!" }));
    EXPECT_EQ (dialogs.shownTexts[0], "Old Name");
    EXPECT_EQ (rig.column (Col::artist)[0], "New Name");
    EXPECT_TRUE (test::listWithEyeD3 (song).contains ("New Name")) << test::listWithEyeD3 (song);

    rig.table->editTag (Col::filename, 0);
    EXPECT_EQ (dialogs.asked.size(), 1) << "the file name is not a tag";
}

TEST (SongTable, aFolderWithNamesTheProgramCannotHoldShowsTheRest)
{
    // Under the address sanitizer, the framework's own listing wrote past its
    // buffer on some of these names before the table even saw them.
    test::SongTableRig rig;
    const auto folder = rig.temp.get();
    folder.getChildFile ("plain.mp3").create();
    int holdable = 1;
    for (const auto& name : test::oddSongNames())
    {
        std::FILE* song = std::fopen (test::pathIn (folder, name.bytes).c_str(), "w");
        ASSERT_NE (song, nullptr) << name.what;
        std::fclose (song);
        holdable += name.safe ? 1 : 0;
    }

    rig.table->showFolder (folder);
    ASSERT_TRUE (rig.waitUntilIdle());

    EXPECT_EQ (rig.table->getNumRows(), holdable);
    EXPECT_TRUE (rig.column (Col::filename).contains (juce::CharPointer_UTF8 ("caf\xc3\xa9 \xe2\x82\xac.mp3")));
    EXPECT_TRUE (rig.column (Col::filename).contains ("plain.mp3"));
}
