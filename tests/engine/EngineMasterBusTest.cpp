#include "EngineRig.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zund;
using test::EngineRig;

namespace
{
constexpr double pi = 3.14159265358979323846;
constexpr double rate = 44100.0;

float sine (double frequency, juce::int64 sample)
{
    return 0.5f * (float) std::sin (2.0 * pi * frequency * (double) sample / rate);
}

double toneOf (const std::vector<float>& samples, size_t begin, size_t end, double frequency)
{
    return test::toneAmplitude (samples.data() + begin, (int) (end - begin), frequency, rate);
}

// Channel c plays deck d's input (THRU) into the mix.
void playThru (EngineRig& rig, int channel, int deck)
{
    rig->setDeckInput (deck, 2 * deck);
    rig->setChannelInputDeck (channel, deck);
    rig->setThru (channel, true);
}
}

TEST (EngineMasterBus, CrossfaderCurvesAndSides)
{
    // Channels 0..2 play the same input, each through its own output pair.
    EngineRig rig (2, 8);
    rig.input = [] (juce::int64 s, int) { return sine (440.0, s); };
    rig->setNumChannels (3);
    for (int c = 0; c < 3; ++c)
    {
        playThru (rig, c, 0);
        rig->setChannelOutput (c, 2 + 2 * c);
    }
    auto levels = [&rig] {
        const auto out = rig.run (8820);
        return std::array<float, 3> { test::peakOf (out[2], 4410, 8820) / 0.5f, test::peakOf (out[4], 4410, 8820) / 0.5f,
                                      test::peakOf (out[6], 4410, 8820) / 0.5f };
    };

    rig->setCrossfaderSideA (0);
    rig->setCrossfaderSideB (1);
    const struct
    {
        int curve;
        float position, sideA, sideB;
    } cases[] = {
        { 0, 0.0f, 1.0f, 0.0f }, { 0, 0.5f, 0.794f, 0.794f }, { 0, 1.0f, 0.0f, 1.0f },
        { 1, 0.0f, 1.0f, 0.0f }, { 1, 0.5f, 0.9175f, 0.9175f }, { 1, 1.0f, 0.0f, 1.0f },
        { 2, 0.0f, 1.0f, 0.0f }, { 2, 0.5f, 1.0f, 1.0f }, { 2, 0.8f, 1.0f, 1.0f }, { 2, 0.95f, 0.445f, 1.0f },
        { 7, 0.95f, 0.445f, 1.0f }, // an unknown curve is the sharp one
    };
    for (const auto& c : cases)
    {
        rig->setCrossfaderCurve (c.curve);
        rig->setCrossfaderPosition (c.position);
        const auto level = levels();
        EXPECT_NEAR (level[0], c.sideA, 4e-3f) << c.curve << " at " << c.position;
        EXPECT_NEAR (level[1], c.sideB, 4e-3f) << c.curve << " at " << c.position;
        EXPECT_NEAR (level[2], 1.0f, 4e-3f) << "a channel on neither side";
    }

    // One channel on both sides, or both sides empty: no crossfading at all.
    rig->setCrossfaderCurve (0);
    rig->setCrossfaderPosition (1.0f);
    rig->setCrossfaderSideB (0);
    for (float level : levels())
        EXPECT_NEAR (level, 1.0f, 4e-3f);
    rig->setCrossfaderSideA (4); // THRU on the panel: no channel
    rig->setCrossfaderSideB (-1);
    for (float level : levels())
        EXPECT_NEAR (level, 1.0f, 4e-3f);

    // A side may be "THRU" while the other names a channel.
    rig->setCrossfaderSideB (1);
    rig->setCrossfaderPosition (0.0f);
    const auto level = levels();
    EXPECT_NEAR (level[0], 1.0f, 4e-3f);
    EXPECT_LT (level[1], 1e-3f);
}

TEST (EngineMasterBus, CueMixBlendsCueAndMainInThePhones)
{
    // Channel 0 (441 Hz) is only cued: its fader is down. Channel 1 (1000 Hz) is only in the main mix.
    EngineRig rig (4, 4);
    rig.input = [] (juce::int64 s, int ch) { return sine (ch < 2 ? 441.0 : 1000.0, s); };
    playThru (rig, 0, 0);
    playThru (rig, 1, 1);
    rig->setCue (0, true);
    rig->setChannelFader (0, 0.0f);
    rig->setMainOutput (0);
    rig->setPhonesOutput (2);

    const struct
    {
        float x, cue, main;
    } cases[] = { { 0.0f, 0.0f, 1.0f }, { 0.5f, 0.7072136f, 0.7072136f }, { 1.0f, 1.0f, 0.0f }, { 0.8f, 1.0f, 0.2828854f } };
    for (const auto& c : cases)
    {
        rig->setCueMix (c.x);
        const auto out = rig.run (8820);
        EXPECT_NEAR (toneOf (out[2], 4410, 8820, 441.0), 0.5 * c.cue, 3e-3) << c.x;
        EXPECT_NEAR (toneOf (out[2], 4410, 8820, 1000.0), 0.5 * c.main, 3e-3) << c.x;
        // The main output carries channel 1 alone, whatever the phones hear.
        EXPECT_NEAR (toneOf (out[0], 4410, 8820, 1000.0), 0.5, 3e-3);
        EXPECT_LT (toneOf (out[0], 4410, 8820, 441.0), 1e-3);
    }
}

TEST (EngineMasterBus, MainAndPhonesGainsAndMeters)
{
    EngineRig rig (2, 4);
    rig.input = [] (juce::int64 s, int) { return sine (1000.0, s); };
    playThru (rig, 0, 0);
    rig->setMainOutput (0);
    rig->setPhonesOutput (2);
    rig->setCueMix (0.0f); // the phones hear the main mix at full level

    auto out = rig.run (8820);
    EXPECT_NEAR (test::peakOf (out[0], 4410, 8820), 0.5f, 2e-3f);
    EXPECT_NEAR (rig->getMainPeak (0), 0.5f, 0.01f);
    EXPECT_NEAR (rig->getMainHold (1), 0.5f, 0.01f);
    EXPECT_NEAR (rig->getPhonesPeak (1), 0.5f, 0.01f);

    // The main gain acts on the main output only; the phones take the mix before it.
    rig->setMainGainDb (-6.0206f);
    out = rig.run (8820);
    EXPECT_NEAR (test::peakOf (out[0], 4410, 8820), 0.25f, 2e-3f);
    EXPECT_NEAR (test::peakOf (out[2], 4410, 8820), 0.5f, 2e-3f);
    EXPECT_GT (rig->getMainHold (0), 0.4f); // the hold falls by 20 dB in 3 s
    rig.run (3 * 44100);
    EXPECT_NEAR (rig->getMainPeak (0), 0.25f, 0.01f);
    EXPECT_NEAR (rig->getMainHold (0), 0.25f, 0.01f);

    // The phones gain is not smoothed: it acts as soon as the limiter's delay has passed.
    rig->setPhonesGainDb (-20.0f);
    out = rig.run (8820);
    EXPECT_NEAR (test::peakOf (out[2], test::limiterDelay, 8820), 0.05f, 1e-3f);

    // At -160 dB and below the main output glides down to nothing.
    rig->setMainGainDb (-160.0f);
    rig.run (4410);
    EXPECT_LT (test::peakOf (rig.run (4410)[0], 0, 4410), 1e-30f);
    rig.run (3 * 44100);
    EXPECT_LT (rig->getMainPeak (0), 1e-3f);
}

TEST (EngineMasterBus, MasterLoopStopsWithinHalfABarWhileTheClockChannelIsStopped)
{
    EngineRig rig;
    const auto noise = test::noiseBuffer (100000, 0.5f, 3);
    rig.input = [&noise] (juce::int64 s, int) { return noise[(size_t) (s % (juce::int64) noise.size())]; };
    playThru (rig, 0, 0);
    rig->setMainOutput (0);

    // The clock channel has a 120 BPM track but its deck stands still; the bar
    // then comes from the effect tempo: 88,200 samples at 120 BPM.
    const auto track = rig.writeTrack ("t.wav", rate, 1.0, test::sineSignal (440.0, rate, 0.5f));
    ASSERT_TRUE (rig.loadAndRestart (1, track, 120.0));
    rig.setDeckSpeed (1, 0.0);
    rig->setClockChannel (1);
    rig->setFXTempo (120.0);

    rig->setLoopBeats (Engine::masterSet, 0.25);
    rig->setLoopActive (Engine::masterSet, true, false);
    const auto looped = rig.run (100000)[0];
    EXPECT_TRUE (rig->isLoopActive (Engine::masterSet));

    // The main output repeats every 22,050 samples.
    float repeatError = 0.0f, shiftedError = 0.0f;
    for (size_t i = 22050 + 1000; i < 2 * 22050; ++i)
    {
        repeatError = std::max (repeatError, std::abs (looped[i] - looped[i + 22050]));
        shiftedError = std::max (shiftedError, std::abs (looped[i] - looped[i + 22049]));
    }
    EXPECT_LT (repeatError, 1e-3f);
    EXPECT_GT (shiftedError, 0.1f);

    // 100,000 samples in, the next half-bar boundary is 32,300 samples away.
    rig->setLoopActive (Engine::masterSet, false, false);
    rig.run (32300 - 512);
    EXPECT_TRUE (rig->isLoopActive (Engine::masterSet));
    rig.run (1024);
    EXPECT_FALSE (rig->isLoopActive (Engine::masterSet));

    // The live mix is back: no more repetition.
    const auto live = rig.run (2 * 22050 + 2000)[0];
    float liveRepeat = 0.0f;
    for (size_t i = 1000; i < 22050; ++i)
        liveRepeat = std::max (liveRepeat, std::abs (live[i] - live[i + 22050]));
    EXPECT_GT (liveRepeat, 0.1f);
}

TEST (EngineMasterBus, PreviewPlaysIntoThePhonesAndWinds)
{
    EngineRig rig (2, 4);
    rig->setMainOutput (0);
    rig->setPhonesOutput (2);
    const auto track = rig.writeTrack ("preview.wav", rate, 20.0, test::sineSignal (441.0, rate, 0.25f));
    const double length = 20.0 * rate;
    auto frame = [&rig, length] { return rig->getPositionFraction (Engine::previewChannel) * length; };

    ASSERT_TRUE (rig->loadPreviewFile (track));
    ASSERT_TRUE (rig.waitForFrame (Engine::previewChannel, 0));
    auto out = rig.run (4410);
    EXPECT_NEAR (frame(), 4410.0, 1e-6);
    EXPECT_NEAR (test::peakOf (out[2], 1000, 4410), 0.25f, 2e-3f);
    EXPECT_EQ (test::peakOf (out[0], 0, 4410), 0.0f); // never in the main mix

    // Fast forward: the first 4 s jump at once, the next one 11,026 samples later.
    rig->previewFastForward();
    rig.run (22050);
    EXPECT_NEAR (frame(), 4410.0 + 22050.0 + 2.0 * 4.0 * rate, 1e-6);
    rig->previewStopWinding();
    rig.run (4410);
    EXPECT_NEAR (frame(), 4410.0 + 22050.0 + 2.0 * 4.0 * rate + 4410.0, 1e-6);

    // Winding stops at the end and stays there, silent.
    rig->previewFastForward();
    rig.run (2 * 44100);
    EXPECT_DOUBLE_EQ (frame(), length);
    rig->previewStopWinding();
    out = rig.run (4410);
    EXPECT_DOUBLE_EQ (frame(), length);
    EXPECT_EQ (test::peakOf (out[2], 0, 4410), 0.0f);

    // Rewinding stops at the start; between jumps the preview plays on from there.
    rig->previewRewind();
    rig.run (3 * 44100);
    EXPECT_GE (frame(), 0.0);
    EXPECT_LT (frame(), 11026.0);

    // Stopped: silent and still.
    rig->previewStopWinding();
    rig->stopPreview();
    const double stoppedAt = frame();
    out = rig.run (4410);
    EXPECT_EQ (test::peakOf (out[2], test::limiterDelay, 4410), 0.0f);
    EXPECT_EQ (frame(), stoppedAt);
}

TEST (EngineMasterBus, XYViewsGetTheConditionedDeckInputWhileVisible)
{
    struct Collector : XYInputListener
    {
        void addSamples (const float* left, const float* right, int n) override
        {
            lefts.insert (lefts.end(), left, left + n);
            rights.insert (rights.end(), right, right + n);
        }
        std::vector<float> lefts, rights;
    };

    EngineRig rig (4, 2);
    Collector view;
    rig->setDeckInput (1, 2);
    rig->setInvertPhaseLeft (1, true);
    rig->setXYView (1, &view);

    std::vector<float> inLeft (300), inRight (300), silence (300), outLeft (300), outRight (300);
    for (int i = 0; i < 300; ++i)
    {
        inLeft[(size_t) i] = sine (1000.0, i);
        inRight[(size_t) i] = sine (700.0, i);
    }
    const float* inputs[] = { silence.data(), silence.data(), inLeft.data(), inRight.data() };
    float* outputs[] = { outLeft.data(), outRight.data() };

    rig->processBlock (inputs, 4, outputs, 2, 300, false);
    EXPECT_TRUE (view.lefts.empty());

    rig->processBlock (inputs, 4, outputs, 2, 300, true);
    ASSERT_EQ (view.lefts.size(), 300u);
    for (size_t i = 0; i < 300; ++i)
    {
        EXPECT_EQ (view.lefts[i], -inLeft[i]);
        EXPECT_EQ (view.rights[i], inRight[i]);
    }

    rig->setXYView (1, nullptr);
    rig->processBlock (inputs, 4, outputs, 2, 300, true);
    EXPECT_EQ (view.lefts.size(), 300u);
}
