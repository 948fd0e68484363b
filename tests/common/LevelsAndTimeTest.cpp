#include "common/audio/Levels.h"
#include "common/text/TimeText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zund;

TEST (GainToDecibels, SilenceAndUnity)
{
    EXPECT_EQ (gainToDecibels (0.0f), -10000.0f);
    EXPECT_EQ (gainToDecibels (-0.5f), -10000.0f);
    EXPECT_EQ (gainToDecibels (std::numeric_limits<float>::quiet_NaN()), -10000.0f);
    EXPECT_FLOAT_EQ (gainToDecibels (1.0f), 0.0f);
    EXPECT_NEAR (gainToDecibels (0.5f), -6.0206f, 1e-3);
    EXPECT_NEAR (gainToDecibels (0.707f), -3.01f, 1e-2);
}

TEST (SliderToDecibels, FollowsTheGainCurve)
{
    EXPECT_FLOAT_EQ (sliderToDecibels (0.0f), -200.0f);
    EXPECT_NEAR (sliderToDecibels (0.05f), -114.0f, 1e-3);
    EXPECT_NEAR (sliderToDecibels (0.5f), 0.0f, 1e-4);
    EXPECT_NEAR (sliderToDecibels (0.75f), 2.25f, 1e-4);
    EXPECT_FLOAT_EQ (sliderToDecibels (1.0f), 9.0f);
    EXPECT_FLOAT_EQ (sliderToDecibels (std::numeric_limits<float>::quiet_NaN()), -200.0f);

    // Rising across the whole range.
    float previous = sliderToDecibels (0.0f);
    for (int i = 1; i <= 1000; ++i)
    {
        const float db = sliderToDecibels ((float) i / 1000.0f);
        EXPECT_GE (db, previous) << "at " << i;
        previous = db;
    }
}

TEST (SecondsToTimeString, MinutesAndHours)
{
    EXPECT_EQ (secondsToTimeString (0), "0:00");
    EXPECT_EQ (secondsToTimeString (9), "0:09");
    EXPECT_EQ (secondsToTimeString (59), "0:59");
    EXPECT_EQ (secondsToTimeString (61), "1:01");
    EXPECT_EQ (secondsToTimeString (600), "10:00");
    EXPECT_EQ (secondsToTimeString (3599), "59:59");
    EXPECT_EQ (secondsToTimeString (3600), "1:00:00");
    EXPECT_EQ (secondsToTimeString (3661), "1:01:01");
    EXPECT_EQ (secondsToTimeString (36000 + 659), "10:10:59");
}

TEST (SecondsToTimeString, NegativeTimesNeverShowAMinusInside)
{
    for (int s : { -1, -59, -61, -3600, std::numeric_limits<int>::min() })
        EXPECT_EQ (secondsToTimeString (s), "0:00") << s;
}
