// Numbers from outside (a controller, a file, a plug-in, the sound card) that
// are not finite or far out of range must not reach the DSP state, where a NaN
// or an overflow stays for good.

#include "EngineRig.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace zund;
using test::EngineRig;

namespace
{
constexpr double rate = 44100.0;
constexpr double toneHz = 441.0;
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

float tone (juce::int64 sample)
{
    return 0.25f * (float) std::sin (2.0 * juce::MathConstants<double>::pi * toneHz * (double) sample / rate);
}

// Channel 0 plays deck 0's input (the tone, equal on both sides) to the main pair.
void playToneThru (EngineRig& rig)
{
    rig.input = [] (juce::int64 sample, int) { return tone (sample); };
    rig->setDeckInput (0, 0);
    rig->setThru (0, true);
    rig->setMainOutput (0);
}

struct SpoilCase
{
    const char* what;
    std::function<void (Engine&)> prepare, spoil, mend;
};

// Runs the case's set-up, its bad value, then its good value long enough for
// every glide to settle; the tone's level on the main output at the end.
double toneAfter (const SpoilCase& c, bool spoiled)
{
    EngineRig rig;
    playToneThru (rig);
    if (c.prepare)
        c.prepare (rig.engine());
    rig.run (4096);
    if (spoiled)
        c.spoil (rig.engine());
    const auto duringSpoil = rig.run (8192);
    EXPECT_TRUE (test::allFinite (duringSpoil[0].data(), (int) duringSpoil[0].size())) << c.what;
    c.mend (rig.engine());
    rig.run (32768);
    const auto out = rig.run (8192)[0];
    return test::toneAmplitude (out.data(), (int) out.size(), toneHz, rate);
}

void useStateVariableFilter (Engine& e) { e.setFilterType (0, 0); }
}

TEST (EngineSetterSafety, BadNumbersLeaveNoLastingDamage)
{
    const SpoilCase cases[] = {
        { "channel gain +inf dB", nullptr, [] (Engine& e) { e.setChannelGainDb (0, inf); },
          [] (Engine& e) { e.setChannelGainDb (0, 0.0f); } },
        { "channel gain 1000 dB", nullptr, [] (Engine& e) { e.setChannelGainDb (0, 1000.0f); },
          [] (Engine& e) { e.setChannelGainDb (0, 0.0f); } },
        { "main gain +inf dB", nullptr, [] (Engine& e) { e.setMainGainDb (inf); },
          [] (Engine& e) { e.setMainGainDb (0.0f); } },
        { "low-pass level NaN", useStateVariableFilter, [] (Engine& e) { e.setFilterLowPassLevel (0, notANumber); },
          [] (Engine& e) { e.setFilterLowPassLevel (0, 1.0f); } },
        { "band-pass level +inf", useStateVariableFilter, [] (Engine& e) { e.setFilterBandPassLevel (0, inf); },
          [] (Engine& e) { e.setFilterBandPassLevel (0, 0.0f); } },
        { "high-pass level NaN", useStateVariableFilter, [] (Engine& e) { e.setFilterHighPassLevel (0, notANumber); },
          [] (Engine& e) { e.setFilterHighPassLevel (0, 0.0f); } },
    };

    for (const auto& c : cases)
    {
        const double clean = toneAfter (c, false);
        ASSERT_GT (clean, 0.1) << c.what;
        EXPECT_NEAR (toneAfter (c, true), clean, 0.01 * clean) << c.what;
    }
}

TEST (EngineSetterSafety, NonFiniteDeckInputIsTamed)
{
    // A sound card or a loopback that delivers NaN or infinity for a moment:
    // afterwards the tone plays as if it had never happened, through the soft
    // preamp or straight.
    for (const bool preamp : { false, true })
    {
        double levels[2] = {};
        for (const bool spoiled : { false, true })
        {
            EngineRig rig;
            playToneThru (rig);
            rig->setSoftPreamp (0, preamp);
            rig->setChannelGainDb (0, preamp ? -26.0f : 0.0f); // the preamp lifts by 20 and clips
            if (spoiled)
                rig.input = [] (juce::int64 sample, int side) { return sample < 300 ? (side == 0 ? notANumber : inf) : tone (sample); };
            rig.run (32768);
            const auto out = rig.run (8192)[0];
            ASSERT_TRUE (test::allFinite (out.data(), (int) out.size()));
            levels[spoiled ? 1 : 0] = test::toneAmplitude (out.data(), (int) out.size(), toneHz, rate);
        }
        ASSERT_GT (levels[0], 0.01) << "preamp " << preamp;
        EXPECT_NEAR (levels[1], levels[0], 0.01 * levels[0]) << "preamp " << preamp;
    }
}

TEST (EngineSetterSafety, TempoThatIsNotANumberKeepsThePlayHeadGoing)
{
    EngineRig rig;
    for (const double bad : { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity() })
    {
        rig->setFXTempo (120.0);
        rig->setFXTempo (bad);
        rig.run (4410);
        const auto head = rig->getPlayHeadRecord();
        EXPECT_TRUE (std::isfinite (head.bpm) && std::isfinite (head.ppqPosition)) << bad;
    }
    // A good tempo afterwards is followed: 4410 samples at 90 BPM are 0.15 beats.
    rig->setFXTempo (90.0);
    const double before = rig->getPlayHeadRecord().ppqPosition;
    rig.run (4410);
    EXPECT_DOUBLE_EQ (rig->getPlayHeadRecord().bpm, 90.0);
    EXPECT_NEAR (rig->getPlayHeadRecord().ppqPosition - before, 0.15, 1e-9);
}

TEST (EngineSetterSafety, ZeroLockRangeOutsideItsScale)
{
    // The range is a share of the nominal speed, 0..100 %. Not a number leaves
    // the last range in force (a stopped record stays stopped); beyond the ends
    // it acts as the end.
    struct Case
    {
        double percent, deckSpeed, expectedPitch;
    };
    const Case cases[] = {
        { std::nan (""), 0.0, 0.0 },  // keeps the default 1 %: a stopped record is still
        { std::nan (""), 1.005, 1.0 }, // and 1.005 is held at 1
        { 1.0e9, 1.5, 1.0 },           // as 100 %: 1.5 lies inside the band 0..2
        { 1.0e9, 2.5, 1.5 },           // and above it the scale goes on, less the range
        { -50.0, 1.005, 1.005 },       // as 0 %: no band at all
    };
    for (const auto& c : cases)
    {
        EngineRig rig;
        rig->setDeckInput (0, 0);
        rig.setDeckSpeed (0, c.deckSpeed);
        rig->setVirtualZeroLockRange (c.percent);
        rig.run (512);
        EXPECT_NEAR (rig->getPitch (0), c.expectedPitch, 1e-12) << c.percent << " % at speed " << c.deckSpeed;
    }
}

TEST (EngineSetterSafety, CueMixOutsideItsKnobActsAsItsEnd)
{
    // A cue mix below 0 would send the channel inverted and amplified to the
    // phones, above 1 the master; each acts as the knob's nearer end.
    auto phonesTone = [] (float cueMix) {
        EngineRig rig;
        playToneThru (rig);
        rig->setMainOutput (-1);
        rig->setPhonesOutput (0);
        rig->setCue (0, true);
        rig->setCueMix (cueMix);
        rig.run (8192);
        const auto out = rig.run (8192)[0];
        return test::toneAmplitude (out.data(), (int) out.size(), toneHz, rate);
    };
    EXPECT_NEAR (phonesTone (-5.0f), phonesTone (0.0f), 1e-4);
    EXPECT_NEAR (phonesTone (7.0f), phonesTone (1.0f), 1e-4);
}
