#include "library/database/ID3DataBase.h"
#include "ScopedFileSizeLimit.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

using namespace zund;

namespace
{
std::unique_ptr<ID3DataBaseEntry> makeRecord (const juce::String& path)
{
    auto record = std::make_unique<ID3DataBaseEntry>();
    record->filename = path;
    record->setValid();
    return record;
}

class DatabaseFile : public ::testing::Test
{
protected:
    test::TempFolder temp;
    juce::File databaseFile = temp.file ("database.xml");

    juce::File findKeptAside() const
    {
        const auto found = temp.get().findChildFiles (juce::File::findFilesAndDirectories, false, "database.xml.bad-*");
        return found.size() == 1 ? found[0] : juce::File();
    }
};

/** Python's XML parser, an independent reader: the root's tag and "version", then
    per child its tag and attributes in file order. */
juce::StringArray readWithPython (const juce::File& file)
{
    const auto script =
        "import sys, xml.etree.ElementTree as E\n"
        "r = E.parse(sys.argv[1]).getroot()\n"
        "print(r.tag, r.get('version'))\n"
        "for c in r: print(c.tag, ' '.join(k + '=' + v for k, v in c.attrib.items()))\n";
    return juce::StringArray::fromLines (test::runCommand ({ "python3", "-c", script, file.getFullPathName() }).output.trimEnd());
}
}

TEST_F (DatabaseFile, EveryAttributeRoundTripsInItsOrder)
{
    const auto path = juce::String::fromUTF8 ("/music/R&B <live> \"x\" \xc3\xbc \xf0\x9f\x8e\xa7.mp3");
    {
        ID3DataBase database (databaseFile);
        auto record = makeRecord (path);
        record->artist = juce::String::fromUTF8 ("Bj\xc3\xb6rk & <Friends>");
        record->album = "Al";
        record->song = "Song\ttab";
        record->bpm = "128.5";
        record->label = "Label";
        record->genre = "House";
        record->year = "1999";
        record->quality = "192 kbps";
        record->samplerate = 44100;
        record->seconds = 301;
        record->lm_date = 132224078450000000LL;
        record->filesize = 5000000000LL;
        record->couldNotWriteMetadata = true;
        record->cuePoint[0] = 0.5f;
        record->cuePoint[1] = 0.1f;
        record->cuePoint[5] = 1.0f;
        record->loadedInDeck = record->addedToCase = record->missing = true; // not stored
        database.insertEntry (std::move (record));
        ASSERT_TRUE (database.isDirty());
    }

    const auto lines = readWithPython (databaseFile);
    ASSERT_EQ (lines.size(), 2) << lines.joinIntoString ("\n");
    EXPECT_EQ (lines[0], "Zund2DataBase 2.20");
    EXPECT_EQ (lines[1], "Entry0 filename=" + path + " artist=" + juce::String::fromUTF8 ("Bj\xc3\xb6rk & <Friends>")
                         + " album=Al song=Song\ttab bpm=128.5 label=Label genre=House year=1999 filesize=5000000000"
                           " lm_date=132224078450000000 quality=192 kbps seconds=301 samplerate=44100 couldNotWriteMetadata=1"
                           " cuePoint0=0.5 cuePoint1=0.100000001 cuePoint2=-1 cuePoint3=-1 cuePoint4=-1 cuePoint5=1");

    ID3DataBase loaded (databaseFile);
    EXPECT_EQ (loaded.getVersion(), "2.20");
    EXPECT_FALSE (loaded.isDirty());
    ASSERT_EQ (loaded.getNumEntries(), 1);
    const auto* record = loaded.getEntry (loaded.findIndex (path));
    ASSERT_NE (record, nullptr);
    EXPECT_EQ (record->artist, juce::String::fromUTF8 ("Bj\xc3\xb6rk & <Friends>"));
    EXPECT_EQ (record->song, "Song\ttab");
    EXPECT_EQ (record->filesize, 5000000000LL);
    EXPECT_EQ (record->lm_date, 132224078450000000LL);
    EXPECT_EQ (record->seconds, 301);
    EXPECT_EQ (record->samplerate, 44100);
    EXPECT_EQ (record->quality, "192 kbps");
    EXPECT_TRUE (record->couldNotWriteMetadata);
    EXPECT_TRUE (record->valid);
    EXPECT_FALSE (record->loadedInDeck || record->addedToCase || record->missing);
    EXPECT_EQ (record->cuePoint[0], 0.5f);
    EXPECT_EQ (record->cuePoint[1], 0.1f);
    EXPECT_EQ (record->cuePoint[2], -1.0f);
    EXPECT_EQ (record->cuePoint[5], 1.0f);
}

TEST_F (DatabaseFile, OnlyStoredRecordsAreWrittenAndNumberedInOrder)
{
    {
        ID3DataBase database (databaseFile);
        for (auto name : { "/m/a.mp3", "/m/b.mp3", "/m/c.mp3" })
            database.insertEntry (makeRecord (name));
        database.getEntry (database.findIndex ("/m/b.mp3"))->valid = false;
    }
    const auto lines = readWithPython (databaseFile);
    ASSERT_EQ (lines.size(), 3);
    EXPECT_TRUE (lines[1].startsWith ("Entry0 filename=/m/")) << lines[1];
    EXPECT_TRUE (lines[2].startsWith ("Entry1 filename=/m/")) << lines[2];
    EXPECT_FALSE (lines.joinIntoString ("\n").contains ("b.mp3"));
}

TEST_F (DatabaseFile, CuePointsAreWrittenTheSameUnderACommaLocale)
{
    // A German locale, made for this test (the machine may have none installed).
    const auto locales = temp.file ("locales");
    ASSERT_TRUE (locales.createDirectory());
    ASSERT_TRUE (test::runCommand ({ "localedef", "-i", "de_DE", "-f", "UTF-8", locales.getChildFile ("de_DE.UTF-8").getFullPathName() })
                     .succeeded());
    setenv ("LOCPATH", locales.getFullPathName().toRawUTF8(), 1);
    ASSERT_NE (std::setlocale (LC_ALL, "de_DE.UTF-8"), nullptr);
    char text[16];
    std::snprintf (text, sizeof (text), "%.1f", 0.5);
    ASSERT_STREQ (text, "0,5") << "the locale writes decimal commas";

    {
        ID3DataBase database (databaseFile);
        auto record = makeRecord ("/m/a.mp3");
        record->cuePoint[0] = 0.5f;
        record->cuePoint[1] = 0.25f;
        database.insertEntry (std::move (record));
    }
    ID3DataBase loaded (databaseFile);
    std::setlocale (LC_ALL, "C");
    unsetenv ("LOCPATH");

    const auto text2 = databaseFile.loadFileAsString();
    EXPECT_TRUE (text2.contains ("cuePoint0=\"0.5\"")) << text2;
    EXPECT_TRUE (text2.contains ("cuePoint1=\"0.25\"")) << text2;
    ASSERT_EQ (loaded.getNumEntries(), 1);
    EXPECT_EQ (loaded.getEntry (0)->cuePoint[0], 0.5f);
}

TEST_F (DatabaseFile, AbsentOrUnusableValuesTakeDefaults)
{
    ASSERT_TRUE (databaseFile.replaceWithText (
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Other version=\"1.5\">"
        "<A filename=\"/m/a.mp3\" cuePoint0=\"0.25\" cuePoint1=\"7\" cuePoint2=\"nan\" cuePoint4=\"x\" unknown=\"1\"/>"
        "<B filename=\"/m/b.mp3\" samplerate=\"99999999999\"/>"
        // Numbers the framework's readers overflow on.
        "<C filename=\"/m/c.mp3\" cuePoint0=\"1e9999999999\" cuePoint1=\"-1e-9999999999\" bpm=\"1e9999999999\""
        " seconds=\"-2147483648\" filesize=\"-9223372036854775808\"/></Other>"));
    ID3DataBase database (databaseFile);
    EXPECT_EQ (database.getVersion(), "1.5");
    ASSERT_EQ (database.getNumEntries(), 3);
    const auto* a = database.getEntry (database.findIndex ("/m/a.mp3"));
    ASSERT_NE (a, nullptr);
    EXPECT_EQ (a->cuePoint[0], 0.25f);
    EXPECT_EQ (a->cuePoint[1], 1.0f) << "held to the range the program sets";
    EXPECT_EQ (a->cuePoint[2], -1.0f);
    EXPECT_EQ (a->cuePoint[3], -1.0f) << "absent";
    EXPECT_EQ (a->filesize, 0);
    EXPECT_FALSE (a->couldNotWriteMetadata);
    EXPECT_TRUE (database.getLoadProblem().isEmpty());

    const auto* c = database.getEntry (database.findIndex ("/m/c.mp3"));
    ASSERT_NE (c, nullptr);
    EXPECT_EQ (c->cuePoint[0], -1.0f) << "too large to be a position";
    EXPECT_EQ (c->cuePoint[1], 0.0f);
    EXPECT_EQ (c->getBpmValue(), std::numeric_limits<double>::infinity());
    EXPECT_EQ (c->seconds, std::numeric_limits<int>::min());
    EXPECT_EQ (c->filesize, std::numeric_limits<juce::int64>::min());
}

TEST_F (DatabaseFile, UnreadableFileIsKeptAsideThroughAStartAndAStop)
{
    const std::string contents[] = {
        "<Zund2DataBase version=\"2.20\"><Entry0 filename=\"/m/a.mp3\"", // cut short
        "<!DOCTYPE x [<!ENTITY a \"aaaa\">]><Zund2DataBase/>",
        "\xff\xfe not text at all"
    };
    for (const auto& text : contents)
    {
        ASSERT_TRUE (databaseFile.replaceWithData (text.data(), text.size()));
        {
            ID3DataBase database (databaseFile);
            EXPECT_EQ (database.getNumEntries(), 0);
            EXPECT_EQ (database.getVersion(), "");
            EXPECT_TRUE (database.getLoadProblem().contains ("could not be read")) << database.getLoadProblem();
            EXPECT_FALSE (databaseFile.exists());
            database.insertEntry (makeRecord ("/m/new.mp3"));
        }
        const auto aside = findKeptAside();
        ASSERT_TRUE (aside.existsAsFile());
        juce::MemoryBlock kept;
        aside.loadFileAsData (kept);
        EXPECT_EQ (std::string (static_cast<const char*> (kept.getData()), kept.getSize()), text);
        EXPECT_TRUE (databaseFile.loadFileAsString().contains ("/m/new.mp3")) << "a new file beside the kept one";
        aside.deleteFile();
    }
}

TEST_F (DatabaseFile, FailedSaveKeepsTheOldFileAndSaysWhy)
{
    {
        ID3DataBase database (databaseFile);
        database.insertEntry (makeRecord ("/m/old.mp3"));
    }
    const auto before = databaseFile.loadFileAsString();

    juce::String reported;
    {
        test::ScopedFileSizeLimit limit ((rlim_t) before.length()); // outlives the database's own save
        ID3DataBase database (databaseFile);
        database.setSaveFailureHandler ([&reported] (const juce::String& reason) { reported = reason; });
        for (int i = 0; i < 100; ++i)
            database.insertEntry (makeRecord ("/m/new" + juce::String (i) + ".mp3"));
        EXPECT_FALSE (database.save());
        EXPECT_TRUE (database.getLastSaveError().contains ("database.xml")) << database.getLastSaveError();
        EXPECT_TRUE (database.isDirty()) << "still to be saved";
    }
    EXPECT_TRUE (reported.isNotEmpty()) << "the save at the end reported its failure";
    EXPECT_EQ (databaseFile.loadFileAsString(), before);
    EXPECT_EQ (temp.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << "nothing left beside it";

    // A database file under a folder that does not exist.
    juce::String reason;
    {
        ID3DataBase database (temp.file ("gone/database.xml"));
        database.setSaveFailureHandler ([&reason] (const juce::String& r) { reason = r; });
        database.insertEntry (makeRecord ("/m/a.mp3"));
    }
    EXPECT_TRUE (reason.contains ("gone")) << reason;
}
