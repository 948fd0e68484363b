#pragma once

#include "common/events/SharedTimer.h"
#include "ui/waveform/WaveColumnsPicture.h"
#include "ui/waveform/WaveComponentListener.h"
#include "ui/waveform/WaveDropTarget.h"

#include <atomic>

namespace zund
{
class MixerHost;

/** The zoomable, scrolling close-up of a channel's audio around the play
    position, drawn straight from the reader's two wave rings (one pair per
    32 frames): one column of peak and average lines per pixel, the play
    position in the middle, the active loop in its own colours. Looks every
    20 ms and repaints only when what it would draw has changed (a paused or
    empty channel costs no painting); a repaint draws only the columns that
    changed or scrolled into view. A left click zooms in, a right click out.
    It takes dropped song-table rows and audio files for its listener. */
class WaveComponent : public juce::Component,
                      public WaveDropTarget,
                      private SharedTimer
{
public:
    /** The class-wide colours; the colour scheme edits them in place. Every new
        view sets them back to these defaults. The three text colours are the
        wave display's title line's. */
    struct Colours
    {
        juce::Colour background { 0xff000000 };
        juce::Colour peak { 0xff800080 };
        juce::Colour average { 0xffff0000 };
        juce::Colour peakLooped { 0xffffff00 };
        juce::Colour averageLooped { 0xffffa500 };
        juce::Colour locator { 0xff000000 };
        juce::Colour text1 { 0xffffffff };
        juce::Colour text2 { 0xff000000 };
        juce::Colour textBackground { 0x00000000 };
    };
    static Colours colours;

    static constexpr int repaintIntervalMs = 20;
    static constexpr int minZoom = 1, maxZoom = 16, defaultZoom = 8;
    static constexpr int framesPerRingPair = 32;

    WaveComponent (MixerHost* owner, int channel);
    ~WaveComponent() override;

    void setListener (WaveComponentListener* newListener) noexcept { listener = newListener; }

    /** Rings of `length` (max, min) and (mean, mean) pairs. A length that is not
        a positive power of two draws no waveform. */
    void setRings (const std::atomic<float>* peakRing, const std::atomic<float>* averageRing, int length) noexcept;
    void setRingPosition (int position) noexcept { ringPosition = position; }

    /** Ring entries per pixel column, 1..16. */
    int getZoom() const noexcept { return zoom; }

    /** The locator line runs from the top down this many pixels. */
    void setLocatorLength (int length) noexcept { locatorLength = length; }
    int getLocatorLength() const noexcept { return locatorLength; }

    /** The columns [start, end) of a view `width` wide that show the loop from
        frame `loopStart` to `loopEnd` while the play position is `play` (in
        the middle). */
    static juce::Range<juce::int64> getLoopColumns (int width, int zoom, juce::int64 play, juce::int64 loopStart,
                                                    juce::int64 loopEnd) noexcept;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

    /** Whether what the view would draw now differs from what it showed at
        the last call: the data, the position in whole columns, the loop, the
        zoom, the size, the colours. The 20 ms tick repaints only then. */
    bool pictureChanged();

private:
    void timerCallback() override;
    void itemWasDropped (const juce::String& description, juce::Component* source) override;
    void fileWasDropped (const juce::File& file) override;
    WaveColumnsPicture::Source columnsSource() const;
    /** The first ring entry drawn and the loop's columns, as the next paint draws them. */
    int firstEntry() const noexcept;
    juce::Range<juce::int64> loopColumns() const;
    bool hasUsableRings() const noexcept;

    MixerHost& owner;
    const int channel;
    WaveComponentListener* listener = nullptr;
    const std::atomic<float>* peaks = nullptr;
    const std::atomic<float>* averages = nullptr;
    int ringLength = 0;
    int ringPosition = 0;
    int zoom = defaultZoom;
    int locatorLength = 5;
    juce::uint64 shownFrame = 0, shownContent = 0; // what the last look found
    bool contentKnown = false;
    WaveColumnsPicture columns;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WaveComponent)
};
}
