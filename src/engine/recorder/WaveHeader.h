#pragma once

#include <juce_core/juce_core.h>

#include <cstdio>

namespace zund
{
/** Size of the header that writeWaveHeader writes: RIFF, fmt and data chunk heads. */
constexpr int waveHeaderSize = 44;

/** Bytes per stereo frame of a 16 or 32-bit PCM file. */
constexpr int getStereoBlockAlign (int bits) noexcept { return 2 * bits / 8; }

/** The largest data size a stereo PCM header can describe: the RIFF size
    (36 + data size) is an unsigned 32-bit field, and the data holds whole frames.
    4,294,967,256 bytes for both 16 and 32 bits. */
juce::uint64 getLargestWaveDataSize (int bits) noexcept;

/** Seeks to the start of the file and writes the 44-byte header of a stereo PCM
    WAV file holding `frames` frames. A frame count beyond what the header can
    describe is written as the largest describable one, never wrapped.
    False when the seek or the write failed. */
bool writeWaveHeader (std::FILE* file, juce::uint64 frames, int sampleRate, int bits);
}
