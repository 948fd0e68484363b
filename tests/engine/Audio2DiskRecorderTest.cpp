#include "engine/recorder/Audio2DiskRecorder.h"
#include "engine/recorder/WaveHeader.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include <array>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstring>
#include <limits>
#include <sys/resource.h>
#include <thread>
#include <vector>

using namespace zund;

namespace
{
constexpr int ringFrames = Audio2DiskRecorder::ringSize / 2 - 1; // one slot pair stays free

struct Header
{
    juce::uint32 riffSize = 0, rate = 0, byteRate = 0, dataSize = 0;
    int blockAlign = 0, bits = 0, channels = 0, format = 0;
    bool tagsRight = false;
};

Header readHeader (const juce::File& file)
{
    juce::MemoryBlock bytes;
    Header h;
    if (! file.loadFileAsData (bytes) || bytes.getSize() < waveHeaderSize)
        return h;
    const auto* b = static_cast<const juce::uint8*> (bytes.getData());
    auto u32 = [b] (int at) { return juce::ByteOrder::littleEndianInt (b + at); };
    auto u16 = [b] (int at) { return (int) juce::ByteOrder::littleEndianShort (b + at); };
    h.tagsRight = std::memcmp (b, "RIFF", 4) == 0 && std::memcmp (b + 8, "WAVEfmt ", 8) == 0
               && std::memcmp (b + 36, "data", 4) == 0 && u32 (16) == 16;
    h.riffSize = u32 (4);
    h.format = u16 (20);
    h.channels = u16 (22);
    h.rate = u32 (24);
    h.byteRate = u32 (28);
    h.blockAlign = u16 (32);
    h.bits = u16 (34);
    h.dataSize = u32 (40);
    return h;
}

// Frames as the framework's WAV reader sees them, at the file's own depth.
std::vector<std::array<int, 2>> readFrames (const juce::File& file, int bits)
{
    std::vector<std::array<int, 2>> frames;
    std::unique_ptr<juce::AudioFormatReader> reader (
        juce::WavAudioFormat().createReaderFor (new juce::FileInputStream (file), true));
    if (reader == nullptr)
    {
        ADD_FAILURE() << "no WAV reader for " << file.getFullPathName();
        return frames;
    }
    const auto n = (int) reader->lengthInSamples;
    std::vector<int> l ((size_t) n + 1), r ((size_t) n + 1);
    int* dest[2] = { l.data(), r.data() };
    reader->read (dest, 2, 0, n, false);
    for (int i = 0; i < n; ++i)
        frames.push_back ({ l[(size_t) i] >> (32 - bits), r[(size_t) i] >> (32 - bits) });
    return frames;
}

juce::String soxInfo (const juce::File& file, const char* what)
{
    juce::ChildProcess process;
    if (! process.start (juce::StringArray { "sox", "--i", what, file.getFullPathName() },
                         juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return "sox did not start";
    const auto output = process.readAllProcessOutput();
    process.waitForProcessToFinish (10000);
    return output.trim();
}

// A value per frame that survives 32-bit recording exactly: 2^-6 + k 2^-21.
float indexValue (int k) { return 0.015625f + (float) k / 2097152.0f; }
int indexOf (int sample32) { return (int) std::lround (((double) sample32 / 2147483008.0 - 0.015625) * 2097152.0); }

std::vector<float> indexSignal (int from, int count)
{
    std::vector<float> v ((size_t) count);
    for (int i = 0; i < count; ++i)
        v[(size_t) i] = indexValue (from + i);
    return v;
}

void feedIndexSignal (Audio2DiskRecorder& recorder, int from, int count, int chunk = 256)
{
    for (int done = 0; done < count; done += chunk)
    {
        const auto v = indexSignal (from + done, std::min (chunk, count - done));
        recorder.feed (v.data(), v.data(), (int) v.size());
    }
}

// The recorded frame indexes must rise one by one from `first`, both sides alike.
void expectIndexRun (const std::vector<std::array<int, 2>>& frames, int first, int count)
{
    ASSERT_EQ ((int) frames.size(), count);
    for (int i = 0; i < count; ++i)
    {
        ASSERT_EQ (indexOf (frames[(size_t) i][0]), first + i) << "frame " << i;
        ASSERT_EQ (frames[(size_t) i][1], frames[(size_t) i][0]) << "frame " << i;
    }
}
}

TEST (WaveHeader, FieldsAndSizesBeyondTwoGigabytes)
{
    test::TempFolder temp;
    const auto file = temp.file ("h.wav");
    auto* f = std::fopen (file.getFullPathName().toRawUTF8(), "w+b");
    ASSERT_NE (f, nullptr);
    std::setvbuf (f, nullptr, _IONBF, 0);

    ASSERT_TRUE (writeWaveHeader (f, 1000, 48000, 32));
    auto h = readHeader (file);
    EXPECT_TRUE (h.tagsRight);
    EXPECT_EQ (h.format, 1);
    EXPECT_EQ (h.channels, 2);
    EXPECT_EQ (h.rate, 48000u);
    EXPECT_EQ (h.blockAlign, 8);
    EXPECT_EQ (h.byteRate, 8u * 48000u);
    EXPECT_EQ (h.bits, 32);
    EXPECT_EQ (h.dataSize, 8000u);
    EXPECT_EQ (h.riffSize, 8036u);

    // 2.8 GB of 16-bit data: past the signed range, still exact.
    ASSERT_TRUE (writeWaveHeader (f, 700000000, 44100, 16));
    h = readHeader (file);
    EXPECT_EQ (h.blockAlign, 4);
    EXPECT_EQ (h.byteRate, 4u * 44100u);
    EXPECT_EQ (h.dataSize, 2800000000u);
    EXPECT_EQ (h.riffSize, 2800000036u);

    // More than a header can describe is written as the largest size, not wrapped.
    ASSERT_TRUE (writeWaveHeader (f, (juce::uint64) 1 << 31, 44100, 32));
    h = readHeader (file);
    EXPECT_EQ (h.dataSize, 4294967256u);
    EXPECT_EQ (h.riffSize, 4294967292u);
    EXPECT_EQ (getLargestWaveDataSize (16), 4294967256u);
    std::fclose (f);
    EXPECT_EQ (file.getSize(), waveHeaderSize);
}

TEST (Audio2DiskRecorder, GateOpensOnTheFirstPositiveExcursionAboveTheThreshold)
{
    test::TempFolder temp;
    Audio2DiskRecorder recorder;
    // Silence, a negative signal and the threshold itself leave an empty, valid file.
    for (int bits : { 16, 32 })
    {
        const auto file = temp.file ("silence" + juce::String (bits) + ".wav");
        ASSERT_TRUE (recorder.start (file.getFullPathName(), bits));
        const std::vector<float> silence (4096, 0.0f), negative (4096, -0.5f), quiet (4096, 0.01f);
        recorder.feed (silence.data(), silence.data(), 4096);
        recorder.feed (negative.data(), negative.data(), 4096);
        recorder.feed (quiet.data(), negative.data(), 4096);
        EXPECT_TRUE (recorder.stop());
        EXPECT_EQ (file.getSize(), waveHeaderSize);
        const auto h = readHeader (file);
        EXPECT_EQ (h.dataSize, 0u);
        EXPECT_EQ (h.riffSize, 36u);
        EXPECT_EQ (h.bits, bits);
        EXPECT_EQ (soxInfo (file, "-s"), "0");
    }

    // Frame 3 opens the gate (right 0.02) and is not kept; all that follows is.
    const auto file = temp.file ("gate.wav");
    ASSERT_TRUE (recorder.start (file.getFullPathName(), 32));
    const float left[] = { 0.0f, -0.9f, 0.005f, 0.0f, 0.25f, -0.75f, 0.0f, 0.001f };
    const float right[] = { -0.9f, 0.01f, -0.3f, 0.02f, 0.5f, 0.0f, -0.25f, 0.0f };
    recorder.feed (left, right, 8);
    ASSERT_TRUE (recorder.stop());
    const auto frames = readFrames (file, 32);
    ASSERT_EQ (frames.size(), 4u);
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ (frames[(size_t) i][0], (int) ((double) left[4 + i] * 2147483008.0)) << i;
        EXPECT_EQ (frames[(size_t) i][1], (int) ((double) right[4 + i] * 2147483008.0)) << i;
    }
}

TEST (Audio2DiskRecorder, SampleValuesReadBackAtBothDepths)
{
    test::TempFolder temp;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float left[] = { 1.0f, 0.5f, 1.0f, -1.0f, 2.5f, -7.0f, nan, 0.25f };
    const float right[] = { 1.0f, -0.5f, -1.0f, 1.0f, -1.5f, 1e9f, 0.0f, -0.25f };
    // After the gate frame: exact truncations, overs limited to full scale, NaN as silence.
    const int expected16[][2] = { { 16383, -16383 }, { 32767, -32767 }, { -32767, 32767 },
                                  { 32767, -32767 }, { -32767, 32767 }, { 0, 0 }, { 8191, -8191 } };
    const int expected32[][2] = { { 1073741504, -1073741504 }, { 2147483008, -2147483008 },
                                  { -2147483008, 2147483008 }, { 2147483008, -2147483008 },
                                  { -2147483008, 2147483008 }, { 0, 0 }, { 536870752, -536870752 } };

    Audio2DiskRecorder recorder;
    recorder.setSampleRate (48000);
    for (int bits : { 16, 32 })
    {
        const auto file = temp.file ("values" + juce::String (bits) + ".wav");
        ASSERT_TRUE (recorder.start (file.getFullPathName(), bits));
        recorder.feed (left, right, 8);
        ASSERT_TRUE (recorder.stop());

        const auto frames = readFrames (file, bits);
        ASSERT_EQ (frames.size(), 7u);
        for (size_t i = 0; i < 7; ++i)
            for (size_t c = 0; c < 2; ++c)
                EXPECT_EQ (frames[i][c], bits == 16 ? expected16[i][c] : expected32[i][c]) << i << " " << c;

        EXPECT_EQ (soxInfo (file, "-c"), "2");
        EXPECT_EQ (soxInfo (file, "-r"), "48000");
        EXPECT_EQ (soxInfo (file, "-b"), juce::String (bits));
        EXPECT_EQ (soxInfo (file, "-s"), "7");
        EXPECT_EQ (soxInfo (file, "-e"), "Signed Integer PCM");
    }
}

TEST (Audio2DiskRecorder, EachRecordingCountsOnlyItsOwnFrames)
{
    test::TempFolder temp;
    const auto first = temp.file ("first.wav"), second = temp.file ("second.wav");
    Audio2DiskRecorder recorder;
    ASSERT_TRUE (recorder.start (first.getFullPathName(), 32));
    feedIndexSignal (recorder, 0, 5000);

    // A start while recording finishes the first file; the gate closes again.
    ASSERT_TRUE (recorder.start (second.getFullPathName(), 32));
    const std::vector<float> silence (300, 0.0f);
    recorder.feed (silence.data(), silence.data(), 300);
    feedIndexSignal (recorder, 100000, 1000);
    ASSERT_TRUE (recorder.stop());

    EXPECT_EQ (readHeader (first).dataSize, 4999u * 8u);
    EXPECT_EQ (readHeader (second).dataSize, 999u * 8u);
    expectIndexRun (readFrames (first, 32), 1, 4999);
    expectIndexRun (readFrames (second, 32), 100001, 999);
    EXPECT_EQ (soxInfo (second, "-s"), "999");

    // A recorder destroyed while recording finishes its file.
    const auto third = temp.file ("left-running.wav");
    {
        Audio2DiskRecorder running;
        ASSERT_TRUE (running.start (third.getFullPathName(), 32));
        feedIndexSignal (running, 0, 2000);
    }
    expectIndexRun (readFrames (third, 32), 1, 1999);
}

TEST (Audio2DiskRecorder, AFullRingDropsFramesWithoutOverrunning)
{
    test::TempFolder temp;
    const auto file = temp.file ("full.wav");
    Audio2DiskRecorder recorder;
    ASSERT_TRUE (recorder.start (file.getFullPathName(), 32));
    const auto v = indexSignal (0, 200000);
    recorder.feed (v.data(), v.data(), 200000); // far more than the ring holds in one go
    ASSERT_TRUE (recorder.stop());

    // The ring keeps the oldest frames in order; later ones are dropped, none overwritten.
    expectIndexRun (readFrames (file, 32), 1, ringFrames);
}

TEST (Audio2DiskRecorder, TheRingWrapsInOrder)
{
    test::TempFolder temp;
    const auto file = temp.file ("wrap.wav");
    Audio2DiskRecorder recorder;
    ASSERT_TRUE (recorder.start (file.getFullPathName(), 32));
    feedIndexSignal (recorder, 0, 100000, 100000);

    // Once the writer has taken those, the next 100,000 frames run across the ring's end.
    for (int tries = 0; tries < 10000 && file.getSize() < waveHeaderSize + 99999 * 8; ++tries)
        juce::Thread::sleep (1);
    ASSERT_EQ (file.getSize(), waveHeaderSize + 99999 * 8);
    feedIndexSignal (recorder, 100000, 100000, 100000);
    ASSERT_TRUE (recorder.stop());

    expectIndexRun (readFrames (file, 32), 1, 199999);
}

TEST (Audio2DiskRecorder, FeedRacesTheWriterAndRestarts)
{
    test::TempFolder temp;
    Audio2DiskRecorder recorder;
    std::atomic<bool> done { false };
    constexpr int signalLength = 2000000;
    const auto signal = indexSignal (0, signalLength);

    ASSERT_TRUE (recorder.start (temp.file ("take0.wav").getFullPathName(), 32));
    std::thread audio ([&]
    {
        for (int k = 0; ! done.load(); k += 256)
        {
            if (k + 256 <= signalLength)
                recorder.feed (signal.data() + k, signal.data() + k, 256);
            std::this_thread::sleep_for (std::chrono::microseconds (50));
        }
    });

    // Restarts while the audio thread keeps feeding: every take is a valid file
    // whose frames rise in order (gaps only where the ring was full).
    juce::Thread::sleep (200); // long enough for the first take to run round the ring
    for (int take = 1; take < 6; ++take)
    {
        juce::Thread::sleep (20);
        EXPECT_TRUE (recorder.start (temp.file ("take" + juce::String (take) + ".wav").getFullPathName(), 32));
    }
    juce::Thread::sleep (20);
    EXPECT_TRUE (recorder.stop());
    done.store (true);
    audio.join();

    for (int take = 0; take < 6; ++take)
    {
        const auto file = temp.file ("take" + juce::String (take) + ".wav");
        const auto h = readHeader (file);
        EXPECT_EQ ((juce::int64) h.dataSize + waveHeaderSize, file.getSize()) << take;
        const auto frames = readFrames (file, 32);
        for (size_t i = 1; i < frames.size(); ++i)
        {
            const int previous = indexOf (frames[i - 1][0]), current = indexOf (frames[i][0]);
            ASSERT_GT (current, previous) << "take " << take << " frame " << i;
            ASSERT_EQ (frames[i][1], frames[i][0]);
        }
    }
}

TEST (Audio2DiskRecorder, StopsWritingAtTheLargestDescribableSize)
{
    test::TempFolder temp;
    const auto file = temp.file ("limit.wav");
    Audio2DiskRecorder recorder;
    recorder.setStartingByteCountForTesting (getLargestWaveDataSize (16) - 4000); // room for 1000 frames
    ASSERT_TRUE (recorder.start (file.getFullPathName(), 16));
    feedIndexSignal (recorder, 0, 3000);
    EXPECT_TRUE (recorder.stop()); // the file is complete and valid
    EXPECT_TRUE (recorder.hasReachedSizeLimit());
    EXPECT_FALSE (recorder.hasWriteFailed());

    EXPECT_EQ (file.getSize(), waveHeaderSize + 4000);
    const auto h = readHeader (file);
    EXPECT_EQ (h.dataSize, 4294967256u);
    EXPECT_EQ (h.riffSize, 4294967292u);

    // The next recording starts from nothing again.
    ASSERT_TRUE (recorder.start (file.getFullPathName(), 16));
    EXPECT_FALSE (recorder.hasReachedSizeLimit());
    feedIndexSignal (recorder, 0, 3000);
    EXPECT_TRUE (recorder.stop());
    EXPECT_EQ (readHeader (file).dataSize, 2999u * 4u);
}

TEST (Audio2DiskRecorder, FailedOpenOrHeaderIsReported)
{
    test::TempFolder temp;
    Audio2DiskRecorder recorder;
    EXPECT_FALSE (recorder.start (temp.file ("missing/folder.wav").getFullPathName(), 16));
    EXPECT_FALSE (recorder.start (temp.get().getFullPathName(), 16));                     // a folder
    EXPECT_FALSE (recorder.start ("/dev/full", 16));                                     // header write fails
    EXPECT_FALSE (recorder.start (temp.file ("24bit.wav").getFullPathName(), 24));
    EXPECT_FALSE (temp.file ("24bit.wav").exists());

    const std::vector<float> loud (100, 0.5f);
    recorder.feed (loud.data(), loud.data(), 100); // not recording: ignored
    EXPECT_TRUE (recorder.stop());
}

TEST (Audio2DiskRecorder, AWriteFailureKeepsAValidFileAndIsReported)
{
    test::TempFolder temp;
    const auto file = temp.file ("full-disk.wav");
    Audio2DiskRecorder recorder;

    // The process may not grow files past 44 + 1002 bytes: the data write comes up short.
    rlimit saved {};
    ASSERT_EQ (getrlimit (RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal (SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = waveHeaderSize + 1002;
    ASSERT_EQ (setrlimit (RLIMIT_FSIZE, &small), 0);
    const bool started = recorder.start (file.getFullPathName(), 16);
    feedIndexSignal (recorder, 0, 1001);
    const bool stopped = recorder.stop();
    setrlimit (RLIMIT_FSIZE, &saved);
    std::signal (SIGXFSZ, previousHandler);

    ASSERT_TRUE (started);
    EXPECT_FALSE (stopped);
    EXPECT_TRUE (recorder.hasWriteFailed());
    // Cut back to whole frames, with a header that says so.
    EXPECT_EQ (file.getSize(), waveHeaderSize + 1000);
    EXPECT_EQ (readHeader (file).dataSize, 1000u);
    const auto frames = readFrames (file, 16);
    ASSERT_EQ (frames.size(), 250u);
    EXPECT_EQ (frames[249][0], (int) (indexValue (250) * 32767.0f));
    EXPECT_EQ (soxInfo (file, "-s"), "250");
}


// While recording, the header follows the written frames every few seconds,
// so a file left by a killed program plays up to its last update; the frames
// after an update go on at the end of the file, not over the header.
TEST (Audio2DiskRecorder, HeaderFollowsTheRecordingWhileItRuns)
{
    test::TempFolder temp;
    const auto file = temp.file ("running.wav");
    Audio2DiskRecorder recorder;
    ASSERT_TRUE (recorder.start (file.getFullPathName(), 32));

    const std::vector<float> opener (1, 0.5f); // opens the gate, not kept
    recorder.feed (opener.data(), opener.data(), 1);
    feedIndexSignal (recorder, 0, 1000);
    const auto waitForHeader = [&] (juce::uint32 dataSize) {
        const auto limit = juce::Time::getMillisecondCounter() + 4 * Audio2DiskRecorder::headerUpdateMs;
        while (readHeader (file).dataSize != dataSize && juce::Time::getMillisecondCounter() < limit)
            juce::Thread::sleep (20);
        return readHeader (file);
    };
    auto running = waitForHeader (8000);
    EXPECT_EQ (running.dataSize, 8000u) << "the header still says what it said at the start";
    EXPECT_EQ (running.riffSize, 8036u);
    EXPECT_TRUE (running.tagsRight);
    EXPECT_EQ (soxInfo (file, "-s"), "1000");

    feedIndexSignal (recorder, 1000, 500);
    running = waitForHeader (12000);
    EXPECT_EQ (running.dataSize, 12000u);
    EXPECT_EQ (file.getSize(), waveHeaderSize + 12000);

    feedIndexSignal (recorder, 1500, 500);
    EXPECT_TRUE (recorder.stop());
    EXPECT_EQ (readHeader (file).dataSize, 16000u);
    expectIndexRun (readFrames (file, 32), 0, 2000);
}

// A device reopened at another rate while a set is recorded, or after it: the
// file keeps the rate it was recorded at, in the headers written while it runs
// and in the last one, and the next recording takes the new rate.
TEST (Audio2DiskRecorder, AFileKeepsTheRateItWasRecordedAt)
{
    struct Case
    {
        const char* when;
        bool changedWhileRecording;
    };
    for (const auto& c : { Case { "while recording", true }, Case { "after the recording", false } })
    {
        test::TempFolder temp;
        const auto file = temp.file ("set.wav");
        Audio2DiskRecorder recorder;
        recorder.setSampleRate (44100);
        ASSERT_TRUE (recorder.start (file.getFullPathName(), 16)) << c.when;

        const std::vector<float> opener (1, 0.5f); // opens the gate, not kept
        recorder.feed (opener.data(), opener.data(), 1);
        feedIndexSignal (recorder, 0, 1000);
        if (c.changedWhileRecording)
        {
            recorder.setSampleRate (48000);
            feedIndexSignal (recorder, 1000, 1000);
            // The header follows the frames while the recording runs.
            const auto limit = juce::Time::getMillisecondCounter() + 4 * Audio2DiskRecorder::headerUpdateMs;
            while (readHeader (file).dataSize != 8000u && juce::Time::getMillisecondCounter() < limit)
                juce::Thread::sleep (20);
            const auto running = readHeader (file);
            ASSERT_EQ (running.dataSize, 8000u) << c.when;
            EXPECT_EQ (running.rate, 44100u) << c.when << ": the running file's header";
        }
        ASSERT_TRUE (recorder.stop());
        if (! c.changedWhileRecording)
            recorder.setSampleRate (48000);

        const auto finished = readHeader (file);
        EXPECT_EQ (finished.rate, 44100u) << c.when;
        EXPECT_EQ (finished.byteRate, 44100u * 4) << c.when;
        EXPECT_EQ (soxInfo (file, "-r"), "44100") << c.when;

        const auto next = temp.file ("next.wav");
        ASSERT_TRUE (recorder.start (next.getFullPathName(), 16));
        ASSERT_TRUE (recorder.stop());
        EXPECT_EQ (readHeader (next).rate, 48000u) << c.when << ": the next recording";
        EXPECT_EQ (readHeader (file).rate, 44100u) << c.when << ": the finished file was touched again";
    }
}
