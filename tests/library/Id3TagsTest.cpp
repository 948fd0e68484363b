#include "library/database/ID3DataBaseEntry.h"
#include "library/tags/Id3Tags.h"
#include "ScopedFileSizeLimit.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

using namespace zund;

namespace
{
/** The seven texts of readId3Tags, each in a buffer of exactly the promised size
    (so AddressSanitizer sees any write past it), preset to "unchanged". */
struct Id3Texts
{
    std::vector<std::vector<char>> buffers = std::vector<std::vector<char>> (numId3Fields, std::vector<char> (id3TextBufferSize));

    Id3Texts()
    {
        for (auto& b : buffers)
            std::strcpy (b.data(), "unchanged");
    }

    bool read (const juce::File& file)
    {
        return readId3Tags (file.getFullPathName().toRawUTF8(), text (id3Artist), text (id3Title), text (id3Album),
                            text (id3Bpm), text (id3Label), text (id3Year), text (id3Genre));
    }

    char* text (int field) { return buffers[(size_t) field].data(); }
    juce::String operator[] (int field) { return juce::String::fromUTF8 (text (field)); }

    void expect (std::initializer_list<std::pair<int, const char*>> expected)
    {
        for (const auto& [field, text] : expected)
            EXPECT_EQ ((*this)[field], juce::String::fromUTF8 (text)) << "field " << field;
    }
};

class Id3Tags : public ::testing::Test
{
protected:
    /** A three-second MP3 with a tag written by eyeD3 in the given version. */
    juce::File makeTaggedMp3 (const juce::String& name, const juce::String& version, const juce::StringArray& options)
    {
        const auto file = temp.file (name);
        if (! base.existsAsFile())
        {
            EXPECT_TRUE (test::writeShortMp3 (base, 3.0));
        }
        EXPECT_TRUE (base.copyFileTo (file));
        juce::StringArray all { "--to-v" + version };
        all.addArray (options);
        EXPECT_TRUE (test::tagWithEyeD3 (file, all));
        return file;
    }

    juce::MemoryBlock bytesOf (const juce::File& file)
    {
        juce::MemoryBlock data;
        file.loadFileAsData (data);
        return data;
    }

    test::TempFolder temp;
    juce::File base = temp.file ("base.mp3");
};

}

TEST_F (Id3Tags, GenreNumbersBecomeNames)
{
    const struct { const char* stored; const char* shown; } cases[] = {
        { "(17)", "Rock" }, { "()", "Blues" }, { "(0)", "Blues" }, { "(0017)", "Rock" }, { "(147)", "Synthpop" },
        { "(67)", "Psychadelic" }, { "(141)", "Christian Rock " }, { "(148)", "(148)" }, { "(-1)", "(-1)" },
        { "(17)Rock", "(17)Rock" }, { "Techno", "Techno" }, { "(x)", "(x)" }
    };
    for (const auto& c : cases)
    {
        const auto file = makeTaggedMp3 ("genre.mp3", "2.3", { "--non-std-genres", "--text-frame", juce::String ("TCON:") + c.stored });
        Id3Texts texts;
        ASSERT_TRUE (texts.read (file));
        EXPECT_EQ (texts[id3Genre], juce::String::fromUTF8 (c.shown)) << c.stored;
    }
}

TEST_F (Id3Tags, BothVersionsReadAndKeepTheirVersionAndOtherFramesAfterAnEdit)
{
    const auto picture = temp.file ("cover.png");
    {
        juce::FileOutputStream out (picture);
        ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (juce::Image (juce::Image::RGB, 4, 4, true), out));
    }

    for (const juce::String version : { "2.3", "2.4" })
    {
        const bool isVersion4 = version == "2.4";
        // ID3v2.3 keeps its date (TDAT) beside the year, a frame ID3v2.4 no longer has.
        const auto file = makeTaggedMp3 ("v" + version + ".mp3", version,
                                         { "-a", "Artist", "-t", "Title", "-A", "Album", "--bpm", "128",
                                           "--publisher", "Label", "--text-frame", isVersion4 ? "TDRC:1999" : "TYER:1999",
                                           "--text-frame", isVersion4 ? "TIT3:sub" : "TDAT:0105",
                                           "--add-comment", "keep me", "--add-image", picture.getFullPathName() + ":FRONT_COVER" });
        Id3Texts texts;
        ASSERT_TRUE (texts.read (file));
        // No genre frame: that buffer stays as it was.
        texts.expect ({ { id3Artist, "Artist" }, { id3Title, "Title" }, { id3Album, "Album" }, { id3Bpm, "128" },
                        { id3Label, "Label" }, { id3Year, "1999" }, { id3Genre, "unchanged" } });

        const Id3TextEdit edits[] = { { id3Artist, "New Artist" }, { id3Year, "2001" }, { id3Genre, "House" } };
        ASSERT_TRUE (writeId3Tags (file.getFullPathName().toRawUTF8(), edits, 3));

        const auto listing = test::listWithEyeD3 (file);
        EXPECT_TRUE (listing.contains ("ID3 v" + version)) << listing;
        EXPECT_TRUE (listing.contains ("artist: New Artist")) << listing;
        EXPECT_TRUE (listing.contains ("title: Title")) << listing;
        EXPECT_TRUE (listing.contains ("keep me")) << listing;
        EXPECT_TRUE (listing.contains ("FRONT_COVER Image")) << listing;
        EXPECT_TRUE (listing.contains (isVersion4 ? "TIT3" : "TDAT")) << listing;
        EXPECT_TRUE (listing.contains (isVersion4 ? "TDRC" : "TYER")) << listing;
        EXPECT_FALSE (listing.contains (isVersion4 ? "TYER" : "TDRC")) << listing;
        EXPECT_TRUE (listing.contains ("genre: House")) << listing;

        Id3Texts after;
        ASSERT_TRUE (after.read (file));
        EXPECT_EQ (after[id3Year], "2001");
        EXPECT_EQ (after[id3Label], "Label");
    }
}

TEST_F (Id3Tags, NonLatinTextRoundTripsAndSurvivesEditsOfOtherFields)
{
    const juce::String bjork = juce::String::fromUTF8 ("Bj\xc3\xb6rk");
    const juce::String cyrillic = juce::String::fromUTF8 ("\xd0\x9a\xd0\xb8\xd0\xbd\xd0\xbe");

    for (const juce::String version : { "2.3", "2.4" })
    {
        const auto file = makeTaggedMp3 ("text" + version + ".mp3", version,
                                         { "-t", "x", "--non-std-genres", "--text-frame", "TCON:(17)Rock" });
        ASSERT_TRUE (writeId3Tag (file.getFullPathName().toRawUTF8(), id3Artist, bjork.toRawUTF8()));
        ASSERT_TRUE (writeId3Tag (file.getFullPathName().toRawUTF8(), id3Title, cyrillic.toRawUTF8()));
        ASSERT_TRUE (writeId3Tag (file.getFullPathName().toRawUTF8(), id3Bpm, "125"));

        // The frame's text encoding byte: UTF-16 in ID3v2.3, UTF-8 in ID3v2.4.
        const auto bytes = bytesOf (file);
        const auto* data = static_cast<const char*> (bytes.getData());
        const auto* found = std::search (data, data + bytes.getSize(), "TIT2", "TIT2" + 4);
        ASSERT_LT (found + 10, data + bytes.getSize());
        EXPECT_EQ ((int) found[10], version == "2.3" ? 1 : 3);

        const auto listing = test::listWithEyeD3 (file);
        EXPECT_TRUE (listing.contains ("artist: " + bjork)) << listing;
        EXPECT_TRUE (listing.contains ("title: " + cyrillic)) << listing;

        Id3Texts texts;
        ASSERT_TRUE (texts.read (file));
        EXPECT_EQ (texts[id3Artist], bjork);
        EXPECT_EQ (texts[id3Title], cyrillic);
        EXPECT_EQ (texts[id3Bpm], "125");
        EXPECT_EQ (texts[id3Genre], "(17)Rock") << "the genre frame is kept as it was";
        EXPECT_TRUE (listing.contains ("TCON")) << listing;
    }
}

TEST_F (Id3Tags, LongFramesAreCutInsideTheBuffersAtACharacterBoundary)
{
    juce::String longText;
    for (int i = 0; i < 10000; ++i)
        longText << juce::String::fromUTF8 ("\xc3\xbc"); // 20 kB of two-byte characters
    const auto file = makeTaggedMp3 ("long.mp3", "2.4", { "-a", longText, "-t", "short" });

    Id3Texts texts;
    ASSERT_TRUE (texts.read (file));
    const auto artist = texts[id3Artist];
    EXPECT_EQ (std::strlen (texts.text (id3Artist)), id3TextBufferSize - 2) << "9,999 bytes would split a character";
    EXPECT_TRUE (longText.startsWith (artist));
    EXPECT_EQ (texts[id3Title], "short");
}

TEST_F (Id3Tags, Version1TagFillsWhatVersion2LacksAndFollowsEdits)
{
    const auto file = makeTaggedMp3 ("v1.mp3", "1.1", { "-a", "Old", "-t", "Song", "-G", "Rock", "-Y", "1990" });
    Id3Texts texts;
    ASSERT_TRUE (texts.read (file));
    texts.expect ({ { id3Artist, "Old" }, { id3Title, "Song" }, { id3Genre, "Rock" }, { id3Year, "1990" } });

    ASSERT_TRUE (writeId3Tag (file.getFullPathName().toRawUTF8(), id3Artist, "New"));
    const auto version1 = test::runCommand ({ "eyeD3", "--no-color", "--no-config", "-1", file.getFullPathName() }).output;
    EXPECT_TRUE (version1.contains ("artist: New")) << version1;
    EXPECT_TRUE (version1.contains ("title: Song")) << version1;
}

TEST_F (Id3Tags, FailuresLeaveBuffersAndFilesAlone)
{
    Id3Texts texts;
    EXPECT_FALSE (texts.read (temp.file ("missing.mp3")));
    EXPECT_EQ (texts[id3Artist], "unchanged");
    EXPECT_FALSE (writeId3Tag (temp.file ("missing.mp3").getFullPathName().toRawUTF8(), id3Artist, "x"));

    // A file that cannot be written (root ignores permissions, not a size limit):
    // the tag grows by a large frame, the write fails, and nothing changes.
    const auto file = makeTaggedMp3 ("full.mp3", "2.3", { "-a", "Artist" });
    const auto before = bytesOf (file);
    const juce::String big = juce::String::repeatedString ("x", 50000);
    {
        test::ScopedFileSizeLimit limit ((rlim_t) file.getSize() + 1000);
        EXPECT_FALSE (writeId3Tag (file.getFullPathName().toRawUTF8(), id3Album, big.toRawUTF8()));
    }
    EXPECT_EQ (bytesOf (file), before);
    EXPECT_EQ (temp.get().getNumberOfChildFiles (juce::File::findFiles, "*TEMPORARY*"), 0);
}

TEST_F (Id3Tags, RecordWritesItsTextsByFileType)
{
    ID3DataBaseEntry record;
    record.artist = "A";
    record.song = juce::String::fromUTF8 ("S\xc3\xb6ng");
    record.album = "Al";
    record.genre = "Techno";
    record.year = "2020";
    record.bpm = "174";
    record.label = "L";

    const auto mp3 = makeTaggedMp3 ("record.mp3", "2.3", { "-a", "Before" });
    record.filename = mp3.getFullPathName();
    ASSERT_TRUE (record.writeTagsToFile());
    EXPECT_FALSE (record.getCouldNotWriteMetadata());
    EXPECT_FALSE (record.hasFileChanged()) << "file facts are read again after the write";
    const auto listing = test::listWithEyeD3 (mp3);
    for (auto expected : { "artist: A", "album: Al", "genre: Techno", "BPM: 174", "Publisher/label: L" })
        EXPECT_TRUE (listing.contains (expected)) << expected << "\n" << listing;
    EXPECT_TRUE (listing.contains ("title: " + record.song)) << listing;

    // Held by another program: refused, flagged, untouched.
    const auto before = bytesOf (mp3);
    const int fd = ::open (mp3.getFullPathName().toRawUTF8(), O_RDWR);
    ASSERT_EQ (::flock (fd, LOCK_EX), 0);
    record.artist = "Other";
    EXPECT_FALSE (record.writeTagsToFile());
    EXPECT_TRUE (record.getCouldNotWriteMetadata());
    ::close (fd);
    EXPECT_EQ (bytesOf (mp3), before);

    // Files without tags of ours: a WAV counts as written, a FLAC as failed; neither is touched.
    for (const auto& [name, writes] : { std::pair { "song.wav", true }, std::pair { "song.flac", false } })
    {
        const auto other = temp.file (name);
        ASSERT_TRUE (other.replaceWithText ("not touched"));
        record.filename = other.getFullPathName();
        EXPECT_EQ (record.writeTagsToFile(), writes) << name;
        EXPECT_EQ (record.getCouldNotWriteMetadata(), ! writes) << name;
        EXPECT_EQ (other.loadFileAsString(), "not touched");
    }
}
