// Ogg Vorbis files whose headers libvorbis parses but cannot set a decoder up on
// (a codebook whose lengths make no prefix code): libvorbisfile reported a bad
// link, and its next read decoded over the half-built books and divided by zero.
// The whole program died (SIGFPE) on loading such a file into a deck, the preview
// or a waveform overview.

#include "audiofile/AudioReaderFactory.h"
#include "audiofile/BufferedAudioReader.h"
#include "audiofile/peaks/PeakFile.h"
#include "audiofile/readers/OggVorbisReader.h"
#include "audiofile/readers/VorbisSetupHeader.h"
#include "support/BoundedRun.h"
#include "support/OggHeaderPackets.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"
#include "support/VorbisFixtures.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>
#include <vorbis/codec.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using namespace zund;

namespace
{
struct OggFiles
{
    test::TempFolder temp;
    juce::File good = temp.file ("good.ogg");
    juce::File bad = temp.file ("overfull-codebook.ogg");
    juce::File otherGood = temp.file ("other-good.ogg");
    juce::MemoryBlock goodData, badData, otherGoodData;

    bool make()
    {
        // Each with its own serial number, so that they chain.
        return test::writeOgg (good, 2.0, { "TITLE=good" }, 1)
            && test::writeOggWithOverfullCodebook (bad, 2.0, { "TITLE=bad" }, 2)
            && test::writeOgg (otherGood, 2.0, { "TITLE=other" }, 3)
            && good.loadFileAsData (goodData) && bad.loadFileAsData (badData)
            && otherGood.loadFileAsData (otherGoodData);
    }

    juce::File chain (const juce::String& name, std::initializer_list<const juce::MemoryBlock*> parts) const
    {
        juce::MemoryBlock joined;
        for (const auto* part : parts)
            joined.append (part->getData(), part->getSize());
        const auto file = temp.file (name);
        file.replaceWithData (joined.getData(), joined.getSize());
        return file;
    }
};

/** libvorbis's own verdicts on a file's three headers: how many its header parser
    took, and whether a decoder then set up on them. */
struct LibvorbisVerdict
{
    int headersTaken = 0;
    bool decoderSetUp = false;
};

LibvorbisVerdict askLibvorbis (const juce::MemoryBlock& file)
{
    const test::OggHeaderPackets headers (file);
    LibvorbisVerdict verdict;
    vorbis_info info;
    vorbis_comment comments;
    vorbis_info_init (&info);
    vorbis_comment_init (&comments);
    for (auto packetData : headers.packets)
    {
        ogg_packet packet { packetData.data(), (long) packetData.size(), verdict.headersTaken == 0, 0, 0,
                            verdict.headersTaken };
        if (vorbis_synthesis_headerin (&info, &comments, &packet) != 0)
            break;
        ++verdict.headersTaken;
    }
    vorbis_dsp_state decoder;
    if (verdict.headersTaken == 3 && vorbis_synthesis_init (&decoder, &info) == 0)
    {
        verdict.decoderSetUp = true;
        vorbis_dsp_clear (&decoder);
    }
    vorbis_comment_clear (&comments);
    vorbis_info_clear (&info);
    return verdict;
}

/** What libvorbisfile's first read of the file says (only the first: a second one
    over a failed set-up kills the process). */
long firstReadOfLibvorbisfile (const juce::File& file)
{
    OggVorbis_File track;
    if (ov_fopen (file.getFullPathName().toRawUTF8(), &track) != 0)
        return 1;
    float** pcm = nullptr;
    int part = 0;
    const long result = ov_read_float (&track, &pcm, 1024, &part);
    ov_clear (&track);
    return result;
}

/** True when a read of the reader delivers any sound. */
bool readsSound (juce::AudioFormatReader& reader, juce::int64 start, int frames)
{
    std::vector<int> left ((size_t) frames, 0), right ((size_t) frames, 0);
    int* dest[] = { left.data(), right.data() };
    if (! reader.read (dest, 2, start, frames, true))
        return false;
    auto loud = [] (int sample) { return sample != 0; };
    return std::any_of (left.begin(), left.end(), loud) || std::any_of (right.begin(), right.end(), loud);
}

void waitUntilBuilt (PeakFile& peaks)
{
    while (peaks.isBuilding())
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
}

std::vector<float> peaksOf (const PeakFile& peaks)
{
    std::vector<float> values;
    for (int i = 0; i < PeakFile::arraySize; ++i)
        values.push_back (peaks.getPeakArray()[i].load());
    return values;
}
}

// The fixture is that fault: sound pages and checksums, headers that libvorbis's
// parser takes and the dimension rules pass, a decoder that fails to set up, and
// libvorbisfile's first read reporting a bad link. The factory refuses it alone
// and as any part of a chain; a chain of sound parts still plays whole.
TEST (OggDecoderSetup, OverfullCodebookIsRefusedInEveryPartOfAChain)
{
    OggFiles files;
    ASSERT_TRUE (files.make());

    EXPECT_TRUE (test::runCommand ({ "ogginfo", files.bad.getFullPathName() }).succeeded());
    const auto good = askLibvorbis (files.goodData), bad = askLibvorbis (files.badData);
    EXPECT_EQ (good.headersTaken, 3);
    EXPECT_TRUE (good.decoderSetUp);
    EXPECT_EQ (bad.headersTaken, 3);
    EXPECT_FALSE (bad.decoderSetUp);
    const auto setup = test::OggHeaderPackets (files.badData).packets.at (2);
    EXPECT_TRUE (isDecodableVorbisSetup (setup.data(), setup.size()));
    EXPECT_EQ (firstReadOfLibvorbisfile (files.bad), OV_EBADLINK);

    struct Case
    {
        const char* name;
        std::initializer_list<const juce::MemoryBlock*> parts;
        juce::int64 frames; // 0: refused
    };
    const Case cases[] = { { "bad.ogg", { &files.badData }, 0 },
                           { "good-bad.ogg", { &files.goodData, &files.badData }, 0 },
                           { "bad-good.ogg", { &files.badData, &files.goodData }, 0 },
                           { "good-good.ogg", { &files.goodData, &files.otherGoodData }, 4 * 44100 } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto file = files.chain (c.name, c.parts);
        test::finishWithin (20.0, juce::String ("opening ") + c.name, [&] {
            auto reader = createAudioReader (file);
            ASSERT_EQ (reader != nullptr, c.frames > 0);
            if (reader != nullptr)
            {
                EXPECT_EQ (reader->lengthInSamples, c.frames);
                EXPECT_TRUE (readsSound (*reader, 3 * 44100, 1000)) << "the second part plays";
            }
        });
    }
}

namespace
{
/** A file that another program rewrites while it is opened: the first pass over it
    sees one content, every later read the other (of the same size). */
class RewrittenWhileOpened : public juce::InputStream
{
public:
    RewrittenWhileOpened (const juce::MemoryBlock& before, const juce::MemoryBlock& after)
        : first (before), later (after) {}

    bool rewritten = false;

    juce::int64 getTotalLength() override { return (juce::int64) current().getSize(); }
    bool isExhausted() override { return position >= getTotalLength(); }
    juce::int64 getPosition() override { return position; }

    bool setPosition (juce::int64 newPosition) override
    {
        position = juce::jlimit ((juce::int64) 0, getTotalLength(), newPosition);
        return true;
    }

    int read (void* dest, int bytes) override
    {
        const auto got = (int) std::min<juce::int64> (bytes, getTotalLength() - position);
        if (got <= 0)
        {
            rewritten = true; // the first pass has ended
            return 0;
        }
        std::memcpy (dest, static_cast<const char*> (current().getData()) + position, (size_t) got);
        position += got;
        return got;
    }

private:
    const juce::MemoryBlock& current() const { return rewritten ? later : first; }

    juce::MemoryBlock first, later;
    juce::int64 position = 0;
};
}

// Should a decoder still fail to set up (the file changed after it was checked),
// the reader reads nothing more: every read is refused and silent, where the
// second one used to divide by zero over the half-built books.
TEST (OggDecoderSetup, AReaderWhoseDecoderFailedReadsNothingMore)
{
    OggFiles files;
    ASSERT_TRUE (files.make());
    const test::OggHeaderPackets headers (files.goodData);
    const auto badSetup = test::withOverfullResidueBook (headers.packets.at (2));
    const auto rewritten = headers.withSetup (badSetup);
    ASSERT_EQ (rewritten.getSize(), files.goodData.getSize());

    test::finishWithin (20.0, "reading the rewritten file", [&] {
        auto* stream = new RewrittenWhileOpened (files.goodData, rewritten);
        auto reader = OggVorbisReader::open (stream);
        ASSERT_NE (reader, nullptr);
        ASSERT_TRUE (stream->rewritten) << "the decoder reads the other content";

        for (juce::int64 start : { 0, 0, 44100, 1000, 3 * 44100 / 2, 0 })
            EXPECT_FALSE (readsSound (*reader, start, 4096)) << start;
    });
}

// The track cache refuses the file and keeps playing the track it had; the peak
// builder builds nothing and keeps the overview it had, and writes no cache.
TEST (OggDecoderSetup, TrackCacheAndPeakBuilderKeepWhatTheyHad)
{
    test::ScopedProgramFolder program;
    OggFiles files;
    ASSERT_TRUE (files.make());

    BufferedAudioReader cache;
    ASSERT_TRUE (cache.load (files.good.getFullPathName()));
    EXPECT_FALSE (cache.load (files.bad.getFullPathName()));
    EXPECT_EQ (cache.getLengthInSamples(), 2 * 44100);
    float left = 0, right = 0, loudest = 0;
    for (int i = 0; i < 2000 && ! (cache.isFrameCached (44100) && cache.isFrameCached (46100)); ++i)
        juce::Thread::sleep (5);
    for (int frame = 44100; frame < 46000; ++frame)
    {
        cache.read (frame, left, right);
        loudest = std::max ({ loudest, std::abs (left), std::abs (right) });
    }
    EXPECT_GT (loudest, 0.01f) << "the good track still plays";

    PeakFile peaks;
    peaks.load (files.good);
    waitUntilBuilt (peaks);
    const auto before = peaksOf (peaks);
    ASSERT_GT (*std::max_element (before.begin(), before.end()), 0.01f);

    peaks.load (files.bad);
    waitUntilBuilt (peaks);
    EXPECT_EQ (peaksOf (peaks), before);
    EXPECT_FALSE (PeakFile::getPeakFileFor (files.bad).existsAsFile());
}
