#pragma once

#include "engine/Engine.h"
#include "ui/MixerHostStandIn.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <memory>

namespace zund::test
{
/** A wave ring or a peak array: `pairs` pairs of floats, all (first, second). */
struct PairArray
{
    explicit PairArray (int numPairs, float first = 0.0f, float second = 0.0f)
        : pairs (numPairs), values (new std::atomic<float>[(size_t) numPairs * 2])
    {
        for (int i = 0; i < pairs; ++i)
            set (i, first, second);
    }

    void set (int pair, float first, float second)
    {
        values[(size_t) pair * 2] = first;
        values[(size_t) pair * 2 + 1] = second;
    }

    const std::atomic<float>* data() const noexcept { return values.get(); }

    const int pairs;
    std::unique_ptr<std::atomic<float>[]> values;
};

/** An engine with the main component's stand-in around it. */
struct ViewHost
{
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    MixerHostStandIn host { *engine };
};

/** The pixel's colour as 0xAARRGGBB, for readable failures. */
inline juce::uint32 argbAt (const juce::Image& image, int x, int y)
{
    return image.getPixelAt (x, y).getARGB();
}
}
