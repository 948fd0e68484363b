#pragma once

#include <juce_graphics/juce_graphics.h>

#include <atomic>

namespace zund
{
class Engine;

/** What the panels of ui/ ask of the main component, so that they never
    include it. The main component implements it; tests give a stand-in. */
class MixerHost
{
public:
    /** Section indexes: 0..3 the channel strips, 4 EQ rows, 5 filter rows,
        6 loop-sampler rows, 7 master strip, 8 player rows, 9 channel rows,
        10 crossfader panel. */
    static constexpr int numSections = 11;
    static constexpr int masterStripSection = 7;
    static constexpr int crossfaderSection = 10;
    static constexpr int numChannelStrips = 4;
    /** A saved window bound that was never set. */
    static constexpr int unsetBound = 0x7fffffff;

    virtual ~MixerHost() = default;

    virtual void setSectionVisible (int index, bool visible) = 0;
    virtual bool isSectionVisible (int index) const = 0;

    /** 2..4: shows strips 1..count, hides the others and tells the engine. */
    virtual void setNumChannels (int count) = 0;

    /** The window bounds read from the preferences, used when the window opens. */
    virtual void setSavedBounds (int x, int y, int width, int height) = 0;
    /** Where the main window is now. */
    virtual juce::Rectangle<int> getWindowBounds() const = 0;

    /** The panel colour: the module panels' knob captions. */
    virtual juce::Colour getBackgroundColour() const = 0;

    /** The colour selector in its own modal window (the preferences panel's
        "Colour Selector" button); returns when it is closed. */
    virtual void showColourSelector() = 0;

    /** For reading meters and states only: the panels' widgets reach the
        engine's setters through the control dispatcher. */
    virtual const Engine& getEngine() const = 0;

    // What the waveform views draw and ask for (message thread).
    /** Moves the channel to a fraction 0..1 of its track. */
    virtual void seekDeck (int channel, float fraction) = 0;
    /** The two wave rings of the channel's reader (BufferedAudioReader::ringPairs
        pairs each); null for a channel outside 0..3. */
    virtual void getWaveRing (int channel, const std::atomic<float>*& peakRing,
                              const std::atomic<float>*& averageRing) = 0;
    /** The channel's peak-file arrays, PeakFile::numColumns pairs each
        (minimum, maximum and -mean, +mean); null outside 0..3. */
    virtual const std::atomic<float>* getPeakData (int channel) = 0;
    virtual const std::atomic<float>* getAverageData (int channel) = 0;
    /** The play position as a fraction of the track (0 without a track). */
    virtual double getPositionFraction (int channel) const = 0;

    // Track loading.
    /** Loads the file onto the channel; false when it was refused or failed
        (the channel's wave display then says why). */
    virtual bool loadFileIntoDeck (const juce::String& path, int channel) = 0;
    /** Cue point 0..3 of the song record of the channel's track, a fraction of
        the track; -1 when unset or without a record. */
    virtual float getCuePoint (int channel, int index) = 0;
    virtual void setCuePoint (int channel, int index, float position) = 0;

    // The preferences panel (message thread). Hosts without an audio device
    // may leave them as they are.
    /** The 440 Hz test tone on every output instead of the mix. */
    virtual void setTestToneOn (bool) {}
    /** Whether the preferences panel is on screen: only then does the audio
        thread feed its XY views. */
    virtual void setXYViewsShowing (bool) {}
};
}
