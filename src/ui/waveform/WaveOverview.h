#pragma once

#include "common/events/SharedTimer.h"
#include "ui/waveform/WaveDropTarget.h"
#include "ui/waveform/WaveOverviewListener.h"
#include "ui/widgets/CuePointComponent.h"

#include <array>
#include <atomic>
#include <memory>

namespace zund
{
class MixerHost;

/** The whole loaded track of one channel, from its peak file: the played part
    and the rest in their own colours, the play-position locator and the four
    cue markers. A drag across it seeks; it takes dropped song-table rows and
    audio files for its listener. Looks every 100 ms and repaints only when
    what it would draw has changed, pulling its data from the listener. */
class WaveOverview : public juce::Component,
                     public WaveDropTarget,
                     private juce::ComponentListener,
                     private SharedTimer
{
public:
    /** The class-wide colours; the colour scheme edits them in place. Every new
        overview sets them back to these defaults. `text` is the wave display's
        label text. */
    struct Colours
    {
        juce::Colour background { 0xff000000 };
        juce::Colour peakPlayed { 0xffffff00 };
        juce::Colour averagePlayed { 0xffffa500 };
        juce::Colour peakRemaining { 0xff800080 };
        juce::Colour averageRemaining { 0xffff0000 };
        juce::Colour locator { 0xff000000 };
        juce::Colour text { 0xffffffff };
    };
    static Colours colours;

    static constexpr int numCues = 4;
    static constexpr int repaintIntervalMs = 100;
    static constexpr int markerSize = 21;
    static constexpr float unsetCue = -1.0f;

    WaveOverview (int channel, MixerHost* owner);
    ~WaveOverview() override;

    void setListener (WaveOverviewListener* newListener) noexcept { listener = newListener; }

    /** Cue `index` at a fraction 0..1 of the track, its marker centred over the
        column of that fraction; a negative fraction (unset) puts the marker
        out of sight. Message thread. */
    void setCuePosition (int index, float fraction);
    /** The cue's fraction; negative when unset (also after a right click has
        moved its marker away). Any thread. */
    float getCuePosition (int index) const noexcept;
    CuePointComponent& getMarker (int index) { return *markers.at ((size_t) index); }

    /** (minimum, maximum) pairs; a null pointer is ignored. Not owned. */
    void setPeakData (const std::atomic<float>* pairs, int count) noexcept;
    /** (-mean, +mean) pairs; a null pointer is ignored. Not owned. */
    void setAverageData (const std::atomic<float>* pairs, int count) noexcept;
    /** Limited to 0..1. */
    void setPlayPosition (float fraction) noexcept;

    /** The locator line runs from the top down this many pixels. */
    void setLocatorLength (int length) noexcept { locatorLength = length; }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDrag (const juce::MouseEvent& e) override;

    /** Hides the markers while the channel plays its live input, and repaints
        when the picture has changed. */
    void timerCallback() override;

    /** Whether what the overview would draw now differs from what it showed
        at the last call: the peak data, the play position's column, the size,
        the colours, THRU. */
    bool pictureChanged();

private:
    void itemWasDropped (const juce::String& description, juce::Component* source) override;
    void fileWasDropped (const juce::File& file) override;
    void componentMovedOrResized (juce::Component& marker, bool wasMoved, bool wasResized) override;
    void placeMarker (int index);
    void drawPass (juce::Graphics& g, const std::atomic<float>* pairs, int count, juce::Colour played,
                   juce::Colour remaining, int playX);

    const int channel;
    MixerHost& owner;
    WaveOverviewListener* listener = nullptr;
    std::array<std::unique_ptr<CuePointComponent>, numCues> markers;
    std::array<std::atomic<float>, numCues> cues;
    bool placingMarkers = false;

    const std::atomic<float>* peakData = nullptr;
    const std::atomic<float>* averageData = nullptr;
    int peakCount = 100;
    int averageCount = 100;
    float playPosition = 0.0f;
    int locatorLength = 5;
    juce::uint64 shownPicture = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WaveOverview)
};
}
