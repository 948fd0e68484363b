#include "audiofile/AudioReaderFactory.h"
#include "audiofile/BufferedAudioReader.h"
#include "audiofile/mp3/MP3Reader.h"
#include "audiofile/mp3/Mp3FileInfo.h"
#include "support/Mp3Fixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zund;

namespace
{
struct Fixture
{
    const char* name;
    double rate;
    int spf;
};

// lame writes an Info frame unless told not to (-t).
const Fixture fixtures[] = {
    { "cbr44.mp3", 44100, 1152 }, { "cbr44-noinfo.mp3", 44100, 1152 }, { "vbr44.mp3", 44100, 1152 },
    { "cbr48.mp3", 48000, 1152 }, { "mpeg2-22k.mp3", 22050, 576 }, { "mono.mp3", 44100, 1152 },
    { "layer2.mp3", 44100, 1152 }, { "layer1.mp3", 44100, 384 },
};

constexpr int seconds = 8;

/** A Layer I stream, mono, 44.1 kHz, 128 kbps, with two subbands carrying a pattern. */
juce::MemoryBlock makeLayer1Stream (int numFrames)
{
    juce::MemoryBlock stream;
    int rest = 0;
    for (int f = 0; f < numFrames; ++f)
    {
        rest += 12 * 128000 % 44100; // pad as an encoder does, to keep the mean bitrate
        const bool pad = rest >= 44100;
        if (pad)
            rest -= 44100;

        juce::MemoryBlock body (256, true);
        auto* bytes = static_cast<juce::uint8*> (body.getData());
        int bit = 0;
        auto put = [&] (int value, int bits) {
            for (int b = bits - 1; b >= 0; --b, ++bit)
                if ((value >> b) & 1)
                    bytes[bit / 8] |= (juce::uint8) (0x80 >> (bit % 8));
        };
        const int subbands[2] = { 1, 3 };
        for (int sb = 0; sb < 32; ++sb)
            put (sb == 1 || sb == 3 ? 5 : 0, 4); // 6-bit samples in two subbands
        put (10, 6);
        put (14, 6);
        for (int s = 0; s < 12; ++s)
            for (int sb : subbands)
                put ((s * 11 + f * 5 + sb * 3) % 62 + 1, 6); // never all ones
        const int length = pad ? 140 : 136;
        stream.append (test::makeMpegFrame (0xff, pad ? 0x42 : 0x40, 0xc0, length, body).getData(), (size_t) length);
    }
    return stream;
}

std::vector<juce::int16> readInterleaved (juce::AudioFormatReader& reader, juce::int64 start, int count,
                                          bool* result = nullptr)
{
    std::vector<int> left ((size_t) count, 0x5a5a5a5a), right ((size_t) count, 0x5a5a5a5a);
    int* dest[2] = { left.data(), right.data() };
    const bool ok = reader.read (dest, 2, start, count, false);
    if (result != nullptr)
        *result = ok;
    std::vector<juce::int16> samples;
    for (int i = 0; i < count; ++i)
    {
        EXPECT_EQ (left[(size_t) i] & 0xffff, 0) << "not 16-bit at " << i;
        samples.push_back ((juce::int16) (left[(size_t) i] >> 16));
        samples.push_back ((juce::int16) (right[(size_t) i] >> 16));
    }
    return samples;
}

double rms (const std::vector<juce::int16>& samples)
{
    double sum = 0;
    for (auto s : samples)
        sum += (double) s * s;
    return samples.empty() ? 0.0 : std::sqrt (sum / (double) samples.size()) / 32768.0;
}

std::unique_ptr<MP3Reader> openScanned (const juce::File& file)
{
    std::unique_ptr<MP3Reader> reader (dynamic_cast<MP3Reader*> (createAudioReader (file).release()));
    if (reader != nullptr)
        while (isMp3ScanRunning (reader.get()))
            juce::Thread::sleep (2);
    return reader;
}

bool isSilent (const std::vector<juce::int16>& samples, size_t from = 0, size_t to = SIZE_MAX)
{
    to = std::min (to, samples.size());
    for (size_t i = from; i < to; ++i)
        if (samples[i] != 0)
            return false;
    return true;
}
}

class Mp3Reading : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        temp = new test::TempFolder();
        const auto rich44 = test::richSignal (44100);
        const juce::int64 n44 = 44100 * seconds;
        ok = test::writeMp3 (file ("cbr44.mp3"), 44100, 2, n44, rich44, { "-b", "128" })
          && test::writeMp3 (file ("cbr44-noinfo.mp3"), 44100, 2, n44, rich44, { "-b", "128", "-t" })
          && test::writeMp3 (file ("vbr44.mp3"), 44100, 2, n44, rich44, { "-V", "2" })
          && test::writeMp3 (file ("cbr48.mp3"), 48000, 2, 48000 * seconds, test::richSignal (48000), { "-b", "192" })
          && test::writeMp3 (file ("mpeg2-22k.mp3"), 22050, 2, 22050 * seconds, test::richSignal (22050), { "-b", "64" })
          && test::writeMp3 (file ("mono.mp3"), 44100, 1, n44, rich44, { "-b", "96", "-m", "m" })
          && test::writeMp2 (file ("layer2.mp3"), 44100, 2, n44, rich44);
        const auto layer1 = makeLayer1Stream (44100 * seconds / 384);
        ok = ok && file ("layer1.mp3").replaceWithData (layer1.getData(), layer1.getSize());
    }

    static void TearDownTestSuite()
    {
        delete temp;
        temp = nullptr;
    }

    void SetUp() override { ASSERT_TRUE (ok) << "lame, sox and mpg123 are needed for the MP3 fixtures"; }

    static juce::File file (const char* name) { return temp->file (name); }

    static test::TempFolder* temp;
    static bool ok;
};

test::TempFolder* Mp3Reading::temp = nullptr;
bool Mp3Reading::ok = false;

TEST_F (Mp3Reading, WholeFileAndEverySeekEqualAnIndependentDecode)
{
    for (const auto& f : fixtures)
    {
        SCOPED_TRACE (f.name);
        const auto reader = openScanned (file (f.name));
        ASSERT_NE (reader, nullptr);
        EXPECT_EQ (reader->sampleRate, f.rate);
        EXPECT_EQ (reader->numChannels, 2u);
        EXPECT_EQ (reader->bitsPerSample, 16u);

        // The reference decoder also puts a mono track on both sides. The length
        // ends at the first sample of the last frame.
        const auto reference = test::decodeWithMpg123 (file (f.name));
        ASSERT_EQ ((juce::int64) reference.size() / 2, reader->lengthInSamples + f.spf);
        const auto length = (int) reader->lengthInSamples;
        const auto whole = readInterleaved (*reader, 0, length);
        EXPECT_TRUE (std::equal (whole.begin(), whole.end(), reference.begin()));
        EXPECT_GT (rms (whole), 0.05); // real audio, not the silence of a failed decode

        for (int x : { 1, 383, 384, f.spf - 1, f.spf, f.spf * 3 + 17, f.spf * 6 + 5, f.spf * 9, 40000,
                       length / 2 + 333, length - 3000, length - 1 })
        {
            const int n = std::min (2500, length - x);
            const auto part = readInterleaved (*reader, x, n);
            EXPECT_TRUE (std::equal (part.begin(), part.end(), whole.begin() + 2 * x)) << "from " << x;
        }
    }
}

TEST_F (Mp3Reading, InfoFrameIsCountedAsASilentFrame)
{
    const auto withInfo = openScanned (file ("cbr44.mp3"));
    const auto without = openScanned (file ("cbr44-noinfo.mp3"));
    ASSERT_NE (withInfo, nullptr);
    ASSERT_NE (without, nullptr);
    EXPECT_EQ (withInfo->getNumFrames(), without->getNumFrames() + 1);
    EXPECT_EQ (withInfo->lengthInSamples, without->lengthInSamples + 1152);

    const auto head = readInterleaved (*withInfo, 0, 1152 + 2000);
    EXPECT_TRUE (isSilent (head, 0, 2 * 1152));
    // After it comes the same audio as in the file without one.
    const auto plain = readInterleaved (*without, 0, 2000);
    EXPECT_TRUE (std::equal (plain.begin(), plain.end(), head.begin() + 2 * 1152));
}

TEST_F (Mp3Reading, BitrateAndDuration)
{
    struct Expect { const char* name; int kbps; int rate; };
    for (const auto& e : { Expect { "cbr44.mp3", 128, 44100 }, Expect { "cbr44-noinfo.mp3", 128, 44100 },
                           Expect { "vbr44.mp3", -1, 44100 }, Expect { "cbr48.mp3", 192, 48000 },
                           Expect { "mpeg2-22k.mp3", 64, 22050 }, Expect { "mono.mp3", 96, 44100 } })
    {
        SCOPED_TRACE (e.name);
        const auto reader = openScanned (file (e.name));
        ASSERT_NE (reader, nullptr);
        EXPECT_EQ (reader->getKbps(), e.kbps);
        EXPECT_NEAR ((double) reader->lengthInSamples / reader->sampleRate, seconds, 1.0);

        int kbps = 0, rate = 0, secs = 0;
        ASSERT_TRUE (getMp3FileInfo (file (e.name), kbps, rate, secs));
        EXPECT_EQ (kbps, e.kbps);
        EXPECT_EQ (rate, e.rate);
        if (e.kbps > 0)
        {
            EXPECT_NEAR (secs, seconds, 1);
        }
    }

    int kbps = 0, rate = 0, secs = 0;
    file ("cbr44.mp3").copyFileTo (file ("upper.MP3"));
    EXPECT_TRUE (getMp3FileInfo (file ("upper.MP3"), kbps, rate, secs));
    file ("cbr44.mp3").copyFileTo (file ("other.mp2"));
    EXPECT_FALSE (getMp3FileInfo (file ("other.mp2"), kbps, rate, secs));
}

TEST_F (Mp3Reading, ReadsOutsideTheTrackAreSilentAndDestinationsAreHonoured)
{
    const auto reader = openScanned (file ("cbr44-noinfo.mp3"));
    ASSERT_NE (reader, nullptr);
    const auto length = reader->lengthInSamples;
    const auto head = readInterleaved (*reader, 0, 3000);

    // Before the start: zeros, then the track.
    bool result = false;
    const auto early = readInterleaved (*reader, -1000, 4000, &result);
    EXPECT_TRUE (result);
    EXPECT_TRUE (isSilent (early, 0, 2000));
    EXPECT_TRUE (std::equal (head.begin(), head.end(), early.begin() + 2000));
    EXPECT_TRUE (isSilent (readInterleaved (*reader, -5000, 1000)));

    // Across the end: the track up to its length, zeros after it.
    const auto tail = readInterleaved (*reader, length - 1000, 3000, &result);
    EXPECT_TRUE (result);
    EXPECT_GT (rms ({ tail.begin(), tail.begin() + 2000 }), 0.05);
    EXPECT_TRUE (isSilent (tail, 2000));

    // At or beyond the last frame's first sample: nothing at all.
    for (auto start : { length, length + 5, length + 100000 })
    {
        EXPECT_TRUE (isSilent (readInterleaved (*reader, start, 1000, &result)));
        EXPECT_FALSE (result);
    }

    // A destination offset, and channels that are not asked for, are honoured.
    const auto expected = readInterleaved (*reader, 5000, 1000);

    std::vector<int> right (1100, 77);
    int* onlyRight[2] = { nullptr, right.data() };
    EXPECT_TRUE (reader->readSamples (onlyRight, 2, 100, 5000, 1000));
    EXPECT_EQ (std::count (right.begin(), right.begin() + 100, 77), 100);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ (right[(size_t) (100 + i)] >> 16, expected[(size_t) (2 * i + 1)]) << i;

    std::vector<int> left (1000, 77), spare (1000, 77);
    int* oneChannel[2] = { left.data(), spare.data() };
    EXPECT_TRUE (reader->readSamples (oneChannel, 1, 0, 5000, 1000));
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ (left[(size_t) i] >> 16, expected[(size_t) (2 * i)]) << i;
    EXPECT_EQ (std::count (spare.begin(), spare.end(), 77), 1000);
}

TEST_F (Mp3Reading, SilentWhileScanningAndDeletedMidScan)
{
    // Long enough that the scan is still running when we look.
    const auto big = file ("big.mp3");
    ASSERT_TRUE (test::writeRepeatedMp3 (file ("cbr44.mp3"), big, 400));
    const auto framesPerCopy = openScanned (file ("cbr44.mp3"))->getNumFrames();

    auto reader = createAudioReader (big);
    ASSERT_NE (reader, nullptr);
    auto* mp3 = dynamic_cast<MP3Reader*> (reader.get());
    ASSERT_NE (mp3, nullptr);
    if (mp3->isScanning())
    {
        bool result = true;
        const auto samples = readInterleaved (*reader, 44100, 2000, &result);
        if (mp3->isScanning())
        {
            EXPECT_FALSE (result);
            EXPECT_TRUE (isSilent (samples));
        }
    }
    while (mp3->isScanning())
        juce::Thread::sleep (2);
    EXPECT_EQ (mp3->getNumFrames(), framesPerCopy * 400);

    // Deleting readers in the middle of their scans neither hangs nor crashes.
    for (int i = 0; i < 5; ++i)
    {
        auto another = createAudioReader (big);
        ASSERT_NE (another, nullptr);
        juce::Thread::sleep (i * 3);
    }
}

TEST_F (Mp3Reading, ReaderFactoryAndBufferedReader)
{
    const auto reader = createAudioReader (file ("cbr44-noinfo.mp3"));
    ASSERT_NE (reader, nullptr);
    EXPECT_EQ (reader->getFormatName(), "MP3");
    while (isMp3ScanRunning (reader.get()))
        juce::Thread::sleep (2);
    const auto expected = readInterleaved (*reader, 0, 50000);

    BufferedAudioReader buffered;
    ASSERT_TRUE (buffered.load (file ("cbr44-noinfo.mp3").getFullPathName()));
    while (buffered.isBusy())
        juce::Thread::sleep (2);
    while (! buffered.isFrameCached (0) || buffered.getLengthInSamples() == 0)
        juce::Thread::sleep (2);

    EXPECT_EQ (buffered.getSampleRate(), 44100);
    EXPECT_EQ (buffered.getLengthInSamples(), reader->lengthInSamples);
    for (int p = 0; p < 49000; p += 7)
    {
        float l = 0, r = 0;
        buffered.read (p, l, r); // a whole position reads the next frame
        ASSERT_FLOAT_EQ (l, expected[(size_t) (2 * (p + 1))] / 32768.0f) << p;
        ASSERT_FLOAT_EQ (r, expected[(size_t) (2 * (p + 1) + 1)] / 32768.0f) << p;
    }
}
