#include "ui/widgets/LevelMeterSlider.h"

#include <cmath>

namespace zund
{
LevelMeterSlider::Colours LevelMeterSlider::colours;

namespace
{
enum LevelIndex
{
    peakLeftIndex,
    peakRightIndex,
    holdLeftIndex,
    holdRightIndex
};

juce::Array<LevelMeterSlider*>& liveMeters()
{
    static juce::Array<LevelMeterSlider*> meters;
    return meters;
}

float cleanLevel (float level) noexcept
{
    return std::isnan (level) ? 0.0f : juce::jlimit (0.0f, LevelMeterSlider::maxLevel, level);
}

// Two triangles pointing at each other across the meter; t is the cap's short side.
juce::Image drawCap (int width, int height, int t, bool horizontal, juce::Colour inside, juce::Colour outline)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);
    const float half = (float) t / 2.0f;
    const float far = (float) (t + 2 * (t / 2) - 1);
    const float s = (float) t;

    auto triangle = [horizontal] (float x1, float y1, float x2, float y2, float x3, float y3)
    {
        juce::Path p;
        if (horizontal)
            p.addTriangle (y1, x1, y2, x2, y3, x3);
        else
            p.addTriangle (x1, y1, x2, y2, x3, y3);
        return p;
    };

    g.setColour (outline);
    g.fillPath (triangle (0, 0, s, half, 0, s));
    g.fillPath (triangle (far + s, 0, far, half, far + s, s));
    g.setColour (inside);
    g.fillPath (triangle (1, 1, s - 2, half, 1, s - 1));
    g.fillPath (triangle (far + s - 1, 1, far + 1, half, far + s - 1, s - 1));
    return image;
}
}

LevelMeterSlider::LevelMeterSlider()
{
    liveMeters().add (this);
    colours = {};
}

LevelMeterSlider::~LevelMeterSlider()
{
    liveMeters().removeFirstMatchingValue (this);
}

void LevelMeterSlider::setLevels (float peakLeft, float peakRight, float holdLeft, float holdRight) noexcept
{
    levels[peakLeftIndex].store (cleanLevel (peakLeft));
    levels[peakRightIndex].store (cleanLevel (peakRight));
    levels[holdLeftIndex].store (cleanLevel (holdLeft));
    levels[holdRightIndex].store (cleanLevel (holdRight));
    markDirty();
}

float LevelMeterSlider::getLevel (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, (int) levels.size()) ? levels[(size_t) index].load() : 0.0f;
}

void LevelMeterSlider::setMarker (float position) noexcept
{
    marker.store (std::isnan (position) ? 0.0f : position);
    markDirty();
}

void LevelMeterSlider::rebuildAll()
{
    for (auto* meter : liveMeters())
        meter->rebuildImages();
}

void LevelMeterSlider::resized()
{
    KelCrossfader::resized();
    rebuildImages();
}

void LevelMeterSlider::rebuildImages()
{
    const int w = getWidth(), h = getHeight();
    capImage = capImageOver = {};
    if (w >= 3 && h >= 3) // smaller meters have no room for a cap
    {
        const bool horizontal = isHorizontal();
        const int t = horizontal ? h / 3 : w / 3;
        const int capWidth = horizontal ? t : w, capHeight = horizontal ? h : t;
        capImage = drawCap (capWidth, capHeight, t, horizontal, colours.capInside, colours.capOutline);
        capImageOver = drawCap (capWidth, capHeight, t, horizontal, colours.capInsideOver, colours.capOutline);
    }
    repaint();
}

bool LevelMeterSlider::isOverLimit() const noexcept
{
    return levels[holdLeftIndex].load() > limitLevel || levels[holdRightIndex].load() > limitLevel;
}

void LevelMeterSlider::paint (juce::Graphics& g)
{
    if (! capImage.isValid())
        return;
    const auto& cap = isPointerOver() ? capImageOver : capImage;
    if (isHorizontal())
        paintHorizontal (g, cap);
    else
        paintVertical (g, cap);
}

void LevelMeterSlider::paintVertical (juce::Graphics& g, const juce::Image& cap) const
{
    const int w = getWidth(), h = getHeight();
    const int t = w / 3, half = t / 2, bar = half - 1, length = h - t;

    g.setColour (colours.meterTrack);
    g.fillRect (t, half, bar, length);
    g.fillRect (t + half, half, bar, length);

    g.setColour (isOverLimit() ? colours.meterLimit : colours.meterBar);
    const int xs[] = { t, t + half };
    const float holds[] = { levels[holdLeftIndex].load(), levels[holdRightIndex].load() };
    for (int i = 0; i < 2; ++i)
    {
        const int off = (int) ((float) length * (1.0f - juce::jmin (holds[i], 1.0f)));
        g.fillRect (xs[i], half + off, bar, length - off);
    }

    g.drawImageAt (cap, 0, (int) ((float) (h - cap.getHeight()) * (1.0f - getValue())));
}

void LevelMeterSlider::paintHorizontal (juce::Graphics& g, const juce::Image& cap) const
{
    const int w = getWidth(), h = getHeight();
    const int t = h / 3, half = t / 2, bar = half - 1, length = w - t;

    g.setColour (colours.meterTrack);
    g.fillRect (half, t, length, bar);
    g.fillRect (half, t + half, length, bar);

    // The horizontal meter keeps fixed bar colours.
    g.setColour (isOverLimit() ? juce::Colour (0xffff0000) : juce::Colour (0xffffa500));
    const int ys[] = { t, t + half };
    const float holds[] = { levels[holdLeftIndex].load(), levels[holdRightIndex].load() };
    for (int i = 0; i < 2; ++i)
        g.fillRect (half, ys[i], (int) ((float) length * juce::jmin (holds[i], 1.0f)), bar);

    g.drawImageAt (cap, (int) ((float) (w - cap.getWidth()) * getValue()), 0);

    const float position = marker.load();
    if (position >= 0.0f)
    {
        g.setColour (juce::Colours::white);
        g.drawVerticalLine ((int) ((float) w * position), (float) t, (float) (t + 2 * half - 1));
    }
}
}
