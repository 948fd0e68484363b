// A FIFO named like a song (or a socket, a device) is never opened: opening
// one waits for a writer that never comes. The scans, the report's rescan, the
// start-up check and the song table's lookups pass it by as no audio file and
// read the other files as usual.

#include "TaskTestSupport.h"

#include "library/tasks/ConsistencyCheck.h"
#include "library/tasks/FileListScan.h"
#include "library/tasks/FolderScan.h"
#include "support/BoundedRun.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zund;

namespace
{
class FifoSongFiles : public test::DatabaseTest
{
protected:
    juce::File music = temp.file ("music");
    juce::File fifo = music.getChildFile ("stalled.mp3");
    juce::File song;

    void SetUp() override
    {
        song = test::writeSmallWav (music.getChildFile ("song.wav"));
        ASSERT_EQ (::mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);
    }

    bool hasRecord (const juce::File& file) const { return database.findIndex (file.getFullPathName()) >= 0; }
};
}

TEST_F (FifoSongFiles, AFolderScanPassesAFifoBy)
{
    test::RecordingProgress progress;
    test::finishWithin (30.0, "a folder scan with a FIFO", [&] { FolderScan (database, music).run (progress); });
    EXPECT_TRUE (hasRecord (song));
    EXPECT_FALSE (hasRecord (fifo));
    EXPECT_TRUE (progress.statuses.contains ("Counting files... 1 audio files found.")) << "the FIFO is not counted";
}

TEST_F (FifoSongFiles, TheReportsRescanPassesAFifoBy)
{
    std::vector<juce::File> files { song, fifo };
    test::RecordingProgress progress;
    test::finishWithin (30.0, "a rescan with a FIFO", [&] { FileListScan (database, files).run (progress); });
    EXPECT_TRUE (hasRecord (song));
    EXPECT_FALSE (hasRecord (fifo));
    EXPECT_TRUE (files.empty());
}

TEST_F (FifoSongFiles, TheStartUpCheckDoesNotListAFifoToScan)
{
    test::RecordingProgress progress;
    ConsistencyCheck check (database, { music.getFullPathName() });
    test::finishWithin (30.0, "the start-up check with a FIFO", [&] { check.run (progress); });
    EXPECT_EQ (check.getFilesInSongFolders(), juce::StringArray (song.getFullPathName()));
    ASSERT_EQ (check.getFilesToScan().size(), 1u);
    EXPECT_EQ (check.getFilesToScan()[0], song);
}

TEST_F (FifoSongFiles, TheTablesLookupsAndTheLoadersMakeNoRecordOfAFifo)
{
    bool scanned = true;
    test::finishWithin (30.0, "lookups of a FIFO", [&] {
        const juce::ScopedLock sl (database.getLock());
        EXPECT_EQ (database.addOrUpdateFile (fifo, scanned, true, true), nullptr);
        database.addFile (fifo, true);
        ID3DataBaseEntry record;
        EXPECT_FALSE (database.readFileInfo (&record, fifo));
    });
    EXPECT_FALSE (scanned);
    EXPECT_FALSE (hasRecord (fifo));
    EXPECT_EQ (database.getNumEntries(), 0);
}
