#include "audiofile/BufferedAudioReader.h"
#include "support/AudioFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <thread>

using namespace zund;

namespace
{
using Reader = BufferedAudioReader;
constexpr int B = Reader::blockSize;

float rampLeft (juce::int64 frame) { return test::indexRampValue (frame, 0); }

/** A track written into a temporary folder and loaded into a reader. */
struct Track
{
    explicit Track (const std::function<bool (const juce::File&)>& write, const juce::String& name = "track.wav")
    {
        file = temp.file (name);
        loaded = write (file) && reader->load (file.getFullPathName());
    }

    /** Reads at the position until its blocks are filled (the fill thread follows
        the last read position). Fails the test after a generous limit. */
    float readWhenReady (double position, float* right = nullptr)
    {
        const auto i = (juce::int64) position;
        float l = 0, r = 0;
        for (int tries = 0; tries < 3000; ++tries)
        {
            reader->read (position, l, r);
            if (reader->isFrameCached (i) && reader->isFrameCached (i + 3))
            {
                reader->read (position, l, r);
                if (right != nullptr)
                    *right = r;
                return l;
            }
            juce::Thread::sleep (5);
        }
        ADD_FAILURE() << "position " << position << " never became ready";
        return 0.0f;
    }

    test::TempFolder temp;
    juce::File file;
    std::unique_ptr<Reader> reader = std::make_unique<Reader>();
    bool loaded = false;
};

std::function<bool (const juce::File&)> indexRamp (double rate, int bits, juce::int64 frames)
{
    return [=] (const juce::File& f) { return test::writeIndexRampWav (f, rate, 2, bits, frames); };
}

std::function<bool (const juce::File&)> constant (float value, juce::int64 frames, int channels = 2)
{
    return [=] (const juce::File& f) {
        return test::writeAudioFile (f, test::FileKind::wav, 44100, channels, 16, frames,
                                     [value] (juce::int64, int) { return value; });
    };
}
}

TEST (BufferedAudioReader, BeforeAnyLoadAndBlockArithmetic)
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
    Track t (indexRamp (48000.0, GetParam(), 3 * B));
    ASSERT_TRUE (t.loaded);
    EXPECT_EQ (t.reader->getSampleRate(), 48000);
    EXPECT_EQ (t.reader->getLengthInSamples(), 3 * B);
    EXPECT_DOUBLE_EQ (t.reader->getLengthInSeconds(), 3.0 * B / 48000.0);

    for (juce::int64 p : { 0, 1, 1000, 40000, B - 4, B - 1, B, 2 * B + 7 })
    {
        float r = 0;
        EXPECT_EQ (t.readWhenReady ((double) p, &r), rampLeft (p + 1)) << "position " << p;
        EXPECT_EQ (r, -rampLeft (p + 1)) << "position " << p;
    }
}

INSTANTIATE_TEST_SUITE_P (Wav, BufferedReaderFormats, ::testing::Values (16, 24, 32));

TEST (BufferedAudioReader, FractionalPositionsFollowTheCurveBetweenFrames)
{
    // A sine of 32 frames per period: the cubic between frames p + 1 and p + 2
    // stays within 1e-4 of it, where a straight line would miss by up to 2.4e-3.
    auto sine = [] (double frame) { return 0.5 * std::sin (2.0 * M_PI * frame / 32.0); };
    Track t ([&sine] (const juce::File& f) {
        return test::writeAudioFile (f, test::FileKind::wav, 44100, 2, 32, B + 100,
                                     [&sine] (juce::int64 frame, int) { return (float) sine ((double) frame); });
    });
    ASSERT_TRUE (t.loaded);
    for (double p : { 10.25, 500.5, 1234.75, 2000.1, 2000.9, (double) B - 10 + 0.5 })
    {
        float r = 0;
        EXPECT_NEAR (t.readWhenReady (p, &r), sine (p + 1.0), 1e-4) << p;
        EXPECT_NEAR (r, sine (p + 1.0), 1e-4) << p;
    }

    // Across a block boundary: frames B - 2 .. B + 1 straddle blocks 0 and 1, both
    // filled around frame B - 2. Far away the cache no longer holds block 1.
    Track ramp (indexRamp (44100.0, 24, 3 * B));
    ASSERT_TRUE (ramp.loaded);
    EXPECT_EQ (ramp.readWhenReady ((double) B - 2), rampLeft (B - 1));
    EXPECT_NEAR (ramp.readWhenReady ((double) B - 1.5), 0.5f * (rampLeft (B - 1) + rampLeft (B)), 1e-6);
    ramp.reader->invalidateBlocks();
    float l = 1, r = 1;
    ramp.reader->read ((double) B - 2, l, r);
    EXPECT_EQ (l, 0.0f);
}

// The fill thread sleeps once the blocks around the last read are filled.
// One read in another block wakes it to fill there, and emptying the cache
// wakes it to fill again, with no further read.
TEST (BufferedAudioReader, ASleepingFillThreadWakesForAReadElsewhereAndForAnEmptiedCache)
{
    Track t (indexRamp (44100.0, 16, 3 * B));
    ASSERT_TRUE (t.loaded);
    EXPECT_EQ (t.readWhenReady (100.0), rampLeft (101));

    auto filledWithoutAnotherRead = [&] (juce::int64 frame) {
        for (int tries = 0; tries < 4000 && ! t.reader->isFrameCached (frame); ++tries)
            juce::Thread::sleep (5);
        return t.reader->isFrameCached (frame);
    };

    const juce::int64 far = 5 * (juce::int64) B + 10; // four blocks on: none of it cached
    ASSERT_FALSE (t.reader->isFrameCached (far));
    float l = 1, r = 1;
    t.reader->read ((double) far, l, r);
    EXPECT_TRUE (filledWithoutAnotherRead (far)) << "one read in another block";
    EXPECT_TRUE (filledWithoutAnotherRead (far + B)) << "and the block after it";

    t.reader->invalidateBlocks();
    EXPECT_TRUE (filledWithoutAnotherRead (far)) << "after the cache was emptied";
    EXPECT_EQ (t.readWhenReady (2.0), rampLeft (3)) << "and back at the start";
}

TEST (BufferedAudioReader, OutsideTheTrackIsSilence)
{
    // Before frame 0 (the pre-roll of a fresh channel) the blocks are zero-filled;
    // position -2 reads frame -1 (zero) and interpolates towards frame 0.
    Track t (indexRamp (44100.0, 16, 50000));
    ASSERT_TRUE (t.loaded);
    EXPECT_EQ (t.readWhenReady (-44100.0), 0.0f);
    EXPECT_TRUE (t.reader->isFrameCached (-44100));
    EXPECT_EQ (t.readWhenReady (-5.0), 0.0f);
    EXPECT_EQ (t.readWhenReady (-1.0), rampLeft (0));
    EXPECT_EQ (t.readWhenReady (2.0), rampLeft (3));

    // Past the end, and past the end of what a truncated file holds.
    EXPECT_EQ (t.readWhenReady (50100.0), 0.0f);
    juce::MemoryBlock data;
    t.file.loadFileAsData (data);
    Track cut ([&data] (const juce::File& f) { return f.replaceWithData (data.getData(), 44 + 4 * 1000); });
    ASSERT_TRUE (cut.loaded);
    EXPECT_EQ (cut.readWhenReady (10.0), rampLeft (11));
    EXPECT_EQ (cut.readWhenReady (5000.0), 0.0f);

    // Positions no track has.
    for (double p : { std::nan (""), HUGE_VAL, -HUGE_VAL, 1e300, 2.1e9 })
    {
        float l = 1, r = 1;
        t.reader->read (p, l, r);
        EXPECT_EQ (l, 0.0f) << p;
        EXPECT_EQ (r, 0.0f) << p;
    }
}

TEST (BufferedAudioReader, MonoPlaysOnBothSidesAndOggPlaysItsTone)
{
    for (auto kind : { test::FileKind::wav, test::FileKind::aiff })
    {
        Track t ([kind] (const juce::File& f) {
            return test::writeAudioFile (f, kind, 44100, 1, 24, 20000,
                                         [] (juce::int64 frame, int) { return (float) (frame % 256) / 256.0f; });
        }, kind == test::FileKind::wav ? "mono.wav" : "mono.aiff");
        ASSERT_TRUE (t.loaded);
        float r = 0;
        EXPECT_NEAR (t.readWhenReady (777.0, &r), (778 % 256) / 256.0f, 1e-6);
        EXPECT_NEAR (r, (778 % 256) / 256.0f, 1e-6);
    }

    Track ogg ([] (const juce::File& f) {
        return test::writeAudioFile (f, test::FileKind::ogg, 44100, 2, 16, 3 * 44100, test::sineSignal (441.0, 44100.0, 0.5f));
    }, "tone.ogg");
    ASSERT_TRUE (ogg.loaded);
    EXPECT_EQ (ogg.reader->getSampleRate(), 44100);
    EXPECT_NEAR ((double) ogg.reader->getLengthInSamples(), 3 * 44100.0, 2048.0);

    // Ten 100-frame periods of 441 Hz: level and phase against the written sine.
    ogg.readWhenReady (44100.0);
    double energy = 0, correlation = 0;
    for (int k = 0; k < 1000; ++k)
    {
        float l = 0, r = 0;
        ogg.reader->read (44100.0 + k, l, r);
        energy += (double) l * l;
        correlation += (double) l * 0.5 * std::sin (2.0 * M_PI * 441.0 * (44101.0 + k) / 44100.0);
        EXPECT_NEAR (r, -l, 0.05);
    }
    EXPECT_NEAR (std::sqrt (energy / 1000.0), 0.5 / std::sqrt (2.0), 0.02);
    EXPECT_GT (correlation / std::sqrt (energy * 1000.0 * 0.125), 0.99);
}

TEST (BufferedAudioReader, FailedLoadChangesNothingAndASecondLoadNeverReturnsTheFirstTrack)
{
    Track t (indexRamp (48000.0, 16, 10000));
    ASSERT_TRUE (t.loaded);
    t.readWhenReady (100.0);
    t.temp.file ("dir.wav").createDirectory();
    t.temp.file ("junk.wav").replaceWithText ("RIFF nonsense");
    t.temp.file ("song.flac").replaceWithText ("fLaC");
    for (auto name : { "missing.wav", "dir.wav", "junk.wav", "song.flac" })
    {
        EXPECT_FALSE (t.reader->load (t.temp.file (name).getFullPathName())) << name;
        EXPECT_EQ (t.reader->getSampleRate(), 48000);
        EXPECT_EQ (t.reader->getLengthInSamples(), 10000);
        EXPECT_TRUE (t.reader->isFrameCached (100));
        float l = 0, r = 0;
        t.reader->read (100.0, l, r);
        EXPECT_EQ (l, rampLeft (101));
    }

    Track first (constant (0.75f, 2 * B));
    ASSERT_TRUE (first.loaded);
    ASSERT_NEAR (first.readWhenReady (1000.0), 0.75f, 1e-4);
    const auto second = first.temp.file ("second.wav");
    ASSERT_TRUE (constant (-0.25f, 2 * B) (second));
    ASSERT_TRUE (first.reader->load (second.getFullPathName()));
    // From the moment load returns, every frame is either silence or the new track.
    for (int k = 0; k < 200000; ++k)
    {
        float l = 0, r = 0;
        first.reader->read (1000.0 + (k % 5000), l, r);
        ASSERT_TRUE (l == 0.0f || std::abs (l + 0.25f) < 1e-4) << "sample " << k << " = " << l;
        if (k % 1000 == 0)
            std::this_thread::yield();
    }
    EXPECT_NEAR (first.readWhenReady (1000.0), -0.25f, 1e-4);
}

TEST (BufferedAudioReader, FillsRingsForTheWaveformView)
{
    Track t ([] (const juce::File& f) {
        return test::writeAudioFile (f, test::FileKind::wav, 44100, 2, 32, 64,
                                     [] (juce::int64, int ch) { return ch == 0 ? 0.5f : -0.25f; });
    });
    ASSERT_TRUE (t.loaded);
    t.readWhenReady (0.0);
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

TEST (BufferedAudioReader, LoadsAndDestructionRaceTheAudioAndFillThreads)
{
    // Destroyed while its thread may be filling.
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
    }

    // Tracks swapped while the audio thread reads: only silence or either track,
    // the same on both sides. Both are longer than the read range.
    Track t (constant (0.5f, 3 * B + 10));
    ASSERT_TRUE (t.loaded);
    const auto b = t.temp.file ("b.wav");
    ASSERT_TRUE (constant (-0.5f, 3 * B + 10, 1) (b));
    std::atomic<bool> stop { false };
    std::atomic<int> badSamples { 0 };
    std::thread audio ([&] {
        for (double p = 0; ! stop.load(); p = std::fmod (p + 1.37, 3.0 * B))
        {
            float l, r;
            t.reader->read (p, l, r);
            if (! (l == 0.0f || std::abs (std::abs (l) - 0.5f) < 1e-3) || l != r)
                badSamples++;
        }
    });
    for (int i = 0; i < 20; ++i)
    {
        ASSERT_TRUE (t.reader->load ((i % 2 ? t.file : b).getFullPathName()));
        juce::Thread::sleep (3);
    }
    stop = true;
    audio.join();
    EXPECT_EQ (badSamples.load(), 0);
}
