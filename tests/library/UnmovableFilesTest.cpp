// An unreadable "database.xml" or "TreeView.xml" that cannot even be moved
// aside must never be written over, neither by the save at the end nor by the
// saves while the program runs: it may be the user's only copy of the library.
// (A name so long that the ".bad-<time>" name is too long for the file system
// keeps the file from being moved, even for root, while a file beside it can
// still be written.)

#include "library/database/DatabaseSaveSource.h"
#include "library/database/ID3DataBase.h"
#include "library/tree/TreeFileSaveSource.h"
#include "library/tree/ZundFileTreeComponent.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace zund;

namespace
{
const std::string unreadable = "<Zund2DataBase version=\"2.20\"><Entry0 filename=\"/m/a.mp3\""; // cut short

class UnmovableFiles : public ::testing::Test
{
protected:
    test::TempFolder temp;
    juce::File file = temp.file (juce::String::repeatedString ("x", 240) + ".xml");

    void SetUp() override
    {
        // Written in place: the framework's writers go through a longer temporary name.
        std::FILE* out = std::fopen (file.getFullPathName().toRawUTF8(), "wb");
        ASSERT_NE (out, nullptr);
        std::fwrite (unreadable.data(), 1, unreadable.size(), out);
        std::fclose (out);
    }

    void expectUntouched() const
    {
        juce::MemoryBlock now;
        ASSERT_TRUE (file.loadFileAsData (now));
        EXPECT_EQ (std::string (static_cast<const char*> (now.getData()), now.getSize()), unreadable);
        EXPECT_EQ (temp.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << "nothing beside it";
    }
};
}

TEST_F (UnmovableFiles, TheDatabaseIsNotWrittenOverAtTheEndNorWhileRunning)
{
    juce::String reported;
    {
        ID3DataBase database (file);
        EXPECT_TRUE (database.getLoadProblem().contains ("could not be moved aside")) << database.getLoadProblem();
        database.setSaveFailureHandler ([&reported] (const juce::String& reason) { reported = reason; });
        auto record = std::make_unique<ID3DataBaseEntry>();
        record->filename = "/m/new.mp3";
        record->setValid();
        database.insertEntry (std::move (record));

        juce::String reason;
        EXPECT_FALSE (makeDatabaseSaveSource (database).prepare() (reason)) << "the save while running";
        EXPECT_TRUE (reason.contains ("not written over")) << reason;
        EXPECT_TRUE (database.getLastSaveError().contains ("not written over")) << database.getLastSaveError();
    }
    EXPECT_TRUE (reported.contains ("not written over")) << reported;
    expectUntouched();
}

TEST_F (UnmovableFiles, TheTreeFileIsNotWrittenOverAtTheEndNorWhileRunning)
{
    {
        ZundFileTreeComponent tree (file, nullptr, nullptr);
        EXPECT_TRUE (tree.getLoadWarning().contains ("could not be moved aside")) << tree.getLoadWarning();
        tree.addToCurrentPlaylist ("/m/a.mp3");
        EXPECT_EQ (makeTreeFileSaveSource (tree).prepare(), nullptr) << "no save while running";
        juce::String error;
        EXPECT_FALSE (tree.saveTree (error));
        EXPECT_TRUE (error.isNotEmpty());
    }
    expectUntouched();
}
