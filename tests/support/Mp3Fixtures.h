#pragma once

#include "support/AudioFixtures.h"

#include <juce_core/juce_core.h>

#include <vector>

namespace zund::test
{
/** Encodes a signal to MP3 with Debian's `lame` (through a temporary WAV beside
    the target). `lameOptions` are passed as they are, e.g. {"-b", "128"}. */
bool writeMp3 (const juce::File& mp3, double sampleRate, int numChannels, juce::int64 numFrames,
               const SampleFunction& sample, const juce::StringArray& lameOptions);

/** Encodes a signal to MPEG-1/2 Layer II with `sox` (through a temporary WAV). */
bool writeMp2 (const juce::File& target, double sampleRate, int numChannels, juce::int64 numFrames,
               const SampleFunction& sample);

/** A busy test signal (two unrelated tones and noise), so that a shift by any
    number of samples shows. Right differs from left. */
SampleFunction richSignal (double sampleRate);

/** Decodes a whole file with Debian's `mpg123` command-line decoder: 16-bit
    interleaved stereo at the file's rate, no gapless trimming, Info frames
    decoded as audio. Empty on failure. */
std::vector<juce::int16> decodeWithMpg123 (const juce::File& mp3);

/** Builds an MPEG audio frame: the four header bytes and `length - 4` body bytes
    from `body` (zeros when it is shorter). */
juce::MemoryBlock makeMpegFrame (juce::uint8 b1, juce::uint8 b2, juce::uint8 b3, int length,
                                 const juce::MemoryBlock& body = {});

/** Copies of a file's frames, repeated: for long files whose audio does not matter. */
bool writeRepeatedMp3 (const juce::File& source, const juce::File& target, int repeats);
}
