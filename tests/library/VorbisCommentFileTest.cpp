#include "library/tags/VorbisCommentFile.h"
#include "library/tags/VorbisEdit.h"
#include "ScopedFileSizeLimit.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <ogg/ogg.h>
#include <vorbis/vorbisfile.h>

#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <vector>

using namespace zund;

namespace
{
juce::MemoryBlock bytesOf (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    return data;
}

/** The file's Ogg pages, split by libogg. */
std::vector<juce::MemoryBlock> pagesOf (const juce::File& file)
{
    const auto data = bytesOf (file);
    ogg_sync_state sync;
    ogg_sync_init (&sync);
    std::memcpy (ogg_sync_buffer (&sync, (long) data.getSize()), data.getData(), data.getSize());
    ogg_sync_wrote (&sync, (long) data.getSize());

    std::vector<juce::MemoryBlock> pages;
    ogg_page page;
    while (ogg_sync_pageout (&sync, &page) == 1)
    {
        juce::MemoryBlock bytes (page.header, (size_t) page.header_len);
        bytes.append (page.body, (size_t) page.body_len);
        pages.push_back (bytes);
    }
    ogg_sync_clear (&sync);
    return pages;
}

/** The same single-stream file with every `factor` audio pages merged into one
    (pages ending only where the original's did, so every granule position stays
    true): a pagination libvorbis would not make, as other muxers do. Dropping the
    first audio pages makes a stream that starts at a later position (as a stream
    cut from a broadcast does). Without headers on their own pages, audio starts on
    the last header page (which the Vorbis rules forbid). */
juce::MemoryBlock mergeAudioPages (const juce::File& file, int factor, int audioPagesToDrop = 0,
                                   bool headersOnTheirOwnPages = true)
{
    const auto pages = pagesOf (file);
    ogg_stream_state in, out;
    ogg_page page;
    ogg_packet packet;
    juce::MemoryBlock result;
    auto writeOut = [&] (bool flush) {
        while (flush && ogg_stream_flush_fill (&out, &page, 1 << 20))
        {
            result.append (page.header, (size_t) page.header_len);
            result.append (page.body, (size_t) page.body_len);
        }
    };

    int packets = 0, pageEnds = 0;
    for (size_t i = 0; i < pages.size(); ++i)
    {
        auto bytes = pages[i];
        page.header = static_cast<unsigned char*> (bytes.getData());
        page.header_len = 27 + page.header[26];
        page.body = page.header + page.header_len;
        page.body_len = (long) bytes.getSize() - page.header_len;
        if (i == 0)
        {
            ogg_stream_init (&in, ogg_page_serialno (&page));
            ogg_stream_init (&out, ogg_page_serialno (&page));
        }
        ogg_stream_pagein (&in, &page);
        while (ogg_stream_packetout (&in, &packet) == 1)
        {
            if (++packets > 3 && pageEnds < audioPagesToDrop)
            {
                pageEnds += packet.granulepos >= 0 ? 1 : 0;
                continue;
            }
            ogg_stream_packetin (&out, &packet);
            if (packets == 3)
                writeOut (headersOnTheirOwnPages);
            else if (packets > 3 && packet.granulepos >= 0 && (++pageEnds - audioPagesToDrop) % factor == 0)
                writeOut (true);
        }
    }
    writeOut (true);
    ogg_stream_clear (&in);
    ogg_stream_clear (&out);
    return result;
}

/** vorbiscomment's list, with one long value shown as "<long>". */
juce::StringArray listVorbisCommentsWithoutLong (const juce::File& file, const juce::String& longValue)
{
    auto comments = test::listVorbisComments (file);
    for (auto& comment : comments)
        if (comment.endsWith ("=" + longValue))
            comment = comment.upToFirstOccurrenceOf ("=", true, false) + "<long>";
    return comments;
}

/** The length libvorbisfile gives the streams: from their granule positions, with a
    stream's start taken from its first page's position. */
juce::int64 vorbisfileLength (const juce::File& file)
{
    OggVorbis_File vf;
    if (ov_fopen (file.getFullPathName().toRawUTF8(), &vf) != 0)
        return -1;
    const auto length = (juce::int64) ov_pcm_total (&vf, -1);
    ov_clear (&vf);
    return length;
}

juce::String ogginfo (const juce::File& file)
{
    return test::runCommand ({ "ogginfo", file.getFullPathName() }).output;
}

class VorbisComments : public ::testing::Test
{
protected:
    juce::File makeOgg (const juce::String& name, const juce::StringArray& comments, int serial = 1, double seconds = 3.0)
    {
        const auto file = temp.file (name);
        EXPECT_TRUE (test::writeOgg (file, seconds, comments, serial));
        return file;
    }

    int countTemporaryFiles() const
    {
        return temp.get().getNumberOfChildFiles (juce::File::findFiles, "*TEMPORARY*");
    }

    test::TempFolder temp;
};
}

TEST_F (VorbisComments, RepeatedKeysKeepTheLastValueAndCommentsWithoutKeysAreDropped)
{
    // A comment without "=" (no tool writes one; the editor itself puts it in).
    const auto path = makeOgg ("read.ogg", { "ARTIST=first", "artist=second", "TITLE=t" });
    {
        FILE* input = std::fopen (path.getFullPathName().toRawUTF8(), "rb");
        auto* edit = vorbisEditNewState();
        ASSERT_EQ (vorbisEditOpen (edit, input), 0);
        vorbis_comment_add (vorbisEditGetComments (edit), "NO EQUALS SIGN");
        FILE* output = std::fopen (temp.file ("keyless.ogg").getFullPathName().toRawUTF8(), "wb");
        ASSERT_EQ (vorbisEditWrite (edit, output), 0);
        std::fclose (output);
        std::fclose (input);
        vorbisEditClear (edit);
    }
    const auto keyless = temp.file ("keyless.ogg");
    ASSERT_TRUE (test::listVorbisComments (keyless).contains ("NO EQUALS SIGN"));

    VorbisCommentFile file (keyless);
    ASSERT_EQ (file.getState(), VorbisCommentFile::opened);
    EXPECT_EQ (file.getValue ("Artist"), "second");
    EXPECT_EQ (file.getValue ("TITLE"), "t");
    EXPECT_EQ (file.getValue ("ALBUM"), "");
    ASSERT_TRUE (file.save());
    EXPECT_EQ (test::listVorbisComments (keyless).joinIntoString ("|"), "ARTIST=second|TITLE=t");
}

TEST_F (VorbisComments, SaveRewritesTheCommentsAndKeepsAudioVendorAndPermissions)
{
    const auto longValue = juce::String::repeatedString ("long ", 20000); // spans several pages
    const auto path = makeOgg ("save.ogg", { "artist=x", "TITLE=t", "GENRE=g", "COMMENT=" + longValue,
                                             juce::String::fromUTF8 ("ALBUM=Bj\xc3\xb6rk \xd0\x9a\xd0\xb8\xd0\xbd\xd0\xbe") });
    ASSERT_EQ (::chmod (path.getFullPathName().toRawUTF8(), 0640), 0);
    const auto pcmBefore = test::decodeOggWithOggdec (path);
    const auto infoBefore = ogginfo (path);
    ASSERT_GT (pcmBefore.getSize(), 100000u);

    VorbisCommentFile file (path);
    ASSERT_TRUE (file.setValue ("ARTIST", "y"));
    ASSERT_TRUE (file.setValue ("GENRE", ""));
    ASSERT_TRUE (file.setValue ("BPM", "128"));
    ASSERT_TRUE (file.save());

    const auto comments = listVorbisCommentsWithoutLong (path, longValue);
    const juce::StringArray expected { "artist=y", "TITLE=t", "COMMENT=<long>",
                                       juce::String::fromUTF8 ("ALBUM=Bj\xc3\xb6rk \xd0\x9a\xd0\xb8\xd0\xbd\xd0\xbe"),
                                       "BPM=128" };
    EXPECT_EQ (comments, expected);
    EXPECT_EQ (test::decodeOggWithOggdec (path), pcmBefore);

    const auto infoAfter = ogginfo (path);
    EXPECT_FALSE (infoAfter.containsIgnoreCase ("warning")) << infoAfter;
    EXPECT_FALSE (infoAfter.containsIgnoreCase ("error")) << infoAfter;
    const auto vendorLine = [] (const juce::String& info) {
        return info.fromFirstOccurrenceOf ("Vendor:", false, false).upToFirstOccurrenceOf ("\n", false, false);
    };
    EXPECT_EQ (vendorLine (infoAfter), vendorLine (infoBefore));
    EXPECT_TRUE (vendorLine (infoAfter).isNotEmpty());

    struct stat facts;
    ASSERT_EQ (::stat (path.getFullPathName().toRawUTF8(), &facts), 0);
    EXPECT_EQ (facts.st_mode & 07777, 0640u);
    EXPECT_EQ (countTemporaryFiles(), 0);
}

TEST_F (VorbisComments, PagesOfAnotherLayoutGetTrueGranulePositions)
{
    const auto original = makeOgg ("paged.ogg", { "TITLE=t" }, 1, 6.0);
    for (const int dropped : { 0, 3 })
    {
        const auto merged = temp.file ("merged" + juce::String (dropped) + ".ogg");
        const auto bytes = mergeAudioPages (original, 4, dropped);
        ASSERT_TRUE (merged.replaceWithData (bytes.getData(), bytes.getSize()));
        const auto pcm = test::decodeOggWithOggdec (merged);
        const auto length = vorbisfileLength (merged);
        ASSERT_GT (pcm.getSize(), 400000u);
        ASSERT_LT (pagesOf (merged).size() * 2, pagesOf (original).size()) << "the pages really are larger";

        VorbisCommentFile file (merged);
        ASSERT_TRUE (file.setValue ("TITLE", "re-paginated"));
        ASSERT_TRUE (file.save());

        EXPECT_GT (pagesOf (merged).size() * 2, pagesOf (original).size()) << "new pages end inside the old ones";
        EXPECT_EQ (test::decodeOggWithOggdec (merged), pcm) << dropped;
        EXPECT_EQ (vorbisfileLength (merged), length) << dropped;
        const auto info = ogginfo (merged);
        EXPECT_FALSE (info.containsIgnoreCase ("warning")) << info;
    }
}

TEST_F (VorbisComments, ChainedFileKeepsItsSecondStreamByteForByte)
{
    const auto first = makeOgg ("first.ogg", { "TITLE=one" }, 11, 2.0);
    const auto second = makeOgg ("second.ogg", { "TITLE=two" }, 22, 1.5);
    const auto chained = temp.file ("chained.ogg");
    auto bytes = bytesOf (first);
    const auto secondBytes = bytesOf (second);
    bytes.append (secondBytes.getData(), secondBytes.getSize());
    ASSERT_TRUE (chained.replaceWithData (bytes.getData(), bytes.getSize()));
    const auto pcmBefore = test::decodeOggWithOggdec (chained);

    VorbisCommentFile file (chained);
    ASSERT_TRUE (file.setValue ("TITLE", "a much longer first title than before"));
    ASSERT_TRUE (file.save());

    const auto after = bytesOf (chained);
    ASSERT_GT (after.getSize(), secondBytes.getSize());
    EXPECT_EQ (std::memcmp (static_cast<const char*> (after.getData()) + after.getSize() - secondBytes.getSize(),
                            secondBytes.getData(), secondBytes.getSize()), 0);
    EXPECT_EQ (test::decodeOggWithOggdec (chained), pcmBefore);
    EXPECT_EQ (test::listVorbisComments (chained).joinIntoString ("|"), "TITLE=a much longer first title than before");
    const auto info = ogginfo (chained);
    EXPECT_FALSE (info.containsIgnoreCase ("warning")) << info;
}

TEST_F (VorbisComments, DamagedOrUnusualInputIsRefusedAndLeftAlone)
{
    const auto good = makeOgg ("good.ogg", { "TITLE=t" });
    const auto goodBytes = bytesOf (good);
    const auto size = goodBytes.getSize();

    auto variant = [&] (const juce::String& name, juce::MemoryBlock data) {
        const auto file = temp.file (name);
        EXPECT_TRUE (file.replaceWithData (data.getData(), data.getSize()));
        return file;
    };

    juce::MemoryBlock badChecksum (goodBytes);
    static_cast<char*> (badChecksum.getData())[size / 2] ^= 0x55;
    const auto truncated = juce::MemoryBlock (goodBytes.getData(), size - 100);

    // Two streams interleaved page by page: a grouped file (both streams' first pages
    // in front), and one whose second stream joins after the first one's headers.
    const auto pagesA = pagesOf (good);
    const auto pagesB = pagesOf (makeOgg ("other.ogg", { "TITLE=o" }, 7));
    auto interleave = [&] (size_t firstPagesOfA) {
        juce::MemoryBlock data;
        for (size_t i = 0; i < firstPagesOfA; ++i)
            data.append (pagesA[i].getData(), pagesA[i].getSize());
        for (size_t i = 0; i < std::max (pagesA.size(), pagesB.size()); ++i)
        {
            if (i < pagesB.size())
                data.append (pagesB[i].getData(), pagesB[i].getSize());
            if (i + firstPagesOfA < pagesA.size())
                data.append (pagesA[i + firstPagesOfA].getData(), pagesA[i + firstPagesOfA].getSize());
        }
        return data;
    };

    juce::MemoryBlock withJunkInFront ("ID3 junk before the stream", 26);
    withJunkInFront.append (goodBytes.getData(), size);

    for (const auto& file : { variant ("checksum.ogg", badChecksum), variant ("truncated.ogg", truncated),
                              variant ("grouped.ogg", interleave (1)), variant ("joined.ogg", interleave (2)),
                              variant ("junk.ogg", withJunkInFront), variant ("shared.ogg", mergeAudioPages (good, 1, 0, false)) })
    {
        const auto before = bytesOf (file);
        VorbisCommentFile comments (file);
        EXPECT_EQ (comments.getState(), VorbisCommentFile::opened) << file.getFileName() << ": the headers are intact";
        EXPECT_EQ (comments.getValue ("TITLE"), "t") << file.getFileName();
        comments.setValue ("TITLE", "new");
        EXPECT_FALSE (comments.save()) << file.getFileName();
        EXPECT_EQ (bytesOf (file), before) << file.getFileName();
    }

    for (const auto& file : { variant ("headers-cut.ogg", juce::MemoryBlock (goodBytes.getData(), 100)),
                              variant ("text.ogg", juce::MemoryBlock ("not an ogg file", 15)), temp.file ("missing.ogg") })
    {
        VorbisCommentFile comments (file);
        EXPECT_EQ (comments.getState(), VorbisCommentFile::notOpened) << file.getFileName();
        EXPECT_EQ (comments.getValue ("TITLE"), "");
        EXPECT_FALSE (comments.setValue ("TITLE", "x"));
        EXPECT_FALSE (comments.save());
    }
    EXPECT_EQ (countTemporaryFiles(), 0);
}

TEST_F (VorbisComments, FailedWriteLeavesTheOriginal)
{
    const auto path = makeOgg ("limited.ogg", { "TITLE=t" });
    const auto before = bytesOf (path);
    VorbisCommentFile file (path);
    file.setValue ("TITLE", "new");
    {
        test::ScopedFileSizeLimit limit (1000);
        EXPECT_FALSE (file.save());
    }
    EXPECT_EQ (bytesOf (path), before);
    EXPECT_EQ (countTemporaryFiles(), 0);
}

TEST_F (VorbisComments, ALinkStaysALinkToTheRewrittenFile)
{
    const auto folder = temp.file ("real");
    ASSERT_TRUE (folder.createDirectory());
    const auto real = folder.getChildFile ("song.ogg");
    ASSERT_TRUE (test::writeOgg (real, 1.0, { "TITLE=t" }));
    const auto link = temp.file ("link.ogg");
    ASSERT_TRUE (real.createSymbolicLink (link, true));

    VorbisCommentFile file (link);
    ASSERT_TRUE (file.setValue ("TITLE", "through the link"));
    ASSERT_TRUE (file.save());
    EXPECT_TRUE (link.isSymbolicLink());
    EXPECT_EQ (test::listVorbisComments (real).joinIntoString ("|"), "TITLE=through the link");
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1) << "nothing left beside the real file";
}

// The editor counts granule positions on from page to page in signed 64-bit
// numbers: a damaged page near 2^63 overflowed them (undefined behaviour, wrapped
// positions in the rewritten file). Such a file is refused and left alone.
TEST_F (VorbisComments, GranulePositionsNear2To63AreRefused)
{
    const auto good = makeOgg ("good.ogg", { "TITLE=t" }, 1, 6.0);
    const auto pages = pagesOf (good);
    ASSERT_GT (pages.size(), 6u);

    struct Case { const char* name; size_t fromEnd; juce::int64 granule; };
    const Case cases[] = {
        { "near-max-before-last.ogg", 2, std::numeric_limits<juce::int64>::max() - 10 },
        { "max-before-last.ogg", 2, std::numeric_limits<juce::int64>::max() },
        { "near-max-in-middle.ogg", pages.size() / 2, std::numeric_limits<juce::int64>::max() - 3000 },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        juce::MemoryBlock data;
        for (size_t i = 0; i < pages.size(); ++i)
        {
            auto page = pages[i];
            auto* bytes = static_cast<unsigned char*> (page.getData());
            if (i == pages.size() - c.fromEnd)
            {
                for (int b = 0; b < 8; ++b)
                    bytes[6 + b] = (unsigned char) ((juce::uint64) c.granule >> (8 * b));
                ogg_page p { bytes, 27 + bytes[26], bytes + 27 + bytes[26], (long) page.getSize() - 27 - bytes[26] };
                ogg_page_checksum_set (&p);
            }
            data.append (page.getData(), page.getSize());
        }
        const auto file = temp.file (c.name);
        ASSERT_TRUE (file.replaceWithData (data.getData(), data.getSize()));
        ASSERT_TRUE (test::runCommand ({ "ogginfo", file.getFullPathName() }).output.contains ("Vorbis stream 1"));

        VorbisCommentFile comments (file);
        ASSERT_EQ (comments.getState(), VorbisCommentFile::opened);
        comments.setValue ("TITLE", "new");
        EXPECT_FALSE (comments.save());
        EXPECT_EQ (bytesOf (file), data);
        EXPECT_EQ (test::listVorbisComments (file), juce::StringArray ({ "TITLE=t" }));
    }
    EXPECT_EQ (countTemporaryFiles(), 0);
}
