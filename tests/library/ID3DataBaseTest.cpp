#include "common/files/FileFacts.h"
#include "library/database/ID3DataBase.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace zund;

namespace
{
std::unique_ptr<ID3DataBaseEntry> makeRecord (const juce::String& path, const juce::String& artist = {})
{
    auto record = std::make_unique<ID3DataBaseEntry>();
    record->filename = path;
    record->artist = artist;
    record->setValid();
    return record;
}

/** Paths of equal hash: "Aa" and "BB" hash alike (31 x 'A' + 'a' == 31 x 'B' + 'B'),
    so any sequence of these blocks does too. */
juce::String collidingPath (int bits, int length = 6)
{
    juce::String path ("/music/");
    for (int i = 0; i < length; ++i)
        path << (((bits >> i) & 1) != 0 ? "BB" : "Aa");
    return path + ".mp3";
}

class SongDatabase : public ::testing::Test
{
protected:
    test::TempFolder temp;
    ID3DataBase database { temp.file ("database.xml") };

    juce::File makeWav (const juce::String& name)
    {
        const auto file = temp.file (name);
        EXPECT_TRUE (test::runCommand ({ "sox", "-n", "-r", "22050", "-c", "1", "-b", "16", file.getFullPathName(),
                                         "synth", "2", "sine", "440" }).succeeded());
        return file;
    }
};
}

TEST_F (SongDatabase, PathsAreFoundExactlyAndInTheirNormalForm)
{
    ASSERT_EQ (getPathHash (collidingPath (0)), getPathHash (collidingPath (1)));
    database.insertEntry (makeRecord ("/music/Song.mp3", "a"));
    database.insertEntry (makeRecord ("/music/../music/x/", "b")); // normalised once, on the way in

    EXPECT_GE (database.findIndex ("/music/Song.mp3"), 0);
    EXPECT_EQ (database.findIndex ("/music/song.mp3"), -1) << "letter case counts";
    EXPECT_EQ (database.findIndex ("/music/Song.mp"), -1);
    for (auto other : { "/music/Song.mp3/", "/music//Song.mp3", "/music/./Song.mp3", "/music/x/../Song.mp3" })
        EXPECT_GE (database.findIndex (other), 0) << other << ": another form of the same path";
    const auto index = database.findIndex ("/music/x");
    ASSERT_GE (index, 0);
    EXPECT_EQ (database.getEntry (index)->artist, "b");

    // A record moved to another path (a located file) is found there only.
    auto moved = database.takeEntry (database.findIndex ("/music/Song.mp3"));
    ASSERT_NE (moved, nullptr);
    moved->filename = "/elsewhere/Song.mp3";
    database.insertEntry (std::move (moved));
    EXPECT_EQ (database.findIndex ("/music/Song.mp3"), -1);
    EXPECT_EQ (database.getEntry (database.findIndex ("/elsewhere/Song.mp3"))->artist, "a");
    EXPECT_EQ (database.takeEntry (99), nullptr);

    EXPECT_EQ (database.getEntry (-1), nullptr);
    EXPECT_EQ (database.getEntry (database.getNumEntries()), nullptr);
}

TEST_F (SongDatabase, IndexFollowsASimpleModelThroughRandomChangesWithCollidingPaths)
{
    std::mt19937 random (1234);
    std::multimap<juce::String, juce::String> model; // path -> artist
    auto pathFor = [&random] {
        const auto n = (int) (random() % 40);
        return n < 16 ? collidingPath (n) : "/music/plain" + juce::String (n) + ".mp3";
    };

    for (int step = 0; step < 3000; ++step)
    {
        const auto path = pathFor();
        switch (random() % 4)
        {
            case 0:
            case 1:
            {
                const auto artist = juce::String (step);
                database.insertEntry (makeRecord (path, artist));
                model.emplace (path, artist);
                break;
            }
            case 2:
            {
                database.removeFile (path);
                const auto found = model.find (path);
                // Any one record of that path may go; the model drops whichever did.
                if (found != model.end())
                {
                    juce::StringArray remaining;
                    for (int i = 0; i < database.getNumEntries(); ++i)
                        if (database.getEntry (i)->filename == path)
                            remaining.add (database.getEntry (i)->artist);
                    for (auto it = model.lower_bound (path); it != model.upper_bound (path); ++it)
                        if (! remaining.contains (it->second))
                        {
                            model.erase (it);
                            break;
                        }
                }
                break;
            }
            default:
            {
                // Removing a random group in one pass.
                const auto parity = (int) (random() % 2);
                for (int i = 0; i < database.getNumEntries(); ++i)
                    database.getEntry (i)->missing = database.getEntry (i)->artist.getIntValue() % 7 == parity;
                database.removeMissingEntries();
                for (auto it = model.begin(); it != model.end();)
                    it = it->second.getIntValue() % 7 == parity ? model.erase (it) : std::next (it);
                break;
            }
        }

        ASSERT_EQ (database.getNumEntries(), (int) model.size());
        const auto probe = pathFor();
        const int index = database.findIndex (probe);
        ASSERT_EQ (index >= 0, model.count (probe) > 0) << probe;
        if (index >= 0)
        {
            EXPECT_EQ (database.getEntry (index)->filename, probe);
            bool known = false;
            for (auto it = model.lower_bound (probe); it != model.upper_bound (probe); ++it)
                known = known || it->second == database.getEntry (index)->artist;
            EXPECT_TRUE (known);
        }
    }

    // The index stays sorted by hash, and every record keeps its own hash.
    for (int i = 1; i < database.getNumEntries(); ++i)
        ASSERT_LE (getPathHash (database.getEntry (i - 1)->filename), getPathHash (database.getEntry (i)->filename));
}

TEST_F (SongDatabase, RecordsWithoutAnAbsolutePathAreKeptButNotFound)
{
    const auto file = temp.file ("database.xml");
    ASSERT_TRUE (file.replaceWithText ("<Zund2DataBase version=\"2.20\"><Entry0 filename=\"C:\\Music\\a.mp3\" artist=\"win\"/>"
                                       "<Entry1 artist=\"none\"/><Entry2 filename=\"/m/b.mp3\"/></Zund2DataBase>"));
    {
        ID3DataBase loaded (file);
        EXPECT_EQ (loaded.getNumEntries(), 1);
        EXPECT_EQ (loaded.findIndex ("C:\\Music\\a.mp3"), -1);
        loaded.markDirty();
    }
    const auto text = file.loadFileAsString();
    EXPECT_TRUE (text.contains ("C:\\Music\\a.mp3")) << text;
    EXPECT_TRUE (text.contains ("artist=\"none\"")) << text;

    ID3DataBase reloaded (file);
    reloaded.clear();
    EXPECT_FALSE (reloaded.createXml ("x")->getFirstChildElement() != nullptr) << "clear takes them too";
}

TEST_F (SongDatabase, AddOrUpdateReadsOnlyWhatItIsAskedTo)
{
    bool scanned = true;
    EXPECT_EQ (database.addOrUpdateFile (temp.file ("missing.wav"), scanned, true, true), nullptr) << "no record for nothing";
    EXPECT_FALSE (scanned);
    EXPECT_EQ (database.getNumEntries(), 0);

    const auto wav = makeWav ("song.wav");
    auto* record = database.addOrUpdateFile (wav, scanned, false, false);
    ASSERT_NE (record, nullptr);
    EXPECT_TRUE (scanned);
    EXPECT_FALSE (record->valid) << "a record for display only";
    EXPECT_FALSE (database.isDirty());
    EXPECT_EQ (record->samplerate, 22050);
    EXPECT_EQ (record->seconds, 2);
    EXPECT_EQ (record->quality, "16 Bit");

    // Changed on disk: read again only when asked.
    record->artist = "kept";
    ASSERT_TRUE (test::runCommand ({ "sox", "-n", "-r", "8000", "-c", "1", "-b", "16", wav.getFullPathName(),
                                     "synth", "5", "sine", "440" }).succeeded());
    EXPECT_EQ (database.addOrUpdateFile (wav, scanned, false, false), record);
    EXPECT_FALSE (scanned);
    EXPECT_EQ (record->samplerate, 22050);
    EXPECT_EQ (database.addOrUpdateFile (wav, scanned, false, true), record);
    EXPECT_TRUE (scanned);
    EXPECT_EQ (record->samplerate, 8000);
    EXPECT_EQ (record->seconds, 5);
    EXPECT_EQ (record->artist, "kept") << "a WAV file carries no tags to read";

    // Gone: the record stays as it was, unread.
    record->quality = "remembered";
    ASSERT_TRUE (wav.deleteFile());
    EXPECT_EQ (database.addOrUpdateFile (wav, scanned, true, true), record);
    EXPECT_FALSE (scanned);
    EXPECT_EQ (record->quality, "remembered");
    EXPECT_FALSE (database.readFileInfo (record, wav));
    EXPECT_EQ (record->quality, "remembered");
}

TEST_F (SongDatabase, ChangesThatAreStoredMarkTheDatabaseDirty)
{
    const auto wav = makeWav ("a.wav");
    EXPECT_FALSE (database.isDirty());

    database.addFile (temp.file ("missing.wav"), true);
    database.addFile (temp.file ("a.flac"), true);
    EXPECT_EQ (database.getNumEntries(), 0);
    EXPECT_FALSE (database.isDirty());

    database.addFile (wav, true);
    ASSERT_EQ (database.getNumEntries(), 1);
    EXPECT_TRUE (database.getEntry (0)->valid);
    EXPECT_TRUE (database.isDirty());
    ASSERT_TRUE (database.save());
    EXPECT_FALSE (database.isDirty());

    database.addFile (wav, true); // unchanged: nothing to store
    EXPECT_FALSE (database.isDirty());

    bool scanned;
    database.addOrUpdateFile (wav, scanned, true, false); // read again
    EXPECT_TRUE (database.isDirty());
    ASSERT_TRUE (database.save());

    database.removeFile (wav.getFullPathName());
    EXPECT_EQ (database.getNumEntries(), 0);
    EXPECT_TRUE (database.isDirty());
}

TEST_F (SongDatabase, SongFoldersArePlainPrefixes)
{
    for (auto path : { "/Music/a.mp3", "/Music2/b.mp3", "/music/c.mp3", "/Other/d.mp3" })
        database.insertEntry (makeRecord (path));
    database.setSongFolders ({ "/Music", "/Other/sub" });
    EXPECT_TRUE (database.isSongFolder ("/Music"));
    EXPECT_FALSE (database.isSongFolder ("/music"));
    EXPECT_EQ (database.countSongFoldersContaining (juce::File ("/Other/sub/x/y.mp3")), 1);
    EXPECT_EQ (database.countSongFoldersContaining (juce::File ("/Music2/b.mp3")), 0);

    database.removeFilesNotInSongFolders();
    EXPECT_GE (database.findIndex ("/Music/a.mp3"), 0);
    EXPECT_GE (database.findIndex ("/Music2/b.mp3"), 0);
    EXPECT_EQ (database.findIndex ("/music/c.mp3"), -1);
    EXPECT_EQ (database.findIndex ("/Other/d.mp3"), -1);
    EXPECT_EQ (database.getNumEntries(), 2);

    database.setSongFolders ({});
    database.removeFilesNotInSongFolders();
    EXPECT_EQ (database.getNumEntries(), 0);
}
