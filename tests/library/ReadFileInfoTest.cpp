#include "library/database/ID3DataBase.h"
#include "library/tags/VorbisCommentFile.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"
#include "support/VorbisFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using namespace zund;

namespace
{
/** What a record should hold after reading a tagged file. */
struct ExpectedRecord
{
    const char* artist;
    const char* song;
    const char* album;
    const char* bpm;
    const char* label;
    const char* genre;
    const char* year;
    const char* quality;
    int samplerate;
    int seconds;
};

void expectRecord (const ID3DataBaseEntry& record, const ExpectedRecord& expected)
{
    EXPECT_EQ (record.artist, expected.artist);
    EXPECT_EQ (record.song, expected.song);
    EXPECT_EQ (record.album, expected.album);
    EXPECT_EQ (record.bpm, expected.bpm);
    EXPECT_EQ (record.label, expected.label);
    EXPECT_EQ (record.genre, expected.genre);
    EXPECT_EQ (record.year, expected.year);
    EXPECT_EQ (record.quality, expected.quality);
    EXPECT_EQ (record.samplerate, expected.samplerate);
    EXPECT_EQ (record.seconds, expected.seconds);
}

class FileInfo : public ::testing::Test
{
protected:
    /** A record read from the file, or null when readFileInfo refused. */
    std::unique_ptr<ID3DataBaseEntry> read (const juce::File& file, std::unique_ptr<ID3DataBaseEntry> record = {})
    {
        if (record == nullptr)
            record = std::make_unique<ID3DataBaseEntry>();
        return database.readFileInfo (record.get(), file) ? std::move (record) : nullptr;
    }

    /** A copy of a WAV file with its header's sample-rate field replaced. */
    juce::File wavWithRate (const juce::String& name, juce::uint32 rate)
    {
        const auto source = temp.file ("source.wav");
        EXPECT_TRUE (test::runCommand ({ "sox", "-n", "-r", "44100", "-c", "2", "-b", "24", source.getFullPathName(),
                                         "synth", "2", "sine", "440" }).succeeded());
        juce::MemoryBlock data;
        source.loadFileAsData (data);
        auto* bytes = static_cast<char*> (data.getData());
        auto* fmt = std::search (bytes, bytes + data.getSize(), "fmt ", "fmt " + 4);
        EXPECT_LT (fmt + 16, bytes + data.getSize());
        for (int i = 0; i < 4; ++i)
            fmt[12 + i] = (char) (rate >> (8 * i)); // little-endian, after the chunk size, format and channels
        const auto file = temp.file (name);
        EXPECT_TRUE (file.replaceWithData (data.getData(), data.getSize()));
        return file;
    }

    test::TempFolder temp;
    ID3DataBase database { temp.file ("database.xml") };
};
}

TEST_F (FileInfo, Mp3TagsAndFactsInBothTagVersions)
{
    for (const juce::String version : { "2.3", "2.4" })
    {
        const auto mp3 = temp.file ("tagged" + version + ".mp3");
        ASSERT_TRUE (test::writeShortMp3 (mp3, 3.0, { "-b", "192" }));
        ASSERT_TRUE (test::tagWithEyeD3 (mp3, { "--to-v" + version, "-a", "Artist", "-t", "Title", "-A", "Album",
                                                "--bpm", "126", "--publisher", "Label", "-G", "Techno",
                                                "--text-frame", version == "2.3" ? "TYER:2004" : "TDRC:2004" }));
        const auto record = read (mp3);
        ASSERT_NE (record, nullptr);
        EXPECT_EQ (record->filename, mp3.getFullPathName());
        expectRecord (*record, { "Artist", "Title", "Album", "126", "Label", "Techno", "2004", "192 kbps", 44100, 3 });
        EXPECT_EQ (record->filesize, mp3.getSize());
        EXPECT_FALSE (record->hasFileChanged());
    }

    const auto vbr = temp.file ("vbr.mp3");
    ASSERT_TRUE (test::writeShortMp3 (vbr, 3.0, { "-V", "2" }));
    EXPECT_EQ (read (vbr)->quality, "VBR");

    // No MPEG frames at all: facts unknown, and the tags it does not have are empty.
    const auto junk = temp.file ("junk.mp3");
    ASSERT_TRUE (junk.replaceWithText ("no audio in here"));
    auto old = std::make_unique<ID3DataBaseEntry>();
    old->artist = "old";
    old->samplerate = 48000;
    const auto record = read (junk, std::move (old));
    ASSERT_NE (record, nullptr);
    EXPECT_EQ (record->quality, "N/A");
    EXPECT_EQ (record->samplerate, 0);
    EXPECT_EQ (record->seconds, 0);
    EXPECT_EQ (record->artist, "");
}

TEST_F (FileInfo, OggCommentsAndFacts)
{
    const auto ogg = temp.file ("song.ogg");
    ASSERT_TRUE (test::writeOgg (ogg, 3.0, { "ARTIST=Artist", "title=Title", "ALBUM=Album", "BPM=90", "GENRE=Dub",
                                             "ORGANIZATION=Label", "DATE=2011" }));
    const auto record = read (ogg);
    ASSERT_NE (record, nullptr);
    expectRecord (*record, { "Artist", "Title", "Album", "90", "Label", "Dub", "2011", "16 Bit", 44100, 3 });

    // Headers cut short: the tags the record had stay.
    const auto damaged = temp.file ("damaged.ogg");
    juce::MemoryBlock data;
    ogg.loadFileAsData (data);
    ASSERT_TRUE (damaged.replaceWithData (data.getData(), 200));
    auto known = std::make_unique<ID3DataBaseEntry>();
    known->artist = "known";
    const auto kept = read (damaged, std::move (known));
    ASSERT_NE (kept, nullptr);
    EXPECT_EQ (kept->artist, "known");
}

// An Ogg file that no decoder can be set up for (a codebook whose lengths make no
// prefix code) gives its comments and none of the facts that only a reader could
// give: it is never opened for decoding. Its comments can still be edited.
TEST_F (FileInfo, UndecodableOggGivesItsCommentsAndTakesEdits)
{
    const auto ogg = temp.file ("overfull-codebook.ogg");
    ASSERT_TRUE (test::writeOggWithOverfullCodebook (ogg, 2.0, { "ARTIST=Artist", "TITLE=Title" }));
    const auto record = read (ogg);
    ASSERT_NE (record, nullptr);
    expectRecord (*record, { "Artist", "Title", "", "", "", "", "", "", 0, 0 });

    VorbisCommentFile comments (ogg);
    ASSERT_EQ (comments.getState(), VorbisCommentFile::opened);
    ASSERT_TRUE (comments.setValue ("TITLE", "Edited"));
    EXPECT_TRUE (comments.save());
    const auto edited = read (ogg);
    ASSERT_NE (edited, nullptr);
    expectRecord (*edited, { "Artist", "Edited", "", "", "", "", "", "", 0, 0 });
}

TEST_F (FileInfo, SampleRatesAreCheckedBeforeDividing)
{
    EXPECT_EQ (read (wavWithRate ("normal.wav", 44100))->quality, "24 Bit");
    EXPECT_EQ (read (wavWithRate ("normal.wav", 44100))->seconds, 2);

    for (const auto rate : { 0u, std::numeric_limits<juce::uint32>::max() })
    {
        auto record = std::make_unique<ID3DataBaseEntry>();
        record->seconds = 77;
        record = read (wavWithRate ("odd.wav", rate), std::move (record));
        ASSERT_NE (record, nullptr);
        EXPECT_GE (record->samplerate, 0);
        if (record->samplerate == 0)
        {
            EXPECT_EQ (record->seconds, 77) << rate << ": no length without a rate";
        }
    }
}

TEST_F (FileInfo, OnlyStoredRecordsMarkTheDatabaseDirty)
{
    const auto ogg = temp.file ("song.ogg");
    ASSERT_TRUE (test::writeOgg (ogg, 1.0, {}));
    ID3DataBaseEntry shown;
    ASSERT_TRUE (database.readFileInfo (&shown, ogg));
    EXPECT_FALSE (database.isDirty());
    ID3DataBaseEntry stored;
    stored.setValid();
    ASSERT_TRUE (database.readFileInfo (&stored, ogg));
    EXPECT_TRUE (database.isDirty());
}
