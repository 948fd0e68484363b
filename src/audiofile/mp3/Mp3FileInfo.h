#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** Bitrate (kbps, -1 when the first frames differ), sample rate (Hz) and duration
    (whole seconds) of an ".mp3" file, estimated from its first 101 frames. False
    for another extension, an unreadable file or one without frames; the outputs
    are then untouched. */
bool getMp3FileInfo (const juce::File& file, int& kbps, int& sampleRate, int& seconds);
}
