#include "engine/effects/AutoFilter.h"
#include "engine/effects/Chorus.h"
#include "engine/effects/Echo.h"
#include "engine/effects/EffectFactory.h"
#include "engine/effects/Pan.h"
#include "engine/effects/Phaser.h"
#include "engine/effects/Reverb.h"
#include "engine/effects/ThruFX.h"
#include "engine/effects/Tremolo.h"
#include "EffectTesting.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <typeinfo>

using namespace zund;
using namespace zund::test;

namespace
{
constexpr double rate = 44100.0;

// Distance in samples between the first two maxima of a slow triangle.
int trianglePeriod (const Buffer& wave)
{
    std::vector<int> peaks;
    for (size_t i = 1; i + 1 < wave.size() && peaks.size() < 2; ++i)
        if (wave[i] >= wave[i - 1] && wave[i] > wave[i + 1])
            peaks.push_back ((int) i);
    return peaks.size() == 2 ? peaks[1] - peaks[0] : -1;
}
}

TEST (Effects, FactoryMakesEveryTypeAndNothingElse)
{
    const std::type_info* types[] = { &typeid (ThruFX), &typeid (Chorus),     &typeid (Phaser),
                                      &typeid (Echo),   &typeid (Delay),      &typeid (AutoFilter),
                                      &typeid (Tremolo), &typeid (Pan),       &typeid (Reverb) };
    for (int type = 0; type < numEffectTypes; ++type)
    {
        const auto fx = createEffect (type);
        ASSERT_NE (fx, nullptr) << type;
        const auto& effect = *fx;
        EXPECT_TRUE (typeid (effect) == *types[type]) << type;
    }
    EXPECT_EQ (createEffect (numEffectTypes), nullptr);
    EXPECT_EQ (createEffect (-1), nullptr);
}

TEST (Effects, SwitchedOffFallsAwayIn40msThenPassesBitExact)
{
    for (int type = 0; type < numEffectTypes; ++type)
    {
        auto fx = createEffect (type);
        switchOn (*fx, 0.7f, 1.0f);
        through (*fx, noiseBuffer (44100, 0.5f));

        fx->setOn (false);
        auto input = sineBuffer (330.0, rate, 44100, 0.4f);
        for (auto& v : input)
            v += 0.3f; // never near zero, so even a 1e-16 wet part would show
        Buffer right;
        const auto left = through (*fx, input, &right);

        // The first sample from which the output is the input, bit for bit.
        int exactFrom = (int) input.size();
        while (exactFrom > 0 && left[(size_t) exactFrom - 1] == input[(size_t) exactFrom - 1]
               && right[(size_t) exactFrom - 1] == input[(size_t) exactFrom - 1])
            --exactFrom;

        if (type == thruEffect)
            EXPECT_EQ (exactFrom, 0);
        else if (type == tremoloEffect)
            EXPECT_LT (exactFrom, (int) (0.045 * rate)); // transparent anyway while its gate is open
        else if (type == echoEffect || type == delayEffect || type == reverbEffect)
            EXPECT_LT (exactFrom, (int) (0.2 * rate)) << type; // tails ring out, then pass
        else
        {
            EXPECT_GT (exactFrom, (int) (0.030 * rate)) << type;
            EXPECT_LT (exactFrom, (int) (0.045 * rate)) << type;
        }
    }
}

TEST (Effects, LfoPeriodFollowsTempoBeatLengthAndThePanDepthLaw)
{
    // The left gain of a fully mixed pan is the first LFO. Its period is the
    // depth's factor x beat length x a bar: 0.5 d below the middle of the knob,
    // (1 + 16 (d - 0.5)) / 4 above it; never shorter than 10 ms; a tempo of 0
    // or below counts as 1 BPM.
    const struct
    {
        double tempo, beatLength;
        float depth;
        int period;
    } cases[] = {
        { 120.0, 1.0, 0.25f, 11025 },  { 120.0, 1.0, 0.5f, 22050 }, { 120.0, 1.0, 0.75f, 110250 },
        { 120.0, 1.0, 1.0f, 198450 },  { 120.0, 2.0, 0.5f, 44100 }, { 1.0, 0.001, 0.5f, 2646 },
        { 0.0, 0.001, 0.5f, 2646 },    { -40.0, 0.001, 0.5f, 2646 }, { 120.0, 1.0e-9, 0.5f, 441 },
        { 120.0, 1.0, 0.0f, 441 }, // a tremolo or pan at depth 0 holds the 10 ms minimum
    };
    for (const auto& c : cases)
    {
        Pan pan;
        switchOn (pan, c.depth, 1.0f, c.beatLength, c.tempo);
        const auto gain = through (pan, Buffer ((size_t) (1.6 * c.period) + 2000, 1.0f));
        EXPECT_NEAR (trianglePeriod (gain), c.period, 2) << c.tempo << " BPM, " << c.beatLength << " bars, depth "
                                                         << c.depth;
    }
}

TEST (Effects, TypeChangeCarriesPhaseLevelTempoAndTheGateEdge)
{
    auto makePan = [] (float mix) {
        auto fx = createEffect (panEffect);
        switchOn (*fx, 0.8f, mix, 0.25, 133.0);
        return fx;
    };
    // A pan replaced by a fresh pan halfway carries on seamlessly.
    const int n = 30000, swapAt = 12345;
    auto reference = makePan (0.9f);
    const auto expected = through (*reference, Buffer ((size_t) n, 1.0f));

    auto first = makePan (0.9f);
    Buffer left ((size_t) n, 1.0f), right = left;
    first->process (left.data(), right.data(), swapAt);
    auto second = createEffect (panEffect);
    handOverEffectState (*second, *first, rate);
    second->process (left.data() + swapAt, right.data() + swapAt, n - swapAt);
    for (int i = swapAt; i < n; ++i)
        ASSERT_NEAR (left[(size_t) i], expected[(size_t) i], 1e-5) << i;

    // Fully mixed into an echo: no dry signal comes back at once. (The first
    // millisecond fades out the new echo's initial 3-sample delay.)
    auto full = makePan (1.0f);
    through (*full, Buffer (44100, 0.5f));
    auto echo = createEffect (echoEffect);
    handOverEffectState (*echo, *full, rate);
    EXPECT_LT (peakOf (through (*echo, Buffer (400, 0.5f)).data() + 50, 350), 0.01f);

    // Into a tremolo a fifth of the way into the pan's period (depth 0.5: 22,050
    // samples), after the pan was switched on: the tremolo's gate opens at once,
    // as at the start of its own period, and stays open to the half period.
    Pan pan;
    switchOn (pan, 0.5f, 1.0f);
    through (pan, Buffer (4410, 0.0f));
    auto tremolo = createEffect (tremoloEffect);
    handOverEffectState (*tremolo, pan, rate);
    const auto gate = through (*tremolo, Buffer (6615, 1.0f));
    EXPECT_NEAR (gate[66], 0.5f, 0.02f);
    EXPECT_FLOAT_EQ (gate[200], 1.0f);
    EXPECT_FLOAT_EQ (gate[6600], 1.0f);
}

TEST (Effects, EveryEffectStaysFiniteAtFullSettings)
{
    for (double sampleRate : { 8000.0, 22050.0, 44100.0, 96000.0 })
        for (int type = 0; type < numEffectTypes; ++type)
            for (float depth : { 0.0f, 1.0f })
            {
                auto fx = createEffect (type);
                fx->setSampleRate (sampleRate);
                switchOn (*fx, depth, 1.0f, 0.5, 174.0);
                const int n = 5 * 44100;
                auto left = noiseBuffer (n, 1.0f, 11), right = noiseBuffer (n, 1.0f, 12);
                // In small blocks, as the Engine hands them over.
                for (int start = 0; start < n; start += 256)
                    fx->process (left.data() + start, right.data() + start, std::min (256, n - start));
                ASSERT_TRUE (allFinite (left.data(), n) && allFinite (right.data(), n))
                    << "type " << type << " at " << sampleRate << " Hz, depth " << depth;
                EXPECT_LT (peakOf (left.data(), n), 20.0f) << "type " << type << " at " << sampleRate;
            }
}

TEST (Effects, ChorusGainsFollowTheirTablesAlongTheLevel)
{
    // Level 0 leaves the signal alone.
    Chorus silentChorus;
    switchOn (silentChorus, 1.0f, 0.0f);
    const auto noise = noiseBuffer (20000, 0.5f);
    Buffer right;
    EXPECT_EQ (through (silentChorus, noise, &right), noise);
    EXPECT_EQ (right, noise);

    // An impulse through a 2-sample delay (depth 0 and a resting LFO): the dry
    // part at once, the wet copy 2 samples later and its feedback repeat 2 after
    // that, each interpolated along its table at level x 11.
    const float dry[] = { 1, 1, 1, 1, 1, 1, 0.9f, 0.8f, 0.75f, 0.65f, 0.55f, 0.55f, 0.55f };
    const float wet[] = { 0, 0.05f, 0.15f, 0.25f, 0.4f, 0.65f, 0.875f, 1, 1, 1, 1, 1, 1 };
    const float feedback[] = { 0, 0, 0, 0, 0, 0, 0, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.5f };
    for (int i = 0; i < 11; ++i)
    {
        const float level = ((float) i + 0.25f) / 11.0f;
        auto between = [i] (const float* table) { return 0.75f * table[i] + 0.25f * table[i + 1]; };
        Chorus chorus;
        switchOn (chorus, 0.0f, level, 1000.0);
        settle (chorus);
        const auto out = through (chorus, impulse (8), &right);
        EXPECT_NEAR (out[0], between (dry), 1e-4) << "level " << level;
        EXPECT_NEAR (out[2], between (wet), 1e-4) << "level " << level;
        EXPECT_NEAR (out[4], between (wet) * between (feedback), 1e-4) << "level " << level;
        EXPECT_EQ (out, right);
    }
}

TEST (Phaser, PolynomialSineAndCosineFollowTheRealOnes)
{
    // Over the whole clamped sweep range 0.00001..0.49 of a cycle.
    for (int i = 0; i <= 4900; ++i)
    {
        const float x = 0.00001f + (0.49f - 0.00001f) * (float) i / 4900.0f;
        ASSERT_NEAR (Phaser::polySin (x), std::sin (2.0 * M_PI * x), 0.009) << x;
        ASSERT_NEAR (Phaser::polyCos (x), std::cos (2.0 * M_PI * x), 0.003) << x;
        // What keeps every all-pass stage stable: s > 0 and |c| < 1.
        ASSERT_GT (Phaser::polySin (x), 0.0f) << x;
        ASSERT_LT (std::fabs (Phaser::polyCos (x)), 1.0f) << x;
    }
}

TEST (Phaser, ResponseFollowsItsAllPassChainFeedbackAndMixLaws)
{
    // A resting LFO (phase 0: the second LFO at 1) puts the all-pass centre at
    // 1280 Hz + depth x 19,200 Hz. Four stages y = k0 (u - y2) + k1 (u1 - y1) + u2
    // with k0 = (1 - s) / (1 + s), k1 = -2c / (1 + s), s and c the sine and
    // cosine of the centre; the chain's last output is fed back into its input.
    const double frequencies[] = { 300.0, 1500.0, 3100.0, 4700.0, 6300.0, 9100.0, 13300.0 };
    for (float level : { 0.25f, 0.5f, 0.75f, 1.0f })
    {
        const double feedback = level <= 0.5f ? 0.5 : (level + 0.5) * 0.5;
        const double g = 0.66 * level + 1.0;
        const double wet = level <= 0.5f ? g * level : 0.665, dry = level <= 0.5f ? (1.0 - level) * g : 0.665;
        const double centre = 2.0 * M_PI * (1280.0 + 0.25 * 19200.0) / rate;
        const double s = std::sin (centre), c = std::cos (centre);
        const double k0 = (1.0 - s) / (1.0 + s), k1 = -2.0 * c / (1.0 + s);

        Phaser phaser;
        switchOn (phaser, 0.25f, level, 1000.0);
        settle (phaser);
        Buffer input (16384, 0.0f);
        for (double f : frequencies)
            for (size_t i = 0; i < input.size(); ++i)
                input[i] += 0.05f * (float) std::sin (2.0 * M_PI * f * (double) i / rate);
        Buffer right;
        const auto out = through (phaser, input, &right);
        EXPECT_EQ (out, right);

        for (double f : frequencies)
        {
            const auto z1 = std::polar (1.0, -2.0 * M_PI * f / rate);
            const auto stage = (k0 + k1 * z1 + z1 * z1) / (1.0 + k1 * z1 + k0 * z1 * z1);
            const auto chain = std::pow (stage, 4);
            const double expected = std::abs (wet * chain / (1.0 - feedback * z1 * chain) + dry);
            const double measured = toneAmplitude (out.data() + 8192, 8192, f, rate) / 0.05;
            EXPECT_NEAR (measured, expected, 0.02 * expected + 0.005) << "level " << level << " at " << f << " Hz";
        }
    }
}

TEST (Pan, FullLevelMovesTheSoundFromSideToSide)
{
    Pan pan;
    switchOn (pan, 0.5f, 1.0f); // a quarter bar: 22,050 samples
    settle (pan);
    const int n = 22050;
    Buffer right;
    const auto left = through (pan, Buffer ((size_t) n, 1.0f), &right);
    EXPECT_NEAR (left[0], 0.0f, 1e-3); // left silent at LFO 0
    EXPECT_NEAR (right[0], 1.0f, 1e-3);
    EXPECT_NEAR (left[n / 2], 1.0f, 1e-3); // right silent at LFO 1
    EXPECT_NEAR (right[n / 2], 0.0f, 1e-3);
    for (int i = 0; i < n; i += 100)
        ASSERT_NEAR (left[(size_t) i] + right[(size_t) i], 1.0f, 1e-3) << i;
}

TEST (Tremolo, GatesOnForTheFirstHalfWith3msEdgesAboveAFloor)
{
    // Depth 0.5: a quarter bar, 22,050 samples. The gain of a settled tremolo
    // from a fresh switch-on, read from a constant input.
    const int period = 22050;
    auto gateShape = [] (float mix, int n) {
        Tremolo tremolo;
        switchOn (tremolo, 0.5f, mix);
        settle (tremolo);
        Buffer right;
        const auto left = through (tremolo, Buffer ((size_t) n, 1.0f), &right);
        EXPECT_EQ (left, right);
        return left;
    };
    const auto gain = gateShape (1.0f, 2 * period);

    // The off edge at half the period takes 3 ms (132 samples at 44.1 kHz).
    int rampStart = -1, rampEnd = -1;
    for (int i = period / 4; i < period; ++i)
    {
        if (rampStart < 0 && gain[(size_t) i] < 1.0f)
            rampStart = i;
        if (rampEnd < 0 && gain[(size_t) i] < 1.0e-5f)
            rampEnd = i;
    }
    EXPECT_NEAR (rampStart, period / 2, 2);
    EXPECT_NEAR (rampEnd - rampStart, 132, 2);
    EXPECT_FLOAT_EQ (gain[(size_t) period / 4], 1.0f);
    EXPECT_LT (gain[(size_t) (3 * period / 4)], 1.0e-5f);
    EXPECT_FLOAT_EQ (gain[(size_t) (5 * period / 4)], 1.0f); // on again in the next period

    // Level 0.4 of 1: the off half keeps 0.25 of the sound.
    const auto floored = gateShape (0.4f, period);
    EXPECT_NEAR (floored[16000], 0.25f, 0.01f);
    EXPECT_FLOAT_EQ (floored[5000], 1.0f);
}

TEST (AutoFilter, TheLfoSweepsTheCutoffDownByTheDepthAtAnyRate)
{
    // Level in dB of a tone through the filter over 20 ms windows across one
    // LFO period (2 s).
    auto sweptLevels = [] (double frequency, float depth, double sampleRate) {
        AutoFilter filter;
        filter.setSampleRate (sampleRate);
        switchOn (filter, depth, 1.0f);
        const int n = (int) (2.0 * sampleRate), window = (int) (0.02 * sampleRate);
        const auto out = through (filter, sineBuffer (frequency, sampleRate, n, 0.5f));
        std::vector<double> levels;
        for (int start = 0; start + window <= n; start += window)
            levels.push_back (decibels (toneAmplitude (out.data() + start, window, frequency, sampleRate) / 0.5));
        return levels;
    };

    // Depth 1: open at the start of the period, closed to about 20 Hz half way.
    const auto swept = sweptLevels (1000.0, 1.0f, rate);
    EXPECT_NEAR (swept[2], 0.0, 1.0);
    EXPECT_LT (swept[swept.size() / 2], -40.0);
    for (double db : sweptLevels (1000.0, 0.0f, rate)) // depth 0 stays open
        EXPECT_NEAR (db, 0.0, 1.0);

    // Low device rates stay stable.
    for (double sampleRate : { 8000.0, 11025.0, 16000.0, 22050.0 })
    {
        const auto levels = sweptLevels (500.0, 1.0f, sampleRate);
        EXPECT_NEAR (levels[1], 0.0, 1.5) << sampleRate;
        for (double db : levels)
            ASSERT_LT (db, 6.0) << sampleRate;
    }
}
