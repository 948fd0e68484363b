#include "ui/waveform/WaveOverview.h"

#include "engine/Engine.h"
#include "ui/MixerHost.h"
#include "ui/panels/ControlIds.h"
#include "ui/waveform/OnScreen.h"
#include "ui/waveform/WaveViewDrawing.h"

#include <cmath>

namespace zund
{
WaveOverview::Colours WaveOverview::colours;

WaveOverview::WaveOverview (int channelIndex, MixerHost* host)
    : WaveDropTarget (static_cast<juce::Component&> (*this)),
      channel (channelIndex),
      owner (*host)
{
    colours = {};
    setOpaque (true);

    for (int i = 0; i < numCues; ++i)
    {
        auto marker = std::make_unique<CuePointComponent> (ControlIds::of (channel, ControlIds::firstCueMarker + i),
                                                           nullptr);
        marker->setNumber (i + 1);
        marker->setSize (markerSize, markerSize);
        marker->addComponentListener (this);
        addAndMakeVisible (*marker);
        markers[(size_t) i] = std::move (marker);
        setCuePosition (i, (float) i * 0.25f);
    }
    startTimer (repaintIntervalMs);
}

WaveOverview::~WaveOverview()
{
    stopTimer();
    for (auto& marker : markers)
        marker->removeComponentListener (this);
}

void WaveOverview::setCuePosition (int index, float fraction)
{
    if (index < 0 || index >= numCues)
        return;
    // The song record keeps cue points within -1..1; anything else (NaN
    // included) is no place on the track.
    cues[(size_t) index] = fraction >= unsetCue && fraction <= 1.0f ? fraction : unsetCue;
    placeMarker (index);
}

float WaveOverview::getCuePosition (int index) const noexcept
{
    return index >= 0 && index < numCues ? cues[(size_t) index].load() : unsetCue;
}

void WaveOverview::placeMarker (int index)
{
    auto& marker = *markers[(size_t) index];
    const float fraction = cues[(size_t) index];
    const int half = marker.getWidth() / 2;
    const int x = fraction >= 0.0f ? (int) ((float) juce::jmax (0, getWidth() - 1) * fraction) - half
                                   : CuePointComponent::hiddenX;
    const juce::ScopedValueSetter<bool> placing (placingMarkers, true);
    marker.setTopLeftPosition (x, 0);
}

void WaveOverview::componentMovedOrResized (juce::Component& moved, bool wasMoved, bool)
{
    // A right click moves a marker out of sight by itself: its cue is cleared
    // before the marker's press reaches the dispatcher.
    if (placingMarkers || ! wasMoved)
        return;
    for (int i = 0; i < numCues; ++i)
        if (markers[(size_t) i].get() == &moved)
            cues[(size_t) i] = unsetCue;
}

void WaveOverview::setPeakData (const std::atomic<float>* pairs, int count) noexcept
{
    if (pairs == nullptr)
        return;
    peakData = pairs;
    peakCount = count;
}

void WaveOverview::setAverageData (const std::atomic<float>* pairs, int count) noexcept
{
    if (pairs == nullptr)
        return;
    averageData = pairs;
    averageCount = count;
}

void WaveOverview::setPlayPosition (float fraction) noexcept
{
    playPosition = fraction > 1.0f ? 1.0f : (fraction >= 0.0f ? fraction : 0.0f);
}

void WaveOverview::resized()
{
    for (int i = 0; i < numCues; ++i)
    {
        auto& marker = *markers[(size_t) i];
        {
            const juce::ScopedValueSetter<bool> placing (placingMarkers, true);
            marker.setSize (marker.getWidth(), getHeight() / 2);
        }
        placeMarker (i);
    }
}

void WaveOverview::timerCallback()
{
    const bool thru = owner.getEngine().isThru (channel);
    for (auto& marker : markers)
        marker->setVisible (! thru);
    if (isOnScreen (*this) && pictureChanged())
        repaint();
}

bool WaveOverview::pictureChanged()
{
    if (listener != nullptr)
        listener->waveOverviewNeedsData (this);

    ViewFingerprint f;
    f.add ((juce::uint64) getWidth() << 32 | (juce::uint32) getHeight());
    f.add ((juce::uint64) locatorLength << 1 | (isHighlighted() ? 1u : 0u));
    for (auto colour : { colours.background, colours.peakPlayed, colours.averagePlayed, colours.peakRemaining,
                         colours.averageRemaining, colours.locator })
        f.add (colour);

    const bool thru = owner.getEngine().isThru (channel);
    f.add ((juce::uint64) (thru ? 1 : 0));
    if (! thru)
    {
        f.add ((juce::uint64) (juce::uint32) (int) ((float) (getWidth() - 1) * playPosition));
        // The peak file is built while it is shown: every pair counts.
        for (auto [pairs, count] : { std::pair (peakData, peakCount), std::pair (averageData, averageCount) })
        {
            f.add ((juce::uint64) (pairs != nullptr ? count : -1));
            if (pairs != nullptr)
                for (int i = 0; i < 2 * count; i += 2)
                    f.add (pairs[i].load (std::memory_order_relaxed), pairs[i + 1].load (std::memory_order_relaxed));
        }
    }

    const bool changed = f.hash != shownPicture;
    shownPicture = f.hash;
    return changed;
}

void WaveOverview::mouseDrag (const juce::MouseEvent& e)
{
    const float x = (float) e.x;
    const float fraction = getWidth() > 0 ? x / (float) getWidth() : x;
    if (listener != nullptr)
        listener->waveOverviewSeek (this, juce::jlimit (0.0f, 1.0f, fraction));
}

void WaveOverview::itemWasDropped (const juce::String& description, juce::Component* source)
{
    if (listener != nullptr)
        listener->waveOverviewItemDropped (description, source);
}

void WaveOverview::fileWasDropped (const juce::File& file)
{
    if (listener != nullptr)
        listener->waveOverviewFilesDropped (file);
}

void WaveOverview::paint (juce::Graphics& g)
{
    g.fillAll (colours.background);

    // The data first, so that the locator shows the position of this very paint.
    if (listener != nullptr)
        listener->waveOverviewNeedsData (this);

    const int w = getWidth();
    const int playX = (int) ((float) (w - 1) * playPosition);

    if (! owner.getEngine().isThru (channel))
    {
        if (peakData != nullptr && averageData != nullptr)
        {
            const float brighten = isHighlighted() ? 0.5f : 0.0f;
            drawPass (g, peakData, peakCount, colours.peakPlayed.brighter (brighten),
                      colours.peakRemaining.brighter (brighten), playX);
            drawPass (g, averageData, averageCount, colours.averagePlayed.brighter (brighten),
                      colours.averageRemaining.brighter (brighten), playX);
        }
        g.setColour (colours.locator);
        g.drawVerticalLine (playX, 0.0f, (float) locatorLength);
    }

    drawSoftInnerFrame (g, w, getHeight());
}

void WaveOverview::drawPass (juce::Graphics& g, const std::atomic<float>* pairs, int count, juce::Colour played,
                             juce::Colour remaining, int playX)
{
    const int w = getWidth();
    if (count <= 0 || w <= 0)
        return;

    const float scale = (float) getHeight() * 0.5f;
    const float step = (float) count / (float) w;
    float position = 0.0f;

    g.setColour (played);
    for (int x = 0; x < w; ++x)
    {
        if (x == playX)
            g.setColour (remaining);
        const int i = juce::jmin ((int) position, count - 1) * 2;
        position += step;
        const float a = (sampleForDrawing (pairs[i].load (std::memory_order_relaxed)) + 1.0f) * scale;
        const float b = (sampleForDrawing (pairs[i + 1].load (std::memory_order_relaxed)) + 1.0f) * scale;
        g.drawVerticalLine (x, juce::jmin (a, b), juce::jmax (a, b));
    }
}
}
