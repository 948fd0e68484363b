#include "audiofile/AudioReaderFactory.h"
#include "audiofile/readers/VorbisSetupHeader.h"
#include "support/BoundedRun.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <algorithm>
#include <set>
#include <vector>

using namespace zund;

namespace
{
using Bytes = std::vector<unsigned char>;

/** The header packets of an Ogg Vorbis file, and its pages after them. */
struct OggHeaders
{
    int serial = 0;
    std::vector<Bytes> packets;
    int headerPages = 0;
    Bytes audioPages;

    explicit OggHeaders (const juce::MemoryBlock& file)
    {
        ogg_sync_state sync;
        ogg_sync_init (&sync);
        std::memcpy (ogg_sync_buffer (&sync, (long) file.getSize()), file.getData(), file.getSize());
        ogg_sync_wrote (&sync, (long) file.getSize());
        ogg_stream_state stream;
        ogg_page page;
        for (bool first = true; ogg_sync_pageout (&sync, &page) == 1;)
        {
            if (packets.size() >= 3)
            {
                audioPages.insert (audioPages.end(), page.header, page.header + page.header_len);
                audioPages.insert (audioPages.end(), page.body, page.body + page.body_len);
                continue;
            }
            if (first)
                ogg_stream_init (&stream, serial = ogg_page_serialno (&page));
            first = false;
            ++headerPages;
            ogg_stream_pagein (&stream, &page);
            for (ogg_packet packet; packets.size() < 3 && ogg_stream_packetout (&stream, &packet) == 1;)
                packets.emplace_back (packet.packet, packet.packet + packet.bytes);
        }
        ogg_stream_clear (&stream);
        ogg_sync_clear (&sync);
    }

    /** The file with another set-up header; empty when its header pages no longer
        number as the audio pages expect. */
    juce::MemoryBlock withSetup (const Bytes& setup) const
    {
        ogg_stream_state stream;
        ogg_stream_init (&stream, serial);
        juce::MemoryBlock out;
        int pages = 0;
        auto flush = [&] {
            for (ogg_page page; ogg_stream_flush (&stream, &page) != 0; ++pages)
            {
                out.append (page.header, (size_t) page.header_len);
                out.append (page.body, (size_t) page.body_len);
            }
        };
        auto packetIn = [&] (const Bytes& data, int number) {
            ogg_packet packet { const_cast<unsigned char*> (data.data()), (long) data.size(), number == 0, 0, 0, number };
            ogg_stream_packetin (&stream, &packet);
        };
        packetIn (packets[0], 0);
        flush();
        packetIn (packets[1], 1);
        packetIn (setup, 2);
        flush();
        ogg_stream_clear (&stream);
        out.append (audioPages.data(), audioPages.size());
        return pages == headerPages ? out : juce::MemoryBlock();
    }
};

/** Packet bits, lowest bit of each byte first, as Vorbis packs them. */
std::vector<bool> bitsOf (const Bytes& packet)
{
    std::vector<bool> bits;
    for (auto byte : packet)
        for (int i = 0; i < 8; ++i)
            bits.push_back (((byte >> i) & 1) != 0);
    return bits;
}

Bytes bytesOf (std::vector<bool> bits)
{
    bits.resize ((bits.size() + 7) / 8 * 8, false);
    Bytes packet (bits.size() / 8, 0);
    for (size_t i = 0; i < bits.size(); ++i)
        packet[i / 8] |= (unsigned char) (bits[i] ? 1 << (i % 8) : 0);
    return packet;
}

void setField (std::vector<bool>& bits, size_t at, int width, unsigned value)
{
    for (int i = 0; i < width; ++i)
        bits[at + (size_t) i] = ((value >> i) & 1) != 0;
}

/** The set-up header with every residue of type 0 and every residue book without
    dimensions (an explicit value list, emptied: libvorbis would loop for ever
    working out the lattice of a type 1 book with none). */
Bytes withFlatResidueBooks (const Bytes& setup, const VorbisSetupLayout& layout)
{
    auto bits = bitsOf (setup);
    std::set<int> stageBooks;
    for (const auto& residue : layout.residues)
        stageBooks.insert (residue.stageBooks.begin(), residue.stageBooks.end());

    // The residues lie after the books: patched first, then the books from the end
    // back, so that earlier offsets still hold after a value list goes.
    for (const auto& residue : layout.residues)
        setField (bits, residue.typeBit, 16, 0);
    for (auto book = stageBooks.rbegin(); book != stageBooks.rend(); ++book)
    {
        const auto& b = layout.books[(size_t) *book];
        if (b.mapType == 0)
            continue;
        bits.erase (bits.begin() + (std::ptrdiff_t) b.valuesBit, bits.begin() + (std::ptrdiff_t) b.valuesEndBit);
        setField (bits, b.mapTypeBit, 4, 2);
        setField (bits, b.dimensionsBit, 16, 0);
    }
    return bytesOf (bits);
}

/** How oggdec ends on the file: its exit status as the shell gives it (128 + the
    signal number for a process killed by a signal). */
int oggdecStatus (const juce::File& ogg)
{
    const auto result = test::runCommand (
        { "sh", "-c", "oggdec -Q -o /dev/null \"$0\" >/dev/null 2>&1; echo \"status=$?\"", ogg.getFullPathName() });
    return result.output.fromLastOccurrenceOf ("status=", false, false).getIntValue();
}

constexpr int killedByFloatingPointException = 128 + 8;
}

// libvorbis 1.3.7 accepts a residue book without dimensions and then divides by
// its dimension count while decoding: the whole program died (SIGFPE) loading such
// a file into a deck, the preview or a waveform overview. The reader's open refuses
// it, before anything is decoded.
TEST (VorbisSetupHeader, ResidueBookWithoutDimensionsIsRefusedBeforeDecoding)
{
    test::TempFolder temp;
    const auto good = temp.file ("good.ogg");
    ASSERT_TRUE (test::writeOgg (good, 2.0, { "TITLE=t" }));
    juce::MemoryBlock data;
    ASSERT_TRUE (good.loadFileAsData (data));
    const OggHeaders headers (data);
    ASSERT_EQ (headers.packets.size(), 3u);

    const auto& setup = headers.packets[2];
    const auto layout = readVorbisSetupLayout (setup.data(), setup.size());
    ASSERT_TRUE (layout.has_value());
    ASSERT_FALSE (layout->residues.empty());

    const auto patched = headers.withSetup (withFlatResidueBooks (setup, *layout));
    ASSERT_GT (patched.getSize(), 0u);
    const auto bad = temp.file ("flat-residue-books.ogg");
    ASSERT_TRUE (bad.replaceWithData (patched.getData(), patched.getSize()));

    // Checksums and structure are sound, and Debian's own decoder dies on it.
    EXPECT_TRUE (test::runCommand ({ "ogginfo", bad.getFullPathName() }).succeeded());
    EXPECT_EQ (oggdecStatus (good), 0);
    EXPECT_EQ (oggdecStatus (bad), killedByFloatingPointException);

    const auto badSetup = OggHeaders (patched).packets[2];
    EXPECT_FALSE (isDecodableVorbisSetup (badSetup.data(), badSetup.size()));
    test::finishWithin (20.0, "opening the files", [&] {
        EXPECT_EQ (createAudioReader (bad), nullptr);
        auto reader = createAudioReader (good);
        ASSERT_NE (reader, nullptr);
        EXPECT_EQ (reader->lengthInSamples, 2 * 44100);
    });
}

// The check reads every set-up header oggenc writes to its end, and refuses none.
TEST (VorbisSetupHeader, EncoderOutputReadsWholeAndPasses)
{
    test::TempFolder temp;
    struct Case { int rate, channels; const char* quality; };
    const Case cases[] = { { 8000, 1, "-1" }, { 22050, 1, "3" }, { 44100, 2, "0" }, { 44100, 2, "6" },
                           { 48000, 2, "10" }, { 32000, 6, "2" } };
    for (const auto& c : cases)
    {
        const juce::String name = juce::String (c.rate) + "-" + juce::String (c.channels) + "-q" + c.quality;
        const auto wav = temp.file (name + ".wav"), ogg = temp.file (name + ".ogg");
        ASSERT_TRUE (test::runCommand ({ "sox", "-n", "-r", juce::String (c.rate), "-c", juce::String (c.channels), "-b",
                                         "16", wav.getFullPathName(), "synth", "0.5", "pinknoise" }).succeeded());
        ASSERT_TRUE (test::runCommand ({ "oggenc", "-Q", "-q", c.quality, "-o", ogg.getFullPathName(),
                                         wav.getFullPathName() }).succeeded());
        juce::MemoryBlock data;
        ASSERT_TRUE (ogg.loadFileAsData (data));
        const auto setup = OggHeaders (data).packets.at (2);

        const auto layout = readVorbisSetupLayout (setup.data(), setup.size());
        ASSERT_TRUE (layout.has_value()) << name;
        EXPECT_TRUE (isDecodableVorbisSetup (setup.data(), setup.size())) << name;
        for (const auto& residue : layout->residues)
            for (const auto book : residue.stageBooks)
                EXPECT_LT (book, (int) layout->books.size()) << name << ": the residues were read in step";
        EXPECT_NE (createAudioReader (ogg), nullptr) << name;

        for (size_t cut : { (size_t) 7, setup.size() / 2 })
            EXPECT_FALSE (isDecodableVorbisSetup (setup.data(), cut)) << name << " cut at " << cut;
    }
}
