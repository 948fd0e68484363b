#pragma once

#include <juce_graphics/juce_graphics.h>

namespace zund
{
/** A skin image of equal frames stacked vertically (a knob's 255 positions, a
    button's 4 or 8 states). Unusable, and so not drawn, when the image is
    missing or too short to hold the frames it claims. */
class FilmStrip
{
public:
    FilmStrip() = default;
    FilmStrip (const juce::Image& image, int numFrames);

    bool isUsable() const noexcept { return frameHeight > 0; }
    int getNumFrames() const noexcept { return numFrames; }
    int getFrameHeight() const noexcept { return frameHeight; }
    int getWidth() const noexcept { return image.getWidth(); }

    /** The top-left width x height area of the frame, unscaled, at (0, 0); never
        beyond the frame or the image. */
    void drawFrame (juce::Graphics& g, int frame, int width, int height) const;

private:
    juce::Image image;
    int numFrames = 0;
    int frameHeight = 0;
};
}
