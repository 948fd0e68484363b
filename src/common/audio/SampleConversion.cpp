#include "common/audio/SampleConversion.h"

#include <cstring>

namespace zund
{
namespace
{
constexpr float intToFloatScale = 4.656612875245797e-10f; // 2^-31

void convertInPlace (int* samples, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        const float f = (float) samples[i] * intToFloatScale;
        std::memcpy (samples + i, &f, sizeof (float));
    }
}

void tameInPlace (int* samples, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        const float f = tamedSample (convertedSampleAt (samples, i));
        std::memcpy (samples + i, &f, sizeof (float));
    }
}
}

void convertIntSamplesToFloat (int* left, int* right, int numSamples) noexcept
{
    static_assert (sizeof (int) == sizeof (float), "samples are converted in place");
    if (left != nullptr)
        convertInPlace (left, numSamples);
    if (right != nullptr)
        convertInPlace (right, numSamples);
}

void tameFloatSamples (int* left, int* right, int numSamples) noexcept
{
    if (left != nullptr)
        tameInPlace (left, numSamples);
    if (right != nullptr)
        tameInPlace (right, numSamples);
}
}
