#include "engine/effects/AutoFilter.h"
#include "engine/effects/Chorus.h"
#include "engine/effects/Echo.h"
#include "engine/effects/EffectFactory.h"
#include "engine/effects/Pan.h"
#include "engine/effects/Phaser.h"
#include "engine/effects/Reverb.h"
#include "engine/effects/ThruFX.h"
#include "engine/effects/Tremolo.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>

using namespace zund;
using namespace zund::test;

namespace
{
void run (FXBaseClass& fx, std::vector<float>& left, std::vector<float>& right)
{
    fx.process (left.data(), right.data(), (int) left.size());
}

// Distance in samples between the first two maxima of a slow triangle.
int trianglePeriod (const std::vector<float>& wave)
{
    std::vector<int> peaks;
    for (size_t i = 1; i + 1 < wave.size() && peaks.size() < 2; ++i)
        if (wave[i] >= wave[i - 1] && wave[i] > wave[i + 1])
            peaks.push_back ((int) i);
    return peaks.size() == 2 ? peaks[1] - peaks[0] : -1;
}

// The left gain of a fully mixed pan is the first LFO: read it from a DC input.
int panLfoPeriod (double tempo, double beatLength, int numSamples)
{
    Pan pan;
    pan.setTempo (tempo);
    pan.setBeatLength (beatLength);
    pan.setDepth (0.5f);
    pan.setMix (1.0f);
    pan.setOn (true);
    std::vector<float> left ((size_t) numSamples, 1.0f), right = left;
    run (pan, left, right);
    return trianglePeriod (left);
}
}

TEST (FXBaseClass, FactoryMakesEveryTypeAndNothingElse)
{
    EXPECT_NE (dynamic_cast<ThruFX*> (createEffect (0).get()), nullptr);
    EXPECT_NE (dynamic_cast<Chorus*> (createEffect (1).get()), nullptr);
    EXPECT_NE (dynamic_cast<Phaser*> (createEffect (2).get()), nullptr);
    auto echo = createEffect (3);
    EXPECT_TRUE (dynamic_cast<Echo*> (echo.get()) != nullptr && dynamic_cast<Delay*> (echo.get()) == nullptr);
    EXPECT_NE (dynamic_cast<Delay*> (createEffect (4).get()), nullptr);
    EXPECT_NE (dynamic_cast<AutoFilter*> (createEffect (5).get()), nullptr);
    EXPECT_NE (dynamic_cast<Tremolo*> (createEffect (6).get()), nullptr);
    auto pan = createEffect (7);
    EXPECT_TRUE (dynamic_cast<Pan*> (pan.get()) != nullptr && dynamic_cast<Tremolo*> (pan.get()) == nullptr);
    EXPECT_NE (dynamic_cast<Reverb*> (createEffect (8).get()), nullptr);
    EXPECT_EQ (createEffect (9), nullptr);
    EXPECT_EQ (createEffect (-1), nullptr);
}

TEST (FXBaseClass, SwitchedOffFallsAwayIn40msThenPassesBitExact)
{
    for (int type = 0; type < numEffectTypes; ++type)
    {
        auto fx = createEffect (type);
        fx->setDepth (0.7f);
        fx->setMix (1.0f);
        fx->setOn (true);
        auto warm = noiseBuffer (44100, 0.5f), warmRight = warm;
        run (*fx, warm, warmRight);

        fx->setOn (false);
        const int n = 44100;
        auto input = sineBuffer (330.0, 44100.0, n, 0.4f);
        for (auto& v : input)
            v += 0.3f; // never near zero, so even a 1e-16 wet part would show
        auto left = input, right = input;
        run (*fx, left, right);

        // The first sample from which the output is the input, bit for bit.
        int exactFrom = n;
        while (exactFrom > 0 && left[(size_t) exactFrom - 1] == input[(size_t) exactFrom - 1]
               && right[(size_t) exactFrom - 1] == input[(size_t) exactFrom - 1])
            --exactFrom;

        if (type == thruEffect)
            EXPECT_EQ (exactFrom, 0);
        else if (type == tremoloEffect)
            EXPECT_LT (exactFrom, (int) (0.045 * 44100)); // transparent anyway while its gate is open
        else if (type == echoEffect || type == delayEffect || type == reverbEffect)
            EXPECT_LT (exactFrom, (int) (0.2 * 44100)) << "type " << type; // tails ring out, then pass
        else
        {
            EXPECT_GT (exactFrom, (int) (0.030 * 44100)) << "type " << type;
            EXPECT_LT (exactFrom, (int) (0.045 * 44100)) << "type " << type;
        }
    }
}

TEST (FXBaseClass, TempoZeroActsAsOneBpmAndNoLfoCycleIsShorterThan10ms)
{
    // 1 BPM, a bar of 1/1000, pan factor 0.25: 0.25 x 0.001 x 44100 x 240 = 2646 samples.
    EXPECT_NEAR (panLfoPeriod (1.0, 0.001, 20000), 2646, 2);
    EXPECT_NEAR (panLfoPeriod (0.0, 0.001, 20000), 2646, 2);
    EXPECT_NEAR (panLfoPeriod (-40.0, 0.001, 20000), 2646, 2);
    // A tiny beat length is held at 10 ms.
    EXPECT_NEAR (panLfoPeriod (120.0, 1.0e-9, 20000), 441, 2);
}

TEST (FXBaseClass, TypeChangeKeepsPhaseLevelAndTempo)
{
    // A pan running on its own...
    auto makePan = [] {
        auto fx = createEffect (panEffect);
        fx->setTempo (133.0);
        fx->setBeatLength (0.25);
        fx->setDepth (0.8f);
        fx->setMix (0.9f);
        fx->setOn (true);
        return fx;
    };
    const int n = 30000, swapAt = 12345;
    auto reference = makePan();
    std::vector<float> refLeft ((size_t) n, 1.0f), refRight = refLeft;
    run (*reference, refLeft, refRight);

    // ...and one replaced by a fresh pan halfway: the output carries on seamlessly.
    auto first = makePan();
    std::vector<float> left ((size_t) n, 1.0f), right = left;
    first->process (left.data(), right.data(), swapAt);
    auto second = createEffect (panEffect);
    handOverEffectState (*second, *first, 44100.0);
    second->process (left.data() + swapAt, right.data() + swapAt, n - swapAt);

    for (int i = swapAt; i < n; ++i)
    {
        ASSERT_NEAR (left[(size_t) i], refLeft[(size_t) i], 1e-5) << i;
        ASSERT_NEAR (right[(size_t) i], refRight[(size_t) i], 1e-5) << i;
    }

    // A switch to an echo keeps the full level: no dry signal comes back at once.
    auto echo = createEffect (echoEffect);
    auto full = makePan();
    full->setMix (1.0f);
    std::vector<float> warm (44100, 0.5f), warmRight = warm;
    run (*full, warm, warmRight);
    handOverEffectState (*echo, *full, 44100.0);
    std::vector<float> echoLeft (400, 0.5f), echoRight = echoLeft;
    run (*echo, echoLeft, echoRight);
    // (The first millisecond fades out the new echo's initial 3-sample delay.)
    EXPECT_LT (peakOf (echoLeft.data() + 50, 350), 0.01f);
}

TEST (FXBaseClass, EveryEffectStaysFiniteAtFullSettings)
{
    for (double rate : { 8000.0, 22050.0, 44100.0, 96000.0 })
        for (int type = 0; type < numEffectTypes; ++type)
            for (float depth : { 0.0f, 1.0f })
            {
                auto fx = createEffect (type);
                fx->setSampleRate (rate);
                fx->setTempo (174.0);
                fx->setBeatLength (0.5);
                fx->setDepth (depth);
                fx->setMix (1.0f);
                fx->setOn (true);

                const int n = 5 * 44100;
                auto left = noiseBuffer (n, 1.0f, 11), right = noiseBuffer (n, 1.0f, 12);
                // In small blocks, as the Engine hands them over.
                for (int start = 0; start < n; start += 256)
                    fx->process (left.data() + start, right.data() + start, std::min (256, n - start));
                ASSERT_TRUE (allFinite (left.data(), n) && allFinite (right.data(), n))
                    << "type " << type << " at " << rate << " Hz, depth " << depth;
                EXPECT_LT (peakOf (left.data(), n), 20.0f) << "type " << type << " at " << rate;
            }
}
