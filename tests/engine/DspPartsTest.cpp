#include "engine/dsp/CurveTable.h"
#include "engine/dsp/DcBlocker.h"
#include "engine/Engine.h"
#include "engine/dsp/SoftPreampFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

using namespace zund;

namespace
{
constexpr double pi = 3.14159265358979323846;

// Steady-state peak of a filter's output for a sine, after a second of settling.
template <typename Process>
float sinePeakThrough (double frequency, float amplitude, Process process)
{
    float peak = 0.0f;
    for (int i = 0; i < 88200; ++i)
    {
        float l = amplitude * (float) std::sin (2.0 * pi * frequency * i / 44100.0), r = l;
        process (l, r);
        if (i >= 44100)
            peak = std::max (peak, std::abs (l));
    }
    return peak;
}
}

TEST (CurveTable, LookupStaysOnTheCurve)
{
    const auto engine = std::make_unique<Engine>();
    const auto& fader = engine->getFaderCurve();
    ASSERT_EQ (fader.size(), 11);
    EXPECT_FLOAT_EQ (fader.lookup (0.0f), 0.0f);
    EXPECT_NEAR (fader.lookup (0.1f), 0.028769f, 1e-6f);
    EXPECT_NEAR (fader.lookup (0.5f), 0.240253f, 1e-6f);
    EXPECT_NEAR (fader.lookup (0.55f), 0.5f * (0.240253f + 0.33123f), 1e-5f);
    EXPECT_FLOAT_EQ (fader.lookup (1.0f), 1.0f);

    const auto& eq = engine->getEqGainCurve();
    ASSERT_EQ (eq.size(), 21);
    EXPECT_NEAR (eq.lookup (0.45f), 0.771476f, 1e-5f);
    EXPECT_FLOAT_EQ (eq.lookup (0.5f), 1.0f);
    EXPECT_FLOAT_EQ (eq.lookup (1.0f), 2.0f);

    // Just below 1, out of range and NaN: never past either end.
    const float justBelowOne = std::nextafter (1.0f, 0.0f);
    for (int n : { 2, 3, 10, 11, 21, 1000 })
    {
        CurveTable curve;
        for (int i = 0; i < n; ++i)
            curve.add ((float) i);
        EXPECT_NEAR (curve.lookup (justBelowOne), (float) (n - 1), 1e-3f * n) << n;
        EXPECT_EQ (curve.lookup (7.0f), (float) (n - 1));
        EXPECT_EQ (curve.lookup (-3.0f), 0.0f);
        EXPECT_EQ (curve.lookup (std::numeric_limits<float>::quiet_NaN()), 0.0f);
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

    DcBlocker fresh;
    EXPECT_NEAR (sinePeakThrough (1000.0, 0.5f, [&] (float& a, float& b) { fresh.process (a, b); }), 0.5f, 1e-3f);

    // At 5 Hz itself the level drops by 3 dB.
    DcBlocker atCutoff;
    EXPECT_NEAR (sinePeakThrough (5.0, 0.5f, [&] (float& a, float& b) { atCutoff.process (a, b); }),
                 0.5f / std::sqrt (2.0f), 0.01f);
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
