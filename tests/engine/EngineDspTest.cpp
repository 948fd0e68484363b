#include "EngineRig.h"
#include "engine/effects/EffectFactory.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <memory>

using namespace zund;
using test::EngineRig;

namespace
{
constexpr double rate = 44100.0;
constexpr int settleSamples = 44100; // the filter knobs glide over some 16,000 samples
constexpr int measureSamples = 8192;

// Equal sines of the given frequencies on every input channel.
EngineRig::InputSignal tones (std::initializer_list<double> frequencies, float amplitude)
{
    std::vector<double> list (frequencies);
    return [list, amplitude] (juce::int64 sample, int) {
        double sum = 0.0;
        for (double f : list)
            sum += std::sin (2.0 * M_PI * f * (double) sample / rate);
        return amplitude * (float) sum;
    };
}

// Each tone's level (in dB) on an output channel.
std::vector<double> toneLevels (const std::vector<float>& samples, std::initializer_list<double> frequencies)
{
    std::vector<double> levels;
    for (double f : frequencies)
        levels.push_back (test::decibels (test::toneAmplitude (samples.data(), (int) samples.size(), f, rate)));
    return levels;
}

// Lets the glides settle, then measures each tone on an output channel.
std::vector<double> settleAndMeasure (EngineRig& rig, std::initializer_list<double> frequencies, int output = 0)
{
    rig.run (settleSamples);
    return toneLevels (rig.run (measureSamples)[(size_t) output], frequencies);
}

// RMS of consecutive windows of one output channel.
std::vector<double> windowedRms (const std::vector<float>& samples, int window)
{
    std::vector<double> result;
    for (size_t start = 0; start + (size_t) window <= samples.size(); start += (size_t) window)
        result.push_back (test::rmsOf (samples.data() + start, window));
    return result;
}

double swingInDecibels (const std::vector<float>& samples, int window)
{
    const auto rms = windowedRms (samples, window);
    const auto [lowest, highest] = std::minmax_element (rms.begin(), rms.end());
    return test::decibels (*highest) - test::decibels (*lowest);
}
}

TEST (EngineDsp, FilterKnobsFilterTheChannel)
{
    // Measured on the channel's own pair, which the master filter does not reach.
    EngineRig rig;
    rig.input = tones ({ 100.0, 5000.0 }, 0.25f);
    rig.playThru (0, 0);
    rig->setChannelOutput (0, 0);

    // At rest the sweep filter is transparent.
    const auto open = settleAndMeasure (rig, { 100.0, 5000.0 });
    EXPECT_NEAR (open[0], test::decibels (0.25), 0.5);
    EXPECT_NEAR (open[1], test::decibels (0.25), 0.5);

    // Left half of the knob: low-pass.
    rig->setFilterFrequency (0, 0.25f);
    auto levels = settleAndMeasure (rig, { 100.0, 5000.0 });
    EXPECT_NEAR (levels[0], open[0], 1.0);
    EXPECT_LT (levels[1], open[1] - 24.0);

    // Right half: high-pass.
    rig->setFilterFrequency (0, 0.75f);
    levels = settleAndMeasure (rig, { 100.0, 5000.0 });
    EXPECT_LT (levels[0], open[0] - 24.0);
    EXPECT_NEAR (levels[1], open[1], 1.0);

    // The state-variable filter's low-pass at 640 Hz (it took the knob too).
    rig->setFilterType (0, 0);
    rig->setFilterFrequency (0, 0.5f);
    levels = settleAndMeasure (rig, { 100.0, 5000.0 });
    EXPECT_NEAR (levels[0], open[0], 1.0);
    EXPECT_LT (levels[1], open[1] - 24.0);

    // Its high-pass output instead.
    rig->setFilterLowPassLevel (0, 0.0f);
    rig->setFilterHighPassLevel (0, 1.0f);
    levels = settleAndMeasure (rig, { 100.0, 5000.0 });
    EXPECT_LT (levels[0], open[0] - 24.0);
    EXPECT_NEAR (levels[1], open[1], 1.0);

    // Another channel's filter and the master's leave this channel alone.
    rig->setFilterFrequency (1, 0.0f);
    rig->setFilterFrequency (Engine::masterSet, 1.0f);
    const auto others = settleAndMeasure (rig, { 100.0, 5000.0 });
    EXPECT_NEAR (others[1], levels[1], 0.1);
}

TEST (EngineDsp, EqKillsRemoveTheirBandAndRestoreIt)
{
    const std::initializer_list<double> bands { 30.0, 1000.0, 15000.0 };
    for (bool bandSplit : { false, true })
    {
        SCOPED_TRACE (bandSplit ? "band split" : "shelving");
        EngineRig rig;
        rig.input = tones (bands, 0.2f);
        rig.playThru (0, 0);
        rig->setMainOutput (0);
        rig->setEqMode (0, bandSplit);
        const auto reference = settleAndMeasure (rig, bands);
        for (double level : reference)
            EXPECT_NEAR (level, test::decibels (0.2), 1.0);

        // A band-split kill fades its band to silence and leaves the others; a
        // shelving kill cuts its band deep, and its broad slopes reach a little
        // into the neighbours.
        const double minimumCut = bandSplit ? 40.0 : 24.0;
        const double neighbourTolerance = bandSplit ? 1.0 : 5.0;
        struct Kill
        {
            void (Engine::*set) (int, bool);
            size_t band;
        };
        for (auto kill : { Kill { &Engine::setEqKillLow, 0 }, Kill { &Engine::setEqKillMid, 1 },
                           Kill { &Engine::setEqKillHigh, 2 } })
        {
            (rig.engine().*kill.set) (0, true);
            auto levels = settleAndMeasure (rig, bands);
            for (size_t b = 0; b < 3; ++b)
            {
                if (b == kill.band)
                    EXPECT_LT (levels[b], reference[b] - minimumCut) << b;
                else
                    EXPECT_NEAR (levels[b], reference[b], neighbourTolerance) << kill.band << " " << b;
            }

            (rig.engine().*kill.set) (0, false);
            levels = settleAndMeasure (rig, bands);
            for (size_t b = 0; b < 3; ++b)
                EXPECT_NEAR (levels[b], reference[b], 0.2) << kill.band << " " << b;
        }

    }
}

TEST (EngineDsp, EqKnobLaws)
{
    // A knob x sets the shelf or peak gain (x - 0.5) x 24 dB and the band-split
    // gain of the EQ gain curve (the fader law below the middle, then up to 2);
    // the mid frequency knob x sets 100 x 10^(2x) Hz.
    const struct
    {
        bool bandSplit;
        void (Engine::*set) (int, float);
        float x;
        double frequency, expectedDb;
    } cases[] = {
        { false, &Engine::setEqLow, 0.75f, 30.0, 5.594 },        // +6 dB shelf, 80 Hz corner
        { false, &Engine::setEqMid, 0.25f, 1000.0, -6.0 },
        { false, &Engine::setEqHigh, 0.0f, 6400.0, -6.0 },        // -12 dB shelf, 6.4 kHz corner
        { false, &Engine::setEqMidFrequency, 0.75f, 3162.3, -6.0 }, // with the mid at x = 0.25
        { true, &Engine::setEqLow, 0.25f, 30.0, -12.386 },      // gain 0.240253
        { true, &Engine::setEqMid, 0.75f, 1000.0, 3.522 },      // gain 1.5
        { true, &Engine::setEqHigh, 0.0f, 15000.0, -400.0 },    // gain 0: only the mid band's skirt is left
    };
    for (const auto& c : cases)
    {
        EngineRig rig;
        rig.input = tones ({ c.frequency }, 0.2f);
        rig.playThru (0, 0);
        rig->setChannelOutput (0, 0);
        rig->setEqMode (0, c.bandSplit);
        if (c.set == &Engine::setEqMidFrequency)
            rig->setEqMid (0, 0.25f);
        (rig.engine().*c.set) (0, c.x);
        const double db = settleAndMeasure (rig, { c.frequency })[0] - test::decibels (0.2);
        const auto detail = testing::Message() << (c.bandSplit ? "band split, " : "shelving, ") << c.x << " at "
                                               << c.frequency << " Hz";
        if (c.expectedDb < -100.0)
            EXPECT_LT (db, -40.0) << detail;
        else
            EXPECT_NEAR (db, c.expectedDb, 0.3) << detail;
    }
}

TEST (EngineDsp, SoftPreampAmplifiesAndEqualisesTheDeckInput)
{
    // x20, clipped to full scale, then the preamp's filter: 20.36 at 100 Hz,
    // 5.86 at 1 kHz, 1.63 at 5 kHz. The channel plays the deck in THRU.
    for (double frequency : { 100.0, 1000.0, 5000.0 })
    {
        EngineRig rig;
        rig.input = tones ({ frequency }, 0.001f);
        rig.playThru (0, 0);
        rig->setChannelOutput (0, 0);
        rig->setSoftPreamp (0, true);
        const double gain = frequency < 500.0 ? 20.357 : (frequency < 3000.0 ? 5.8626 : 1.6250);
        EXPECT_NEAR (test::toneAmplitude (rig.run (2 * 44100)[0].data() + 44100, 44100, frequency, rate) / 0.001,
                     20.0 * gain, 0.01 * 20.0 * gain) << frequency;
        rig->setSoftPreamp (0, false);
        EXPECT_NEAR (test::toneAmplitude (rig.run (2 * 44100)[0].data() + 44100, 44100, frequency, rate) / 0.001,
                     1.0, 0.01) << frequency;
    }
}

TEST (EngineDsp, EffectShapesTheBusItIsRoutedToAndCarriesItsStateAcrossTypes)
{
    // Channels 0 and 1 play the same sine through their own output pairs (2 and
    // 4); the main mix goes to 0 and, through the cue mix, to the phones on 6.
    auto makeRig = [] {
        auto rig = std::make_unique<EngineRig> (4, 8);
        rig->input = tones ({ 440.0 }, 0.4f);
        for (int c = 0; c < 2; ++c)
        {
            rig->playThru (c, c);
            (*rig)->setChannelOutput (c, 2 + 2 * c);
        }
        (*rig)->setMainOutput (0);
        (*rig)->setPhonesOutput (6);
        (*rig)->setCueMix (0.0f);
        return rig;
    };
    // A tremolo at full level gates its bus on and off every quarter second (its
    // LFO period is half a second); each run covers one and a half periods.
    constexpr int oneSecond = 44100, lfoPeriod = oneSecond / 2, span = 3 * lfoPeriod / 2;
    for (int bus : { 0, (int) Engine::masterSet })
    {
        SCOPED_TRACE (bus);
        auto plain = makeRig();
        auto withEffect = makeRig();
        auto& engine = withEffect->engine();
        engine.setFXChannel (bus);
        engine.setFXTempo (120.0);
        engine.setFXBeatLength (1.0);
        engine.setFXType (tremoloEffect);
        engine.setFXMix (1.0f);
        engine.setFXOn (true);
        const auto reference = plain->run (span);
        auto out = withEffect->run (span);
        EXPECT_LT (swingInDecibels (reference[0], 1024), 1.0);
        EXPECT_EQ (out[4], reference[4]); // channel 1 untouched
        if (bus == Engine::masterSet)
        {
            EXPECT_GT (swingInDecibels (out[0], 1024), 30.0);
            EXPECT_GT (swingInDecibels (out[6], 1024), 30.0);
            EXPECT_EQ (out[2], reference[2]); // the channel's own pair keeps the plain signal

            // Moved to channel 1: that channel's pair swings, channel 0's is plain.
            engine.setFXChannel (1);
            withEffect->run (lfoPeriod);
            plain->run (lfoPeriod);
            out = withEffect->run (span);
            const auto plainOut = plain->run (span);
            EXPECT_GT (swingInDecibels (out[4], 1024), 30.0);
            EXPECT_EQ (out[2], plainOut[2]);
            continue;
        }
        EXPECT_GT (swingInDecibels (out[2], 1024), 30.0);

        // A new type carries on with the old one's on flag, level and LFO phase:
        // the pan's left side is quietest where the LFO completes its second
        // period, half a period after the change.
        engine.setFXType (panEffect);
        out = withEffect->run (oneSecond);
        const auto plainOut = plain->run (oneSecond);
        EXPECT_GT (swingInDecibels (out[2], 1024), 20.0);
        EXPECT_GT (swingInDecibels (out[3], 1024), 20.0);
        EXPECT_EQ (out[4], plainOut[4]);
        const std::vector<float> firstPeriod (out[2].begin(), out[2].begin() + lfoPeriod);
        const auto rms = windowedRms (firstPeriod, 441);
        const auto quietest = (int) (std::min_element (rms.begin(), rms.end()) - rms.begin());
        EXPECT_NEAR (quietest * 441 + 220, lfoPeriod / 2, 1000);

        // The plug-ins-only type leaves the channel as it would be without effect.
        engine.setFXType (thruEffect);
        out = withEffect->run (oneSecond);
        const auto plainAgain = plain->run (oneSecond);
        const size_t afterTheLimiterDelay = 2 * test::limiterDelay;
        EXPECT_TRUE (std::equal (out[2].begin() + afterTheLimiterDelay, out[2].end(),
                                 plainAgain[2].begin() + afterTheLimiterDelay));

        // Switched off the effect fades out and leaves the channel alone.
        engine.setFXType (tremoloEffect);
        engine.setFXOn (false);
        withEffect->run (oneSecond / 4);
        plain->run (oneSecond / 4);
        EXPECT_EQ (withEffect->run (oneSecond)[2], plain->run (oneSecond)[2]);
    }
}

TEST (EngineDsp, MasterFilterAndEqShapeTheMainBusOnly)
{
    // Channel 0 feeds the main output (0), the phones through its cue send (2)
    // and its own pair (4); only the main bus passes the master filter and EQ.
    const std::initializer_list<double> bands { 100.0, 5000.0, 15000.0 };
    EngineRig rig (2, 6);
    rig.input = tones (bands, 0.2f);
    rig.playThru (0, 0);
    rig->setMainOutput (0);
    rig->setPhonesOutput (2);
    rig->setChannelOutput (0, 4);
    rig->setCue (0, true);
    rig->setCueMix (1.0f); // the phones hear the cue alone

    auto measure = [&rig, &bands] {
        rig.run (settleSamples);
        const auto out = rig.run (measureSamples);
        return std::array<std::vector<double>, 3> { toneLevels (out[0], bands), toneLevels (out[2], bands),
                                                    toneLevels (out[4], bands) };
    };
    const auto open = measure();
    for (const auto& output : open)
        for (double level : output)
            EXPECT_NEAR (level, test::decibels (0.2), 1.0);

    auto expectUntouched = [&open] (const std::array<std::vector<double>, 3>& levels, size_t output) {
        for (size_t b = 0; b < 3; ++b)
            EXPECT_NEAR (levels[output][b], open[output][b], 0.2) << output << " " << b;
    };

    // The master sweep filter's low-pass half.
    rig->setFilterFrequency (Engine::masterSet, 0.25f);
    auto levels = measure();
    EXPECT_NEAR (levels[0][0], open[0][0], 1.0);
    EXPECT_LT (levels[0][1], open[0][1] - 24.0);
    EXPECT_LT (levels[0][2], open[0][2] - 24.0);
    expectUntouched (levels, 1);
    expectUntouched (levels, 2);

    // Back to transparent, then the master EQ's high kill.
    rig->setFilterFrequency (Engine::masterSet, 0.5f);
    rig->setEqKillHigh (Engine::masterSet, true);
    levels = measure();
    EXPECT_NEAR (levels[0][0], open[0][0], 1.0);
    EXPECT_LT (levels[0][2], open[0][2] - 24.0);
    expectUntouched (levels, 1);
    expectUntouched (levels, 2);

    // The state-variable filter's high-pass output on the master.
    rig->setEqKillHigh (Engine::masterSet, false);
    rig->setFilterType (Engine::masterSet, 0);
    rig->setFilterLowPassLevel (Engine::masterSet, 0.0f);
    rig->setFilterHighPassLevel (Engine::masterSet, 1.0f);
    levels = measure();
    EXPECT_LT (levels[0][0], open[0][0] - 24.0);
    EXPECT_NEAR (levels[0][2], open[0][2], 1.0);
    expectUntouched (levels, 1);
    expectUntouched (levels, 2);
}

TEST (EngineDsp, InvalidEffectTypeStoresNothingAndKeepsTheEffect)
{
    // A 0.1 s burst into an echo on the main bus: the echo line holds it, and a
    // fresh echo would have lost it.
    auto makeRig = [] {
        auto rig = std::make_unique<EngineRig>();
        rig->input = [] (juce::int64 sample, int) {
            return sample < 4410 ? 0.4f * (float) std::sin (2.0 * M_PI * 440.0 * (double) sample / rate) : 0.0f;
        };
        rig->playThru (0, 0);
        (*rig)->setMainOutput (0);
        (*rig)->setFXTempo (120.0);
        (*rig)->setFXBeatLength (1.0);
        (*rig)->setFXType (echoEffect);
        (*rig)->setFXMix (1.0f);
        (*rig)->setFXOn (true);
        return rig;
    };
    auto reference = makeRig();
    auto probed = makeRig();
    EXPECT_EQ (probed->run (13230), reference->run (13230));

    // Types that make no effect leave the echo running, with its line.
    probed->engine().setFXType (numEffectTypes);
    probed->engine().setFXType (-1);
    EXPECT_EQ (probed->run (22050), reference->run (22050));

    // Had one of them been stored, the echo type would now build a new echo.
    probed->engine().setFXType (echoEffect);
    const auto out = probed->run (44100);
    EXPECT_EQ (out, reference->run (44100));
    EXPECT_GT (test::peakOf (out[0], 0, out[0].size()), 0.05f); // the burst still echoes
}
