#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** What the wave display reads from the engine for one channel. */
struct ChannelReadings
{
    bool playing = false;
    bool thru = false;
    bool pitchLocked = false;
    bool noSignal = false;
    int speedState = 0; // 2 while scratching
    double bpm = 0.0;   // the current BPM, after pitch
    double pitch = 1.0; // speed ratio
    float seconds = 0.0f; // elapsed, or minus the remaining time
};

/** The three status labels over the overview. */
struct ChannelStatusText
{
    juce::String time, bpm, pitch;
};

/** The labels' texts: "THRU" while the channel plays its live input, else the
    time and the first status that applies ("PAUSED!", "NO SIGNAL!", "Scratch",
    "??? BPM" or the BPM) with the pitch. */
ChannelStatusText describeChannelStatus (const ChannelReadings& readings);

/** Whole seconds, truncated toward zero: "3:07", "-0:42", "75:00". */
juce::String formatTrackTime (float seconds);

/** The pitch in percent with one decimal, "+2.5" or "-3.2"; "-" from 50 %
    off on (the pitch is out of any useful range then). */
juce::String formatPitchPercent (double pitch);
}
