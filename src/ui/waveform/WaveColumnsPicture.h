#pragma once

#include <juce_graphics/juce_graphics.h>

#include <atomic>
#include <vector>

namespace zund
{
/** The columns of the scrolling waveform (background, peak and average line
    per pixel column), kept as a picture between paints. A move by whole
    columns shifts the picture and draws only the columns that came into
    view; any other column is drawn again only when what it shows (its
    heights or its loop colouring) changed. The picture is the same, pixel for
    pixel, as one drawn whole: each column's pixels depend on nothing but its
    own values. */
class WaveColumnsPicture
{
public:
    struct Style
    {
        juce::Colour background, peak, average, peakLooped, averageLooped;
    };

    /** Where the columns come from: column x shows ring entries
        firstEntry + x * zoom onwards (masked), zoom of them. */
    struct Source
    {
        const std::atomic<float>* peaks = nullptr;    // (max, min) pairs
        const std::atomic<float>* averages = nullptr; // (mean, mean) pairs
        int mask = 0;                                 // ring length - 1, a power of two less one
        int zoom = 1;
        int firstEntry = 0;
        juce::Range<juce::int64> loop;                // the columns in the loop colours
    };

    /** Brings the picture up to date for a view of that size; an opaque
        background is needed (the columns are drawn over it, not over what
        lay beneath). */
    const juce::Image& update (int width, int height, const Style& style, const Source& source);

    /** Every column straight into g, over what it holds (for backgrounds that are not opaque). */
    static void drawAll (juce::Graphics& g, int width, int height, const Style& style, const Source& source);

    /** How many columns the last update drew (the others were kept). */
    int getColumnsDrawn() const noexcept { return columnsDrawn; }

private:
    /** What one column shows. */
    struct Column
    {
        float hi = 0.0f, lo = 0.0f, mean = 0.0f;
        bool looped = false;

        bool operator== (const Column& other) const noexcept
        {
            return hi == other.hi && lo == other.lo && mean == other.mean && looped == other.looped;
        }
    };

    static Column read (const Source& source, int x) noexcept;
    static void draw (juce::Graphics& g, int x, int height, const Style& style, const Column& column);
    void shift (int columns);

    juce::Image image;
    std::vector<Column> shown;
    std::vector<char> known; // whether the picture holds shown[x]
    int shownFirstEntry = 0;
    // What every column depends on.
    int shownZoom = 0, shownMask = 0;
    const std::atomic<float>* shownPeaks = nullptr;
    const std::atomic<float>* shownAverages = nullptr;
    juce::uint32 shownColours[5] = {};
    int columnsDrawn = 0;
};
}
