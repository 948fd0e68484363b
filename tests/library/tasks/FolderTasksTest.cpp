#include "TaskTestSupport.h"

#include "library/tasks/FileListScan.h"
#include "library/tasks/FolderFileRemoval.h"
#include "library/tasks/FolderScan.h"
#include "support/StalledFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace zund;

namespace
{
class FolderTasks : public test::DatabaseTest
{
protected:
    juce::File music = temp.file ("music");

    juce::Array<juce::File> makeSongs (int count)
    {
        juce::Array<juce::File> songs;
        for (int i = 0; i < count; ++i)
            songs.add (test::writeSmallWav (music.getChildFile ("song" + juce::String (i) + ".wav"), 800 * (i + 1)));
        return songs;
    }

    int sampleRateAt (const juce::File& file) const
    {
        const auto record = test::recordAt (database, file.getFullPathName());
        return record ? record->samplerate : -1;
    }
};
}

TEST_F (FolderTasks, AFolderScanAddsItsAudioFilesAndLeavesKnownOnesUnread)
{
    const auto songs = makeSongs (2);
    test::writeSmallWav (music.getChildFile ("deeper/song.aif"));
    ASSERT_TRUE (music.getChildFile ("cover.jpg").replaceWithText ("not audio"));
    database.insertEntry (test::makeStoredRecord (songs[0].getFullPathName(), "edited by hand"));

    test::RecordingProgress progress;
    FolderScan (database, music).run (progress);

    EXPECT_EQ (database.getNumEntries(), 3);
    EXPECT_EQ (test::artistAt (database, songs[0].getFullPathName()), "edited by hand");
    EXPECT_EQ (sampleRateAt (songs[0]), 0) << "a known file is not read again";
    EXPECT_EQ (sampleRateAt (songs[1]), 8000);
    EXPECT_EQ (database.createXml ("x")->getNumChildElements(), 3) << "every scanned record is stored";
    EXPECT_TRUE (progress.statuses.contains ("Counting files... 3 audio files found."));
    juce::StringArray scanned;
    for (const auto& status : progress.statuses)
        if (status.startsWith ("Scanning file " + juce::String (scanned.size() + 1) + "/3 : \n"))
            scanned.add (status.fromFirstOccurrenceOf ("\n", false, false));
    scanned.sort (false);
    EXPECT_EQ (scanned, juce::StringArray (music.getChildFile ("deeper/song.aif").getFullPathName(),
                                           songs[0].getFullPathName(), songs[1].getFullPathName()));
    EXPECT_DOUBLE_EQ (progress.progress.back(), 1.0);
}

TEST_F (FolderTasks, AFolderWithoutAudioShowsOnlyTheCount)
{
    ASSERT_TRUE (music.getChildFile ("readme.txt").create());
    test::RecordingProgress progress;
    FolderScan (database, music).run (progress);
    EXPECT_TRUE (progress.statuses.isEmpty());
    EXPECT_EQ (database.getNumEntries(), 0);
}

// Cancelling stops between two files; what was done stays, nothing else changes.
TEST_F (FolderTasks, ACancelAfterTheFirstFileKeepsEveryRecord)
{
    const auto songs = makeSongs (3);
    database.insertEntry (test::makeStoredRecord ("/elsewhere/old.wav", "old"));

    {
        SCOPED_TRACE ("folder scan");
        auto progress = test::RecordingProgress::cancellingAt (3 + 1); // three counted, then one scanned
        FolderScan (database, music).run (progress);
        EXPECT_EQ (database.getNumEntries(), 2);
    }
    {
        SCOPED_TRACE ("file list rescan");
        std::vector<juce::File> list { songs[0], songs[1], songs[2] };
        for (const auto& song : songs)
            database.insertEntry (test::makeStoredRecord (song.getFullPathName(), "before"));
        auto progress = test::RecordingProgress::cancellingAt (2);
        FileListScan (database, list).run (progress);
        EXPECT_EQ (list, (std::vector<juce::File> { songs[0], songs[1] })) << "the files not yet read stay listed";
        EXPECT_EQ (sampleRateAt (songs[2]), 8000);
        EXPECT_EQ (test::artistAt (database, songs[2].getFullPathName()), "before") << "WAV tags are not the file's";
        EXPECT_EQ (sampleRateAt (songs[0]), 0);
    }
    {
        SCOPED_TRACE ("folder removal");
        const int before = database.getNumEntries();
        database.setSongFolders ({ music.getFullPathName() });
        auto progress = test::RecordingProgress::cancellingAt (1);
        FolderFileRemoval (database, music).run (progress);
        EXPECT_EQ (database.getNumEntries(), before) << "a cancelled removal removes nothing";
        EXPECT_EQ (test::artistAt (database, "/elsewhere/old.wav"), "old");
    }
}

TEST_F (FolderTasks, ARescanReadsEachFileAgainAndEmptiesTheList)
{
    const auto songs = makeSongs (2);
    auto stale = test::makeStoredRecord (songs[0].getFullPathName(), "kept");
    stale->cuePoint[2] = 0.5f;
    stale->samplerate = 44100;
    database.insertEntry (std::move (stale));

    std::vector<juce::File> list { songs[0], songs[1], music.getChildFile ("gone.wav") };
    test::RecordingProgress progress;
    FileListScan (database, list).run (progress);

    EXPECT_TRUE (list.empty());
    EXPECT_EQ (database.getNumEntries(), 2) << "a file that has gone gets no record";
    const auto record = test::recordAt (database, songs[0].getFullPathName());
    ASSERT_TRUE (record);
    EXPECT_EQ (record->samplerate, 8000);
    EXPECT_EQ (record->seconds, 0);
    EXPECT_EQ (record->cuePoint[2], 0.5f) << "cue points survive a rescan";
    EXPECT_EQ (progress.statuses[0], "Scanning file 1/3 : \n" + music.getChildFile ("gone.wav").getFullPathName());
}

// Only records under the folder go (by path and separator), and only those no
// other song folder covers; records of files already gone go too.
TEST_F (FolderTasks, RemovingASongFolderKeepsNeighboursAndFilesOfOtherSongFolders)
{
    for (auto path : { "/music/a.mp3", "/music/gone.wav", "/music/sub/b.ogg", "/music/shared/c.wav",
                       "/music2/d.mp3", "/musicx.mp3", "/music/notes.txt" })
        database.insertEntry (test::makeStoredRecord (path, "x"));

    for (const bool folderStillListed : { true, false })
    {
        SCOPED_TRACE (folderStillListed ? "removed before the song folders change" : "removed after");
        juce::StringArray folders { "/music2", "/music/shared" };
        if (folderStillListed)
            folders.add ("/music");
        database.setSongFolders (folders);

        test::RecordingProgress progress;
        FolderFileRemoval (database, juce::File ("/music")).run (progress);

        for (auto path : { "/music/a.mp3", "/music/gone.wav", "/music/sub/b.ogg" })
            EXPECT_EQ (test::artistAt (database, path), "<none>") << path;
        for (auto path : { "/music/shared/c.wav", "/music2/d.mp3", "/musicx.mp3", "/music/notes.txt" })
            EXPECT_EQ (test::artistAt (database, path), "x") << path;
        EXPECT_TRUE (progress.statuses.contains ("Making list of files to remove... 3 audio files found.")
                     || ! folderStillListed);
        EXPECT_EQ (progress.statuses.getReference (progress.statuses.size() - 1), "Removing files...");
    }
}

// A file that does not answer (a pipe nobody writes to) is read without the
// database lock: the song table's worker can go on meanwhile.
TEST_F (FolderTasks, FilesAreReadOutsideTheDatabaseLock)
{
    // A file on a hung network mount: opening it waits until the stall ends.
    const auto stalledSong = test::writeSmallWav (music.getChildFile ("stalled.wav"));
    test::StalledFile stall (stalledSong);
    ASSERT_TRUE (stall.isStalling());

    test::RecordingProgress progress;
    std::atomic<bool> done { false };
    std::thread task ([&] {
        FolderScan (database, music).run (progress);
        done = true;
    });

    juce::Thread::sleep (300); // the task is now stuck in the file
    EXPECT_FALSE (done.load());
    const bool lockFree = database.getLock().tryEnter();
    if (lockFree)
        database.getLock().exit();
    EXPECT_TRUE (lockFree);

    stall.release();
    task.join();
    EXPECT_EQ (database.getNumEntries(), 1);
}

// Two scans of one folder at once (and a reader, as the song table's worker):
// the lookup is repeated under the lock before a record is added, so every
// file ends up with one record.
TEST_F (FolderTasks, TwoScansAtOnceMakeOneRecordPerFile)
{
    const int numSongs = 60;
    makeSongs (numSongs);

    std::atomic<bool> scanning { true };
    std::thread reader ([&] {
        while (scanning)
        {
            const juce::ScopedLock sl (database.getLock());
            for (int i = 0; i < database.getNumEntries(); ++i)
                ASSERT_NE (database.getEntry (i), nullptr);
        }
    });
    std::vector<std::thread> scans;
    for (int i = 0; i < 2; ++i)
        scans.emplace_back ([&] {
            test::RecordingProgress progress;
            FolderScan (database, music).run (progress);
        });
    for (auto& scan : scans)
        scan.join();
    scanning = false;
    reader.join();

    EXPECT_EQ (database.getNumEntries(), numSongs);
    EXPECT_EQ (database.createXml ("x")->getNumChildElements(), numSongs);
}
