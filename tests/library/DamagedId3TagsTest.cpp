#include "library/database/ID3DataBaseEntry.h"
#include "library/tags/Id3Tags.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zund;

namespace
{
using Bytes = std::string;

Bytes sizeBytes (size_t size, bool syncSafe)
{
    const int shift = syncSafe ? 7 : 8;
    Bytes b;
    for (int i = 3; i >= 0; --i)
        b += (char) ((size >> (shift * i)) & (syncSafe ? 0x7f : 0xff));
    return b;
}

/** An ID3v2.3 or v2.4 frame with these status flags (0x40 in v2.4, 0x80 in v2.3:
    discard the frame when the tag is altered). */
Bytes frame (const char* id, int version, unsigned char status, const Bytes& body)
{
    return Bytes (id, 4) + sizeBytes (body.size(), version == 4) + (char) status + '\0' + body;
}

Bytes text (unsigned char encoding, const std::string& value)
{
    return (char) encoding + value;
}

/** An ID3v2.4 frame compressed with zlib, after its data length indicator. */
Bytes compressedFrame (const char* id, const Bytes& body)
{
    juce::MemoryOutputStream packed;
    {
        juce::GZIPCompressorOutputStream zlib (packed, 9);
        zlib.write (body.data(), body.size());
    }
    const auto data = sizeBytes (body.size(), true) + Bytes (static_cast<const char*> (packed.getData()), packed.getDataSize());
    return Bytes (id, 4) + sizeBytes (data.size(), true) + '\0' + '\x09' + data;
}

Bytes tag (int version, const std::vector<Bytes>& frames, size_t padding = 64)
{
    Bytes body;
    for (const auto& f : frames)
        body += f;
    body += Bytes (padding, '\0');
    return Bytes ("ID3") + (char) version + '\0' + '\0' + sizeBytes (body.size(), true) + body;
}

class DamagedId3Tags : public ::testing::Test
{
protected:
    /** A file of this tag before a short MP3's audio. */
    juce::File withAudio (const juce::String& name, const Bytes& tagBytes)
    {
        if (! audio.existsAsFile())
        {
            EXPECT_TRUE (test::writeShortMp3 (audio, 2.0));
        }
        juce::MemoryBlock data (tagBytes.data(), tagBytes.size());
        juce::MemoryBlock frames;
        audio.loadFileAsData (frames);
        data.append (frames.getData(), frames.getSize());
        const auto file = temp.file (name);
        EXPECT_TRUE (file.replaceWithData (data.getData(), data.getSize()));
        return file;
    }

    static Bytes bytesOf (const juce::File& file)
    {
        juce::MemoryBlock data;
        file.loadFileAsData (data);
        return data.isEmpty() ? Bytes() : Bytes (static_cast<const char*> (data.getData()), data.getSize());
    }

    static bool write (const juce::File& file, int field, const char* value)
    {
        return writeId3Tag (file.getFullPathName().toRawUTF8(), field, value);
    }

    static juce::String read (const juce::File& file, int field)
    {
        std::vector<std::vector<char>> buffers (numId3Fields, std::vector<char> (id3TextBufferSize, 0));
        auto b = [&buffers] (int f) { return buffers[(size_t) f].data(); };
        if (! readId3Tags (file.getFullPathName().toRawUTF8(), b (id3Artist), b (id3Title), b (id3Album), b (id3Bpm),
                           b (id3Label), b (id3Year), b (id3Genre)))
            return "(unreadable)";
        return juce::String::fromUTF8 (b (field));
    }

    test::TempFolder temp;
    juce::File audio = temp.file ("audio.mp3");
};
}

// TagLib 1.13 rewrote a tag in place of as many bytes as its header claimed, and
// moved memory by a negative size when that ran past the file's end: heap
// corruption from editing a stub download. The write is refused, the record is
// marked, the file stays as it was.
TEST_F (DamagedId3Tags, TagsTagLibWouldMangleAreNeverRewritten)
{
    const auto whole = tag (3, { frame ("TIT2", 3, 0, text (0, "Cut Short")), frame ("TPE1", 3, 0, text (0, "Artist")) }, 4000);
    const auto claimingMore = [&whole] {
        auto b = whole;
        const auto claimed = sizeBytes (whole.size() + 200000, true);
        b.replace (6, 4, claimed);
        return b;
    }();

    auto overVersion1 = whole; // an ID3v1 tag in the last 128 bytes, inside the ID3v2 tag's padding
    overVersion1.replace (overVersion1.size() - 128, 128, "TAG" + std::string (125, 'v'));

    auto footerFlagged = whole; // TagLib counts a footer whatever the version says
    footerFlagged[5] = 0x10;

    struct Case { const char* name; Bytes bytes; bool withAudio; };
    const Case cases[] = {
        { "id3-only.mp3", "ID3", false },
        { "header-only.mp3", whole.substr (0, 10), false },
        { "cut-inside-tag.mp3", whole.substr (0, whole.size() / 2), false },
        { "cut-before-padding-end.mp3", whole.substr (0, whole.size() - 10), false },
        { "claims-past-end.mp3", claimingMore, true },
        { "footer-past-end.mp3", footerFlagged, false },
        // TagLib wrote the ID3v1 tag back over the middle of the new ID3v2 tag.
        { "into-version1.mp3", overVersion1, false },
        { "footer-past-end-after-audio.mp3", "\xff\xfb\x90\x64" + footerFlagged, false },
        // TagLib writes frames without their flags: an encrypted one would come back as
        // a plain frame of garbage.
        { "encrypted.mp3", tag (4, { frame ("TIT2", 4, 0, text (0, "Cut Short")),
                                     Bytes ("TALB", 4) + sizeBytes (6, true) + '\0' + '\x04' + "\x80\x03xyz\x01" }), true },
        // An unsynchronised frame's unknown encoding cannot be mended in place: a 0 after
        // an 0xff would be decoded away.
        { "unsynchronised.mp3", tag (4, { frame ("TIT2", 4, 0, text (0, "Cut Short")),
                                          Bytes ("TALB", 4) + sizeBytes (10, true) + '\0' + '\x03' + Bytes ("\0\0\0\xff", 4)
                                              + "\x40" + "Album" }),
          true },
        // A compressed text frame's encoding byte cannot be checked.
        { "compressed.mp3", tag (4, { frame ("TIT2", 4, 0, text (0, "Cut Short")), compressedFrame ("TALB", text (3, "Album")) }),
          true },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        if (c.withAudio && c.name != std::string ("claims-past-end.mp3"))
            ASSERT_TRUE (test::listWithEyeD3 (withAudio ("check.mp3", c.bytes)).contains ("title: Cut Short"));
        juce::File file = temp.file (c.name);
        if (c.withAudio)
            file = withAudio (c.name, c.bytes);
        else
            ASSERT_TRUE (file.replaceWithData (c.bytes.data(), c.bytes.size()));
        const auto before = bytesOf (file);

        EXPECT_FALSE (write (file, id3Year, "1999"));
        EXPECT_EQ (bytesOf (file), before);

        ID3DataBaseEntry record;
        record.filename = file.getFullPathName();
        record.year = "2001";
        EXPECT_FALSE (record.writeTagsToFile());
        EXPECT_TRUE (record.getCouldNotWriteMetadata());
        EXPECT_EQ (bytesOf (file), before);
    }

    // The same tag whole still takes the edit.
    const auto sound = withAudio ("whole.mp3", whole);
    EXPECT_TRUE (write (sound, id3Year, "1999"));
    const auto listing = test::listWithEyeD3 (sound);
    EXPECT_TRUE (listing.contains ("title: Cut Short")) << listing;
}

// TagLib kept an encoding byte above 3 as its string type: the text read as
// garbage, and an edit of another field wrote the frame back empty (the genre
// restore passed the byte on). Such text reads as Latin-1, and no frame is ever
// written with an encoding outside 0..3.
TEST_F (DamagedId3Tags, UnknownTextEncodingReadsAsLatin1AndIsNeverWrittenBack)
{
    for (const int version : { 3, 4 })
    {
        SCOPED_TRACE ("ID3v2." + juce::String (version));
        const auto file = withAudio ("encoding" + juce::String (version) + ".mp3",
                                     tag (version, { frame ("TIT2", version, 0, text (7, "Plain Title")),
                                                     frame ("TCON", version, 0, text (200, "Techno")),
                                                     frame ("TPE1", version, 0, text (4, "Odd Artist")),
                                                     frame ("TPUB", version, 0, text (0xff, "Label")),
                                                     frame ("TBPM", version, 0, text (0x80, "128")),
                                                     frame ("TALB", version, 0, text (0, "Album")) }));
        EXPECT_EQ (read (file, id3Title), "Plain Title");
        EXPECT_EQ (read (file, id3Genre), "Techno");
        EXPECT_EQ (read (file, id3Artist), "Odd Artist");
        EXPECT_EQ (read (file, id3Label), "Label");
        EXPECT_EQ (read (file, id3Bpm), "128");

        ASSERT_TRUE (write (file, id3Year, "1999"));
        const auto listing = test::listWithEyeD3 (file);
        for (auto expected : { "title: Plain Title", "genre: Techno", "artist: Odd Artist", "album: Album", "BPM: 128",
                               "Publisher/label: Label" })
            EXPECT_TRUE (listing.contains (expected)) << expected << "\n" << listing;

        const auto written = bytesOf (file);
        for (const char* id : { "TIT2", "TCON", "TPE1", "TALB", "TPUB", "TBPM" })
        {
            const auto at = written.find (id);
            ASSERT_NE (at, Bytes::npos) << id;
            EXPECT_LE ((unsigned char) written[at + 10], 3) << id << ": its encoding byte";
        }
    }
}

// TagLib reads the frames of an ID3v2.4 tag written with ID3v2.3 sizes (as iTunes
// did) where those sizes lead: the unknown encoding of a frame after such a one
// is found there too.
TEST_F (DamagedId3Tags, UnknownTextEncodingIsFoundAfterFramesOfPlainSizes)
{
    const std::string album = "Album" + std::string (250, ' ');
    auto albumFrame = frame ("TALB", 4, 0, text (0, album)); // 256 bytes: 00 00 01 00 read plainly
    albumFrame.replace (4, 4, Bytes ("\0\0\x01\0", 4));
    const auto file = withAudio ("plain-sizes.mp3", tag (4, { albumFrame, frame ("TIT2", 4, 0, text (9, "Plain Title")) }));

    EXPECT_EQ (read (file, id3Title), "Plain Title");
    ASSERT_TRUE (write (file, id3Year, "1999"));
    EXPECT_TRUE (test::listWithEyeD3 (file).contains ("title: Plain Title")) << test::listWithEyeD3 (file);
    const auto written = bytesOf (file);
    const auto at = written.find ("TIT2");
    ASSERT_NE (at, Bytes::npos);
    EXPECT_LE ((unsigned char) written[at + 10], 3);
}

// TagLib leaves out every frame flagged "discard when the tag is altered", and
// editing the year of such an ID3v2.4 song deleted its title. The program's own
// frames keep their texts through any edit.
TEST_F (DamagedId3Tags, FramesFlaggedForDiscardKeepTheProgramsTexts)
{
    struct Case { int version; unsigned char discard; };
    for (const auto& c : { Case { 4, 0x40 }, Case { 3, 0x80 } })
    {
        SCOPED_TRACE ("ID3v2." + juce::String (c.version));
        const auto file = withAudio ("flagged" + juce::String (c.version) + ".mp3",
                                     tag (c.version, { frame ("TIT2", c.version, c.discard, text (0, "Kept Title")),
                                                       frame ("TPE1", c.version, c.discard, text (0, "Kept Artist")),
                                                       frame ("TCON", c.version, c.discard, text (0, "Techno")),
                                                       frame ("TBPM", c.version, c.discard, text (0, "128")) }));
        ASSERT_TRUE (write (file, id3Year, "1999"));

        const auto listing = test::listWithEyeD3 (file);
        for (auto expected : { "title: Kept Title", "artist: Kept Artist", "genre: Techno", "BPM: 128" })
            EXPECT_TRUE (listing.contains (expected)) << expected << "\n" << listing;
        EXPECT_EQ (read (file, id3Year), "1999");

        // A second edit finds them again.
        ASSERT_TRUE (write (file, id3Album, "Album"));
        EXPECT_EQ (read (file, id3Title), "Kept Title");
    }
}
