#include "engine/Chorus.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zund;
using namespace zund::test;

TEST (Chorus, LevelZeroLeavesTheSignalAlone)
{
    Chorus chorus;
    chorus.setDepth (1.0f);
    chorus.setMix (0.0f);
    chorus.setOn (true);
    const auto input = noiseBuffer (20000, 0.5f);
    auto left = input, right = input;
    chorus.process (left.data(), right.data(), 20000);
    EXPECT_EQ (left, input);
    EXPECT_EQ (right, input);
}

TEST (Chorus, FullLevelIsDryWetAndFeedbackAtTheirTopValues)
{
    Chorus chorus;
    chorus.setDepth (0.0f);       // 1 ms sweep
    chorus.setBeatLength (1000.0); // the LFO hardly moves
    chorus.setMix (1.0f);
    chorus.setOn (true);
    std::vector<float> left (22050, 0.0f), right = left;
    chorus.process (left.data(), right.data(), 22050);

    // An impulse: 0.55 dry at once, the wet copy 2 samples later, its feedback
    // repeat (0.5) 2 samples after that.
    std::vector<float> impulseLeft (16, 0.0f);
    impulseLeft[0] = 1.0f;
    auto impulseRight = impulseLeft;
    chorus.process (impulseLeft.data(), impulseRight.data(), 16);
    EXPECT_NEAR (impulseLeft[0], 0.55f, 1e-4);
    EXPECT_NEAR (impulseLeft[2], 1.0f, 0.05);
    EXPECT_NEAR (impulseLeft[4], 0.5f, 0.05);
    EXPECT_EQ (impulseLeft, impulseRight);
}

TEST (Chorus, TheDelaySweepsWithTheLfo)
{
    // Depth 1: 6 ms of sweep. Over one LFO period the delay of an impulse train
    // moves from 2 samples up to about 267 and back.
    Chorus chorus;
    chorus.setTempo (120.0);
    chorus.setBeatLength (0.25); // 22,050-sample period
    chorus.setDepth (1.0f);
    chorus.setMix (0.5f);        // wet, no feedback
    chorus.setOn (true);

    const int n = 22050;
    std::vector<float> left ((size_t) n, 0.0f);
    for (int i = 0; i < n; i += 2000)
        left[(size_t) i] = 1.0f;
    auto right = left;
    chorus.process (left.data(), right.data(), n);

    // The copy of the impulse at the half period (LFO 1 at its top).
    const int at = 10000 + 2;
    float late = 0.0f;
    for (int d = 200; d < 300; ++d)
        late = std::max (late, left[(size_t) (at + d)]);
    EXPECT_GT (late, 0.2f);
}
