#include "support/TimecodeSignal.h"

#include <cmath>
#include <vector>

namespace zund::test
{
namespace
{
const std::vector<int>& codePatterns()
{
    static const std::vector<int> patterns = []
    {
        std::vector<int> list;
        for (int p = 0; p < 512; ++p)
        {
            bool threeOnes = false;
            for (int shift = 0; shift <= 6; ++shift)
                threeOnes = threeOnes || ((p >> shift) & 7) == 7;
            if (! threeOnes)
                list.push_back (p);
        }
        return list;
    }();
    return patterns;
}

constexpr int noCodePattern = 0x1c0; // 1, 1, 1, 0, ...: cannot fake a word start
}

TimecodeSignal::TimecodeSignal (double rate)
    : sampleRate (rate)
{
}

int TimecodeSignal::codePattern (int code)
{
    return codePatterns().at ((size_t) code);
}

std::uint32_t TimecodeSignal::wordBits (juce::int64 word) const
{
    const int number = word >= leadOut ? endNumber : (int) word;
    const auto high = (std::uint32_t) codePattern (number / codesPerField);
    const auto low = corrupted.count (word) != 0 ? (std::uint32_t) noCodePattern
                                                 : (std::uint32_t) codePattern (number % codesPerField);
    return (0x7u << 19) | (high << 10) | low;
}

int TimecodeSignal::bitOfCycle (juce::int64 cycle) const
{
    if (cycle < 0)
        return 0;
    const juce::int64 word = cycle / bitsPerWord;
    const int index = (int) (cycle % bitsPerWord);
    return (int) ((wordBits (word) >> (22 - index)) & 1);
}

void TimecodeSignal::render (float* left, float* right, int numSamples, double* needleOut)
{
    const double twoPi = 2.0 * juce::MathConstants<double>::pi;

    for (int i = 0; i < numSamples; ++i)
    {
        if (needleOut != nullptr)
            needleOut[i] = position;

        float l = 0.0f, r = 0.0f;
        if (! lifted)
        {
            const double cycles = position * cyclesPerSecond;
            const double cycle = std::floor (cycles);
            const double phase = twoPi * (cycles - cycle);
            const float height = bitOfCycle ((juce::int64) cycle) != 0 ? oneHeight : 1.0f;
            l = level * (float) std::cos (phase);
            r = level * height * (float) std::sin (phase);
            position += speed / sampleRate;
        }

        if (noise > 0.0f)
        {
            l += noise * (2.0f * random.nextFloat() - 1.0f);
            r += noise * (2.0f * random.nextFloat() - 1.0f);
        }

        left[i] = l;
        right[i] = r;
    }
}
}
