// The library's files are written while the program runs: a few seconds after
// the last change, and at least every so often while changes keep coming, on
// a thread of its own, and never at the same time as the saves at the end.
// (Short times here; the program waits seconds.)

#include "library/database/DatabaseSaveSource.h"
#include "library/database/ID3DataBase.h"
#include "library/database/LibraryAutoSaver.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace zund;

namespace
{
const LibraryAutoSaver::Timing quick { 400, 1200, 20, {} };

/** A source whose content is a number the test changes; it records what was written. */
struct CountingSource
{
    juce::uint64 content = 0;
    std::atomic<int> writes { 0 };
    std::atomic<juce::uint64> written { 0 };
    std::atomic<bool> failWrites { false };
    std::atomic<bool> preparedOnMessageThread { true };
    std::atomic<bool> wroteOnMessageThread { false };
    int writeMs = 0;

    LibraryAutoSaver::Source source()
    {
        LibraryAutoSaver::Source s;
        s.fingerprint = [this] { return content; };
        s.prepare = [this] {
            preparedOnMessageThread = preparedOnMessageThread && juce::MessageManager::existsAndIsCurrentThread();
            const auto copy = content;
            return LibraryAutoSaver::Write ([this, copy] (juce::String& reason) {
                wroteOnMessageThread = wroteOnMessageThread || juce::MessageManager::existsAndIsCurrentThread();
                juce::Thread::sleep (writeMs);
                written = copy;
                ++writes;
                if (failWrites.load())
                    reason = "the disk is full";
                return ! failWrites.load();
            });
        };
        return s;
    }
};

void runMessagesFor (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}
}

TEST (LibraryAutoSaverTest, AChangeIsWrittenOnceAfterAQuietSpell)
{
    CountingSource counting;
    LibraryAutoSaver saver ({ counting.source() }, quick);
    runMessagesFor (300);
    EXPECT_EQ (counting.writes.load(), 0) << "nothing changed";

    counting.content = 1;
    runMessagesFor (30);
    counting.content = 2; // changes close together make one write
    runMessagesFor (30);
    EXPECT_EQ (counting.writes.load(), 0) << "not while changes come";
    runMessagesFor (900);
    EXPECT_EQ (counting.writes.load(), 1);
    EXPECT_EQ (counting.written.load(), 2u) << "the latest contents";
    EXPECT_TRUE (counting.preparedOnMessageThread.load()) << "copies are taken on the message thread";
    EXPECT_FALSE (counting.wroteOnMessageThread.load()) << "and written on another";
}

TEST (LibraryAutoSaverTest, ChangesThatKeepComingAreWrittenEveryLongestSpell)
{
    CountingSource counting;
    LibraryAutoSaver saver ({ counting.source() }, quick);
    constexpr int numChanges = 120;
    for (int i = 1; i <= numChanges; ++i)
    {
        counting.content = (juce::uint64) i;
        runMessagesFor (30); // never quiet for long enough
    }
    EXPECT_GE (counting.writes.load(), 2) << "over three seconds of steady changes";
    EXPECT_LT (counting.writes.load(), numChanges / 10) << "not a write per change";
}

TEST (LibraryAutoSaverTest, AFailedWriteIsTriedAgainLaterNotAtOnce)
{
    CountingSource counting;
    counting.failWrites = true;
    LibraryAutoSaver saver ({ counting.source() }, quick);
    counting.content = 1;
    runMessagesFor (700);
    EXPECT_EQ (counting.writes.load(), 1);
    runMessagesFor (300);
    EXPECT_EQ (counting.writes.load(), 1) << "no retry at once";
    counting.failWrites = false;
    runMessagesFor (1500);
    EXPECT_EQ (counting.writes.load(), 2) << "tried again after a while";
}

TEST (LibraryAutoSaverTest, StopWaitsForAWriteUnderWayAndEndsTheWrites)
{
    CountingSource counting;
    counting.writeMs = 600;
    LibraryAutoSaver saver ({ counting.source() }, quick);
    counting.content = 1;
    runMessagesFor (600); // the write has begun
    saver.stop();
    EXPECT_EQ (counting.writes.load(), 1) << "the write under way ended before stop returned";
    counting.content = 2;
    runMessagesFor (400);
    EXPECT_EQ (counting.writes.load(), 1);
}

TEST (LibraryAutoSaverTest, ADatabaseChangedBeforeIsWrittenSoonAndLaterChangesToo)
{
    test::TempFolder temp;
    const auto file = temp.file ("database.xml");
    ID3DataBase database (file);
    auto add = [&database] (const juce::String& path) {
        auto record = std::make_unique<ID3DataBaseEntry>();
        record->filename = path;
        record->setValid();
        database.insertEntry (std::move (record));
    };
    add ("/m/before.mp3"); // the start-up check has repaired something

    LibraryAutoSaver saver ({ makeDatabaseSaveSource (database) }, quick);
    runMessagesFor (800);
    EXPECT_TRUE (file.loadFileAsString().contains ("/m/before.mp3"));
    EXPECT_FALSE (database.isDirty());

    add ("/m/later.mp3");
    runMessagesFor (800);
    EXPECT_TRUE (file.loadFileAsString().contains ("/m/later.mp3"));
    EXPECT_FALSE (database.isDirty());
}

TEST (LibraryAutoSaverTest, SavesWhileOthersChangeTheDatabaseLoseNothing)
{
    test::TempFolder temp;
    const auto file = temp.file ("database.xml");
    constexpr int numRecords = 12000; // more than one slice of the copy
    {
        ID3DataBase database (file);
        std::atomic<bool> adding { true };
        std::thread saver ([&] {
            while (adding.load())
            {
                const int before = database.getNumEntries();
                EXPECT_TRUE (database.save());
                // Each file is one state of the database: every record once, none lost.
                ID3DataBase saved (file);
                juce::StringArray paths;
                for (int i = 0; i < saved.getNumEntries(); ++i)
                    paths.add (saved.getEntry (i)->filename);
                const int written = paths.size();
                paths.removeDuplicates (false);
                EXPECT_EQ (paths.size(), written) << "a record written twice";
                EXPECT_GE (written, before) << "records lost";
            }
        });
        for (int i = 0; i < numRecords; ++i)
        {
            auto record = std::make_unique<ID3DataBaseEntry>();
            record->filename = "/m/" + juce::String (i) + ".mp3";
            record->setValid();
            database.insertEntry (std::move (record));
            if (i % 2000 == 0)
                juce::Thread::sleep (5);
        }
        adding = false;
        saver.join();
        EXPECT_TRUE (database.isDirty() || file.loadFileAsString().contains ("/m/" + juce::String (numRecords - 1) + ".mp3"))
            << "a change made during a save keeps the database dirty";
    }
    ID3DataBase reloaded (file);
    EXPECT_EQ (reloaded.getNumEntries(), numRecords);
}
