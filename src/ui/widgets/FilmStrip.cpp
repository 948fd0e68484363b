#include "ui/widgets/FilmStrip.h"

namespace zund
{
FilmStrip::FilmStrip (const juce::Image& stripImage, int frames)
{
    // A strip shorter than its frame count would have frames of no height.
    if (! stripImage.isValid() || frames <= 0 || stripImage.getHeight() < frames)
        return;
    image = stripImage;
    numFrames = frames;
    frameHeight = stripImage.getHeight() / frames;
}

void FilmStrip::drawFrame (juce::Graphics& g, int frame, int width, int height) const
{
    if (! isUsable())
        return;
    frame = juce::jlimit (0, numFrames - 1, frame);
    width = juce::jmin (width, image.getWidth());
    height = juce::jmin (height, frameHeight);
    if (width <= 0 || height <= 0)
        return;
    g.drawImage (image, 0, 0, width, height, 0, frame * frameHeight, width, height);
}
}
