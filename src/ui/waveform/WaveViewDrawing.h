#pragma once

#include <juce_graphics/juce_graphics.h>

#include <cstring>

namespace zund
{
/** The soft inner frame of the waveform views: black at 75 %, 50 % and 25 %
    on the three outermost pixel rings. */
void drawSoftInnerFrame (juce::Graphics& g, int width, int height);

/** A hash (FNV-1a on whole words) of the values a view's paint depends on: a view repaints
    only when it differs from the one it last showed. */
struct ViewFingerprint
{
    void add (juce::uint64 v) noexcept { hash = (hash ^ v) * 0x100000001b3ull; }
    void add (float v) noexcept { add ((juce::uint64) bitsOf (v)); }
    /** Two values in one step. */
    void add (float a, float b) noexcept { add ((juce::uint64) bitsOf (a) << 32 | bitsOf (b)); }
    void add (juce::Colour c) noexcept { add ((juce::uint64) c.getARGB()); }

    static juce::uint32 bitsOf (float v) noexcept
    {
        juce::uint32 bits;
        std::memcpy (&bits, &v, sizeof (bits));
        return bits;
    }

    juce::uint64 hash = 0xcbf29ce484222325ull;
};

/** A sample value for drawing: limited to -1..1, 0 for NaN (a broken file's
    samples must not reach the renderer). */
inline float sampleForDrawing (float v) noexcept
{
    return v > 1.0f ? 1.0f : (v >= -1.0f ? v : (v < -1.0f ? -1.0f : 0.0f));
}
}
