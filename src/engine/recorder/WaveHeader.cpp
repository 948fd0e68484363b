#include "engine/recorder/WaveHeader.h"

#include <algorithm>

namespace zund
{
namespace
{
constexpr juce::uint64 largestRiffSize = 0xffffffffu;

void putText (juce::uint8* at, const char* text) noexcept
{
    for (int i = 0; i < 4; ++i)
        at[i] = (juce::uint8) text[i];
}

void putUint32 (juce::uint8* at, juce::uint32 value) noexcept
{
    for (int i = 0; i < 4; ++i)
        at[i] = (juce::uint8) (value >> (8 * i));
}

void putUint16 (juce::uint8* at, juce::uint16 value) noexcept
{
    at[0] = (juce::uint8) value;
    at[1] = (juce::uint8) (value >> 8);
}
}

juce::uint64 getLargestWaveDataSize (int bits) noexcept
{
    const auto blockAlign = (juce::uint64) getStereoBlockAlign (bits);
    return (largestRiffSize - (waveHeaderSize - 8)) / blockAlign * blockAlign;
}

bool writeWaveHeader (std::FILE* file, juce::uint64 frames, int sampleRate, int bits)
{
    const auto blockAlign = (juce::uint32) getStereoBlockAlign (bits);
    const auto largestFrames = getLargestWaveDataSize (bits) / blockAlign;
    const auto dataSize = (juce::uint32) (std::min (frames, largestFrames) * blockAlign);

    juce::uint8 header[waveHeaderSize];
    putText (header, "RIFF");
    putUint32 (header + 4, (juce::uint32) (waveHeaderSize - 8) + dataSize);
    putText (header + 8, "WAVE");
    putText (header + 12, "fmt ");
    putUint32 (header + 16, 16);
    putUint16 (header + 20, 1); // PCM
    putUint16 (header + 22, 2);
    putUint32 (header + 24, (juce::uint32) sampleRate);
    putUint32 (header + 28, (juce::uint32) sampleRate * blockAlign);
    putUint16 (header + 32, (juce::uint16) blockAlign);
    putUint16 (header + 34, (juce::uint16) bits);
    putText (header + 36, "data");
    putUint32 (header + 40, dataSize);

    if (std::fseek (file, 0, SEEK_SET) != 0)
        return false;
    return std::fwrite (header, 1, sizeof (header), file) == sizeof (header);
}
}
