#include "audiofile/AudioReaderFactory.h"
#include "audiofile/readers/VorbisSetupHeader.h"
#include "support/BoundedRun.h"
#include "support/OggHeaderPackets.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"
#include "support/VorbisFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <vector>

using namespace zund;

namespace
{
using Bytes = std::vector<unsigned char>;
using test::OggHeaderPackets;

/** The set-up header with every residue of type 0 and every residue book without
    dimensions (an explicit value list, emptied: libvorbis would loop for ever
    working out the lattice of a type 1 book with none). */
Bytes withFlatResidueBooks (const Bytes& setup, const VorbisSetupLayout& layout)
{
    auto bits = test::vorbisPacketBits (setup);
    std::set<int> stageBooks;
    for (const auto& residue : layout.residues)
        stageBooks.insert (residue.stageBooks.begin(), residue.stageBooks.end());

    // The residues lie after the books: patched first, then the books from the end
    // back, so that earlier offsets still hold after a value list goes.
    for (const auto& residue : layout.residues)
        test::setVorbisPacketField (bits, residue.typeBit, 16, 0);
    for (auto book = stageBooks.rbegin(); book != stageBooks.rend(); ++book)
    {
        const auto& b = layout.books[(size_t) *book];
        if (b.mapType == 0)
            continue;
        bits.erase (bits.begin() + (std::ptrdiff_t) b.valuesBit, bits.begin() + (std::ptrdiff_t) b.valuesEndBit);
        test::setVorbisPacketField (bits, b.mapTypeBit, 4, 2);
        test::setVorbisPacketField (bits, b.dimensionsBit, 16, 0);
    }
    return test::vorbisPacketBytes (bits);
}

/** The set-up header with the first book that no residue uses (a floor's) turned
    into a book of map type 1 without dimensions and without values. Empty when
    there is none of map type 0 to turn. */
Bytes withLatticeBookWithoutDimensions (const Bytes& setup, const VorbisSetupLayout& layout)
{
    std::set<int> residueBooks;
    for (const auto& residue : layout.residues)
    {
        residueBooks.insert (residue.classBook);
        residueBooks.insert (residue.stageBooks.begin(), residue.stageBooks.end());
    }
    for (int i = 0; i < (int) layout.books.size(); ++i)
    {
        const auto& book = layout.books[(size_t) i];
        if (residueBooks.count (i) != 0 || book.mapType != 0)
            continue;
        auto bits = test::vorbisPacketBits (setup);
        test::setVorbisPacketField (bits, book.dimensionsBit, 16, 0);
        test::setVorbisPacketField (bits, book.mapTypeBit, 4, 1);
        // Minimum and delta (32 bits each), value bits - 1 (4), sequence flag (1): all 0.
        bits.insert (bits.begin() + (std::ptrdiff_t) book.mapTypeBit + 4, 32 + 32 + 4 + 1, false);
        return test::vorbisPacketBytes (bits);
    }
    return {};
}

/** How oggdec ends on the file within 3 seconds: its exit status as the shell gives
    it (128 + the signal number for a process killed by a signal, 124 when it was
    still busy). */
int oggdecStatus (const juce::File& ogg)
{
    const auto result = test::runCommand ({ "sh", "-c",
        "timeout 3 oggdec -Q -o /dev/null \"$0\" >/dev/null 2>&1; echo \"status=$?\"", ogg.getFullPathName() });
    return result.output.fromLastOccurrenceOf ("status=", false, false).getIntValue();
}

constexpr int killedByFloatingPointException = 128 + 8;

/** A good oggenc file of `seconds`, and a copy whose set-up header `patch`
    rewrote (from the header and its layout); `bad` stays unwritten and
    `badSetup` empty when the patch gives nothing. */
struct PatchedSetupFile
{
    test::TempFolder temp;
    juce::File good = temp.file ("good.ogg");
    juce::File bad;
    Bytes badSetup;

    PatchedSetupFile (double seconds, const char* badName,
                      const std::function<Bytes (const Bytes&, const VorbisSetupLayout&)>& patch)
        : bad (temp.file (badName))
    {
        juce::MemoryBlock data;
        if (! test::writeOgg (good, seconds, { "TITLE=t" }) || ! good.loadFileAsData (data))
            return;
        const OggHeaderPackets headers (data);
        if (headers.packets.size() != 3)
            return;
        const auto& setup = headers.packets[2];
        const auto layout = readVorbisSetupLayout (setup.data(), setup.size());
        if (! layout.has_value() || layout->residues.empty())
            return;
        badSetup = patch (setup, *layout);
        const auto patched = badSetup.empty() ? juce::MemoryBlock() : headers.withSetup (badSetup);
        if (patched.getSize() > 0)
            bad.replaceWithData (patched.getData(), patched.getSize());
    }
};
constexpr int stillBusy = 124;
}

// libvorbis 1.3.7 accepts a residue book without dimensions and then divides by
// its dimension count while decoding: the whole program died (SIGFPE) loading such
// a file into a deck, the preview or a waveform overview. The reader's open refuses
// it, before anything is decoded.
TEST (VorbisSetupHeader, ResidueBookWithoutDimensionsIsRefusedBeforeDecoding)
{
    const PatchedSetupFile files (2.0, "flat-residue-books.ogg", withFlatResidueBooks);
    const auto& good = files.good;
    const auto& bad = files.bad;
    ASSERT_TRUE (bad.existsAsFile());

    // Checksums and structure are sound, and Debian's own decoder dies on it.
    EXPECT_TRUE (test::runCommand ({ "ogginfo", bad.getFullPathName() }).succeeded());
    EXPECT_EQ (oggdecStatus (good), 0);
    EXPECT_EQ (oggdecStatus (bad), killedByFloatingPointException);

    EXPECT_FALSE (isDecodableVorbisSetup (files.badSetup.data(), files.badSetup.size()));
    test::finishWithin (20.0, "opening the files", [&] {
        EXPECT_EQ (createAudioReader (bad), nullptr);
        auto reader = createAudioReader (good);
        ASSERT_NE (reader, nullptr);
        EXPECT_EQ (reader->lengthInSamples, 2 * 44100);
    });
}

// A book of map type 1 without dimensions passes libvorbis's header parser, and its
// decoder's set-up then works out the book's lattice for ever: Debian's decoder
// never ends on it. It is refused without libvorbis ever setting a decoder up.
TEST (VorbisSetupHeader, LatticeBookWithoutDimensionsIsRefusedInBoundedTime)
{
    const PatchedSetupFile files (1.0, "lattice-without-dimensions.ogg", withLatticeBookWithoutDimensions);
    const auto& bad = files.bad;
    const auto& badSetup = files.badSetup;
    ASSERT_TRUE (bad.existsAsFile());

    EXPECT_TRUE (test::runCommand ({ "ogginfo", bad.getFullPathName() }).succeeded());
    EXPECT_EQ (oggdecStatus (bad), stillBusy);
    EXPECT_FALSE (isDecodableVorbisSetup (badSetup.data(), badSetup.size()));
    test::finishWithin (20.0, "opening the file", [&] { EXPECT_EQ (createAudioReader (bad), nullptr); });
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
        const auto setup = OggHeaderPackets (data).packets.at (2);

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
