#include "ui/preferences/XYView.h"

#include <cmath>

namespace zund
{
namespace
{
// Pixel of a sample value: full scale reaches one view size from the centre.
bool toPixel (float value, int size, int& pixel)
{
    if (! std::isfinite (value))
        return false;
    const float p = (float) size * value + (float) (size / 2);
    pixel = p < 0.0f ? 0 : (p >= (float) size ? size - 1 : (int) p);
    return true;
}
}

XYView::XYView()
    : xRing (std::make_unique<float[]> (ringSize)),
      yRing (std::make_unique<float[]> (ringSize))
{
    setOpaque (true);
    startTimer (refreshIntervalMs);
}

XYView::~XYView()
{
    stopTimer();
}

void XYView::visibilityChanged()
{
    accepting.store (isVisible());
}

void XYView::timerCallback()
{
    repaint();
}

void XYView::addSamples (const float* left, const float* right, int numSamples)
{
    if (left == nullptr || right == nullptr || ! accepting.load (std::memory_order_relaxed))
        return;

    const int read = readIndex.load (std::memory_order_acquire);
    int write = writeIndex.load (std::memory_order_relaxed);

    for (int i = 0; i < numSamples && write != read; ++i)
    {
        xRing[(size_t) write] = left[i];
        yRing[(size_t) write] = right[i];
        write = (write + 1) & ringMask;
    }

    writeIndex.store (write, std::memory_order_release);
}

void XYView::resized()
{
    const juce::ScopedLock sl (lock);
    if (getWidth() > 0 && getHeight() > 0)
        image = juce::Image (juce::Image::RGB, getWidth(), getHeight(), true); // black
    else
        image = {};
}

void XYView::plotWaitingPairs (juce::Image::BitmapData& pixels)
{
    const int end = (writeIndex.load (std::memory_order_acquire) - 1) & ringMask;
    int read = readIndex.load (std::memory_order_relaxed);

    for (; read != end; read = (read + 1) & ringMask)
    {
        int column = 0, row = 0;
        if (toPixel (xRing[(size_t) read], pixels.width, column) && toPixel (yRing[(size_t) read], pixels.height, row))
        {
            auto* p = pixels.getPixelPointer (column, row);
            p[0] = p[1] = p[2] = 255;
        }
    }

    readIndex.store (end, std::memory_order_release);
}

void XYView::paint (juce::Graphics& g)
{
    const juce::ScopedLock sl (lock);
    if (image.isNull())
        return;

    {
        juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readWrite);

        // Fade the older dots towards black.
        for (int y = 0; y < pixels.height; ++y)
        {
            for (int x = 0; x < pixels.width; ++x)
            {
                auto* p = pixels.getPixelPointer (x, y);
                p[0] = p[1] = p[2] = (juce::uint8) ((float) p[0] * 0.75f);
            }
        }

        plotWaitingPairs (pixels);
    }

    g.drawImageAt (image, 0, 0);
}
}
