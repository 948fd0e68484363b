#include "audiofile/BufferedAudioReader.h"
#include "support/AudioFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <thread>

using namespace zund;

namespace
{
using Reader = BufferedAudioReader;
constexpr int B = Reader::blockSize;

// Reads at the position until its blocks are filled (the fill thread follows the
// last read position). Fails the test after a generous limit.
void readWhenReady (Reader& reader, double position, float& l, float& r)
{
    const auto i = (juce::int64) position;
    for (int tries = 0; tries < 3000; ++tries)
    {
        reader.read (position, l, r);
        if (reader.isFrameCached (i) && reader.isFrameCached (i + 3))
        {
            reader.read (position, l, r);
            return;
        }
        juce::Thread::sleep (5);
    }
    FAIL() << "position " << position << " never became ready";
}

float rampLeft (juce::int64 frame) { return test::indexRampValue (frame, 0); }

struct Track
{
    test::TempFolder temp;
    juce::File file;
    std::unique_ptr<Reader> reader = std::make_unique<Reader>();
};
}

TEST (BufferedAudioReader, BeforeAnyLoad)
{
    Reader reader;
    float l = 1, r = 1;
    reader.read (100.0, l, r);
    EXPECT_EQ (l, 0.0f);
    EXPECT_EQ (r, 0.0f);
    EXPECT_EQ (reader.getSampleRate(), 44100);
    EXPECT_EQ (reader.getLengthInSamples(), 0);
    EXPECT_EQ (reader.getLengthInSeconds(), 0.0);
    EXPECT_TRUE (reader.isBusy());
}

TEST (BufferedAudioReader, BlockArithmetic)
{
    EXPECT_EQ (Reader::blockIndexOf (-1), 3);
    EXPECT_EQ (Reader::blockStartOf (-1), -B);
    EXPECT_EQ (Reader::blockStartOf (-B - 1), -2 * B);
    EXPECT_EQ (Reader::blockIndexOf (B), 1);
    EXPECT_EQ (Reader::blockStartOf (B + 5), B);
    EXPECT_EQ (Reader::blockIndexOf (4 * B), 0);
    EXPECT_EQ (Reader::getWaveRingIndex (1048576.0 + 64.0), 2);
    EXPECT_EQ (Reader::getWaveRingIndex (31.9), 0);
    EXPECT_EQ (Reader::getWaveRingIndex (1048575.0), 32767);
    // Beyond 2^31 frames the arithmetic stays in 64 bits.
    const juce::int64 big = ((juce::int64) 1 << 31) + 3 * B + 17;
    EXPECT_EQ (Reader::blockStartOf (big), ((juce::int64) 1 << 31) + 3 * B);
    EXPECT_EQ (Reader::blockIndexOf (big), 3);
}

class BufferedReaderFormats : public ::testing::TestWithParam<int>
{
};

TEST_P (BufferedReaderFormats, WholePositionsReturnTheNextFrameExactly)
{
    const int bits = GetParam();
    Track t;
    t.file = t.temp.file ("ramp.wav");
    ASSERT_TRUE (test::writeIndexRampWav (t.file, 48000.0, 2, bits, 3 * B));
    ASSERT_TRUE (t.reader->load (t.file.getFullPathName()));
    EXPECT_EQ (t.reader->getSampleRate(), 48000);
    EXPECT_EQ (t.reader->getLengthInSamples(), 3 * B);
    EXPECT_DOUBLE_EQ (t.reader->getLengthInSeconds(), 3.0 * B / 48000.0);

    for (juce::int64 p : { (juce::int64) 0, (juce::int64) 1, (juce::int64) 1000, (juce::int64) 40000,
                           (juce::int64) B - 4, (juce::int64) B - 1, (juce::int64) B, (juce::int64) 2 * B + 7 })
    {
        float l = 0, r = 0;
        readWhenReady (*t.reader, (double) p, l, r);
        EXPECT_EQ (l, rampLeft (p + 1)) << "position " << p;
        EXPECT_EQ (r, -rampLeft (p + 1)) << "position " << p;
    }
}

INSTANTIATE_TEST_SUITE_P (Wav, BufferedReaderFormats, ::testing::Values (16, 24, 32));

TEST (BufferedAudioReader, FractionalPositionsInterpolateTheRamp)
{
    Track t;
    t.file = t.temp.file ("ramp.wav");
    ASSERT_TRUE (test::writeIndexRampWav (t.file, 44100.0, 2, 32, B + 100));
    ASSERT_TRUE (t.reader->load (t.file.getFullPathName()));

    // On a straight ramp the cubic is exact: value at p + 0.25 lies a quarter
    // of the way between frames p + 1 and p + 2.
    for (double p : { 10.25, 500.5, 1234.75, (double) B - 10 + 0.5 })
    {
        float l = 0, r = 0;
        readWhenReady (*t.reader, p, l, r);
        const auto i = (juce::int64) p;
        const float expected = rampLeft (i + 1) + (float) (p - (double) i) * (rampLeft (i + 2) - rampLeft (i + 1));
        EXPECT_NEAR (l, expected, 1e-6) << p;
        EXPECT_NEAR (r, -expected, 1e-6) << p;
    }
}

TEST (BufferedAudioReader, NegativePositionsAreSilentAndTheTrackStartsAfter)
{
    Track t;
    t.file = t.temp.file ("ramp.wav");
    ASSERT_TRUE (test::writeIndexRampWav (t.file, 44100.0, 2, 16, 50000));
    ASSERT_TRUE (t.reader->load (t.file.getFullPathName()));

    float l = 1, r = 1;
    readWhenReady (*t.reader, -44100.0, l, r);
    EXPECT_EQ (l, 0.0f);
    EXPECT_EQ (r, 0.0f);
    EXPECT_TRUE (t.reader->isFrameCached (-44100));
    readWhenReady (*t.reader, -5.0, l, r);
    EXPECT_EQ (l, 0.0f);
    // Across the boundary at frame 0: position -2 reads frame -1 (zero) and interpolates towards frame 0.
    readWhenReady (*t.reader, -1.0, l, r);
    EXPECT_EQ (l, rampLeft (0));
    readWhenReady (*t.reader, 2.0, l, r);
    EXPECT_EQ (l, rampLeft (3));
}

TEST (BufferedAudioReader, PastTheEndIsSilent)
{
    Track t;
    t.file = t.temp.file ("short.wav");
    ASSERT_TRUE (test::writeAudioFile (t.file, test::FileKind::wav, 44100, 2, 16, 1000,
                                       [] (juce::int64, int) { return 0.5f; }));
    ASSERT_TRUE (t.reader->load (t.file.getFullPathName()));
    float l = 0, r = 0;
    readWhenReady (*t.reader, 500.0, l, r);
    EXPECT_NEAR (l, 0.5f, 1e-4);
    readWhenReady (*t.reader, 1200.0, l, r);
    EXPECT_EQ (l, 0.0f);
    EXPECT_EQ (r, 0.0f);
}

TEST (BufferedAudioReader, MonoPlaysOnBothSides)
{
    for (auto kind : { test::FileKind::wav, test::FileKind::aiff })
    {
        Track t;
        t.file = t.temp.file (kind == test::FileKind::wav ? "mono.wav" : "mono.aiff");
        ASSERT_TRUE (test::writeAudioFile (t.file, kind, 44100, 1, 24, 20000,
                                           [] (juce::int64 f, int) { return (float) (f % 256) / 256.0f; }));
        ASSERT_TRUE (t.reader->load (t.file.getFullPathName()));
        float l = 0, r = 0;
        readWhenReady (*t.reader, 777.0, l, r);
        EXPECT_NEAR (l, (778 % 256) / 256.0f, 1e-6);
        EXPECT_EQ (r, l);
    }
}

TEST (BufferedAudioReader, OggVorbisPlaysItsTone)
{
    Track t;
    t.file = t.temp.file ("tone.ogg");
    ASSERT_TRUE (test::writeAudioFile (t.file, test::FileKind::ogg, 44100, 2, 16, 3 * 44100,
                                       test::sineSignal (441.0, 44100.0, 0.5f)));
    ASSERT_TRUE (t.reader->load (t.file.getFullPathName()));
    EXPECT_EQ (t.reader->getSampleRate(), 44100);
    EXPECT_NEAR ((double) t.reader->getLengthInSamples(), 3 * 44100.0, 2048.0);

    // One 100-frame period of 441 Hz: level and phase against the written sine.
    float l = 0, r = 0;
    readWhenReady (*t.reader, 44100.0, l, r);
    double energy = 0, correlation = 0;
    for (int k = 0; k < 1000; ++k)
    {
        t.reader->read (44100.0 + k, l, r);
        const double expected = 0.5 * std::sin (2.0 * M_PI * 441.0 * (44101.0 + k) / 44100.0);
        energy += (double) l * l;
        correlation += (double) l * expected;
        EXPECT_NEAR (r, -l, 0.05);
    }
    EXPECT_NEAR (std::sqrt (energy / 1000.0), 0.5 / std::sqrt (2.0), 0.02);
    EXPECT_GT (correlation / std::sqrt (energy * 1000.0 * 0.125), 0.99);
}

TEST (BufferedAudioReader, FailedLoadChangesNothing)
{
    Track t;
    t.file = t.temp.file ("ramp.wav");
    ASSERT_TRUE (test::writeIndexRampWav (t.file, 48000.0, 2, 16, 10000));
    ASSERT_TRUE (t.reader->load (t.file.getFullPathName()));
    float l = 0, r = 0;
    readWhenReady (*t.reader, 100.0, l, r);

    t.temp.file ("dir.wav").createDirectory();
    t.temp.file ("junk.wav").replaceWithText ("RIFF nonsense");
    t.temp.file ("song.flac").replaceWithText ("fLaC");
    for (auto name : { "missing.wav", "dir.wav", "junk.wav", "song.flac" })
    {
        EXPECT_FALSE (t.reader->load (t.temp.file (name).getFullPathName())) << name;
        EXPECT_EQ (t.reader->getSampleRate(), 48000);
        EXPECT_EQ (t.reader->getLengthInSamples(), 10000);
        EXPECT_TRUE (t.reader->isFrameCached (100));
        t.reader->read (100.0, l, r);
        EXPECT_EQ (l, rampLeft (101));
    }
}

TEST (BufferedAudioReader, SecondLoadNeverReturnsTheFirstTrack)
{
    Track t;
    const auto first = t.temp.file ("first.wav");
    const auto second = t.temp.file ("second.wav");
    ASSERT_TRUE (test::writeAudioFile (first, test::FileKind::wav, 44100, 2, 16, 2 * B,
                                       [] (juce::int64, int) { return 0.75f; }));
    ASSERT_TRUE (test::writeAudioFile (second, test::FileKind::wav, 44100, 2, 16, 2 * B,
                                       [] (juce::int64, int) { return -0.25f; }));
    ASSERT_TRUE (t.reader->load (first.getFullPathName()));
    float l = 0, r = 0;
    readWhenReady (*t.reader, 1000.0, l, r);
    ASSERT_NEAR (l, 0.75f, 1e-4);

    ASSERT_TRUE (t.reader->load (second.getFullPathName()));
    // From the moment load returns, every frame is either silence or the new track.
    for (int k = 0; k < 200000; ++k)
    {
        t.reader->read (1000.0 + (k % 5000), l, r);
        ASSERT_TRUE (l == 0.0f || std::abs (l + 0.25f) < 1e-4) << "sample " << k << " = " << l;
        if (k % 1000 == 0)
            std::this_thread::yield();
    }
    readWhenReady (*t.reader, 1000.0, l, r);
    EXPECT_NEAR (l, -0.25f, 1e-4);
}

TEST (BufferedAudioReader, BlockBoundaryNeedsTheNextBlockToo)
{
    Track t;
    t.file = t.temp.file ("ramp.wav");
    ASSERT_TRUE (test::writeIndexRampWav (t.file, 44100.0, 2, 24, 3 * B));
    ASSERT_TRUE (t.reader->load (t.file.getFullPathName()));

    // Frames B-2 .. B+1 straddle blocks 0 and 1; both are filled around frame B-2.
    float l = 0, r = 0;
    readWhenReady (*t.reader, (double) B - 2, l, r);
    EXPECT_EQ (l, rampLeft (B - 1));
    readWhenReady (*t.reader, (double) B - 2 + 0.5, l, r);
    EXPECT_NEAR (l, 0.5f * (rampLeft (B - 1) + rampLeft (B)), 1e-6);

    // Far away the cache no longer holds block 1: a read there is silence.
    t.reader->invalidateBlocks();
    t.reader->read ((double) B - 2, l, r);
    EXPECT_EQ (l, 0.0f);
}

TEST (BufferedAudioReader, FillsRingsForTheWaveformView)
{
    Track t;
    t.file = t.temp.file ("level.wav");
    ASSERT_TRUE (test::writeAudioFile (t.file, test::FileKind::wav, 44100, 2, 32, 64,
                                       [] (juce::int64 f, int ch) { return ch == 0 ? 0.5f : -0.25f; }));
    ASSERT_TRUE (t.reader->load (t.file.getFullPathName()));
    float l = 0, r = 0;
    readWhenReady (*t.reader, 0.0, l, r);

    const auto* peak = t.reader->getPeakRing();
    const auto* average = t.reader->getAverageRing();
    EXPECT_FLOAT_EQ (peak[0].load(), 0.5f);
    EXPECT_FLOAT_EQ (peak[1].load(), -0.25f);
    EXPECT_FLOAT_EQ (average[0].load(), 0.375f);
    EXPECT_FLOAT_EQ (average[1].load(), 0.375f);
    // The third group is past the end: silence, and the extremes include 0.
    EXPECT_EQ (peak[4].load(), 0.0f);
    EXPECT_EQ (peak[5].load(), 0.0f);
}

TEST (BufferedAudioReader, NonsensePositionsAreSilent)
{
    Track t;
    t.file = t.temp.file ("ramp.wav");
    ASSERT_TRUE (test::writeIndexRampWav (t.file, 44100.0, 2, 16, 1000));
    ASSERT_TRUE (t.reader->load (t.file.getFullPathName()));
    float l = 1, r = 1;
    for (double p : { std::nan (""), HUGE_VAL, -HUGE_VAL, 1e300, 3e9 })
    {
        t.reader->read (p, l, r);
        EXPECT_EQ (l, 0.0f);
        EXPECT_EQ (r, 0.0f);
    }
}

TEST (BufferedAudioReader, DataTruncatedFilePlaysWhatIsThere)
{
    Track t;
    const auto full = t.temp.file ("full.wav");
    ASSERT_TRUE (test::writeIndexRampWav (full, 44100.0, 2, 16, 20000));
    juce::MemoryBlock data;
    full.loadFileAsData (data);
    t.file = t.temp.file ("cut.wav");
    t.file.replaceWithData (data.getData(), 44 + 4 * 1000); // header and 1000 frames
    ASSERT_TRUE (t.reader->load (t.file.getFullPathName()));
    float l = 0, r = 0;
    readWhenReady (*t.reader, 10.0, l, r);
    EXPECT_EQ (l, rampLeft (11));
    readWhenReady (*t.reader, 5000.0, l, r);
    EXPECT_EQ (l, 0.0f);
}

TEST (BufferedAudioReader, RepeatedConstructLoadDestroy)
{
    test::TempFolder temp;
    const auto file = temp.file ("ramp.wav");
    ASSERT_TRUE (test::writeIndexRampWav (file, 44100.0, 2, 16, 5000));
    for (int round = 0; round < 8; ++round)
    {
        auto reader = std::make_unique<Reader>();
        ASSERT_TRUE (reader->load (file.getFullPathName()));
        if (round % 2 == 0)
        {
            ASSERT_TRUE (reader->load (file.getFullPathName()));
        }
        float l, r;
        reader->read (round * 100.0, l, r);
    } // destroyed while its thread may be filling
}

TEST (BufferedAudioReader, AudioThreadReadsWhileTracksAreSwapped)
{
    Track t;
    const auto a = t.temp.file ("a.wav");
    const auto b = t.temp.file ("b.wav");
    // Both tracks are longer than the read range, so no interpolation meets their ends.
    ASSERT_TRUE (test::writeAudioFile (a, test::FileKind::wav, 44100, 2, 16, 3 * B + 10,
                                       [] (juce::int64, int) { return 0.5f; }));
    ASSERT_TRUE (test::writeAudioFile (b, test::FileKind::wav, 44100, 1, 16, 3 * B + 10,
                                       [] (juce::int64, int) { return -0.5f; }));

    std::atomic<bool> stop { false };
    std::atomic<int> badSamples { 0 };
    std::thread audio ([&] {
        double p = 0;
        while (! stop.load())
        {
            float l, r;
            t.reader->read (p, l, r);
            if (! (l == 0.0f || std::abs (std::abs (l) - 0.5f) < 1e-3) || l != r)
                badSamples++;
            p = std::fmod (p + 1.37, 3.0 * B);
        }
    });
    for (int i = 0; i < 20; ++i)
    {
        ASSERT_TRUE (t.reader->load ((i % 2 ? a : b).getFullPathName()));
        juce::Thread::sleep (3);
    }
    stop = true;
    audio.join();
    EXPECT_EQ (badSamples.load(), 0);
}
