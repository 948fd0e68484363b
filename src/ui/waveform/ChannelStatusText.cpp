#include "ui/waveform/ChannelStatusText.h"

#include <cmath>

namespace zund
{
namespace
{
constexpr int scratching = 2;
constexpr double unknownBpmLimit = 10.0;
const char* const thru = "THRU";
const char* const paused = "PAUSED!";
}

juce::String formatTrackTime (float seconds)
{
    // Beyond a day of audio something is broken; never convert such a float to int.
    const float limited = std::isfinite (seconds) ? juce::jlimit (-86400.0f, 86400.0f, seconds) : 0.0f;
    int t = (int) limited;
    juce::String text;
    if (t < 0)
    {
        text << "-";
        t = -t;
    }
    const int s = t % 60;
    text << juce::String (t / 60) << ":" << (s < 10 ? "0" : "") << juce::String (s);
    return text;
}

juce::String formatPitchPercent (double pitch)
{
    const double p = (pitch - 1.0) * 100.0;
    if (p > -50.0 && p < 0.0)
        return juce::String (p, 1);
    if (p >= 0.0 && p < 50.0)
        return "+" + juce::String (p, 1);
    return "-";
}

ChannelStatusText describeChannelStatus (const ChannelReadings& r)
{
    if (r.thru)
        return { thru, r.playing ? "BPM=FX" : paused, thru };

    ChannelStatusText text;
    text.time = formatTrackTime (r.seconds);

    if (! r.playing)
    {
        text.bpm = paused;
        return text;
    }
    const bool noSignal = r.noSignal && ! r.pitchLocked;
    if (! noSignal && r.speedState == scratching)
    {
        text.bpm = "Scratch";
        return text;
    }

    if (noSignal)
        text.bpm = "NO SIGNAL!";
    else if (! (r.bpm > unknownBpmLimit))
        text.bpm = "??? BPM";
    else
        text.bpm = juce::String (r.bpm, 1) + " BPM";

    if (r.speedState != scratching)
        text.pitch = r.pitchLocked ? juce::String ("LOCK") : formatPitchPercent (r.pitch);
    return text;
}
}
