// A tag edit that cannot be written: the record must show what the file holds
// (or its earlier text when the file cannot be read), and keep its "could not
// write" mark, so the song table shows the failure and the next save keeps it.

#include "library/database/ID3DataBase.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zund;

namespace
{
class TagEdit : public ::testing::Test
{
protected:
    test::TempFolder temp;
    ID3DataBase database { temp.file ("database.xml") };

    juce::File taggedMp3 (const juce::String& artist)
    {
        const auto file = temp.file ("song.mp3");
        EXPECT_TRUE (test::writeShortMp3 (file, 2.0));
        EXPECT_TRUE (test::tagWithEyeD3 (file, { "--to-v2.3", "-a", artist, "-t", "Title" }));
        return file;
    }

    /** Puts a stored record for the path, with this artist. */
    void storeRecord (const juce::File& file, const juce::String& artist)
    {
        const juce::ScopedLock sl (database.getLock());
        bool scanned = false;
        auto* record = database.addOrUpdateFile (file, scanned, false, false);
        if (record == nullptr)
        {
            auto made = std::make_unique<ID3DataBaseEntry>();
            made->filename = file.getFullPathName();
            database.insertEntry (std::move (made));
            record = database.getEntry (database.findIndex (file.getFullPathName()));
        }
        ASSERT_NE (record, nullptr);
        record->artist = artist;
        record->setValid();
    }

    ID3DataBaseEntry recordOf (const juce::File& file)
    {
        const juce::ScopedLock sl (database.getLock());
        const auto* record = database.getEntry (database.findIndex (file.getFullPathName()));
        return record != nullptr ? *record : ID3DataBaseEntry();
    }

    bool setArtist (const juce::File& file, const juce::String& artist)
    {
        return database.editTags (file, [&artist] (ID3DataBaseEntry& record) { record.artist = artist; });
    }
};
}

TEST_F (TagEdit, AFailedWriteShowsWhatTheFileHoldsAndKeepsTheMark)
{
    const auto file = taggedMp3 ("On Disk");
    storeRecord (file, "What the record knew"); // another tagger changed the file since
    juce::MemoryBlock before;
    file.loadFileAsData (before);

    // Another program holds the file: the write is refused, the file stays readable.
    const int holder = ::open (file.getFullPathName().toRawUTF8(), O_RDWR);
    ASSERT_EQ (::flock (holder, LOCK_EX), 0);
    const auto changesBefore = database.getChangeCount();
    EXPECT_FALSE (setArtist (file, "Never written"));
    ::close (holder);

    const auto failed = recordOf (file);
    EXPECT_EQ (failed.artist, "On Disk") << "the record shows the file's text";
    EXPECT_EQ (failed.song, "Title");
    EXPECT_TRUE (failed.couldNotWriteMetadata) << "the row keeps its mark";
    EXPECT_NE (database.getChangeCount(), changesBefore) << "the mark is saved";
    juce::MemoryBlock after;
    file.loadFileAsData (after);
    EXPECT_EQ (after, before);

    // Once the file is free the edit goes through and the mark goes.
    EXPECT_TRUE (setArtist (file, "Written"));
    const auto written = recordOf (file);
    EXPECT_EQ (written.artist, "Written");
    EXPECT_FALSE (written.couldNotWriteMetadata);
    EXPECT_TRUE (test::listWithEyeD3 (file).contains ("artist: Written"));
}

TEST_F (TagEdit, AFailedWriteOfAFileThatCannotBeReadKeepsTheEarlierTextAndTheMark)
{
    // The file has gone, or a FIFO took its place (which must not be opened).
    for (const bool fifo : { false, true })
    {
        const auto file = temp.file (fifo ? "fifo.mp3" : "gone.mp3");
        if (fifo)
            ASSERT_EQ (::mkfifo (file.getFullPathName().toRawUTF8(), 0600), 0);
        storeRecord (file, "Earlier");

        EXPECT_FALSE (setArtist (file, "Never written")) << (fifo ? "fifo" : "gone");
        const auto failed = recordOf (file);
        EXPECT_EQ (failed.artist, "Earlier") << (fifo ? "fifo" : "gone");
        EXPECT_TRUE (failed.couldNotWriteMetadata) << (fifo ? "fifo" : "gone");
    }
}
