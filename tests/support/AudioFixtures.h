#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <functional>

namespace zund::test
{
/** Sample value of frame `frame` on `channel`; must stay within -1..1, except in a
    float WAV, which stores every value as it is (NaN too). */
using SampleFunction = std::function<float (juce::int64 frame, int channel)>;

enum class FileKind { wav, aiff, ogg };

/** Writes a track with the framework's writers. bitsPerSample 32 means float
    for WAV. Returns false when the writer could not be made. */
bool writeAudioFile (const juce::File& file, FileKind kind, double sampleRate, int numChannels,
                     int bitsPerSample, juce::int64 numFrames, const SampleFunction& sample);

/** A ramp that names its frame: value (frame mod period) / period on the left,
    its negative on the right. period = 2^15 fits 16-bit files exactly. */
float indexRampValue (juce::int64 frame, int channel, int period = 32768);

/** Writes a WAV whose samples arrive exactly: `sample` gives each as a 16-bit
    integer value (for 16 and 24 bits) or float bits (for 32). */
bool writeExactWav (const juce::File& file, double sampleRate, int numChannels, int bitsPerSample,
                    juce::int64 numFrames, const std::function<int (juce::int64 frame, int channel)>& sample);

/** Writes an index ramp WAV (exact at 16, 24 and 32-bit float; period 2^15). */
bool writeIndexRampWav (const juce::File& file, double sampleRate, int numChannels,
                        int bitsPerSample, juce::int64 numFrames);

/** A sine of the given frequency and amplitude, the right side inverted. */
SampleFunction sineSignal (double frequency, double sampleRate, float amplitude);
}
