#include "TaskTestSupport.h"

#include "library/tasks/FileListScan.h"
#include "library/tasks/report/ConsistencyCheckReportComponent.h"
#include "library/tasks/report/DuplicateMissingFilesDialog.h"
#include "support/ModalRun.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
class ConsistencyReport : public test::DatabaseTest
{
protected:
    std::vector<juce::File> filesToScan;
    int rescans = 0;
    ConsistencyReportModel model { database, filesToScan, [this] (std::vector<juce::File>& files) {
                                      ++rescans;
                                      test::RecordingProgress progress;
                                      FileListScan (database, files).run (progress);
                                  } };

    void addMissing (const juce::String& path, const juce::String& artist)
    {
        auto record = test::makeStoredRecord (path, artist);
        record->missing = true;
        database.insertEntry (std::move (record));
    }

    bool isMissing (const juce::String& path) const
    {
        const auto record = test::recordAt (database, path);
        return record && record->missing;
    }

    juce::String found (const juce::String& relativePath) const
    {
        return test::writeSmallWav (temp.file ("new/" + relativePath)).getFullPathName();
    }
};

juce::Button* findButton (juce::Component& parent, const juce::String& text)
{
    for (auto* child : parent.getChildren())
        if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getButtonText() == text)
            return button;
    return nullptr;
}
}

TEST_F (ConsistencyReport, ListsTheMissingRecordsAndTheFilesToScan)
{
    addMissing ("/old/b.wav", "b");
    database.insertEntry (test::makeStoredRecord ("/old/here.wav"));
    addMissing ("/old/a.wav", "a");
    filesToScan = { juce::File ("/new/z.wav"), juce::File ("/new/y.wav") };

    juce::StringArray missing;
    missing.addLines (model.getMissingFilesText());
    missing.removeEmptyStrings();
    missing.sort (false);
    EXPECT_EQ (missing, juce::StringArray ("/old/a.wav", "/old/b.wav"));
    EXPECT_TRUE (model.getMissingFilesText().endsWith ("\n"));
    EXPECT_EQ (model.getFilesToScanText(), "/new/z.wav\n/new/y.wav\n");

    model.removeMissingFiles();
    EXPECT_EQ (model.getMissingFilesText(), "");
    EXPECT_EQ (database.getNumEntries(), 1);
}

// Each found file takes the first missing record of its name that has not moved:
// two records and two files of one name end up one on each file.
TEST_F (ConsistencyReport, LocatingMovesEachMissingRecordOnce)
{
    addMissing ("/old/1/a.wav", "first");
    addMissing ("/old/2/a.wav", "second");
    addMissing ("/old/A.WAV", "other case");
    addMissing ("/old/deep.wav", "deep");
    const auto one = found ("x/a.wav");
    const auto two = found ("y/a.wav");
    const auto deep = found ("y/z/deep.wav");

    const auto result = model.locateFiles (temp.file ("new"), true);
    EXPECT_EQ (result.numMoved, 3);
    EXPECT_TRUE (result.duplicatePaths.isEmpty());

    juce::StringArray artists { test::artistAt (database, one), test::artistAt (database, two) };
    artists.sort (false);
    EXPECT_EQ (artists, juce::StringArray ("first", "second"));
    EXPECT_EQ (test::artistAt (database, deep), "deep");
    for (const auto& path : { one, two, deep })
        EXPECT_FALSE (isMissing (path)) << path;
    EXPECT_EQ (model.getMissingFilesText(), "/old/A.WAV\n") << "names differing in letter case do not match";
    EXPECT_EQ (database.getNumEntries(), 4);
    EXPECT_TRUE (database.isDirty());
}

TEST_F (ConsistencyReport, LocatingWithoutSubfoldersLooksOnlyInTheFolder)
{
    addMissing ("/old/top.wav", "top");
    addMissing ("/old/deep.wav", "deep");
    const auto top = found ("top.wav");
    found ("sub/deep.wav");

    EXPECT_EQ (model.locateFiles (temp.file ("new"), false).numMoved, 1);
    EXPECT_EQ (test::artistAt (database, top), "top");
    EXPECT_TRUE (isMissing ("/old/deep.wav"));
}

// A found file whose path already has a record moves nothing; it is listed, and
// the missing records of its name can then be taken off.
TEST_F (ConsistencyReport, AFoundFileTheDatabaseKnowsIsADuplicate)
{
    addMissing ("/old/a.wav", "missing");
    addMissing ("/old/b.wav", "missing b");
    const auto known = found ("a.wav");
    database.insertEntry (test::makeStoredRecord (known, "known"));

    const auto result = model.locateFiles (temp.file ("new"), true);
    EXPECT_EQ (result.numMoved, 0);
    EXPECT_EQ (result.duplicatePaths, juce::StringArray (known));
    EXPECT_EQ (test::artistAt (database, known), "known");
    EXPECT_TRUE (isMissing ("/old/a.wav"));

    model.removeMissingRecordsOf (result.duplicatePaths);
    EXPECT_EQ (test::artistAt (database, "/old/a.wav"), "<none>");
    EXPECT_TRUE (isMissing ("/old/b.wav")) << "only records of the duplicates' names go";
    EXPECT_EQ (test::artistAt (database, known), "known");
}

// The report's buttons: remove empties the missing list, rescan reads the files
// and shows what is left, continue ends the dialog without changing anything.
TEST_F (ConsistencyReport, TheButtonsRemoveRescanAndContinue)
{
    addMissing ("/old/a.wav", "a");
    const auto song = found ("song.wav");
    filesToScan = { juce::File (song) };

    ConsistencyCheckReportComponent report (model);
    EXPECT_EQ (report.getMissingList().getText(), "/old/a.wav\n");
    EXPECT_EQ (report.getScanList().getText(), song + "\n");
    for (auto* child : report.getChildren())
        EXPECT_TRUE (report.getLocalBounds().contains (child->getBounds())) << child->getName();

    auto* rescan = findButton (report, "(Re)scan these files now!");
    ASSERT_NE (rescan, nullptr);
    rescan->triggerClick();
    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return rescans == 1; }));
    EXPECT_EQ (report.getScanList().getText(), "");
    EXPECT_EQ (test::artistAt (database, song), "");
    EXPECT_TRUE (isMissing ("/old/a.wav")) << "a rescan leaves the missing records";

    auto* remove = findButton (report, "Remove these files from Database");
    ASSERT_NE (remove, nullptr);
    remove->triggerClick();
    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return report.getMissingList().isEmpty(); }));
    EXPECT_EQ (test::artistAt (database, "/old/a.wav"), "<none>");

    juce::DialogWindow window ("Consistency Check Report", juce::Colours::white, true, false);
    window.setContentNonOwned (&report, true);
    const int entries = database.getNumEntries();
    window.enterModalState (false);
    auto* goOn = findButton (report, "--> Continue to Zund!");
    ASSERT_NE (goOn, nullptr);
    goOn->triggerClick();
    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return ! window.isCurrentlyModal(); }));
    EXPECT_EQ (database.getNumEntries(), entries);
    EXPECT_EQ (rescans, 1);
    window.clearContentComponent();
}

// The duplicates dialog: its list above its buttons, inside at any size, and
// its two buttons ending it with "remove" and "cancel".
TEST (DuplicateMissingFilesDialogTest, ButtonsEndItWithRemoveOrCancel)
{
    for (const auto& [text, expected] : { std::pair { "Remove these files from database", 1 }, { "Cancel", 0 } })
    {
        DuplicateMissingFilesDialog dialog;
        dialog.setSize (900, 500);
        const auto list = dialog.getList().getBounds();
        auto* button = findButton (dialog, text);
        ASSERT_NE (button, nullptr);
        EXPECT_GT (button->getY(), list.getBottom());
        for (auto* child : dialog.getChildren())
            EXPECT_TRUE (dialog.getLocalBounds().contains (child->getBounds()));

        test::ModalRun run (dialog);
        button->triggerClick();
        ASSERT_TRUE (run.closed());
        EXPECT_EQ (run.result(), expected) << text;
    }
}
