#include "EngineRig.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace zund;
using test::EngineRig;

namespace
{
constexpr double rate = 44100.0;

float sine (double frequency, juce::int64 sample)
{
    return 0.5f * (float) std::sin (2.0 * M_PI * frequency * (double) sample / rate);
}
}

TEST (EngineMasterBus, CrossfaderFaderAndGainShapeEachChannel)
{
    // Channels 0..2 play the same input, each through its own output pair.
    EngineRig rig (2, 8);
    rig.input = test::sineInput (440.0, 0.5f);
    rig->setNumChannels (3);
    for (int c = 0; c < 3; ++c)
    {
        rig.playThru (c, 0);
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

    // The fader law multiplies with the crossfader gain.
    rig->setCrossfaderCurve (0);
    rig->setCrossfaderPosition (0.5f);
    rig->setChannelFader (0, 0.5f);
    EXPECT_NEAR (levels()[0], 0.240253f * 0.794f, 2e-3f);
    rig->setChannelFader (0, 1.0f);

    // One channel on both sides, or both sides empty: no crossfading at all.
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
    auto level = levels();
    EXPECT_NEAR (level[0], 1.0f, 4e-3f);
    EXPECT_LT (level[1], 1e-3f);

    // -6 dB of channel gain halves the level; -120 dB silences it (what is left
    // rings out of the filter and EQ).
    rig->setChannelGainDb (2, -6.0206f);
    EXPECT_NEAR (levels()[2], 0.5f, 4e-3f);
    rig->setChannelGainDb (2, -120.0f);
    EXPECT_LT (levels()[2], 1e-12f);
}

TEST (EngineMasterBus, ChannelMetersTapAfterTheGainAndAfterTheFader)
{
    // Channel 0 plays a 5 kHz tone of 0.5 at -6 dB of gain with its fader at 0.5
    // (0.240253): the pre-fader meters read the level before the filter, the
    // post-fader meters the level after filter, EQ, fader and crossfader.
    EngineRig rig (2, 4);
    rig.input = test::sineInput (5000.0, 0.5f);
    rig.playThru (0, 0);
    rig->setChannelOutput (0, 2);
    rig->setChannelGainDb (0, -6.0206f);
    rig->setChannelFader (0, 0.5f);
    rig->setCrossfaderSideA (0);
    rig->setCrossfaderSideB (1);
    const struct
    {
        float filterKnob, crossfader, postFader;
    } cases[] = {
        { 0.5f, 0.5f, 0.25f * 0.240253f * 0.9175f },
        { 0.25f, 0.5f, 0.0f },  // a low-pass at 689 Hz
        { 0.5f, 1.0f, 0.0f },   // side A faded out
        { 0.5f, 0.0f, 0.25f * 0.240253f },
    };
    for (const auto& c : cases)
    {
        rig->setFilterFrequency (0, c.filterKnob);
        rig->setCrossfaderPosition (c.crossfader);
        rig.run (2 * 44100);
        const auto detail = testing::Message() << "filter " << c.filterKnob << ", crossfader " << c.crossfader;
        EXPECT_NEAR (rig->getChannelPreFaderPeakLeft (0), 0.25f, 3e-3f) << detail;
        EXPECT_NEAR (rig->getChannelPostFaderPeakRight (0), c.postFader, 3e-3f) << detail;
        if (&c == cases) // the hold meters fall too slowly to follow the later rows
        {
            EXPECT_NEAR (rig->getChannelPreFaderHoldRight (0), 0.25f, 3e-3f);
            EXPECT_NEAR (rig->getChannelPostFaderHoldLeft (0), c.postFader, 3e-3f);
        }
    }

    // Paused: the channel's pair is exactly silent once the limiter's delay has
    // passed, and every meter reads 0.
    rig->setPlaying (0, false);
    EXPECT_FALSE (rig->isPlaying (0));
    const auto out = rig.run (4410);
    EXPECT_EQ (test::peakOf (out[2], test::limiterDelay, 4410), 0.0f);
    EXPECT_EQ (test::peakOf (out[3], test::limiterDelay, 4410), 0.0f);
    for (auto meter : { &Engine::getChannelPreFaderPeakLeft, &Engine::getChannelPreFaderPeakRight,
                        &Engine::getChannelPreFaderHoldLeft, &Engine::getChannelPreFaderHoldRight,
                        &Engine::getChannelPostFaderPeakLeft, &Engine::getChannelPostFaderPeakRight,
                        &Engine::getChannelPostFaderHoldLeft, &Engine::getChannelPostFaderHoldRight })
        EXPECT_EQ ((rig.engine().*meter) (0), 0.0f);
}

TEST (EngineMasterBus, CueMixBlendsCueAndMainInThePhones)
{
    // Channel 0 (441 Hz) is only cued: its fader is down. Channel 1 (1000 Hz) is only in the main mix.
    EngineRig rig (4, 4);
    rig.input = [] (juce::int64 s, int ch) { return sine (ch < 2 ? 441.0 : 1000.0, s); };
    rig.playThru (0, 0);
    rig.playThru (1, 1);
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
        EXPECT_NEAR (test::toneOf (out[2], 4410, 8820, 441.0), 0.5 * c.cue, 3e-3) << c.x;
        EXPECT_NEAR (test::toneOf (out[2], 4410, 8820, 1000.0), 0.5 * c.main, 3e-3) << c.x;
        // The main output carries channel 1 alone, whatever the phones hear.
        EXPECT_NEAR (test::toneOf (out[0], 4410, 8820, 1000.0), 0.5, 3e-3);
        EXPECT_LT (test::toneOf (out[0], 4410, 8820, 441.0), 1e-3);
    }
}

TEST (EngineMasterBus, MainAndPhonesGainsAndMeters)
{
    EngineRig rig (2, 4);
    rig.input = test::sineInput (1000.0, 0.5f);
    rig.playThru (0, 0);
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

TEST (EngineMasterBus, MasterLoopRepeatsGlidesAtItsJumpsAndStopsOnTheBarGrid)
{
    // At 48 kHz. Channel 0 plays noise (THRU) into the main output. The clock
    // channel has a 120 BPM track but its deck stands still, so the bar comes
    // from the effect tempo: 96,000 samples at 120 BPM; a quarter-beat loop is
    // 24,000 samples, half a bar 48,000.
    EngineRig rig;
    rig->setSampleRate (48000);
    const auto noise = test::noiseBuffer (100000, 0.5f, 3);
    rig.input = [&noise] (juce::int64 s, int) { return noise[(size_t) (s % (juce::int64) noise.size())]; };
    rig.playThru (0, 0);
    rig->setMainOutput (0);
    const auto track = rig.writeTrack ("t.wav", rate, 1.0, test::sineSignal (440.0, rate, 0.5f));
    ASSERT_TRUE (rig.loadAndRestart (1, track, 120.0));
    rig.setDeckSpeed (1, 0.0);
    rig->setClockChannel (1);
    rig->setFXTempo (120.0);
    rig.run (4800);

    constexpr int loop = 24000, master = Engine::masterSet;
    rig->setLoopBeats (master, 0.25);
    rig->setLoopActive (master, true, false);
    const auto looped = rig.run (100000)[0];
    EXPECT_TRUE (rig->isLoopActive (master));
    EXPECT_LT (test::repeatError (looped, loop + 2000, 2 * loop, loop), 1e-3f);
    EXPECT_GT (test::repeatError (looped, loop + 2000, 2 * loop, loop - 1), 0.1f);

    // The replay begins on the sample that completes the first pass (so one
    // sample early), gliding from the live mix to the loop in 1000 samples at
    // 44.1 kHz, so in about 1088 at 48 kHz; the master filter's short memory
    // adds some 40 samples before the two agree.
    size_t glide = 0;
    for (size_t i = loop - 1; i < loop + 3000; ++i)
        if (std::abs (looped[i] - looped[i - (loop - 1)]) > 1e-3f)
            glide = i - (loop - 1) + 1;
    EXPECT_GE (glide, 1100u);
    EXPECT_LE (glide, 1150u);

    // 100,000 samples in, the next half-bar boundary is 44,000 samples away.
    rig->setLoopActive (master, false, false);
    rig.run (44000 - 512);
    EXPECT_TRUE (rig->isLoopActive (master));
    rig.run (1024);
    EXPECT_FALSE (rig->isLoopActive (master));
    const auto live = rig.run (2 * loop + 2000)[0];
    EXPECT_GT (test::repeatError (live, 1000, loop, loop), 0.1f);

    // A stop during the first pass, or of a loop that keeps the track running,
    // takes effect at once.
    for (bool keepRunning : { false, true })
    {
        rig->setLoopActive (master, true, keepRunning);
        rig.run (keepRunning ? loop + 6000 : loop / 2);
        ASSERT_TRUE (rig->isLoopActive (master));
        rig->setLoopActive (master, false, false);
        rig.run (256);
        EXPECT_FALSE (rig->isLoopActive (master)) << keepRunning;
    }
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
