#include "EngineRig.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zund;
using test::EngineRig;

namespace
{
constexpr double rate = 44100.0;

struct Recording
{
    bool readable = false;
    int channels = 0, bits = 0;
    double sampleRate = 0.0;
    juce::AudioBuffer<float> audio;

    double tone (int channel, double frequency) const
    {
        const int n = audio.getNumSamples();
        return test::toneAmplitude (audio.getReadPointer (channel) + n / 2, n / 2, frequency, rate);
    }
};

Recording readBack (const juce::File& file)
{
    Recording r;
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (file.createInputStream().release(), true));
    if (reader == nullptr)
        return r;
    r.readable = true;
    r.channels = (int) reader->numChannels;
    r.bits = (int) reader->bitsPerSample;
    r.sampleRate = reader->sampleRate;
    r.audio.setSize (r.channels, (int) reader->lengthInSamples);
    reader->read (&r.audio, 0, (int) reader->lengthInSamples, 0, true, true);
    return r;
}

// Channel 0 plays a 441 Hz track of the given amplitude (right side inverted)
// into the main output; the first second is the pre-roll.
struct PlayingRig
{
    explicit PlayingRig (float amplitude)
    {
        rig.setDeckSpeed (0, 1.0);
        rig->setMainOutput (0);
        track = rig.writeTrack ("t.wav", rate, 4.0, test::sineSignal (441.0, rate, amplitude));
        loaded = rig.loadAndRestart (0, track);
    }

    juce::File file (const juce::String& name) const { return track.getSiblingFile (name); }

    EngineRig rig;
    juce::File track;
    bool loaded = false;
};
}

TEST (EngineRecording, MainMixReadsBackAtBothDepths)
{
    for (int bits : { 16, 32 })
    {
        PlayingRig playing (0.5f);
        ASSERT_TRUE (playing.loaded);
        auto& rig = playing.rig;
        const auto file = playing.file ("mix" + juce::String (bits) + ".wav");

        ASSERT_TRUE (rig->startRecording (file.getFullPathName(), bits, true));
        rig.run (2 * 44100);
        // While the mix is recorded, an input pair offered by the audio callback is ignored.
        const auto other = test::sineBuffer (1000.0, rate, 4410, 0.5f);
        rig->feedRecorder (other.data(), other.data(), 4410);
        EXPECT_TRUE (rig->stopRecording());

        // The silent pre-roll is left out: a second of track, minus the limiter's look-ahead.
        const auto r = readBack (file);
        ASSERT_TRUE (r.readable) << bits;
        EXPECT_EQ (r.channels, 2);
        EXPECT_EQ (r.bits, bits);
        EXPECT_EQ (r.sampleRate, rate);
        EXPECT_GE (r.audio.getNumSamples(), 44100 - 60);
        EXPECT_LE (r.audio.getNumSamples(), 44100);
        EXPECT_NEAR (r.tone (0, 441.0), 0.5, 0.005) << bits;
        EXPECT_NEAR (r.tone (1, 441.0), 0.5, 0.005) << bits;
        EXPECT_LT (r.tone (0, 1000.0), 0.001);
        EXPECT_NEAR (r.audio.getSample (0, 1000), -r.audio.getSample (1, 1000), 1e-4f);
    }
}

TEST (EngineRecording, FileThatCannotBeOpenedIsReported)
{
    test::EngineRig rig;
    EXPECT_FALSE (rig->startRecording ("/nonexistent-folder/zund-never-written.wav", 16, true));
    EXPECT_FALSE (juce::File ("/nonexistent-folder/zund-never-written.wav").exists());
    EXPECT_TRUE (rig->stopRecording());
}

TEST (EngineRecording, HotMixIsLimitedNotClipped)
{
    // +12 dB on a half-scale sine: twice full scale in the main bus.
    PlayingRig playing (0.5f);
    ASSERT_TRUE (playing.loaded);
    auto& rig = playing.rig;
    rig->setChannelGainDb (0, 12.0412f);
    const auto file = playing.file ("hot.wav");

    ASSERT_TRUE (rig->startRecording (file.getFullPathName(), 16, true));
    rig.run (2 * 44100);
    EXPECT_TRUE (rig->stopRecording());

    // Scaled down with its shape kept: clipping would leave a strong third harmonic.
    const auto r = readBack (file);
    ASSERT_TRUE (r.readable);
    EXPECT_NEAR (r.tone (0, 441.0), 1.0, 0.05);
    EXPECT_LT (r.tone (0, 3.0 * 441.0), 0.01);
    EXPECT_LE (r.audio.getMagnitude (0, r.audio.getNumSamples()), 1.0f);
}

TEST (EngineRecording, InputPairRecordingsInARowKeepTheirOwnFrames)
{
    PlayingRig playing (0.5f);
    ASSERT_TRUE (playing.loaded);
    auto& rig = playing.rig;
    rig.run (44100 + 4410); // past the pre-roll: the main mix plays

    const auto input = test::sineBuffer (1000.0, rate, 100 * 256, 0.25f);
    auto feed = [&] (int chunks) {
        for (int c = 0; c < chunks; ++c)
        {
            rig.run (256);
            rig->feedRecorder (input.data() + c * 256, input.data() + c * 256, 256);
        }
    };

    // 100 and then 40 chunks of a 1000 Hz input while the main mix plays on.
    const auto first = playing.file ("first.wav"), second = playing.file ("second.wav");
    ASSERT_TRUE (rig->startRecording (first.getFullPathName(), 16, false));
    feed (100);
    ASSERT_TRUE (rig->startRecording (second.getFullPathName(), 32, false));
    feed (40);
    EXPECT_TRUE (rig->stopRecording());

    // The gate takes the first frame above the threshold; the sine's first
    // samples are 0 and 0.035.
    const auto a = readBack (first), b = readBack (second);
    ASSERT_TRUE (a.readable && b.readable);
    EXPECT_EQ (a.audio.getNumSamples(), 100 * 256 - 2);
    EXPECT_EQ (b.audio.getNumSamples(), 40 * 256 - 2);
    EXPECT_NEAR (a.tone (0, 1000.0), 0.25, 0.005);
    EXPECT_NEAR (b.tone (1, 1000.0), 0.25, 0.005);
    EXPECT_LT (b.tone (0, 441.0), 0.001); // not the main mix
}
