#include "engine/Engine.h"
#include "engine/dsp/CurveTable.h"
#include "engine/dsp/DcBlocker.h"
#include "engine/dsp/EqProcessor.h"
#include "engine/dsp/SoftPreampFilter.h"
#include "engine/dsp/StateVariableFilter.h"
#include "engine/dsp/SweepFilter.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

using namespace zund;
using namespace zund::test;

namespace
{
// Long enough for every knob glide (0.001 per four samples) to settle.
constexpr int settleSamples = 200000;
const float notANumber = std::numeric_limits<float>::quiet_NaN();

template <typename Filter>
void settle (Filter& filter)
{
    auto left = noiseBuffer (settleSamples, 0.1f), right = left;
    processEachSample (filter, left, right);
}

// Amplitude ratio of a steady tone through a settled filter (second half of a second).
template <typename Filter>
double toneGain (Filter& filter, double frequency, double rate)
{
    const int n = (int) rate;
    auto left = sineBuffer (frequency, rate, n, 0.5f), right = left;
    processEachSample (filter, left, right);
    return toneAmplitude (left.data() + n / 2, n / 2, frequency, rate) / 0.5;
}

template <typename Processor>
double gainDb (Processor& processor, double frequency, double rate = 44100.0)
{
    return decibels (toneGain (processor, frequency, rate));
}

double sweepGainDb (float knob, double frequency, double rate = 44100.0, float resonance = 0.0f)
{
    SweepFilter filter;
    filter.setSampleRate ((float) rate);
    filter.setFrequency (knob);
    filter.setResonance (resonance);
    settle (filter);
    return gainDb (filter, frequency, rate);
}

// The band-pass output peaks at the cutoff.
double bandPassGain (float knob, double rate, double frequency, float resonance = 0.0f)
{
    StateVariableFilter filter;
    filter.setSampleRate ((float) rate);
    filter.lowPassLevel = 0.0f;
    filter.bandPassLevel = 1.0f;
    filter.setFrequency (knob);
    filter.setResonance (resonance);
    settle (filter);
    return toneGain (filter, frequency, rate);
}

// Noise through the processor stays finite (and within the bound).
template <typename Processor>
void expectFiniteOnNoise (Processor& processor, const testing::Message& setting, float bound = 50.0f)
{
    auto left = noiseBuffer (60000, 1.0f, 5), right = noiseBuffer (60000, 1.0f, 6);
    processEachSample (processor, left, right);
    ASSERT_TRUE (allFinite (left.data(), 60000) && allFinite (right.data(), 60000)) << setting;
    EXPECT_LT (peakOf (left.data(), 60000), bound) << setting;
}

// Runs noise through a filter made for each rate and knob setting.
template <typename Filter>
void expectStableEverywhere (std::initializer_list<double> rates, std::initializer_list<float> knobs,
                             std::initializer_list<float> resonances, const std::function<void (Filter&)>& prepare)
{
    for (double rate : rates)
        for (float knob : knobs)
            for (float resonance : resonances)
            {
                Filter filter;
                filter.setSampleRate ((float) rate);
                prepare (filter);
                filter.setFrequency (knob);
                filter.setResonance (resonance);
                expectFiniteOnNoise (filter, testing::Message() << rate << " Hz, knob " << knob << ", resonance "
                                                                << resonance);
            }
}

// Steady-state peak of a one-sample processor's output for a sine, after a second of settling.
float sinePeakThrough (double frequency, float amplitude, const std::function<void (float&, float&)>& process)
{
    float peak = 0.0f;
    for (int i = 0; i < 88200; ++i)
    {
        float l = amplitude * (float) std::sin (2.0 * M_PI * frequency * i / 44100.0), r = l;
        process (l, r);
        if (i >= 44100)
            peak = std::max (peak, std::abs (l));
    }
    return peak;
}

// The level of a 1 kHz tone over windows of 1 ms from the moment `change` is
// applied, in dB.
std::vector<double> levelAfter (EqProcessor& eq, const std::function<void()>& change)
{
    const int ms = 44;
    auto warm = sineBuffer (1000.0, 44100.0, 44100, 0.5f), warmRight = warm;
    processEachSample (eq, warm, warmRight);
    change();
    auto left = sineBuffer (1000.0, 44100.0, 100 * ms, 0.5f), right = left;
    processEachSample (eq, left, right);

    std::vector<double> levels;
    for (int w = 0; w < 100; ++w)
        levels.push_back (decibels (peakOf (left.data() + w * ms, ms) / 0.5));
    return levels;
}
}

TEST (SweepFilter, MiddleOfTheKnobIsCloseToIdentity)
{
    SweepFilter filter;
    filter.setFrequency (0.5f);
    settle (filter);
    const int n = 44100;
    const auto input = noiseBuffer (n, 0.5f, 3);
    auto left = input, right = input;
    processEachSample (filter, left, right);
    for (int i = 0; i < n; ++i)
        left[(size_t) i] -= input[(size_t) i];
    EXPECT_LT (decibels (rmsOf (left.data(), n) / rmsOf (input.data(), n)), -40.0);
}

TEST (SweepFilter, HalvesOfTheKnobAreFullyWetLowAndHighPasses)
{
    const struct
    {
        float knob;
        double frequency, lowest, highest;
    } cases[] = {
        // Just outside the dead zone a dry part would let these through at about 0 dB.
        { 0.47f, 21000.0, -100.0, -3.0 }, // low-pass at about 14.5 kHz
        { 0.53f, 8.0, -100.0, -20.0 },    // high-pass at about 33 Hz
        { 0.47f, 1000.0, -0.5, 0.5 },
        { 0.53f, 5000.0, -0.5, 0.5 },
        // Knob 0.25 and 0.75: 2^5 x 21.52 = 689 Hz.
        { 0.25f, 100.0, -0.5, 0.5 },
        { 0.25f, 7000.0, -100.0, -35.0 },
        { 0.75f, 70.0, -100.0, -30.0 },
        { 0.75f, 7000.0, -0.3, 0.4 },
    };
    for (const auto& c : cases)
    {
        const double db = sweepGainDb (c.knob, c.frequency);
        EXPECT_GE (db, c.lowest) << c.knob << " at " << c.frequency << " Hz";
        EXPECT_LE (db, c.highest) << c.knob << " at " << c.frequency << " Hz";
    }
}

TEST (SweepFilter, HighPassLiftGrowsWithTheKnobAndFadesOutAtTheEnd)
{
    // Pass-band gain (2^(10 k) / 1024)^2 x 10 x (1 - resonance / 2) + 1, k the
    // position within the right half, times (1 - 10 (knob - 0.9))^2 above 0.9.
    // Measured well above the cutoff (2^(10 k) x 21.52 Hz), against knob 0.75
    // (a lift of 1.0098) at the same frequency, at 192 kHz.
    auto lift = [] (float knob, float resonance) {
        const double octaves = std::pow (2.0, 10.0 * 2.0 * (knob - 0.5));
        const double fade = knob > 0.9f ? std::pow (1.0 - (knob - 0.9) * 10.0, 2.0) : 1.0;
        return (std::pow (octaves / 1024.0, 2.0) * 10.0 * (1.0 - resonance * 0.5) + 1.0) * fade;
    };
    const struct
    {
        float knob, resonance;
        double frequency;
    } cases[] = { { 0.85f, 0.0f, 8300.0 }, { 0.9f, 0.0f, 16500.0 }, { 0.9f, 1.0f, 55000.0 }, { 0.95f, 0.0f, 33000.0 } };
    for (const auto& c : cases)
    {
        const double db = sweepGainDb (c.knob, c.frequency, 192000.0, c.resonance)
                        - sweepGainDb (0.75f, c.frequency, 192000.0);
        EXPECT_NEAR (db, decibels (lift (c.knob, c.resonance) / lift (0.75f, 0.0f)), 0.2)
            << c.knob << ", resonance " << c.resonance;
    }

    // At the right end of the knob the high-pass is silent.
    EXPECT_LT (sweepGainDb (1.0f, 15000.0), -80.0);
    EXPECT_LT (sweepGainDb (1.0f, 15000.0, 48000.0, 1.0f), -80.0);
}

TEST (SweepFilter, NoiseStaysFiniteAtEveryExtremeAndRate)
{
    expectStableEverywhere<SweepFilter> ({ 8000.0, 11025.0, 16000.0, 22050.0, 44100.0, 48000.0, 96000.0 },
                                         { 0.0f, 0.2f, 0.4999f, 0.5f, 0.5001f, 0.95f, 1.0f, 4.0f },
                                         { 0.0f, 1.0f, 30.0f }, [] (SweepFilter&) {});
}

TEST (StateVariableFilter, FreshFilterFadesInThenPassesWideOpen)
{
    StateVariableFilter filter;
    const int n = 100000;
    auto left = sineBuffer (1000.0, 44100.0, n, 0.5f), right = left;
    processEachSample (filter, left, right);

    // Starts from silence, is about halfway after a few thousand samples, then
    // passes 1 kHz at full level on both sides.
    EXPECT_LT (peakOf (left.data(), 64), 0.01f);
    const double early = toneAmplitude (left.data() + 2000, 2048, 1000.0, 44100.0);
    EXPECT_GT (early, 0.1);
    EXPECT_LT (early, 0.4);
    EXPECT_NEAR (toneAmplitude (left.data() + n - 8192, 8192, 1000.0, 44100.0), 0.5, 0.005);
    EXPECT_NEAR (toneAmplitude (right.data() + n - 8192, 8192, 1000.0, 44100.0), 0.5, 0.005);
}

TEST (StateVariableFilter, KnobEndsGive20HzAnd20480Hz)
{
    // Knob 0: the band-pass peaks at 20 Hz.
    const double at20 = bandPassGain (0.0f, 44100.0, 20.0);
    EXPECT_GT (at20, bandPassGain (0.0f, 44100.0, 12.0));
    EXPECT_GT (at20, bandPassGain (0.0f, 44100.0, 32.0));

    // Knob 1: the resonant peak is at 20,480 Hz (measured at 96 kHz, clear of Nyquist).
    const double at20480 = bandPassGain (1.0f, 96000.0, 20480.0, 1.0f);
    EXPECT_GT (at20480, bandPassGain (1.0f, 96000.0, 18000.0, 1.0f));
    EXPECT_GT (at20480, bandPassGain (1.0f, 96000.0, 23000.0, 1.0f));
}

TEST (StateVariableFilter, NoiseStaysFiniteAtEveryExtremeAndRate)
{
    expectStableEverywhere<StateVariableFilter> (
        { 8000.0, 22050.0, 44100.0, 48000.0, 96000.0, 192000.0 }, { 0.0f, 0.5f, 1.0f, -3.0f, 7.0f, notANumber },
        { 0.0f, 1.0f, 50.0f, -2.0f, notANumber }, [] (StateVariableFilter& filter) {
            filter.lowPassLevel = filter.highPassLevel = filter.bandPassLevel = 1.0f;
        });
}

TEST (CurveTable, LookupStaysOnTheCurve)
{
    // (The fader and EQ curves are measured through the engine.) Interpolation
    // between points; just below 1, out of range and NaN never reach past either end.
    const auto engine = std::make_unique<Engine>();
    EXPECT_NEAR (engine->getFaderCurve().lookup (0.55f), 0.5f * (0.240253f + 0.33123f), 1e-5f);
    const float justBelowOne = std::nextafter (1.0f, 0.0f);
    for (int n : { 2, 3, 10, 11, 21, 1000 })
    {
        CurveTable curve;
        for (int i = 0; i < n; ++i)
            curve.add ((float) i);
        EXPECT_NEAR (curve.lookup (justBelowOne), (float) (n - 1), 1e-3f * n) << n;
        EXPECT_EQ (curve.lookup (7.0f), (float) (n - 1));
        EXPECT_EQ (curve.lookup (-3.0f), 0.0f);
        EXPECT_EQ (curve.lookup (notANumber), 0.0f);
    }
    EXPECT_EQ (CurveTable().lookup (0.5f), 0.0f);
    EXPECT_EQ (CurveTable ({ 0.25f }).lookup (0.5f), 0.25f);
}

TEST (DcBlocker, RemovesOffsetAndPassesAudio)
{
    DcBlocker blocker;
    float l = 0.0f, r = 0.0f;
    for (int i = 0; i < 44100; ++i)
    {
        l = 0.5f;
        r = -0.25f;
        blocker.process (l, r);
    }
    EXPECT_LT (std::abs (l), 1e-3f);
    EXPECT_LT (std::abs (r), 1e-3f);

    // 1 kHz passes; at 5 Hz itself the level drops by 3 dB.
    for (double frequency : { 1000.0, 5.0 })
    {
        DcBlocker fresh;
        EXPECT_NEAR (sinePeakThrough (frequency, 0.5f, [&] (float& a, float& b) { fresh.process (a, b); }),
                     frequency > 5.0 ? 0.5f : 0.5f / std::sqrt (2.0f), frequency > 5.0 ? 1e-3f : 0.01f);
    }
}

TEST (SoftPreampFilter, AmplifiesQuietInputAndClipsLoudInputFirst)
{
    auto levelThrough = [] (double frequency, float amplitude) {
        SoftPreampFilter preamp;
        return sinePeakThrough (frequency, amplitude, [&] (float& l, float& r) { preamp.process (&l, &r, 1); });
    };

    // A cartridge-level signal comes out much louder, the bass lifted over the treble.
    const float bass = levelThrough (100.0, 0.001f);
    const float treble = levelThrough (5000.0, 0.001f);
    EXPECT_GT (bass, 0.2f);
    EXPECT_GT (bass, 8.0f * treble);

    // Anything beyond 1/20 of full scale is clipped before the filter: square
    // waves of 0.1 and 1.0 come out the same.
    auto squareThrough = [] (float amplitude) {
        SoftPreampFilter preamp;
        std::vector<float> out;
        for (int i = 0; i < 4410; ++i)
        {
            float l = (i / 50) % 2 == 0 ? amplitude : -amplitude, r = l;
            preamp.process (&l, &r, 1);
            out.push_back (l);
        }
        return out;
    };
    const auto loud = squareThrough (1.0f);
    EXPECT_EQ (squareThrough (0.1f), loud);
    EXPECT_NE (squareThrough (0.01f), loud);
}

TEST (EqProcessor, ShelvesHaveTheirCornersAndSlopes)
{
    // A fresh EQ (no rate given: 44.1 kHz) passes everything at 0 dB, and so
    // does the band split away from its splits.
    EqProcessor flat, split;
    split.setSampleRate (48000.0f);
    split.setMode (1);
    for (double f : { 40.0, 1000.0, 12000.0 })
    {
        EXPECT_NEAR (gainDb (flat, f), 0.0, 0.05) << f;
        EXPECT_NEAR (gainDb (split, f, 48000.0), 0.0, 0.3) << f;
    }

    // The low shelf at 80 Hz with Q 0.6 and the high shelf at 6.4 kHz with Q 0.5:
    // half the gain at the corner, the slope around it set by Q.
    const struct
    {
        float lowGain, highGain;
        double frequency, expected;
    } cases[] = {
        { 12.0f, 0.0f, 20.0, 11.646 },     { 12.0f, 0.0f, 40.0, 10.326 },     { 12.0f, 0.0f, 80.0, 6.0 },
        { 12.0f, 0.0f, 160.0, 1.674 },     { 12.0f, 0.0f, 320.0, 0.354 },     { -12.0f, 0.0f, 80.0, -6.0 },
        { 0.0f, -12.0f, 1600.0, -0.662 },  { 0.0f, -12.0f, 3200.0, -2.283 },  { 0.0f, -12.0f, 6400.0, -6.0 },
        { 0.0f, -12.0f, 12800.0, -10.409 }, { 0.0f, -12.0f, 18000.0, -11.732 }, { 0.0f, 12.0f, 6400.0, 6.0 },
    };
    for (const auto& c : cases)
    {
        EqProcessor eq;
        eq.setLowGain (c.lowGain);
        eq.setHighGain (c.highGain);
        EXPECT_NEAR (gainDb (eq, c.frequency), c.expected, 0.1) << c.lowGain << " / " << c.highGain << " dB at "
                                                                << c.frequency << " Hz";
    }
}

TEST (EqProcessor, MidPeakFollowsItsFrequency)
{
    EqProcessor eq;
    eq.setMidGain (12.0f);
    EXPECT_NEAR (gainDb (eq, 1000.0), 12.0, 0.3);
    eq.setMidFrequency (4000.0f);
    EXPECT_NEAR (gainDb (eq, 4000.0), 12.0, 0.3);
    EXPECT_LT (gainDb (eq, 300.0), 6.0);
}

TEST (EqProcessor, ShelvingKillsCutToTheirDepthsAndRestoreTheGain)
{
    // Each kill holds its section at its depth; what is changed meanwhile (the low
    // gain, the mid frequency) is kept for when the kill goes off.
    EqProcessor eq;
    eq.setLowGain (6.0f);
    const struct
    {
        void (EqProcessor::*kill) (bool);
        std::function<void()> changeWhileKilled;
        double frequency, lowest, highest, restored;
    } bands[] = {
        { &EqProcessor::setLowKill, [&eq] { eq.setLowGain (9.0f); }, 20.0, -32.0, -28.0, 9.0 },
        { &EqProcessor::setMidKill, [&eq] { eq.setMidFrequency (2500.0f); }, 2500.0, -30.5, -29.5, 0.0 },
        { &EqProcessor::setHighKill, [] {}, 18000.0, -80.0, -45.0, 0.0 },
    };
    for (const auto& band : bands)
    {
        (eq.*band.kill) (true);
        band.changeWhileKilled();
        const double killed = gainDb (eq, band.frequency);
        EXPECT_GE (killed, band.lowest) << band.frequency;
        EXPECT_LE (killed, band.highest) << band.frequency;
        (eq.*band.kill) (false);
        EXPECT_NEAR (gainDb (eq, band.frequency), band.restored, 0.5) << band.frequency;
    }
}

TEST (EqProcessor, BandSplitKillFadesOutAndBackInWithinAbout10ms)
{
    EqProcessor eq;
    eq.setMode (1);
    const double whole = levelAfter (eq, [] {})[60]; // the band sum is within 0.2 dB of unity here
    EXPECT_NEAR (whole, 0.0, 0.2);

    auto out = levelAfter (eq, [&] { eq.setMidKill (true); });
    EXPECT_GT (out[1], whole - 6.0);    // a fade, not a cut
    EXPECT_LT (out[11], whole - 15.0);  // 90 % gone after 10 ms
    EXPECT_LT (out[60], whole - 40.0);  // only the neighbouring bands' skirts are left

    auto back = levelAfter (eq, [&] { eq.setMidKill (false); });
    EXPECT_LT (back[1], whole - 6.0);
    EXPECT_GT (back[11], whole - 2.0);
    EXPECT_NEAR (back[60], whole, 0.01);

    // With every band killed, nothing is left.
    auto all = levelAfter (eq, [&] { eq.setLowKill (true); eq.setMidKill (true); eq.setHighKill (true); });
    EXPECT_LT (all[60], -100.0);
}

TEST (EqProcessor, BandSplitGainsGlideToTheirTargets)
{
    EqProcessor eq;
    eq.setMode (1);
    const double whole = levelAfter (eq, [] {})[60];
    auto half = levelAfter (eq, [&] { eq.setMidBandGain (0.5f); });
    EXPECT_LT (half[1], whole - 0.5);
    EXPECT_GT (half[1], whole - 5.0);
    EXPECT_NEAR (half[60], whole - 6.0, 0.3);

    // Switching modes keeps the settings: back to shelving, the tone is whole again.
    eq.setMode (0);
    auto shelving = levelAfter (eq, [] {});
    EXPECT_NEAR (shelving[60], 0.0, 0.05);
}

TEST (EqProcessor, AnySettingAtAnyRateStaysFinite)
{
    for (double rate : { 8000.0, 11025.0, 22050.0, 44100.0, 96000.0, 192000.0 })
        for (float db : { -12.0f, 12.0f, 200.0f, -500.0f, notANumber })
            for (int mode : { 0, 1 })
            {
                EqProcessor eq;
                eq.setSampleRate ((float) rate);
                eq.setMode (mode);
                eq.setMidFrequency (10000.0f); // beyond Nyquist at the low rates
                eq.setLowGain (db);
                eq.setMidGain (db);
                eq.setHighGain (db);
                eq.setMidKill (true);
                eq.setLowBandGain (db);
                // Gains far beyond the knobs' +-12 dB may be loud, never broken.
                expectFiniteOnNoise (eq, testing::Message() << rate << " Hz, " << db << " dB, mode " << mode,
                                     std::numeric_limits<float>::infinity());
            }
}

// A knob turned after the filter has settled reaches the sound, whichever
// knob it is and at whatever rate: a filter at rest keeps its design, not a
// stale one.
TEST (SweepFilter, KnobsTurnedAfterRestingStillChangeTheSound)
{
    SweepFilter filter;
    filter.setSampleRate (44100.0f);
    filter.setFrequency (0.25f); // low-pass at 689 Hz
    settle (filter);
    const double resting = gainDb (filter, 2000.0);

    filter.setResonance (1.0f);
    settle (filter);
    const double resonant = gainDb (filter, 700.0);
    EXPECT_GT (resonant, 3.0) << "the resonance did not reach the design";

    filter.setFrequency (0.75f); // high-pass at 689 Hz
    filter.setResonance (0.0f);
    settle (filter);
    EXPECT_LT (gainDb (filter, 70.0), -30.0) << "the frequency did not reach the design";
    EXPECT_LT (resting, -15.0);

    filter.setSampleRate (11025.0f); // the same knob, a quarter of the rate: the cutoff stays
    settle (filter);
    EXPECT_LT (gainDb (filter, 70.0, 11025.0), -30.0);
    EXPECT_GT (gainDb (filter, 3000.0, 11025.0), -1.0);
}
