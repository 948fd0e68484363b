#pragma once

#include "ui/widgets/KelCrossfader.h"

#include <array>

namespace zund
{
/** A fader whose track is a two-bar level meter (a channel's volume fader and
    gain control). The strip passes four levels every 20 ms (fast peak left and
    right, hold left and right); the hold levels are drawn, in the limit colour
    when either exceeds 1.05. The cap is two triangles facing each other across
    the meter, pre-drawn in the scheme's colours on every resize. */
class LevelMeterSlider : public KelCrossfader
{
public:
    /** The class-wide colours; the colour scheme edits them in place. Every new
        meter sets them back to these defaults. */
    struct Colours
    {
        juce::Colour capInside { 0xff808080 };
        juce::Colour capInsideOver { 0xffffffff };
        juce::Colour capOutline { 0xff000000 };
        juce::Colour meterTrack { 0xff253a7a };
        juce::Colour meterBar { 0xffffa500 };
        juce::Colour meterLimit { 0xffff0000 };
    };
    static Colours colours;

    static constexpr float maxLevel = 1.051f;
    static constexpr float limitLevel = 1.05f;

    LevelMeterSlider();
    ~LevelMeterSlider() override;

    /** Each level limited to 0..1.051 (NaN counts as 0); marks dirty. Any thread. */
    void setLevels (float peakLeft, float peakRight, float holdLeft, float holdRight) noexcept;
    float getLevel (int index) const noexcept;
    /** A position 0..1 marked along a horizontal fader; below 0 none (NaN counts
        as 0). Any thread. */
    void setMarker (float position) noexcept;
    float getMarker() const noexcept { return marker.load(); }

    /** The pre-drawn cap; invalid while the meter is too small for one. */
    const juce::Image& getCapImage() const noexcept { return capImage; }

    /** Draws the caps of every live meter again (after a colour-scheme change). */
    static void rebuildAll();

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    void rebuildImages();
    void paintVertical (juce::Graphics& g, const juce::Image& cap) const;
    void paintHorizontal (juce::Graphics& g, const juce::Image& cap) const;
    bool isOverLimit() const noexcept;

    std::array<std::atomic<float>, 4> levels {};
    std::atomic<float> marker { -1.0f };
    juce::Image capImage, capImageOver;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LevelMeterSlider)
};
}
