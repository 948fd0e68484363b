#include "engine/effects/Chorus.h"
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
