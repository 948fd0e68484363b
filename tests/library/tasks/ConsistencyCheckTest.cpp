#include "TaskTestSupport.h"

#include "audiofile/peaks/PeakFile.h"
#include "common/files/FileFacts.h"
#include "library/tasks/ConsistencyCheck.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

#include <cstdio>

using namespace zund;

namespace
{
using Outcome = ConsistencyCheck::Outcome;

/** An old peak file of the audio file, with these "CuePoints" attribute values. */
void writeOldPeakFile (const juce::File& audio, const juce::StringArray& cues)
{
    juce::XmlElement root ("PeakFile");
    root.setAttribute ("lm_date", "1");
    root.createNewChildElement ("PeakWave")->setAttribute ("d0", 5);
    root.createNewChildElement ("AverageWave")->setAttribute ("d0", 2);
    auto* cuePoints = root.createNewChildElement ("CuePoints");
    for (int i = 0; i < cues.size(); ++i)
        cuePoints->setAttribute ("cue" + juce::String (i), cues[i]);

    const auto peakFile = PeakFile::getPeakFileFor (audio);
    ASSERT_TRUE (peakFile.getParentDirectory().createDirectory());
    ASSERT_TRUE (root.writeTo (peakFile));
}

std::vector<float> cuePointsAt (const ID3DataBase& database, const juce::String& path)
{
    const auto record = test::recordAt (database, path);
    if (! record)
        return {};
    return { std::begin (record->cuePoint), std::end (record->cuePoint) };
}

juce::StringArray storedPaths (const ID3DataBase& database)
{
    juce::StringArray paths;
    const auto root = database.createXml ("Zund2DataBase");
    for (auto* child : root->getChildIterator())
        paths.add (child->getStringAttribute ("filename"));
    paths.sort (false);
    return paths;
}

class ConsistencyCheckTest : public ::testing::Test
{
protected:
    test::ScopedProgramFolder program;
    juce::File databaseFile = program.file ("database.xml");
    juce::File root = program.file ("disk");

    juce::File song (const juce::String& relativePath) const { return root.getChildFile (relativePath); }

    /** A stored record with the file's current facts, as an earlier scan left it. */
    std::unique_ptr<ID3DataBaseEntry> recordOf (const juce::File& file)
    {
        auto record = test::makeStoredRecord (file.getFullPathName(), "known");
        getFileTimeAndSize (file, record->lm_date, record->filesize);
        return record;
    }

    void writeDatabaseFile (const juce::String& rootAttributes)
    {
        ASSERT_TRUE (databaseFile.replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Zund2DataBase"
                                                   + rootAttributes + ">\n<Entry0 filename=\"/known/k.wav\"/>\n"
                                                   "</Zund2DataBase>\n"));
    }
};
}

// Old peak files mirror the audio paths byte for byte: a Latin-1 name finds
// its song again, and a name the program cannot hold is passed over.
TEST_F (ConsistencyCheckTest, OldPeakFilesOfLatinOneNamesMigrate)
{
    const auto plain = test::writeSmallWav (song ("music/plain.wav"));
    const auto bytes = root.getFullPathName().toStdString() + "/music/caf\xe9.wav";
    ASSERT_EQ (std::rename (plain.getFullPathName().toRawUTF8(), bytes.c_str()), 0);
    const juce::File latin (juce::String (juce::CharPointer_UTF8 (bytes.data()), juce::CharPointer_UTF8 (bytes.data() + bytes.size())));
    writeOldPeakFile (latin, { "0.25" });
    const auto peak = PeakFile::getPeakFileFor (latin);
    const auto unholdable = peak.getParentDirectory().getFullPathName().toStdString() + "/5\x80 name.wav.pk";
    ASSERT_TRUE (peak.copyFileTo (peak.getSiblingFile ("copy")));
    ASSERT_EQ (std::rename (peak.getSiblingFile ("copy").getFullPathName().toRawUTF8(), unholdable.c_str()), 0);

    ID3DataBase database (databaseFile);
    test::RecordingProgress progress;
    ConsistencyCheck check (database, {});
    EXPECT_EQ (check.run (progress), Outcome::finished);
    EXPECT_EQ (cuePointsAt (database, latin.getFullPathName()), (std::vector<float> { 0.25f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f }));
    EXPECT_EQ (database.getNumEntries(), 1);
}

// Cue points of old peak files move into the database once: only a database
// without a version (no file, or one from before versions) has not had them.
TEST_F (ConsistencyCheckTest, OldPeakFileCuePointsMoveIntoADatabaseWithoutVersion)
{
    const auto present = test::writeSmallWav (song ("music/a.wav"));
    const auto gone = song ("gone/b.wav");
    const auto unset = test::writeSmallWav (song ("music/c.wav"));
    writeOldPeakFile (present, { "0.25", "", "-1", "0.5" });
    writeOldPeakFile (gone, { "-1", "-1", "-1", "-1", "-1", "0.75" });
    writeOldPeakFile (unset, { "-1", "-1", "-1", "-1", "-1", "-1" });
    ASSERT_TRUE (PeakFile::getPeakFileFor (song ("music/broken.wav")).replaceWithText ("<PeakFile"));

    struct Case
    {
        const char* name;
        const char* rootAttributes; // null: no database file
        bool migrates;
    };
    for (const auto& c : { Case { "no database file", nullptr, true },
                           Case { "a file without version", "", true },
                           Case { "a file the program wrote", " version=\"2.20\"", false } })
    {
        SCOPED_TRACE (c.name);
        databaseFile.deleteFile();
        if (c.rootAttributes != nullptr)
            writeDatabaseFile (c.rootAttributes);

        ID3DataBase database (databaseFile);
        test::RecordingProgress progress;
        ConsistencyCheck check (database, {});
        EXPECT_EQ (check.run (progress), Outcome::finished);
        EXPECT_TRUE (database.isDirty()) << "the check is written at shut-down";
        EXPECT_EQ (progress.statuses.contains ("Pass 1: Migrating old Database..."), c.migrates);

        if (! c.migrates)
        {
            EXPECT_EQ (database.getNumEntries(), 1);
            continue;
        }
        EXPECT_TRUE (progress.statuses.contains ("Migrating Database... [a.wav]"));
        EXPECT_EQ (cuePointsAt (database, present.getFullPathName()),
                   (std::vector<float> { 0.25f, -1.0f, -1.0f, 0.5f, -1.0f, -1.0f }));
        EXPECT_EQ (cuePointsAt (database, gone.getFullPathName()),
                   (std::vector<float> { -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, 0.75f }))
            << "a record is kept for the cue points of a file that has gone (it can be located)";
        EXPECT_TRUE (cuePointsAt (database, unset.getFullPathName()).empty()) << "no cue point set, nothing to keep";

        juce::StringArray expected { present.getFullPathName(), gone.getFullPathName() };
        if (c.rootAttributes != nullptr)
            expected.add ("/known/k.wav");
        expected.sort (false);
        EXPECT_EQ (storedPaths (database), expected);

        const auto record = test::recordAt (database, present.getFullPathName());
        ASSERT_TRUE (record);
        EXPECT_EQ (record->samplerate, 8000) << "a file that is there is read into its new record";
        EXPECT_FALSE (record->missing);
        EXPECT_TRUE (test::recordAt (database, gone.getFullPathName())->missing);
    }
}

// Cancelling the migration quits the program; half a migration must not be
// saved, or the rest of the cue points would never move.
TEST_F (ConsistencyCheckTest, ACancelledMigrationLeavesTheDatabaseAsLoaded)
{
    writeDatabaseFile ("");
    for (auto name : { "a.wav", "b.wav", "c.wav" })
        writeOldPeakFile (song (name), { "0.5" });

    ID3DataBase database (databaseFile);
    auto progress = test::RecordingProgress::cancellingAt (1);
    ConsistencyCheck check (database, {});
    EXPECT_EQ (check.run (progress), Outcome::quitRequested);
    EXPECT_FALSE (database.isDirty());
    EXPECT_EQ (storedPaths (database), juce::StringArray ("/known/k.wav"));
}

TEST_F (ConsistencyCheckTest, FindsMissingRecordsAndTheNewOrChangedFilesOfTheSongFolders)
{
    writeDatabaseFile (" version=\"2.20\"");
    const auto unchanged = test::writeSmallWav (song ("music/a.wav"));
    const auto fresh = test::writeSmallWav (song ("music/house/b.wav"));
    const auto changed = test::writeSmallWav (song ("music/c.wav"));
    const auto upperCase = test::writeSmallWav (song ("other/d.WAV"));
    ASSERT_TRUE (song ("music/notes.txt").replaceWithText ("not audio"));
    ASSERT_EQ (::symlink (".", song ("other/loop").getFullPathName().toRawUTF8()), 0);
    ASSERT_EQ (::symlink (song ("music").getFullPathName().toRawUTF8(), song ("other/music").getFullPathName().toRawUTF8()), 0);

    ID3DataBase database (databaseFile);
    database.insertEntry (recordOf (unchanged));
    auto changedRecord = recordOf (changed);
    changedRecord->filesize += 1;
    database.insertEntry (std::move (changedRecord));

    // Nested song folders, and a folder with a link to itself and one to another folder.
    test::RecordingProgress progress;
    ConsistencyCheck check (database, { song ("music").getFullPathName(), song ("music/house").getFullPathName(),
                                        song ("other").getFullPathName() });
    EXPECT_EQ (check.run (progress), Outcome::finished);

    EXPECT_EQ (check.getFilesInSongFolders().size(), 7) << check.getFilesInSongFolders().joinIntoString ("\n");
    juce::StringArray unique (check.getFilesInSongFolders());
    unique.removeDuplicates (false);
    EXPECT_EQ (unique.size(), check.getFilesInSongFolders().size()) << "each path once";
    for (const auto& file : { unchanged, fresh, changed, upperCase })
        EXPECT_TRUE (check.getFilesInSongFolders().contains (file.getFullPathName())) << file.getFullPathName();
    EXPECT_TRUE (check.getFilesInSongFolders().contains (song ("other/music/house/b.wav").getFullPathName()))
        << "a link to a folder is followed";

    juce::StringArray toScan;
    for (const auto& file : check.getFilesToScan())
        toScan.add (file.getFullPathName());
    EXPECT_FALSE (toScan.contains (unchanged.getFullPathName()));
    for (const auto& file : { fresh, changed, upperCase })
        EXPECT_TRUE (toScan.contains (file.getFullPathName())) << file.getFullPathName();
    EXPECT_EQ (toScan.size(), 6) << "three new or changed files, and three more seen through the link";

    EXPECT_EQ (database.getNumMissingEntries(), 1);
    EXPECT_TRUE (database.getEntry (database.findIndex ("/known/k.wav"))->missing);

    const juce::StringArray passes { "Checking if there are missing files in database...",
                                     "Collecting list of files in song folders...",
                                     "Computing list of files that should be scanned..." };
    EXPECT_EQ (progress.statuses, passes);
}

TEST_F (ConsistencyCheckTest, WithoutSongFoldersOnlyMissingFilesAreFound)
{
    writeDatabaseFile (" version=\"2.20\"");
    ID3DataBase database (databaseFile);
    test::RecordingProgress progress;
    ConsistencyCheck check (database, {});
    EXPECT_EQ (check.run (progress), Outcome::finished);
    EXPECT_TRUE (check.getFilesInSongFolders().isEmpty());
    EXPECT_TRUE (check.getFilesToScan().empty());
    EXPECT_EQ (database.getNumMissingEntries(), 1);
}

// A cancel after pass 2 keeps what it found, and skips the report.
TEST_F (ConsistencyCheckTest, ACancelKeepsWhatThePassesFound)
{
    writeDatabaseFile (" version=\"2.20\"");
    for (auto name : { "a.wav", "b.wav", "c.wav" })
        test::writeSmallWav (song (name));

    ID3DataBase database (databaseFile);
    const int firstFileOfPass3 = 2; // after the one record of pass 2
    auto progress = test::RecordingProgress::cancellingAt (firstFileOfPass3);
    ConsistencyCheck check (database, { root.getFullPathName() });
    EXPECT_EQ (check.run (progress), Outcome::cancelled);
    EXPECT_EQ (database.getNumMissingEntries(), 1);
    EXPECT_EQ (check.getFilesInSongFolders().size(), 1);
    EXPECT_TRUE (check.getFilesToScan().empty());
}
