#include "audiofile/AudioReaderFactory.h"
#include "audiofile/BufferedAudioReader.h"
#include "audiofile/readers/OggVorbisReader.h"
#include "support/AllocationWatch.h"
#include "support/AudioFixtures.h"
#include "support/BoundedRun.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <cstring>
#include <memory>
#include <vector>

using namespace zund;

namespace
{
using Bytes = std::vector<juce::uint8>;

void putLE (Bytes& b, juce::uint32 v, int n) { for (int i = 0; i < n; ++i) b.push_back ((juce::uint8) (v >> (8 * i))); }
void putBE (Bytes& b, juce::uint32 v, int n) { for (int i = n; --i >= 0;) b.push_back ((juce::uint8) (v >> (8 * i))); }
void putId (Bytes& b, const char* id) { b.insert (b.end(), id, id + 4); }

/** A chunk; `claimed` is the size its header states when that is a lie. */
Bytes chunk (const char* id, const Bytes& body, bool bigEndian, juce::int64 claimed = -1)
{
    Bytes c;
    putId (c, id);
    const auto size = (juce::uint32) (claimed >= 0 ? claimed : (juce::int64) body.size());
    bigEndian ? putBE (c, size, 4) : putLE (c, size, 4);
    c.insert (c.end(), body.begin(), body.end());
    if (body.size() % 2 != 0 && claimed < 0)
        c.push_back (0);
    return c;
}

Bytes riffWave (std::initializer_list<Bytes> chunks)
{
    Bytes body;
    putId (body, "WAVE");
    for (const auto& c : chunks)
        body.insert (body.end(), c.begin(), c.end());
    return chunk ("RIFF", body, false);
}

Bytes fmt (int channels, int bits, int blockAlign = 0)
{
    Bytes b;
    const int align = blockAlign > 0 ? blockAlign : channels * ((bits + 7) / 8);
    putLE (b, 1, 2);
    putLE (b, (juce::uint32) channels, 2);
    putLE (b, 44100, 4);
    putLE (b, (juce::uint32) 44100 * (juce::uint32) align, 4);
    putLE (b, (juce::uint32) align, 2);
    putLE (b, (juce::uint32) bits, 2);
    return chunk ("fmt ", b, false);
}

/** 16-bit stereo frames holding a ramp: frame i is (i, -i) x 8. */
constexpr int rampFrames = 3000;
Bytes rampData (bool bigEndian)
{
    Bytes b;
    for (int i = 0; i < rampFrames; ++i)
    {
        bigEndian ? putBE (b, (juce::uint32) (i * 8), 2) : putLE (b, (juce::uint32) (i * 8), 2);
        bigEndian ? putBE (b, (juce::uint32) (-i * 8), 2) : putLE (b, (juce::uint32) (-i * 8), 2);
    }
    return b;
}

Bytes aiff (int channels, int bits, juce::uint32 frames, const Bytes& samples)
{
    Bytes comm;
    putBE (comm, (juce::uint32) channels, 2);
    putBE (comm, frames, 4);
    putBE (comm, (juce::uint32) bits, 2);
    const juce::uint8 rate44100[10] = { 0x40, 0x0e, 0xac, 0x44, 0, 0, 0, 0, 0, 0 }; // 80-bit extended
    comm.insert (comm.end(), rate44100, rate44100 + 10);
    Bytes ssnd (8, 0); // offset and block size
    ssnd.insert (ssnd.end(), samples.begin(), samples.end());

    Bytes body;
    putId (body, "AIFF");
    for (const auto& c : { chunk ("COMM", comm, true), chunk ("SSND", ssnd, true) })
        body.insert (body.end(), c.begin(), c.end());
    return chunk ("FORM", body, true);
}

Bytes cut (Bytes b, size_t size)
{
    b.resize (std::min (size, b.size()));
    return b;
}

Bytes notUtf8Ixml()
{
    Bytes text { '<', 'B', 'W', 'F', 'X', 'M', 'L', '>', 0xf0, 0xe9, 0xff, 0xc3 };
    return chunk ("iXML", text, false);
}

Bytes lyingChunk (const char* id)
{
    return chunk (id, Bytes (16, 0x11), false, 0xfffffff0); // claims 4 GB, holds 16 bytes
}

Bytes listAdtlCutShort()
{
    Bytes adtl;
    putId (adtl, "adtl");
    const auto label = chunk ("labl", Bytes { 1, 0, 0, 0, 'c', 'u', 'e', 0 }, false);
    adtl.insert (adtl.end(), label.begin(), label.end());
    return chunk ("LIST", adtl, false, 4000); // an interrupted copy: the rest never arrived
}

enum class Expect { refused, rampAudio, eitherSafely };

struct HostileFile
{
    const char* what;
    const char* extension;
    Bytes bytes;
    Expect expect;
};

std::vector<HostileFile> hostileFiles()
{
    const auto data = chunk ("data", rampData (false), false);
    return {
        { "channel count 0x8000 (36 bytes)", ".wav", cut (riffWave ({ fmt (0x8000, 16) }), 36), Expect::refused },
        { "channel count 0xffff", ".wav", riffWave ({ fmt (0xffff, 16), data }), Expect::refused },
        { "3,000 channels: 6,000-byte frames", ".wav", riffWave ({ fmt (3000, 16), data }), Expect::refused },
        { "0-bit AIFF samples", ".aiff", aiff (2, 0, rampFrames, rampData (true)), Expect::refused },
        { "12-bit WAV", ".wav", riffWave ({ fmt (2, 12), data }), Expect::refused },
        { "14-bit WAV", ".wav", riffWave ({ fmt (2, 14), data }), Expect::refused },
        { "12-bit AIFF", ".aiff", aiff (2, 12, rampFrames, rampData (true)), Expect::refused },
        { "14-bit AIFF", ".aif", aiff (2, 14, rampFrames, rampData (true)), Expect::refused },
        { "cut off inside LIST/adtl", ".wav", riffWave ({ fmt (2, 16), data, listAdtlCutShort() }), Expect::rampAudio },
        { "cut off inside LIST/adtl before the data", ".wav", riffWave ({ fmt (2, 16), listAdtlCutShort() }), Expect::eitherSafely },
        { "iXML that is not UTF-8", ".wav", riffWave ({ fmt (2, 16), notUtf8Ixml(), data }), Expect::rampAudio },
        { "smpl claiming 4 GB", ".wav", riffWave ({ fmt (2, 16), data, lyingChunk ("smpl") }), Expect::rampAudio },
        { "bext claiming 4 GB", ".wav", riffWave ({ fmt (2, 16), data, lyingChunk ("bext") }), Expect::rampAudio },
        { "cue claiming 4 GB", ".wav", riffWave ({ fmt (2, 16), data, lyingChunk ("cue ") }), Expect::rampAudio },
        { "cue claiming 4 GB before the data", ".wav", riffWave ({ fmt (2, 16), lyingChunk ("cue "), data }), Expect::eitherSafely },
        { "data claiming 4 GB", ".wav", riffWave ({ fmt (2, 16), chunk ("data", rampData (false), false, 0xfffffff0) }), Expect::rampAudio },
        { "AIFF claiming four billion frames", ".aiff", aiff (2, 16, 0xfffffff0, rampData (true)), Expect::rampAudio },
        { "an AIFF named .wav", ".wav", aiff (2, 16, rampFrames, rampData (true)), Expect::refused },
        { "a WAV named .aiff", ".aiff", riffWave ({ fmt (2, 16), data }), Expect::refused },
        { "the ramp itself", ".wav", riffWave ({ fmt (2, 16), data }), Expect::rampAudio },
        { "the ramp as AIFF", ".aiff", aiff (2, 16, rampFrames, rampData (true)), Expect::rampAudio },
    };
}

juce::File writeFile (const test::TempFolder& temp, const HostileFile& f, int index)
{
    const auto file = temp.file ("hostile" + juce::String (index) + f.extension);
    file.replaceWithData (f.bytes.data(), f.bytes.size());
    return file;
}

struct StereoBlock
{
    std::vector<int> left, right;

    explicit StereoBlock (int frames = 0) : left ((size_t) frames), right ((size_t) frames) {}

    void readFrom (juce::AudioFormatReader& reader, juce::int64 start)
    {
        std::fill (left.begin(), left.end(), 0x5555);
        std::fill (right.begin(), right.end(), 0x5555);
        int* dest[2] = { left.data(), right.data() };
        reader.read (dest, 2, start, (int) left.size(), true);
    }
};

StereoBlock readBlock (juce::AudioFormatReader& reader, juce::int64 start, int frames)
{
    StereoBlock block (frames);
    block.readFrom (reader, start);
    return block;
}

bool silentFrom (const StereoBlock& b, size_t first)
{
    for (size_t i = first; i < b.left.size(); ++i)
        if (b.left[i] != 0 || b.right[i] != 0)
            return false;
    return true;
}

/** Opens the track and reads a cache block from its start and a block past its
    end, as the track cache would; notes the largest allocation of the reader. */
struct Reading
{
    bool opened = false;
    juce::int64 length = 0;
    StereoBlock start { BufferedAudioReader::blockSize }, pastEnd { 5000 };
    size_t largestAllocation = 0;

    void read (const juce::File& file)
    {
        test::AllocationWatch watch;
        auto reader = createAudioReader (file);
        if (reader != nullptr)
        {
            opened = true;
            length = reader->lengthInSamples;
            start.readFrom (*reader, 0);
            pastEnd.readFrom (*reader, length - 5);
        }
        largestAllocation = watch.largest();
    }
};
}

// Every fault a damaged WAV or AIFF once caused (a crash, a hang in the reader or
// the fill thread, a read out of bounds, a 4 GB allocation, silence or stale audio
// from a 12-bit file) ends in a refusal or in exactly the audio the file holds.
TEST (HostileTrackFiles, RefusedOrReadExactlyInBoundedTimeAndMemory)
{
    test::TempFolder temp;
    const auto files = hostileFiles();
    for (size_t i = 0; i < files.size(); ++i)
    {
        const auto& f = files[i];
        SCOPED_TRACE (f.what);
        const auto file = writeFile (temp, f, (int) i);
        Reading r;
        test::finishWithin (20.0, juce::String ("reading a file with ") + f.what, [&] { r.read (file); });

        // A few kilobytes of header and a fixed scratch buffer; never what a header claims.
        EXPECT_LT (r.largestAllocation, (size_t) 256 * 1024);
        if (f.expect == Expect::refused)
        {
            EXPECT_FALSE (r.opened);
            continue;
        }
        if (f.expect == Expect::rampAudio)
        {
            ASSERT_TRUE (r.opened);
            ASSERT_EQ (r.length, rampFrames);
            for (int n = 0; n < rampFrames; ++n)
            {
                ASSERT_EQ (r.start.left[(size_t) n], n * 8 * 65536) << n;
                ASSERT_EQ (r.start.right[(size_t) n], -n * 8 * 65536) << n;
            }
        }
        if (r.opened)
        {
            EXPECT_TRUE (silentFrom (r.start, (size_t) std::min<juce::int64> (r.length, BufferedAudioReader::blockSize)));
            EXPECT_TRUE (silentFrom (r.pastEnd, 5)) << "silence past the end";
        }
    }
}

// A damaged file once froze the fill thread, and the next load waited for it for
// ever: every load and every read returns, and the next good track plays.
TEST (HostileTrackFiles, TheTrackCacheMovesOnToTheNextTrack)
{
    test::TempFolder temp;
    const auto good = temp.file ("good.wav");
    ASSERT_TRUE (test::writeIndexRampWav (good, 44100, 2, 16, 100000));

    BufferedAudioReader cache;
    const auto files = hostileFiles();
    for (size_t i = 0; i < files.size(); ++i)
    {
        const auto file = writeFile (temp, files[i], (int) i);
        test::finishWithin (20.0, juce::String ("caching a file with ") + files[i].what, [&] {
            if (cache.load (file.getFullPathName()))
                for (int tries = 0; tries < 400 && ! cache.isFrameCached (BufferedAudioReader::blockSize - 1); ++tries)
                {
                    float l, r;
                    cache.read (100.0, l, r);
                    juce::Thread::sleep (5);
                }
            ASSERT_TRUE (cache.load (good.getFullPathName()));
            float l = 0, r = 0;
            while (! (cache.isFrameCached (1000) && cache.isFrameCached (1003)))
            {
                cache.read (1000.0, l, r);
                juce::Thread::sleep (2);
            }
            cache.read (1000.0, l, r);
            EXPECT_FLOAT_EQ (l, test::indexRampValue (1001, 0)) << files[i].what;
        });
    }
}

namespace
{
/** The pages of an Ogg stream, and a way to put them back together. */
struct OggPages
{
    std::vector<Bytes> pages;

    explicit OggPages (std::vector<Bytes> p) : pages (std::move (p)) {}

    explicit OggPages (const juce::MemoryBlock& file)
    {
        ogg_sync_state sync;
        ogg_sync_init (&sync);
        auto* buffer = ogg_sync_buffer (&sync, (long) file.getSize());
        std::memcpy (buffer, file.getData(), file.getSize());
        ogg_sync_wrote (&sync, (long) file.getSize());
        ogg_page page;
        while (ogg_sync_pageout (&sync, &page) == 1)
        {
            Bytes b (page.header, page.header + page.header_len);
            b.insert (b.end(), page.body, page.body + page.body_len);
            pages.push_back (b);
        }
        ogg_sync_clear (&sync);
    }

    /** Sets a page's granule position and mends its checksum. */
    void setGranule (size_t index, juce::int64 granule)
    {
        auto& p = pages[index];
        for (int i = 0; i < 8; ++i)
            p[(size_t) (6 + i)] = (juce::uint8) (granule >> (8 * i));
        ogg_page page { p.data(), 27 + p[26], p.data() + 27 + p[26], (long) p.size() - 27 - p[26] };
        ogg_page_checksum_set (&page);
    }

    juce::MemoryBlock joined() const
    {
        juce::MemoryBlock out;
        for (const auto& p : pages)
            out.append (p.data(), p.size());
        return out;
    }
};

constexpr int vorbisLongBlock = 2048;

/** Seven seconds of a loud sine, encoded by oggenc. */
struct SevenSecondOgg
{
    test::TempFolder temp;
    juce::File file = temp.file ("seven.ogg");
    juce::MemoryBlock data;

    bool make()
    {
        const auto wav = temp.file ("seven.wav");
        return test::writeAudioFile (wav, test::FileKind::wav, 44100, 2, 16, 7 * 44100, test::sineSignal (440, 44100, 0.9f))
            && test::runCommand ({ "oggenc", "-Q", "-o", file.getFullPathName(), wav.getFullPathName() }).succeeded()
            && file.loadFileAsData (data);
    }
};
}

// A 7-second track once played full-level sound at 17.9 s and 18.8 s: the decoder
// was left wherever a failed seek put it. Past the audio there is only silence,
// even when the last page claims a longer track.
TEST (HostileTrackFiles, OggPastItsAudioIsSilent)
{
    SevenSecondOgg seven;
    ASSERT_TRUE (seven.make());
    const auto& ogg = seven.file;

    OggPages longer (seven.data);
    ASSERT_GT (longer.pages.size(), 3u);
    longer.setGranule (longer.pages.size() - 1, 19 * 44100);
    const auto lying = seven.temp.file ("claims-nineteen.ogg");
    const auto lyingData = longer.joined();
    ASSERT_TRUE (lying.replaceWithData (lyingData.getData(), lyingData.getSize()));

    for (const auto& file : { ogg, lying })
    {
        test::finishWithin (20.0, "reading " + file.getFileName(), [&] {
            auto reader = createAudioReader (file);
            ASSERT_NE (reader, nullptr);
            const auto loud = readBlock (*reader, 3 * 44100, 1000);
            EXPECT_FALSE (silentFrom (loud, 0)) << file.getFileName() << ": the track itself plays";
            for (double seconds : { 7.5, 17.9, 18.8, 6.999 })
            {
                const auto start = (juce::int64) (seconds * 44100);
                const auto block = readBlock (*reader, start, 4096);
                // When the last page lies, its packet's padding (under one block) plays too:
                // nothing in the stream tells it from the track.
                const auto end = 7 * 44100 + (file == lying ? vorbisLongBlock : 0);
                EXPECT_TRUE (silentFrom (block, (size_t) std::max<juce::int64> (0, end - start)))
                    << file.getFileName() << " at " << seconds << " s";
            }
            // Seeking back still finds the audio.
            EXPECT_EQ (readBlock (*reader, 3 * 44100, 1000).left, loud.left) << file.getFileName();
        });
    }
}

// A page of a second stream among the first one's pages made the Ogg libraries
// pair one page's header with another's body and move memory by a negative size.
// Such files are refused; a plain chain of streams still plays whole.
TEST (HostileTrackFiles, OggStreamsMayFollowButNeverInterleave)
{
    SevenSecondOgg first, second;
    ASSERT_TRUE (first.make());
    ASSERT_TRUE (second.make()); // another serial number
    const OggPages a (first.data), b (second.data);
    ASSERT_GT (a.pages.size(), 3u);

    auto write = [&first] (const char* name, const std::vector<Bytes>& pages) {
        const auto file = first.temp.file (name);
        const auto data = OggPages (pages).joined();
        file.replaceWithData (data.getData(), data.getSize());
        return file;
    };
    auto interleaved = a.pages;
    interleaved.insert (interleaved.begin() + 2, b.pages[0]);
    auto chained = a.pages;
    chained.insert (chained.end(), b.pages.begin(), b.pages.end());
    auto beginsTwice = a.pages;
    beginsTwice.insert (beginsTwice.begin() + 2, a.pages[0]);

    test::finishWithin (20.0, "opening Ogg chains", [&] {
        EXPECT_EQ (createAudioReader (write ("interleaved.ogg", interleaved)), nullptr);
        EXPECT_EQ (createAudioReader (write ("begins-twice.ogg", beginsTwice)), nullptr);
        auto reader = createAudioReader (write ("chained.ogg", chained));
        ASSERT_NE (reader, nullptr);
        EXPECT_EQ (reader->lengthInSamples, 2 * 7 * 44100);
        EXPECT_FALSE (silentFrom (readBlock (*reader, 10 * 44100, 1000), 0)) << "the second stream plays";
    });
}

namespace
{
/** A stream whose seeks can be made to fail, as a damaged or vanishing file's do. */
class FailingSeeks : public juce::MemoryInputStream
{
public:
    using juce::MemoryInputStream::MemoryInputStream;
    bool failing = false;

    bool setPosition (juce::int64 position) override
    {
        return ! failing && juce::MemoryInputStream::setPosition (position);
    }
};
}

// The framework's reader ignored a failed seek and went on decoding from wherever
// it stood: a failed seek is silence.
TEST (HostileTrackFiles, OggFailedSeekIsSilence)
{
    SevenSecondOgg seven;
    ASSERT_TRUE (seven.make());
    auto* stream = new FailingSeeks (seven.data, false);
    auto reader = OggVorbisReader::open (stream);
    ASSERT_NE (reader, nullptr);
    EXPECT_FALSE (silentFrom (readBlock (*reader, 3 * 44100, 1000), 0));

    stream->failing = true;
    for (double seconds : { 5.0, 1.0, 3.5 })
    {
        const auto block = readBlock (*reader, (juce::int64) (seconds * 44100), 4096);
        EXPECT_TRUE (silentFrom (block, 0)) << seconds;
    }
}
