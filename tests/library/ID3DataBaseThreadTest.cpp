#include "library/database/ID3DataBase.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace zund;

// The song table's worker and the tasks use the database while the message thread
// does: every one of them through the one re-entrant lock (ThreadSanitizer checks it).
TEST (SongDatabaseThreads, WorkersAndTheMessageThreadShareTheLock)
{
    test::TempFolder temp;
    juce::Array<juce::File> songs;
    for (int i = 0; i < 3; ++i)
    {
        songs.add (temp.file ("song" + juce::String (i) + ".wav"));
        ASSERT_TRUE (test::runCommand ({ "sox", "-n", "-r", "8000", "-c", "1", "-b", "16", songs.getLast().getFullPathName(),
                                         "synth", "0.1", "sine", "440" }).succeeded());
    }
    ID3DataBase database (temp.file ("database.xml"));
    std::atomic<bool> writing { true };

    std::thread task ([&] {
        for (int i = 0; i < 1500; ++i)
        {
            auto record = std::make_unique<ID3DataBaseEntry>();
            record->filename = "/music/" + juce::String (i % 50) + ".mp3";
            record->setValid();
            database.insertEntry (std::move (record));
            database.removeFile ("/music/" + juce::String ((i + 25) % 50) + ".mp3");
            database.addFile (songs[i % songs.size()], true);
        }
        writing = false;
    });

    std::thread worker ([&] {
        while (writing)
        {
            const juce::ScopedLock sl (database.getLock());
            for (int i = 0; i < database.getNumEntries(); ++i)
            {
                const auto* record = database.getEntry (i);
                ASSERT_NE (record, nullptr);
                ASSERT_EQ (database.findIndex (record->filename) >= 0, true); // the lock is taken again inside
            }
        }
    });

    while (writing)
    {
        bool scanned;
        database.lock();
        if (auto* record = database.addOrUpdateFile (songs[0], scanned, false, false))
            record->cuePoint[0] = 0.25f;
        database.markDirty();
        database.unlock();
        database.getNumEntries(); // no lock, as the song table asks
        database.save();
    }
    task.join();
    worker.join();

    for (int i = 0; i < database.getNumEntries(); ++i)
        EXPECT_EQ (database.findIndex (database.getEntry (i)->filename) >= 0, true);
    EXPECT_GE (database.findIndex (songs[0].getFullPathName()), 0);
}
