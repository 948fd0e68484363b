#include "ui/waveform/ChannelStatusText.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zund;

TEST (ChannelStatusText, TimeIsWholeSecondsTruncatedTowardZero)
{
    const std::pair<float, const char*> cases[] {
        { -1.0f, "-0:01" },  { 0.0f, "0:00" },    { 187.0f, "3:07" },   { 187.9f, "3:07" }, { -0.9f, "0:00" },
        { -42.5f, "-0:42" }, { 600.0f, "10:00" }, { 4500.0f, "75:00" },
        { std::numeric_limits<float>::quiet_NaN(), "0:00" },
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ (formatTrackTime (seconds), text) << seconds;
}

TEST (ChannelStatusText, PitchShowsPercentWithOneDecimalWithinFiftyPercent)
{
    const std::pair<double, const char*> cases[] {
        { 1.5, "-" },     { 1.0, "+0.0" },  { 1.025, "+2.5" }, { 0.968, "-3.2" }, { 0.5, "-" },
        { 0.5001, "-50.0" }, { 1.4999, "+50.0" }, { 0.0, "-" }, { std::numeric_limits<double>::quiet_NaN(), "-" },
    };
    for (const auto& [pitch, text] : cases)
        EXPECT_EQ (formatPitchPercent (pitch), text) << pitch;
}

// The first status that applies wins; the pitch label follows it.
TEST (ChannelStatusText, FirstApplyingStatusWins)
{
    struct Case
    {
        const char* name;
        ChannelReadings readings;
        ChannelStatusText expected;
    };
    auto readings = [] (bool playing, bool noSignal, int speedState, double bpm, bool locked = false) {
        ChannelReadings r;
        r.playing = playing;
        r.noSignal = noSignal;
        r.speedState = speedState;
        r.bpm = bpm;
        r.pitchLocked = locked;
        r.pitch = 1.025;
        r.seconds = 65.0f;
        return r;
    };
    auto thru = [] (bool playing) {
        ChannelReadings r;
        r.thru = true;
        r.playing = playing;
        r.seconds = 30.0f;
        return r;
    };
    const Case cases[] {
        { "paused", readings (false, true, 2, 128.0), { "1:05", "PAUSED!", "" } },
        { "no signal", readings (true, true, 0, 128.0), { "1:05", "NO SIGNAL!", "+2.5" } },
        { "no signal but pitch-locked", readings (true, true, 0, 128.0, true), { "1:05", "128.0 BPM", "LOCK" } },
        { "scratching", readings (true, false, 2, 128.0), { "1:05", "Scratch", "" } },
        { "no signal while scratching", readings (true, true, 2, 128.0), { "1:05", "NO SIGNAL!", "" } },
        { "BPM of 10", readings (true, false, 0, 10.0), { "1:05", "??? BPM", "+2.5" } },
        { "no BPM", readings (true, false, 1, 0.0), { "1:05", "??? BPM", "+2.5" } },
        { "BPM", readings (true, false, 0, 127.96), { "1:05", "128.0 BPM", "+2.5" } },
        { "THRU playing", thru (true), { "THRU", "BPM=FX", "THRU" } },
        { "THRU paused", thru (false), { "THRU", "PAUSED!", "THRU" } },
    };
    for (const auto& c : cases)
    {
        const auto text = describeChannelStatus (c.readings);
        EXPECT_EQ (text.time, c.expected.time) << c.name;
        EXPECT_EQ (text.bpm, c.expected.bpm) << c.name;
        EXPECT_EQ (text.pitch, c.expected.pitch) << c.name;
    }
}
