#include "ui/waveform/WaveColumnsPicture.h"

#include "ui/waveform/WaveViewDrawing.h"

#include <cstring>

namespace zund
{
WaveColumnsPicture::Column WaveColumnsPicture::read (const Source& source, int x) noexcept
{
    Column column;
    const int z = source.zoom;
    const int first = source.firstEntry + x * z;
    float sum = 0.0f;
    for (int k = 0; k < z; ++k)
    {
        const int i = ((first + k) & source.mask) * 2;
        column.hi = juce::jmax (column.hi, sampleForDrawing (source.peaks[i].load (std::memory_order_relaxed)));
        column.lo = juce::jmin (column.lo, sampleForDrawing (source.peaks[i + 1].load (std::memory_order_relaxed)));
        sum += sampleForDrawing (source.averages[i].load (std::memory_order_relaxed));
    }
    column.mean = sum * (1.0f / (float) z);
    column.looped = source.loop.contains (x);
    return column;
}

void WaveColumnsPicture::draw (juce::Graphics& g, int x, int height, const Style& style, const Column& column)
{
    const float half = (float) height * 0.5f;
    g.setColour (column.looped ? style.peakLooped : style.peak);
    g.drawVerticalLine (x, (column.lo + 1.0f) * half, (column.hi + 1.0f) * half);
    g.setColour (column.looped ? style.averageLooped : style.average);
    g.drawVerticalLine (x, half - column.mean * half, (column.mean + 1.0f) * half);
}

void WaveColumnsPicture::drawAll (juce::Graphics& g, int width, int height, const Style& style, const Source& source)
{
    for (int x = 0; x < width; ++x)
        draw (g, x, height, style, read (source, x));
}

void WaveColumnsPicture::shift (int columns)
{
    // The picture moves left as the position moves on (columns > 0).
    const int width = image.getWidth();
    const int kept = width - std::abs (columns);
    const int from = columns > 0 ? columns : 0, to = columns > 0 ? 0 : -columns;
    {
        const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readWrite);
        for (int y = 0; y < pixels.height; ++y)
            std::memmove (pixels.getPixelPointer (to, y), pixels.getPixelPointer (from, y),
                          (size_t) (kept * pixels.pixelStride));
    }
    std::memmove (shown.data() + to, shown.data() + from, (size_t) kept * sizeof (Column));
    std::memmove (known.data() + to, known.data() + from, (size_t) kept);
    // What came into view is drawn anew.
    std::fill (known.begin() + (columns > 0 ? kept : 0), known.begin() + (columns > 0 ? width : -columns), 0);
}

const juce::Image& WaveColumnsPicture::update (int width, int height, const Style& style, const Source& source)
{
    width = juce::jmax (1, width);
    height = juce::jmax (1, height);
    const juce::uint32 colours[5] = { style.background.getARGB(), style.peak.getARGB(), style.average.getARGB(),
                                      style.peakLooped.getARGB(), style.averageLooped.getARGB() };

    const bool sameGround = image.getWidth() == width && image.getHeight() == height && shownZoom == source.zoom
                         && shownMask == source.mask && shownPeaks == source.peaks
                         && shownAverages == source.averages
                         && std::memcmp (shownColours, colours, sizeof (colours)) == 0;
    if (! sameGround)
    {
        if (image.getWidth() != width || image.getHeight() != height)
            image = juce::Image (juce::Image::RGB, width, height, false);
        shown.assign ((size_t) width, {});
        known.assign ((size_t) width, 0);
        shownZoom = source.zoom;
        shownMask = source.mask;
        shownPeaks = source.peaks;
        shownAverages = source.averages;
        std::memcpy (shownColours, colours, sizeof (colours));
    }
    else if (source.firstEntry != shownFirstEntry)
    {
        // The nearer way round the ring.
        const int ringLength = source.mask + 1;
        int moved = (source.firstEntry - shownFirstEntry) & source.mask;
        if (moved > ringLength / 2)
            moved -= ringLength;
        if (moved % source.zoom == 0 && std::abs (moved / source.zoom) < width)
            shift (moved / source.zoom);
        else
            std::fill (known.begin(), known.end(), 0);
    }
    shownFirstEntry = source.firstEntry;

    columnsDrawn = 0;
    juce::Graphics g (image);
    for (int x = 0; x < width; ++x)
    {
        const auto column = read (source, x);
        if (known[(size_t) x] != 0 && shown[(size_t) x] == column)
            continue;
        g.setColour (style.background);
        g.fillRect (x, 0, 1, height);
        draw (g, x, height, style, column);
        shown[(size_t) x] = column;
        known[(size_t) x] = 1;
        ++columnsDrawn;
    }
    return image;
}
}
