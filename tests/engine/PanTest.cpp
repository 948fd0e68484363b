#include "engine/effects/Pan.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

using namespace zund;
using namespace zund::test;

TEST (Pan, FullLevelMovesTheSoundFromSideToSide)
{
    Pan pan;
    pan.setTempo (120.0);
    pan.setBeatLength (1.0);
    pan.setDepth (0.5f); // a quarter bar: 22,050 samples
    pan.setMix (1.0f);
    pan.setOn (true);
    std::vector<float> warm (44100, 0.0f), warmRight = warm;
    pan.process (warm.data(), warmRight.data(), 44100);

    pan.setOn (true); // restarts the LFO at phase 0, the level stays up
    const int n = 22050;
    std::vector<float> left ((size_t) n, 1.0f), right = left;
    pan.process (left.data(), right.data(), n);

    EXPECT_NEAR (left[0], 0.0f, 1e-3);       // left silent at LFO 0
    EXPECT_NEAR (right[0], 1.0f, 1e-3);
    EXPECT_NEAR (left[n / 2], 1.0f, 1e-3);   // right silent at LFO 1
    EXPECT_NEAR (right[n / 2], 0.0f, 1e-3);
    for (int i = 0; i < n; i += 100)
        ASSERT_NEAR (left[(size_t) i] + right[(size_t) i], 1.0f, 1e-3) << i;
}
