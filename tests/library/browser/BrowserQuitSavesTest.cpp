// At quit the library is saved while the user can still be asked: the browser
// writes both files when told to and names those it could not write. After
// that its own end writes only what changed since, and never reports a failure
// a second time; when the user gave up, it leaves the old files as they are.

#include "../ScopedFileSizeLimit.h"

#include "library/browser/ZundBrowser.h"
#include "library/database/ID3DataBase.h"
#include "library/tree/ZundFileTreeComponent.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
constexpr int numSongs = 40;
constexpr rlim_t fullDisk = 64; // bytes a file may grow to: neither file fits

const char* const treeWithACase = "<TreeView lastWidth=\"250\"><songFolders/><cases><Case0 name=\"Set\">"
                                  "<files file0=\"/m/0.mp3\" file1=\"/m/7.mp3\"/></Case0></cases></TreeView>";

/** A browser with an evening's changes: songs with cue points, a case. */
struct QuitRig
{
    test::ScopedProgramFolder program;
    std::unique_ptr<ZundBrowser> browser;
    juce::StringArray reportedAtEnd;

    QuitRig()
    {
        program.file ("TreeView.xml").replaceWithText (treeWithACase);
        browser = std::make_unique<ZundBrowser>();
        browser->setBounds (0, 0, 1022, 400);
        browser->setSaveFailureHandler ([this] (const juce::String& reason) { reportedAtEnd.add (reason); });
        for (int i = 0; i < numSongs; ++i)
            addSong (i);
    }

    void addSong (int i)
    {
        auto record = std::make_unique<ID3DataBaseEntry>();
        record->filename = "/m/" + juce::String (i) + ".mp3";
        record->cuePoint[0] = (float) i / (float) (2 * numSongs);
        record->setValid();
        browser->getDatabase()->insertEntry (std::move (record));
    }

    juce::File file (const char* name) const { return program.file (name); }

    /** How many records "database.xml" holds with the cue point each was given. */
    int songsOnDisk() const
    {
        const auto root = juce::XmlDocument::parse (file ("database.xml"));
        if (root == nullptr)
            return -1;
        int whole = 0;
        for (auto* record : root->getChildIterator())
        {
            const int i = record->getStringAttribute ("filename").fromLastOccurrenceOf ("/", false, false).getIntValue();
            if (std::abs (record->getDoubleAttribute ("cuePoint0", -1.0) - (double) i / (2.0 * numSongs)) < 1e-6)
                ++whole;
        }
        return whole;
    }

    juce::StringArray caseOnDisk() const
    {
        juce::StringArray files;
        if (const auto root = juce::XmlDocument::parse (file ("TreeView.xml")))
            if (const auto* cases = root->getChildByName ("cases"))
                if (const auto* first = cases->getChildElement (0))
                    if (const auto* list = first->getChildByName ("files"))
                        for (int i = 0; i < list->getNumAttributes(); ++i)
                            files.add (list->getAttributeValue (i));
        return files;
    }
};

const juce::StringArray theCase { "/m/0.mp3", "/m/7.mp3" };
}

TEST (BrowserQuitSaves, aFailureNamesBothFilesAndTheSaveAfterSpaceWasFreedWritesThemWhole)
{
    QuitRig rig;
    juce::StringArray reasons;
    {
        test::ScopedFileSizeLimit full (fullDisk);
        reasons = rig.browser->saveLibraryNow();
    }
    ASSERT_EQ (reasons.size(), 2) << reasons.joinIntoString ("\n");
    EXPECT_TRUE (reasons[0].contains ("\"" + rig.file ("database.xml").getFullPathName() + "\"")) << reasons[0];
    EXPECT_TRUE (reasons[1].contains ("\"" + rig.file ("TreeView.xml").getFullPathName() + "\"")) << reasons[1];
    EXPECT_FALSE (rig.file ("database.xml").exists());
    EXPECT_EQ (rig.file ("TreeView.xml").loadFileAsString(), treeWithACase) << "the old file stays as it was";

    // Space was freed: the user tries again.
    EXPECT_TRUE (rig.browser->saveLibraryNow().isEmpty());
    EXPECT_EQ (rig.songsOnDisk(), numSongs);
    EXPECT_EQ (rig.caseOnDisk(), theCase);

    // The end writes nothing again: a write would fail under this limit and be reported.
    {
        test::ScopedFileSizeLimit full (fullDisk);
        rig.browser.reset();
    }
    EXPECT_TRUE (rig.reportedAtEnd.isEmpty()) << rig.reportedAtEnd.joinIntoString ("\n");
    EXPECT_EQ (rig.songsOnDisk(), numSongs);
    EXPECT_EQ (rig.caseOnDisk(), theCase);
}

TEST (BrowserQuitSaves, aChangeAfterTheQuitsSaveIsStillWrittenAtTheEnd)
{
    QuitRig rig;
    ASSERT_TRUE (rig.browser->saveLibraryNow().isEmpty());
    rig.addSong (numSongs); // a cue point set from a controller while the program closed
    rig.browser->getTree().addSongFolderItem ("Later", "/m/later");
    rig.browser.reset();
    EXPECT_TRUE (rig.reportedAtEnd.isEmpty()) << rig.reportedAtEnd.joinIntoString ("\n");
    EXPECT_EQ (rig.songsOnDisk(), numSongs + 1);
    EXPECT_TRUE (rig.file ("TreeView.xml").loadFileAsString().contains ("path=\"/m/later\""));
}

TEST (BrowserQuitSaves, quittingWithoutSavingKeepsTheOldFilesAndReportsNothingMore)
{
    QuitRig rig;
    {
        test::ScopedFileSizeLimit full (fullDisk);
        ASSERT_EQ (rig.browser->saveLibraryNow().size(), 2);
        rig.browser->forgetUnsavedChanges();
        rig.browser.reset();
    }
    EXPECT_TRUE (rig.reportedAtEnd.isEmpty()) << rig.reportedAtEnd.joinIntoString ("\n");
    EXPECT_FALSE (rig.file ("database.xml").exists());
    EXPECT_EQ (rig.file ("TreeView.xml").loadFileAsString(), treeWithACase);
    EXPECT_EQ (rig.program.get().getNumberOfChildFiles (juce::File::findFiles, "*"), 1) << "nothing left beside it";
}
