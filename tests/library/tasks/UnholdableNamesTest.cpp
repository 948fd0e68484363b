// A music folder copied from older systems holds names the framework's strings
// overflow on (a lone 0x80, Latin-1 "à" before a letter, overlong pairs, a
// folder ending in Latin-1 "é"). Every walk of the library skips them (under
// the address sanitizer, a walk that made strings of them would abort), says
// which, and keeps working on the names it can hold, Latin-1 ones included.

#include "TaskTestSupport.h"

#include "common/text/SafeStringBytes.h"

#include "library/tasks/ConsistencyCheck.h"
#include "library/tasks/FolderScan.h"
#include "library/tasks/report/ConsistencyReportModel.h"
#include "support/OddNames.h"

#include <gtest/gtest.h>

#include <set>

using namespace zund;

namespace
{
std::string asWav (std::string bytes)
{
    if (const auto dot = bytes.rfind (".mp3"); dot != std::string::npos)
        bytes.replace (dot, 4, ".wav");
    return bytes;
}

juce::String escaped (const std::string& path)
{
    juce::String text;
    for (const unsigned char c : path)
        text << (c < 0x80 && c != '%' ? juce::String::charToString ((juce::juce_wchar) c)
                                      : "%" + juce::String::toHexString ((int) c).toUpperCase().paddedLeft ('0', 2));
    return text;
}

class UnholdableNames : public test::DatabaseTest
{
protected:
    juce::File music = temp.file ("music");
    std::set<std::string> safeSongs, unsafeSongs;

    void SetUp() override
    {
        music.createDirectory();
        for (const auto& name : test::oddSongNames())
            addSong (asWav (name.bytes), name.safe);
        ASSERT_TRUE (test::makeFolderNamed (music, "Caf\xe9"));       // ends in a lead byte
        ASSERT_TRUE (test::makeFolderNamed (music, "Ol\xe9 Ol\xe9 Mix"));
        addSong ("Ol\xe9 Ol\xe9 Mix/deeper.wav", true);
        addSong ("Caf\xe9/inside.wav", true); // a name it could hold, in a folder it cannot
        unsafeSongs.insert (test::pathIn (music, "Caf\xe9/inside.wav"));
        safeSongs.erase (test::pathIn (music, "Caf\xe9/inside.wav"));
    }

    void addSong (const std::string& nameBytes, bool safe)
    {
        const auto plain = test::writeSmallWav (music.getChildFile ("plain.wav"));
        ASSERT_TRUE (test::renameTo (plain, music, nameBytes));
        (safe ? safeSongs : unsafeSongs).insert (test::pathIn (music, nameBytes));
    }

    std::set<std::string> recordedPaths (const ID3DataBase& db) const
    {
        std::set<std::string> paths;
        const juce::ScopedLock sl (db.getLock());
        for (int i = 0; i < db.getNumEntries(); ++i)
            paths.insert (db.getEntry (i)->filename.toStdString());
        return paths;
    }

    /** What the user is told was skipped: the unsafe songs (a name without an
        audio extension is not a song) and the folder. */
    juce::StringArray expectedSkipped() const
    {
        juce::StringArray names;
        for (const auto* name : { "5\x80 name.wav", "voil\xe0.wav", "\xc1\xa1.wav", "Caf\xe9" })
            names.add (escaped (test::pathIn (music, name)));
        names.sort (false);
        return names;
    }

    static juce::StringArray sorted (juce::StringArray names)
    {
        names.sort (false);
        return names;
    }
};
}

TEST_F (UnholdableNames, AFolderScanRecordsTheSongsItCanHoldAndTellsOfTheRest)
{
    test::RecordingProgress progress;
    FolderScan scan (database, music);
    scan.run (progress);

    EXPECT_EQ (recordedPaths (database), safeSongs) << "the Latin-1 and UTF-8 songs, byte for byte";
    for (const auto& path : safeSongs)
    {
        const auto record = test::recordAt (database, stringOfSafeBytes (path));
        ASSERT_TRUE (record.has_value()) << path;
        EXPECT_EQ (record->samplerate, 8000) << "read: " << path;
    }

    EXPECT_EQ (sorted (scan.getSkippedNames()), expectedSkipped());
    EXPECT_TRUE (progress.statuses.contains ("Counting files... 3 audio files found."));
    EXPECT_TRUE (progress.statuses[progress.statuses.size() - 1].endsWith (
        "\n4 files or folders were skipped: the program cannot read their names (rename them)."))
        << progress.statuses.joinIntoString ("|");
}

TEST_F (UnholdableNames, TheStartUpCheckFindsTheRecordsAgainAfterSaveAndLoadAndTellsOfTheRest)
{
    test::RecordingProgress scanning;
    FolderScan (database, music).run (scanning);
    ASSERT_TRUE (database.save());

    ID3DataBase reloaded (temp.file ("database.xml"));
    EXPECT_EQ (recordedPaths (reloaded), safeSongs);

    test::RecordingProgress checking;
    ConsistencyCheck check (reloaded, { music.getFullPathName() });
    ASSERT_EQ (check.run (checking), ConsistencyCheck::Outcome::finished);
    EXPECT_EQ (reloaded.getNumMissingEntries(), 0);
    EXPECT_TRUE (check.getFilesToScan().empty()) << "nothing new, nothing changed";

    std::set<std::string> listed;
    for (const auto& path : check.getFilesInSongFolders())
        listed.insert (path.toStdString());
    EXPECT_EQ (listed, safeSongs);
    EXPECT_EQ (sorted (check.getSkippedNames()), expectedSkipped());
}

TEST_F (UnholdableNames, LocatingMissingRecordsLooksOnlyAtNamesItCanHold)
{
    // Records of the songs from before a move, missing where they were.
    for (const auto& path : safeSongs)
    {
        const auto name = path.substr (path.rfind ('/'));
        auto record = test::makeStoredRecord (stringOfSafeBytes ("/old" + name));
        record->missing = true;
        database.insertEntry (std::move (record));
    }

    std::vector<juce::File> noFiles;
    ConsistencyReportModel model (database, noFiles, {});
    const auto result = model.locateFiles (music, true);

    EXPECT_EQ (result.numMoved, (int) safeSongs.size());
    EXPECT_EQ (database.getNumMissingEntries(), 0);
    EXPECT_EQ (recordedPaths (database), safeSongs);
}

TEST_F (UnholdableNames, ARecordWhosePathCannotBeHeldStaysInTheFileButIsNeverOpened)
{
    // Written by a build that still made records of such names.
    const auto replacement = juce::String::fromUTF8 ("\xef\xbf\xbd");
    ASSERT_TRUE (temp.file ("database.xml").replaceWithText (
        "<Zund2DataBase version=\"2.20\">"
        "<Entry0 filename=\"/m/5" + replacement + " name.wav\" artist=\"Kept\" cuePoint1=\"0.25\" filenameBytes=\"/m/5%80 name.wav\"/>"
        "<Entry1 filename=\"/m/caf" + replacement + ".wav\" filenameBytes=\"/m/caf%E9.wav\"/>"
        "</Zund2DataBase>"));

    ID3DataBase reloaded (temp.file ("database.xml"));
    EXPECT_EQ (reloaded.getNumEntries(), 1) << "only the record it can hold is found";
    EXPECT_GE (reloaded.findIndex (stringOfSafeBytes (std::string ("/m/caf\xe9.wav"))), 0);
    EXPECT_LT (reloaded.findIndex ("/m/5" + replacement + " name.wav"), 0) << "its readable form is no path of it";

    reloaded.markDirty();
    ASSERT_TRUE (reloaded.save());
    const auto text = temp.file ("database.xml").loadFileAsString();
    EXPECT_TRUE (text.contains ("filename=\"/m/5" + replacement + " name.wav\" artist=\"Kept\"")) << text;
    EXPECT_TRUE (text.contains ("filenameBytes=\"/m/5%80 name.wav\"")) << "written back as it was read: " << text;

    ID3DataBase again (temp.file ("database.xml"));
    const auto stored = again.createXml ("x");
    ASSERT_EQ (stored->getNumChildElements(), 2) << "nothing lost";
}
