// A text the user empties in the song table must read empty afterwards. When
// it was the last text of its tag, the tag goes (an empty tag is not written),
// and an older tag that a tagger once left behind it must not show instead:
// a second ID3v1 tag before the last one, or an ID3v2 tag further on before
// the audio.

#include "library/database/ID3DataBase.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace zund;

namespace
{
/** A 128-byte ID3v1 tag with only these texts (no genre), as any tagger writes one. */
juce::MemoryBlock version1Tag (const char* artist, const char* title)
{
    char tag[128] = {};
    std::memcpy (tag, "TAG", 3);
    std::strncpy (tag + 3, title, 30);
    std::strncpy (tag + 33, artist, 30);
    tag[127] = (char) 255;
    return { tag, sizeof (tag) };
}

/** The ID3v2 tag at the start of the file, as many bytes as its header claims. */
juce::MemoryBlock leadingTag (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    const auto* b = static_cast<const unsigned char*> (data.getData());
    const size_t size = 10 + ((size_t) b[6] << 21 | (size_t) b[7] << 14 | (size_t) b[8] << 7 | b[9]);
    return { b, size };
}

class EmptiedTags : public ::testing::Test
{
protected:
    juce::File taggedCopy (const juce::String& name, const juce::StringArray& eyeD3Options)
    {
        if (! base.existsAsFile())
        {
            EXPECT_TRUE (test::writeShortMp3 (base, 2.0));
        }
        const auto file = temp.file (name);
        EXPECT_TRUE (base.copyFileTo (file));
        EXPECT_TRUE (test::tagWithEyeD3 (file, eyeD3Options));
        return file;
    }

    /** The record as the program reads it from the file again. */
    ID3DataBaseEntry reread (const juce::File& file)
    {
        const juce::ScopedLock sl (database.getLock());
        bool scanned = false;
        const auto* record = database.addOrUpdateFile (file, scanned, true, false);
        EXPECT_TRUE (scanned);
        return record != nullptr ? *record : ID3DataBaseEntry();
    }

    test::TempFolder temp;
    juce::File base = temp.file ("base.mp3");
    ID3DataBase database { temp.file ("database.xml") };
};
}

TEST_F (EmptiedTags, AnOlderTagBehindTheEmptiedOneDoesNotShow)
{
    // An ID3v1 tag appended after an older one, which is left where it was.
    const auto twoVersion1 = taggedCopy ("two-v1.mp3", { "--to-v1.1", "-a", "Old Artist", "-t", "Old Title" });
    {
        juce::MemoryBlock bytes;
        ASSERT_TRUE (twoVersion1.loadFileAsData (bytes));
        bytes.append (version1Tag ("New Artist", "").getData(), 128);
        ASSERT_TRUE (twoVersion1.replaceWithData (bytes.getData(), bytes.getSize()));
    }

    // A new ID3v2 tag written in front of an older one, with padding between them.
    const auto older = taggedCopy ("older.mp3", { "--to-v2.3", "-a", "Old Artist", "-t", "Old Title" });
    const auto newer = taggedCopy ("newer.mp3", { "--to-v2.3", "-a", "New Artist" });
    const auto twoVersion2 = temp.file ("two-v2.mp3");
    {
        auto bytes = leadingTag (newer);
        bytes.append (juce::MemoryBlock (64, true).getData(), 64);
        juce::MemoryBlock rest;
        ASSERT_TRUE (older.loadFileAsData (rest));
        bytes.append (rest.getData(), rest.getSize());
        ASSERT_TRUE (twoVersion2.replaceWithData (bytes.getData(), bytes.getSize()));
    }

    for (const auto& file : { twoVersion1, twoVersion2 })
    {
        SCOPED_TRACE (file.getFileName());
        const auto before = reread (file);
        ASSERT_EQ (before.artist, "New Artist");
        ASSERT_EQ (before.song, "");

        // As the song table edits it: the artist emptied, written with the record's other texts.
        ASSERT_TRUE (database.editTags (file, [] (ID3DataBaseEntry& record) { record.artist = {}; }));

        const auto after = reread (file);
        EXPECT_EQ (after.artist, "");
        EXPECT_EQ (after.song, "");
        for (const auto& listing : { test::listWithEyeD3 (file),
                                     test::runCommand ({ "eyeD3", "--no-color", "--no-config", "-1",
                                                         file.getFullPathName() }).output })
        {
            EXPECT_FALSE (listing.contains ("Old Artist")) << listing;
            EXPECT_FALSE (listing.contains ("Old Title")) << listing;
        }

        // And a text set again later reads back as set.
        ASSERT_TRUE (database.editTags (file, [] (ID3DataBaseEntry& record) { record.song = "Later"; }));
        EXPECT_EQ (reread (file).song, "Later");
        EXPECT_EQ (reread (file).artist, "");
    }
}

// Vorbis comments have one comment header: an emptied comment is removed with
// every other comment of that key, and nothing older can take its place.
TEST_F (EmptiedTags, AnEmptiedVorbisCommentLeavesNoOtherValueOfItsKey)
{
    const auto file = temp.file ("song.ogg");
    ASSERT_TRUE (test::writeOgg (file, 2.0, { "ARTIST=First", "artist=Second", "TITLE=Title" }));
    ASSERT_EQ (reread (file).artist, "Second");

    ASSERT_TRUE (database.editTags (file, [] (ID3DataBaseEntry& record) { record.artist = {}; }));
    EXPECT_EQ (reread (file).artist, "");
    EXPECT_EQ (reread (file).song, "Title");
    EXPECT_EQ (test::listVorbisComments (file).joinIntoString ("|"), "TITLE=Title");
}
